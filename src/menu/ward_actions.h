#pragma once
// The ward list menu's options (200) and the miscellaneous menu's (1).

#include "menu/loopstate.h"

/// Carries out one option of the ward list menu that reads a report (201,
/// 202, 209) or of the miscellaneous menu (7, 8, 9) on `state`; the lists of
/// both are hand_off()'s. Returns false when `opt` is not one of them.
bool ward_action(int opt, LoopState& state);
