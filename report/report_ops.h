#pragma once

// The Qt-free operations of this part of the editor, shared by its windows and `hv`.

namespace hv::report {} // namespace hv::report
