#pragma once

// What a file held, by its size and a hash of its bytes: how a restore point tells whether a
// file still holds what a change left in it, and how a window tells that a file moved on.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace hv {

// What a file held, told by its size and a 64-bit hash of its bytes: enough to notice that
// another program has written it since.
struct FileState {
    unsigned long long size = 0;
    std::uint64_t hash = 0;
    // The FNV-1a 64 hash that points of earlier versions recorded instead, where known.
    std::optional<std::uint64_t> fnv;
    // Compared by the FNV hash where both sides have one, else by the hash.
    bool operator==(const FileState& other) const;
};

// Hashes bytes given in pieces of any size; the state does not depend on where they are cut.
// Eight bytes a step, so that hashing what a rewrite writes costs little beside writing it;
// the byte-wise FNV-1a hash too only when asked, to compare with a state of an earlier version.
class StateHasher {
public:
    explicit StateHasher(bool fnv = false) {
        if (fnv)
            fnv_ = 0xcbf29ce484222325ULL;
    }
    void add(std::string_view bytes);
    FileState state() const;

private:
    void word(std::uint64_t w);
    unsigned long long size_ = 0;
    std::uint64_t hash_ = 0x9e3779b97f4a7c15ULL;
    std::uint64_t tail_ = 0; // the bytes of an unfinished word, the first lowest
    std::optional<std::uint64_t> fnv_;
};
// Whether `bytes` are what `state` records.
bool holdsState(std::string_view bytes, const FileState& state);
// Whether the file as it is now is what `state` records; false when it cannot be read.
bool fileHoldsState(const std::filesystem::path& file, const FileState& state);
// What the file holds now, with the FNV hash too when asked; none when it cannot be read.
std::optional<FileState> fileState(const std::filesystem::path& file, bool fnv = false);

} // namespace hv
