#pragma once

// Managers files: two values per manager (name, sex code "m"/"f"), read by field read and
// written as text lines.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

struct ManagerRecord {
    std::string name;
    std::string sex;
};

std::vector<ManagerRecord> parseManagers(std::string_view bytes, const std::filesystem::path& file);
std::vector<ManagerRecord> readManagers(const std::filesystem::path& file);
std::string serializeManagers(const std::vector<ManagerRecord>& managers);

// The managers file that belongs to a federation name, if it has one ("WWF", "WCW").
enum class GameFile;
std::optional<GameFile> managersFileFor(std::string_view federation);

} // namespace hv
