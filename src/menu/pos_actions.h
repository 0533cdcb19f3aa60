#pragma once
// The ward positions menu's options (100) and the stake reports menu's (700).

#include "menu/loopstate.h"

/// Carries out one option of the ward positions menu (101, 120, 130; the
/// list 110 is hand_off()'s) or of the stake reports menu (701, 720, 730,
/// 790) on `state`. Returns false when `opt` is not one of them.
bool pos_action(int opt, LoopState& state);
