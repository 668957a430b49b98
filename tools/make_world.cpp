// hv-make-world: writes a complete, fictional game folder.

#include "tools/world.h"

#include <charconv>
#include <cstdint>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

namespace {

void usage(std::ostream& out) {
    out << "usage: hv-make-world [--wrestlers N] [--seed S] OUTDIR\n"
           "  Writes saveslots.hv1 and the folders save1..save4 below OUTDIR.\n"
           "  --wrestlers N  N wrestlers in every slot's own roster (default: 12 to 20)\n"
           "  --seed S       seed of the generator (default "
        << hv::world::kDefaultSeed << "); the same seed gives the same bytes\n";
}

bool parseCount(std::string_view text, std::uint64_t& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

} // namespace

int main(int argc, char** argv) {
    hv::world::WorldOptions options;
    std::string outDir;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            usage(std::cout);
            return 0;
        }
        if (arg == "--wrestlers" || arg == "--seed") {
            std::uint64_t value = 0;
            if (i + 1 >= argc || !parseCount(argv[i + 1], value)) {
                std::cerr << "hv-make-world: " << arg << " needs a whole number\n";
                return 2;
            }
            ++i;
            if (arg == "--seed")
                options.seed = value;
            else
                options.wrestlers = static_cast<std::size_t>(value);
            continue;
        }
        if (arg.starts_with("-") || !outDir.empty()) {
            usage(std::cerr);
            return 2;
        }
        outDir = arg;
    }
    if (outDir.empty()) {
        usage(std::cerr);
        return 2;
    }
    try {
        hv::world::writeWorld(outDir, options);
    } catch (const std::exception& e) {
        std::cerr << "hv-make-world: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
