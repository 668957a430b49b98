#pragma once

// Restore points: undo for the game folder. Every operation that changes game files opens a
// RestoreScope; each file the operation replaces is kept, just before the replace, under
// ".hv-restore/SLOT/ID/" in the game folder (which the game never reads) as a hard link to
// the old file, so keeping it copies no bytes. Where a link is impossible (another file
// system, FAT) the old file is copied. One point per operation, the newest 50 per slot.
//   file_state.h     what a file holds (FileState), to tell a change made since
//   restore_point.h  a point's record, and the points of a slot
//   restore_scope.h  the scope of one change, which makes its point

#include "file_state.h"
#include "restore_point.h"
#include "restore_scope.h"
