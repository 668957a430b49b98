#include "cli.h"

namespace hv::cli {

std::vector<Command> saveGameCommands() {
    return {};
}

} // namespace hv::cli
