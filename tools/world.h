#pragma once

// A fictional game folder generated from a seed: same seed and options, same bytes.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace hv::world {

inline constexpr std::uint64_t kDefaultSeed = 20010305;

struct WorldOptions {
    std::uint64_t seed = kDefaultSeed;
    // Wrestlers in every slot's own roster; 0 draws a small roster (12 to 20) per slot.
    std::size_t wrestlers = 0;
    // Wrestlers in each rival file; 0 draws 8 to 15.
    std::size_t rivalWrestlers = 0;
};

// Receives each file as a "/"-separated path relative to the game folder and its bytes.
using FileSink = std::function<void(const std::string& relativePath, const std::string& bytes)>;

// Produces every file of the game folder, always in the same order.
void makeWorld(const WorldOptions& options, const FileSink& sink);

// Writes the game folder below `outDir`, creating folders as needed.
void writeWorld(const std::filesystem::path& outDir, const WorldOptions& options);

// A roster file alone: a placeholder record, then `wrestlers` records with unique names.
std::string makeRosterBytes(std::size_t wrestlers, std::uint64_t seed);

} // namespace hv::world
