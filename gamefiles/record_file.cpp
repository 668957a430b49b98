#include "record_file.h"

#include "file_change.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
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

// The state of a scan for line ends and record starts, fed 64 bytes at a time.
struct LineScan {
    std::string_view bytes;
    std::size_t perRecord;
    std::vector<std::size_t>& starts;
    std::size_t lines = 0, inRecord = 0, at = 0; // `at`: the next byte to look at
    std::uint64_t carryCr = 0;                   // 1 when the byte before `at` is a CR

    void lineEnd(std::size_t lf) {
        ++lines;
        if (++inRecord == perRecord) {
            inRecord = 0;
            if (lf + 1 < bytes.size())
                starts.push_back(lf + 1);
        }
    }
    // The block at `at`, told by a bit per byte that is an LF (`count` of them) and one per
    // byte that is a CR; false when an LF has no CR before it.
    bool block(std::uint64_t lfs, std::uint64_t crs, std::size_t count) {
        if (lfs & ~((crs << 1) | carryCr))
            return false;
        carryCr = crs >> 63;
        if (inRecord + count < perRecord) {
            inRecord += count;
            lines += count;
        } else {
            for (; lfs != 0; lfs &= lfs - 1)
                lineEnd(at + static_cast<std::size_t>(__builtin_ctzll(lfs)));
        }
        at += 64;
        return true;
    }
};

#ifdef __SSE2__
bool scanBlocksSse2(LineScan& scan) {
    const char* data = scan.bytes.data();
    const auto mask = [&](std::size_t at, char c) {
        const __m128i what = _mm_set1_epi8(c);
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
    while (scan.at + 64 <= scan.bytes.size()) {
        const std::uint64_t lfs = mask(scan.at, '\n');
        if (!scan.block(lfs, mask(scan.at, '\r'), bitCount(lfs)))
            return false;
    }
    return true;
}
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define HV_SCAN_AVX2
// The same with 32 bytes a compare, on processors that have them (nearly all since 2013).
__attribute__((target("avx2,popcnt"))) bool scanBlocksAvx2(LineScan& scan) {
    const char* data = scan.bytes.data();
    const auto mask = [&](std::size_t at, char c) __attribute__((target("avx2"))) {
        const __m256i what = _mm256_set1_epi8(c);
        const auto half = [&](std::size_t from) __attribute__((target("avx2"))) {
            const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + from));
            return std::uint64_t(
                static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(block, what))));
        };
        return half(at) | (half(at + 32) << 32);
    };
    while (scan.at + 64 <= scan.bytes.size()) {
        const std::uint64_t lfs = mask(scan.at, '\n');
        if (!scan.block(lfs, mask(scan.at, '\r'),
                        static_cast<std::size_t>(__builtin_popcountll(lfs))))
            return false;
    }
    return true;
}
#endif

// Finds where every record starts and counts the lines; returns the line count, or nothing
// when a line does not end in CR LF (the caller then normalises the bytes). A roster may hold
// millions of lines, so the scan looks at 64 bytes at a time where the processor allows it.
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
    LineScan scan{bytes, perRecord, starts};
#if defined(HV_SCAN_AVX2)
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    if (!(avx2 ? scanBlocksAvx2(scan) : scanBlocksSse2(scan)))
        return std::nullopt;
#elif defined(__SSE2__)
    if (!scanBlocksSse2(scan))
        return std::nullopt;
#endif
    const char* data = bytes.data();
    for (std::size_t i = scan.at; i < bytes.size(); ++i) {
        if (data[i] != '\n')
            continue;
        if (i == 0 || data[i - 1] != '\r')
            return std::nullopt;
        scan.lineEnd(i);
    }
    return scan.lines;
}

} // namespace

RecordBytes::RecordBytes(FileBytes source, std::filesystem::path file, std::size_t linesPerRecord)
    : file_(std::move(file)), bytes_(std::move(source)), perRecord_(linesPerRecord) {
    index();
}

RecordBytes::RecordBytes(FileBytes source, std::filesystem::path file, std::size_t linesPerRecord,
                         const RecordBytes& known)
    : file_(std::move(file)), bytes_(std::move(source)), perRecord_(linesPerRecord) {
    // One comparison instead of a scan for line ends, and it tells whether the file moved.
    sameAsKnown_ = known.perRecord_ == perRecord_ && !known.changed() && !known.badLineEnd_ &&
                   known.bytes() == bytes();
    if (sameAsKnown_)
        starts_ = known.starts_;
    else
        index();
}

