#pragma once
// The home-teaching menu's options (300) and the visiting-teaching menu's
// (400).

#include "menu/loopstate.h"

/// Carries out one option of the home-teaching menu (301, 310, 312, 320,
/// and 314, which no menu lists) or of the visiting-teaching menu (401, 410,
/// 412, 420) on `state`. Reading a teaching report replaces `HTList` or
/// `VTList` and merges it into the ward list when one exists; the lists are
/// written from `HTList` or `VTList` as handheld documents. Returns false
/// when `opt` is not one of them.
bool teach_action(int opt, LoopState& state);
