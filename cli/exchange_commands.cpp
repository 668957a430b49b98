#include "cli.h"

namespace hv::cli {

std::vector<Command> exchangeCommands() {
    return {};
}

} // namespace hv::cli