void RecordBytes::index() {
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

bool RecordBytes::firstLineIs(std::size_t record, std::string_view text) const {
    // Every line ends in CR LF here (other files are read normalised), so the line is `text`
    // when the bytes start with it and a CR LF follows.
    const std::string_view rest = bytes().substr(starts_[record], text.size() + 2);
    return rest.size() == text.size() + 2 && rest.ends_with(kLineEnd) &&
           rest.substr(0, text.size()) == text;
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

namespace {
// Whether `text` is `lines` lines, each ended by CR LF.
bool whole(std::string_view text, std::size_t lines) {
    std::size_t ends = 0;
    for (std::size_t i = text.find('\n'); i != std::string_view::npos;
         i = text.find('\n', i + 1), ++ends)
        if (i == 0 || text[i - 1] != '\r')
            return false;
    return ends == lines && text.ends_with(kLineEnd);
}
} // namespace

std::unique_ptr<RecordBytes> RecordBytes::edited() const {
    const auto parts = pieces();
    std::string all;
    std::size_t size = 0;
    for (std::string_view piece : parts)
        size += piece.size();
    all.reserve(size);
    for (std::string_view piece : parts)
        all += piece;
    // Lines whose count or ends an edit may have changed are indexed by reading them.
    bool indexed = !badLineEnd_ && appended_.empty();
    std::vector<std::size_t> starts;
    starts.reserve(starts_.size());
    std::size_t at = 0;
    auto next = edits_.begin();
    for (std::size_t r = 0; indexed && r < this->size(); ++r) {
        std::size_t length = starts_[r + 1] - starts_[r];
        if (next != edits_.end() && next->first == r) {
            const Edit& e = (next++)->second;
            switch (e.kind) {
            case Edit::Drop:
                continue;
            case Edit::Take:
                length = text(e.index).size();
                break;
            case Edit::Replace:
                indexed = whole(e.text, perRecord_);
                length = e.text.size();
                break;
            case Edit::Line:
                indexed = whole(e.text, 1);
                length = length - line(r, e.index).size() - kLineEnd.size() + e.text.size();
                break;
            }
        }
        starts.push_back(at);
        at += length;
    }
    if (!indexed || at != all.size())
        return std::make_unique<RecordBytes>(FileBytes(std::move(all)), file_, perRecord_);
    starts.push_back(at);
    return std::unique_ptr<RecordBytes>(
        new RecordBytes(file_, std::move(all), perRecord_, std::move(starts)));
}

void RecordBytes::putRecords(std::span<const std::pair<std::size_t, std::string>> records) {
    for (const auto& [record, text] : records)
        if (record >= size() || !whole(text, perRecord_))
            throw GameFileError(file_, "no whole record to put in place", firstLine(record));
    char* held = bytes_.writable();
    const bool inPlace = held != nullptr && !changed() && !badLineEnd_ &&
                         std::ranges::all_of(records, [&](const auto& r) {
                             return r.second.size() == starts_[r.first + 1] - starts_[r.first];
                         });
    if (inPlace) {
        // The index stays: every record keeps its place and its length.
        for (const auto& [record, text] : records)
            std::memcpy(held + starts_[record], text.data(), text.size());
        return;
    }
    for (const auto& [record, text] : records)
        replace(record, text);
    *this = std::move(*edited());
}

void RecordBytes::refuseBadLineEnds() const {
    if (badLineEnd_)
        throw GameFileError(file_, std::string(kNotCrLf) + "; the file was left unchanged",
                            *badLineEnd_);
}

void RecordBytes::save(const RestoreScope& scope, const std::filesystem::path& tempName) const {
    if (changed())
        prepare(scope, tempName)->commit();
}

void RecordBytes::saveWithoutRestorePoint(const std::filesystem::path& tempName) const {
    if (!changed())
        return;
    refuseBadLineEnds();
    const auto parts = pieces();
    TempRewrite(file_, tempName, parts, &bytes_);
}

std::unique_ptr<PendingRewrite> RecordBytes::prepare(const RestoreScope& scope,
                                                     const std::filesystem::path& tempName) const {
    refuseBadLineEnds();
    const auto parts = pieces();
    return std::make_unique<PendingRewrite>(scope, file_, tempName, parts, &bytes_);
}

void FileChange::write(const RecordBytes& file, const std::filesystem::path& tempName) {
    if (file.changed())
        writes_.push_back(file.prepare(scope_, tempName));
}

} // namespace hv
