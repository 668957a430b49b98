#include "cli.h"

namespace hv::cli {

std::vector<Command> managerCommands() {
    return {};
}

} // namespace hv::cli
