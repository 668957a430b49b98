#include "savegame_ops.h"
