#include "cli.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code ec;
    auto workDir = std::filesystem::current_path(ec);
    return hv::cli::runCli(args, workDir, std::cout, std::cerr);
}
