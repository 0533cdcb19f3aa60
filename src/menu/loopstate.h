#pragma once
// What the menu loop keeps between options.

#include <cstdio>
#include <memory>
#include <string>

#include "menu/prompt.h"
#include "model/arena.h"
#include "model/infile.h"
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

/// Prompts for a report (default `deflt`) and reads it with `read` into
/// `list`, in a new arena that replaces `arena`; the old list goes first, so
/// that the two never take memory at once. Returns false, after "Can't open
/// input file (%s)\n" on the error stream and with both left as they were,
/// when the report cannot be opened.
template <class List>
bool read_new_list(const char* deflt, List* (*read)(FILE*), List*& list,
                   std::shared_ptr<Arena>& arena) {
  std::string name = prompt_name(deflt, "Enter name of report (%s): ");
  InputFile in(name);
  if (!in) {
    std::fprintf(stderr, "Can't open input file (%s)\n", name.c_str());
    return false;
  }
  list = nullptr;
  arena = std::make_shared<Arena>();
  arena->expect(in.size());
  ArenaScope scope(*arena);
  list = read(in.get());
  return true;
}
