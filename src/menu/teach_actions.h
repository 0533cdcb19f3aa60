#pragma once
// Reading the home-teaching (option 301) and visiting-teaching (401) reports.

#include "menu/loopstate.h"

/// Carries out option 301 or 401 on `state`: the teaching report replaces
/// `HTList` or `VTList` and is merged into the ward list when one exists.
/// The lists of these menus are hand_off()'s. Returns false for any other
/// option.
bool teach_action(int opt, LoopState& state);
