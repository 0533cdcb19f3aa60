#pragma once
// Large blocks of memory that the system may back with huge pages: the
// index tables, whose accesses land anywhere in them. (The arenas' huge
// chunks get huge pages in their own reserved range, model/arena.cpp.)

#include <cstddef>

/// Size and alignment of a huge page.
inline constexpr size_t kHugePage = 2 * 1024 * 1024;

/// `size` bytes (a multiple of kHugePage) of fresh zero memory aligned to
/// kHugePage, offered to the system for huge pages; null when none can be
/// had. Give it back with unmap_huge().
void* map_huge(size_t size);

/// Gives back `size` bytes at `p` from map_huge().
void unmap_huge(void* p, size_t size);
