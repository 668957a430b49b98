#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace hv::fuzz {

void require(bool ok, const char* property) {
    if (ok)
        return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

bool crlfOnly(std::string_view bytes) {
    if (!bytes.empty() && bytes.back() != '\n')
        return false;
    for (std::size_t lf = bytes.find('\n'); lf != std::string_view::npos;
         lf = bytes.find('\n', lf + 1))
        if (lf == 0 || bytes[lf - 1] != '\r')
            return false;
    return true;
}

std::string joined(const std::vector<std::string_view>& pieces) {
    std::string out;
    for (auto p : pieces)
        out += p;
    return out;
}

const fs::path& scratch() {
    // Below TMPDIR, which scripts/fuzz.sh points at a folder of its own that it removes.
    static const fs::path folder = [] {
        std::string name = (fs::temp_directory_path() / "hv-fuzz-XXXXXX").string();
        require(::mkdtemp(name.data()) != nullptr, "a scratch folder can be made");
        return fs::path(name);
    }();
    return folder;
}

const fs::path& resetScratch() {
    for (const auto& entry : fs::directory_iterator(scratch()))
        fs::remove_all(entry.path());
    return scratch();
}

fs::path put(std::string_view relative, std::string_view bytes) {
    const fs::path file = scratch() / relative;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace hv::fuzz
