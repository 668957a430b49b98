#include "cli.h"

namespace hv::cli {

std::vector<Command> otherFedCommands() {
    return {};
}

} // namespace hv::cli
