#include "managers.h"

#include "game_folder.h"

namespace hv {

std::vector<std::string> managerNames(const std::filesystem::path& file) {
    const auto managers = ManagersFile::read(file);
    std::vector<std::string> names;
    names.reserve(managers.size());
    for (std::size_t i = 0; i < managers.size(); ++i)
        names.push_back(fieldReadFirst(managers.name(i)));
    return names;
}

std::optional<GameFile> managersFileFor(std::string_view federation) {
    if (federation == "WWF")
        return GameFile::WwfManagers;
    if (federation == "WCW")
        return GameFile::WcwManagers;
    return std::nullopt;
}

} // namespace hv
