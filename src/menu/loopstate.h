#pragma once
// What the menu loop keeps between options.

#include "model/kinroll.h"

/// The lists the menu loop holds; each empty (null) until its read option
/// succeeds, and replaced, never released, by the next successful read.
struct LoopState {
  WardFamily* ward = nullptr;    ///< current ward list (directory, option 201)
  WardFamily* HTList = nullptr;  ///< home-teaching list (option 301)
  WardFamily* VTList = nullptr;  ///< visiting-teaching list (option 401)
  WardOrg* org = nullptr;        ///< current organisation list (option 101)
};
