#include "options.h"

#include "error.h"
#include "temp_rewrite.h"
#include "text.h"

namespace fs = std::filesystem;

namespace hv {

fs::path optionsPath(const fs::path& workDir) {
    return workDir / "options.dat";
}

std::string readGameFolder(const fs::path& workDir) {
    const fs::path file = optionsPath(workDir);
    const std::string bytes = readFileBytes(file);
    FieldReader reader(bytes);
    if (reader.atEnd())
        throw GameFileError(file, "is empty; it should name the game folder on its first line");
    std::string folder = reader.next();
    if (folder.empty())
        throw GameFileError(file, "names no game folder on its first line", 1);
    return folder;
}

void changeGameFolder(const fs::path& workDir, std::string_view folder) {
    if (hasLineBreak(folder))
        throw OperationRefused("A folder name with a line break cannot be stored.");
    const fs::path file = optionsPath(workDir);
    std::string old;
    std::error_code ec;
    if (fs::exists(file, ec))
        old = readFileBytes(file);

    // The old first value is dropped; every later value goes on a line of its own.
    std::string out;
    appendTextLine(out, folder);
    FieldReader reader(old);
    if (!reader.atEnd())
        reader.next();
    while (!reader.atEnd())
        appendTextLine(out, reader.next());
    TempRewrite(file, "temp", out);
}

} // namespace hv
