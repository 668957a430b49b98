#include "cli.h"

#include "gamefiles/options.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code ec;
    auto workDir = std::filesystem::current_path(ec);
    // Names on the command line count from the working folder; options.dat is where the
    // editor keeps it too.
    return hv::cli::runCli(args, workDir, std::cout, std::cerr, hv::optionsFolder());
}
