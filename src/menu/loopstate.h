#pragma once
// What the menu loop keeps between options.

#include <memory>

#include "model/arena.h"
#include "model/kinroll.h"

/// The lists the menu loop holds; each empty (null) until its read option
/// succeeds, and replaced by the next successful read. Each list lives in
/// an arena of its own, so a list that is replaced gives its memory back
/// unless another list still points at its records (the ward list's
/// members point at the organisations of the positions they hold).
struct LoopState {
  WardFamily* ward = nullptr;    ///< current ward list (directory, option 201)
  WardFamily* HTList = nullptr;  ///< home-teaching list (option 301)
  WardFamily* VTList = nullptr;  ///< visiting-teaching list (option 401)
  WardOrg* org = nullptr;        ///< current organisation list (option 101)

  std::shared_ptr<Arena> ward_arena = std::make_shared<Arena>();
  std::shared_ptr<Arena> ht_arena = std::make_shared<Arena>();
  std::shared_ptr<Arena> vt_arena = std::make_shared<Arena>();
  std::shared_ptr<Arena> org_arena = std::make_shared<Arena>();
};
