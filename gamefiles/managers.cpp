#include "managers.h"

#include "error.h"
#include "game_folder.h"
#include "text.h"

namespace hv {

std::vector<ManagerRecord> parseManagers(std::string_view bytes,
                                         const std::filesystem::path& file) {
    std::vector<ManagerRecord> managers;
    FieldReader reader(bytes);
    while (!reader.atEnd()) {
        std::size_t line = reader.lineNumber();
        ManagerRecord m;
        m.name = reader.next();
        if (reader.atEnd())
            throw GameFileError(
                file, "file ends inside a manager record (\"" + m.name + "\" has no sex code)",
                line);
        m.sex = reader.next();
        managers.push_back(std::move(m));
    }
    return managers;
}

std::vector<ManagerRecord> readManagers(const std::filesystem::path& file) {
    return parseManagers(readFileBytes(file), file);
}

std::string serializeManagers(const std::vector<ManagerRecord>& managers) {
    std::string out;
    for (const auto& m : managers) {
        appendTextLine(out, m.name);
        appendTextLine(out, m.sex);
    }
    return out;
}

std::optional<GameFile> managersFileFor(std::string_view federation) {
    if (federation == "WWF")
        return GameFile::WwfManagers;
    if (federation == "WCW")
        return GameFile::WcwManagers;
    return std::nullopt;
}

} // namespace hv
