#include "cli.h"

namespace hv::cli {

std::vector<Command> reportCommands() {
    return {};
}

} // namespace hv::cli
