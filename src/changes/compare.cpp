#include "changes/compare.h"

#include <algorithm>
#include <functional>
#include <new>
#include <string_view>
#include <tuple>
#include <vector>

#include "changes/describe.h"
#include "model/arena.h"

namespace {

/// Collects the changes in printout order, before they are sorted.
class Changes {
 public:
  /// Adds a change holding the fields of `change`.
  void add(const WardChange& change) {
    WardChange* c = Arena::current().make<WardChange>();
    if (c == nullptr) throw std::bad_alloc();
    *c = change;
    all_.push_back(c);
  }

  /// Adds a kNote change for each note of `notes` whose text is not among
  /// `before` (the counterpart's notes; null when it has none or there is no
  /// counterpart), in the chain's order.
  void add_new_notes(const WardErr* notes, const WardErr* before, const WardFamily* fam,
                     const WardMember* mem) {
    for (const WardErr* e = notes; e != nullptr; e = e->next) {
      const WardErr* b = before;
      while (b != nullptr && !(b->msg == e->msg)) b = b->next;
      if (b == nullptr) add({.kind = ChangeKind::kNote, .new_fam = fam, .new_mem = mem, .note = e});
    }
  }

  /// The changes sorted by kind, name and printout order, chained.
  WardChange* chain() {
    std::ranges::stable_sort(all_, std::less<>(), key_of);
    WardChange* head = nullptr;
    WardChange* tail = nullptr;
    for (WardChange* c : all_) append_remembered(head, tail, c);
    return head;
  }

 private:
  /// Kind, last name, first name.
  using Key = std::tuple<int, std::string_view, std::string_view>;

  /// The name a change is sorted by: the person's for member changes and
  /// member notes, else the household's.
  static Key key_of(const WardChange* c) {
    int kind = static_cast<int>(c->kind);
    const WardMember* mem = change_member(c);
    if (mem != nullptr) return {kind, mem->lname.view(), mem->fname.view()};
    const WardFamily* fam = change_family(c);
    return {kind, fam->lname.view(), fam->fname.view()};
  }

  std::vector<WardChange*> all_;
};

}  // namespace

WardChange* compare_directories(const DirectoryMatch& match) {
  const MatchSide& olds = match.old_side;
  const MatchSide& news = match.new_side;
  Changes out;

  for (const MatchFamily& nf : news.families) {
    const WardFamily* before = nf.other >= 0 ? olds.families[nf.other].fam : nullptr;
    if (before == nullptr) {
      out.add({.kind = ChangeKind::kMovedIn, .new_fam = nf.fam});
    } else {
      if (address_line(before) != address_line(nf.fam)) {
        out.add({.kind = ChangeKind::kAddress, .old_fam = before, .new_fam = nf.fam});
      }
      if (before->phone.view() != nf.fam->phone.view()) {
        out.add({.kind = ChangeKind::kPhone, .old_fam = before, .new_fam = nf.fam});
      }
    }
    out.add_new_notes(nf.fam->err, before != nullptr ? before->err : nullptr, nf.fam, nullptr);

    for (int k = 0; k < nf.count; ++k) {
      const MatchMember& nm = news.members[nf.first + k];
      const MatchMember* om = nm.other >= 0 ? &olds.members[nm.other] : nullptr;
      if (om == nullptr && before != nullptr) {
        out.add({.kind = ChangeKind::kMemberAdded, .new_fam = nf.fam, .new_mem = nm.mem});
      }
      if (om != nullptr && om->family != nf.other) {
        out.add({.kind = ChangeKind::kMemberMoved,
                 .old_fam = olds.families[om->family].fam,
                 .new_fam = nf.fam,
                 .old_mem = om->mem,
                 .new_mem = nm.mem});
      }
      if (om != nullptr &&
          (!(om->mem->lname == nm.mem->lname) || !(om->mem->fname == nm.mem->fname))) {
        out.add(
            {.kind = ChangeKind::kName, .new_fam = nf.fam, .old_mem = om->mem, .new_mem = nm.mem});
      }
      out.add_new_notes(nm.mem->err, om != nullptr ? om->mem->err : nullptr, nf.fam, nm.mem);
    }
  }

  for (const MatchFamily& of : olds.families) {
    if (of.other < 0) {
      out.add({.kind = ChangeKind::kMovedOut, .old_fam = of.fam});
      continue;
    }
    for (int k = 0; k < of.count; ++k) {
      const MatchMember& om = olds.members[of.first + k];
      if (om.other >= 0) continue;
      out.add({.kind = ChangeKind::kMemberGone, .old_fam = of.fam, .old_mem = om.mem});
    }
  }

  for (const MatchFamily& ne : news.entries) {
    const WardErr* before = ne.other >= 0 ? olds.entries[ne.other].fam->err : nullptr;
    out.add_new_notes(ne.fam->err, before, ne.fam, nullptr);
  }
  return out.chain();
}

int count_changes(const WardChange* list, ChangeKind kind) {
  int n = 0;
  for (const WardChange* c = list; c != nullptr; c = c->next) n += c->kind == kind;
  return n;
}
