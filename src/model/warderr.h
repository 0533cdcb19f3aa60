#pragma once
// Error notes that the readers attach to families and members.

#include <string_view>

#include "model/kinroll.h"

/// Attaches a copy of `msg` to `fam` as its newest note (the head of
/// `fam->err`). Without memory the note is dropped silently.
void add_fam_err(WardFamily* fam, std::string_view msg);

/// The same for a member's notes.
void add_mem_err(WardMember* mem, std::string_view msg);
