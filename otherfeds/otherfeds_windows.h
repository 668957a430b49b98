#pragma once

// The trading window. Returns a new top-level window that has already read the four rosters
// of the slot in use and keeps working on that slot until it is closed.

#include "otherfeds_ops.h"

#include "ui/editor_context.h"

class QWidget;

namespace hv::otherfeds {

inline constexpr char kTradingCaption[] = "Trading Rosters";

// `traderos`, drawing potentials from std::rand, which the main window seeds at each load.
QWidget* createTradingWindow(ui::EditorContext& context);
// The same with the draws taken from `random` (tests fix them here).
QWidget* createTradingWindow(ui::EditorContext& context, RandomSource random);

} // namespace hv::otherfeds
