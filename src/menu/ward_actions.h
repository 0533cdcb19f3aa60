#pragma once
// The ward list menu's options (200) and the miscellaneous menu's (1).

#include "menu/loopstate.h"

/// Carries out one option of the ward list menu (201-290, 215) or of the
/// miscellaneous menu (7, 8, 9, 22) on `state`. Returns false when `opt` is
/// not one of them.
bool ward_action(int opt, LoopState& state);
