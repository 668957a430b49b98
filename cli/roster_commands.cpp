#include "cli.h"

namespace hv::cli {

std::vector<Command> rosterCommands() { return {}; }

} // namespace hv::cli
