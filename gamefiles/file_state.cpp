#include "file_state.h"

#include <bit>
#include <cstring>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace hv {

bool FileState::operator==(const FileState& other) const {
    if (size != other.size)
        return false;
    return fnv && other.fnv ? *fnv == *other.fnv : hash == other.hash;
}

void StateHasher::word(std::uint64_t w) {
    hash_ = (hash_ ^ w) * 0xff51afd7ed558ccdULL;
    hash_ ^= hash_ >> 32;
}

void StateHasher::add(std::string_view bytes) {
    if (fnv_)
        for (unsigned char c : bytes)
            *fnv_ = (*fnv_ ^ c) * 0x100000001b3ULL;
    std::size_t i = 0;
    const auto have = static_cast<unsigned>(size_ % 8);
    size_ += bytes.size();
    if (have != 0) { // finish the word begun by the last piece
        unsigned at = have;
        for (; at < 8 && i < bytes.size(); ++at, ++i)
            tail_ |= std::uint64_t(static_cast<unsigned char>(bytes[i])) << (8 * at);
        if (at < 8)
            return;
        word(tail_);
        tail_ = 0;
    }
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t w = 0;
        std::memcpy(&w, bytes.data() + i, 8);
        if constexpr (std::endian::native == std::endian::big)
            w = __builtin_bswap64(w); // the same state on every machine
        word(w);
    }
    for (unsigned at = 0; i < bytes.size(); ++at, ++i)
        tail_ |= std::uint64_t(static_cast<unsigned char>(bytes[i])) << (8 * at);
}

FileState StateHasher::state() const {
    std::uint64_t h = (hash_ ^ tail_ ^ (size_ << 3)) * 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 29;
    return FileState{size_, h, fnv_};
}

bool holdsState(std::string_view bytes, const FileState& state) {
    StateHasher hasher(state.fnv.has_value());
    hasher.add(bytes);
    return hasher.state() == state;
}

std::optional<FileState> fileState(const fs::path& file, bool fnv) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    StateHasher hasher(fnv);
    std::string buffer(1 << 16, '\0');
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        hasher.add(std::string_view(buffer.data(), static_cast<std::size_t>(in.gcount())));
    }
    if (in.bad())
        return std::nullopt;
    return hasher.state();
}

bool fileHoldsState(const fs::path& file, const FileState& state) {
    const auto now = fileState(file, state.fnv.has_value());
    return now && *now == state;
}

} // namespace hv
