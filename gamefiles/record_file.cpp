#include "record_file.h"

#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace hv {
namespace {

// The offset just past the next LF at or after `pos`, or the end. Lines are short, so a plain
// loop beats a call to memchr.
std::size_t nextLine(std::string_view bytes, std::size_t pos) {
    while (pos < bytes.size() && bytes[pos] != '\n')
        ++pos;
    return pos < bytes.size() ? pos + 1 : pos;
}

// Set bits, without the library call that the builtin becomes where the processor has no
// popcount instruction.
std::size_t bitCount(std::uint64_t x) {
    x -= (x >> 1) & 0x5555555555555555ULL;
    x = (x & 0x3333333333333333ULL) + ((x >> 2) & 0x3333333333333333ULL);
    x = (x + (x >> 4)) & 0x0f0f0f0f0f0f0f0fULL;
    return static_cast<std::size_t>((x * 0x0101010101010101ULL) >> 56);
}

std::string normalised(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8 + 2);
    LineReader reader(bytes);
    while (!reader.atEnd())
        appendTextLine(out, reader.next());
    return out;
}

// Finds where every record starts and counts the lines; returns the line count, or nothing
// when a line does not end in CR LF (the caller then normalises the bytes). A roster may hold
// millions of lines, so the scan looks at 16 bytes at a time where the processor allows it.
std::optional<std::size_t> scanLines(std::string_view bytes, std::size_t perRecord,
                                     std::vector<std::size_t>& starts) {
    if (bytes.empty())
        return 0;
    if (bytes.back() != '\n')
        return std::nullopt;
    // A line takes at least its CR LF, which bounds the record count: reserving that much
    // never reallocates, and the unused tail is never touched, so it costs no memory.
    starts.reserve(bytes.size() / (2 * perRecord) + 2);
    starts.push_back(0);
    std::size_t lines = 0, inRecord = 0, i = 0;
    const std::size_t size = bytes.size();
    const char* data = bytes.data();
    auto lineEnd = [&](std::size_t lf) {
        ++lines;
        if (++inRecord == perRecord) {
            inRecord = 0;
            if (lf + 1 < size)
                starts.push_back(lf + 1);
        }
    };
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
    const auto masks = [&](std::size_t at, __m128i what) {
        std::uint64_t m = 0;
        for (int k = 0; k < 4; ++k) {
            const __m128i block =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at + 16 * k));
            m |=
                std::uint64_t(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, what))))
                << (16 * k);
        }
        return m;
    };
    std::uint64_t carryCr = 0; // 1 when the byte before this block is a CR
    for (; i + 64 <= size; i += 64) {
        std::uint64_t lfs = masks(i, lf);
        const std::uint64_t crs = masks(i, cr);
        if (lfs & ~((crs << 1) | carryCr))
            return std::nullopt;
        carryCr = crs >> 63;
        const std::size_t count = bitCount(lfs);
        if (inRecord + count < perRecord) {
            inRecord += count;
            lines += count;
            continue;
        }
        for (; lfs != 0; lfs &= lfs - 1)
            lineEnd(i + static_cast<std::size_t>(__builtin_ctzll(lfs)));
    }
#endif
    for (; i < size; ++i) {
        if (data[i] != '\n')
            continue;
        if (i == 0 || data[i - 1] != '\r')
            return std::nullopt;
        lineEnd(i);
    }
    return lines;
}

} // namespace

RecordBytes::RecordBytes(FileBytes source, std::filesystem::path file, std::size_t linesPerRecord)
    : file_(std::move(file)), bytes_(std::move(source)), perRecord_(linesPerRecord) {
    auto counted = scanLines(bytes(), perRecord_, starts_);
    if (!counted) {
        // A line not ended by CR LF: normalise the whole file once and index it again.
        badLineEnd_ = lineWithoutCrLf(bytes());
        bytes_ = FileBytes(normalised(bytes()));
        starts_.clear();
        counted = scanLines(bytes(), perRecord_, starts_);
    }
    const std::size_t lines = *counted;
    if (lines % perRecord_ != 0) {
        const std::size_t first = (lines / perRecord_) * perRecord_ + 1;
        throw GameFileError(file_,
                            "file ends inside a record (record starting at line " +
                                std::to_string(first) + " has only " +
                                std::to_string(lines % perRecord_) + " of " +
                                std::to_string(perRecord_) + " lines)",
                            lines + 1);
    }
    starts_.push_back(bytes().size());
}

std::string_view RecordBytes::text(std::size_t record) const {
    return bytes().substr(starts_[record], starts_[record + 1] - starts_[record]);
}

std::string_view RecordBytes::line(std::size_t record, std::size_t which) const {
    std::size_t pos = starts_[record];
    for (std::size_t i = 0; i < which; ++i)
        pos = nextLine(bytes(), pos);
    const std::size_t end = nextLine(bytes(), pos);
    return bytes().substr(pos, end - pos - 2); // without CR LF
}

void RecordBytes::replace(std::size_t record, std::string text) {
    edits_[record] = Edit{Edit::Replace, std::move(text), 0};
}

void RecordBytes::replaceLine(std::size_t record, std::size_t line, std::string_view text) {
    std::string withEnd(text);
    withEnd += kLineEnd;
    edits_[record] = Edit{Edit::Line, std::move(withEnd), line};
}

void RecordBytes::drop(std::size_t record) {
    edits_[record] = Edit{Edit::Drop, {}, 0};
}

void RecordBytes::swap(std::size_t a, std::size_t b) {
    if (a == b)
        return;
    edits_[a] = Edit{Edit::Take, {}, b};
    edits_[b] = Edit{Edit::Take, {}, a};
}

void RecordBytes::append(std::string text) {
    appended_.push_back(std::move(text));
}

std::vector<std::string_view> RecordBytes::pieces() const {
    std::vector<std::string_view> out;
    out.reserve(3 * edits_.size() + appended_.size() + 1);
    const std::string_view all = bytes();
    std::size_t resume = 0; // first byte of the old file not yet written or skipped
    auto copyUpTo = [&](std::size_t end) {
        if (end > resume)
            out.push_back(all.substr(resume, end - resume));
    };
    for (const auto& [record, edit] : edits_) {
        switch (edit.kind) {
        case Edit::Replace:
            copyUpTo(starts_[record]);
            out.push_back(edit.text);
            break;
        case Edit::Drop:
            copyUpTo(starts_[record]);
            break;
        case Edit::Take:
            copyUpTo(starts_[record]);
            out.push_back(text(edit.index));
            break;
        case Edit::Line: {
            const auto lineStart =
                static_cast<std::size_t>(line(record, edit.index).data() - all.data());
            copyUpTo(lineStart);
            out.push_back(edit.text);
            resume = nextLine(all, lineStart);
            continue;
        }
        }
        resume = starts_[record + 1];
    }
    copyUpTo(all.size());
    for (const auto& appended : appended_)
        out.push_back(appended);
    return out;
}

void RecordBytes::refuseBadLineEnds() const {
    if (badLineEnd_)
        throw GameFileError(file_, std::string(kNotCrLf) + "; the file was left unchanged",
                            *badLineEnd_);
}

void RecordBytes::save(const std::filesystem::path& tempName) const {
    if (!changed())
        return;
    refuseBadLineEnds();
    const auto parts = pieces();
    TempRewrite(file_, tempName, parts, &bytes_);
}

PendingRewrite RecordBytes::prepare(const std::filesystem::path& tempName) const {
    refuseBadLineEnds();
    const auto parts = pieces();
    return PendingRewrite(file_, tempName, parts, &bytes_);
}

} // namespace hv
