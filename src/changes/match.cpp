#include "changes/match.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "model/flatindex.h"
#include "model/splitfld.h"

namespace {

/// Integer items (indexes into a side's vectors) under keys that the caller
/// hashes and compares; each key's items come back in the order they were
/// added, and an item handed out by take() is gone.
class KeyQueues {
 public:
  /// `items` bounds the item values (0 to items - 1); `expected` is the
  /// number of keys expected, for the table size.
  KeyQueues(size_t items, size_t expected) : index_(expected), next_(items, -1) {}

  /// Adds `item` at the end of its key's queue; `same(a, b)` tells whether
  /// items a and b have the same key.
  template <class Same>
  void add(uint64_t hash, int item, Same same) {
    const int* found = index_.find(hash, [&](int b) { return same(item, first_[b]); });
    next_[item] = -1;
    if (found == nullptr) {
      int b = static_cast<int>(first_.size());
      first_.push_back(item);
      head_.push_back(item);
      tail_.push_back(item);
      index_.add_first(hash, b, [&](int x, int y) { return same(first_[x], first_[y]); });
      return;
    }
    int b = *found;
    if (head_[b] < 0) {
      head_[b] = item;
    } else {
      next_[tail_[b]] = item;
    }
    tail_[b] = item;
  }

  /// Removes and returns the oldest item of the key for which `match(item)`
  /// holds; -1 when there is none left.
  template <class Match>
  int take(uint64_t hash, Match match) {
    const int* found = index_.find(hash, [&](int b) { return match(first_[b]); });
    if (found == nullptr) return -1;
    int item = head_[*found];
    if (item >= 0) head_[*found] = next_[item];
    return item;
  }

 private:
  FlatIndex<int> index_;    // key -> queue number
  std::vector<int> next_;   // by item: the next item of its queue
  std::vector<int> first_;  // by queue: the item it was made for (its key)
  std::vector<int> head_;   // by queue: the oldest item left, or -1
  std::vector<int> tail_;   // by queue: the newest item
};

/// Hash of a member's name key: last name, first name, birth date.
uint64_t person_hash(const WardMember* m) {
  KeyHash h;
  h.add_text(m->lname).add_text(m->fname).add(m->bday).add(m->bmonth).add(m->byear);
  return h.value();
}

bool same_person(const WardMember* a, const WardMember* b) {
  return a->lname == b->lname && a->fname == b->fname && std::strcmp(a->bday, b->bday) == 0 &&
         std::strcmp(a->bmonth, b->bmonth) == 0 && std::strcmp(a->byear, b->byear) == 0;
}

/// Hash of a family's name key: last name and head's first name, or, for
/// an entry without members, last name and the name it refers to.
uint64_t family_hash(const WardFamily* f) {
  return KeyHash().add_text(f->lname).add_text(f->fname).add_text(f->sname).value();
}

bool same_family_name(const WardFamily* a, const WardFamily* b) {
  return a->lname == b->lname && a->fname == b->fname && a->sname == b->sname;
}

/// Cuts a list into households with their members and entries without.
void fill_side(const WardFamily* list, MatchSide& side) {
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (fam->members == nullptr) {
      side.entries.push_back({fam, 0, 0, -1});
      continue;
    }
    int index = static_cast<int>(side.families.size());
    MatchFamily f{fam, static_cast<int>(side.members.size()), 0, -1};
    for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      side.members.push_back({mem, index, -1});
      ++f.count;
    }
    side.families.push_back(f);
  }
}

/// The real record numbers of a side's members, by member index.
std::vector<std::string_view> recnos_of(const MatchSide& side) {
  std::vector<std::string_view> out;
  out.reserve(side.members.size());
  for (const MatchMember& m : side.members) out.push_back(real_recno(m.mem));
  return out;
}

uint64_t recno_hash(std::string_view recno) { return KeyHash().add(recno).value(); }

/// Pairs the item `o` of `olds` with the item `n` of `news`.
template <class Item>
void pair_up(std::vector<Item>& olds, int o, std::vector<Item>& news, int n) {
  olds[o].other = n;
  news[n].other = o;
}

/// Pairs the members of both sides: by record number, then by name key.
void pair_members(MatchSide& old_side, MatchSide& new_side) {
  std::vector<std::string_view> old_rec = recnos_of(old_side);
  std::vector<std::string_view> new_rec = recnos_of(new_side);
  std::vector<MatchMember>& olds = old_side.members;
  std::vector<MatchMember>& news = new_side.members;

  FlatIndex<int> by_recno(olds.size());
  for (int i = 0; i < std::ssize(olds); ++i) {
    if (old_rec[i].empty()) continue;
    by_recno.add_first(recno_hash(old_rec[i]), i,
                       [&](int a, int b) { return old_rec[a] == old_rec[b]; });
  }
  for (int i = 0; i < std::ssize(news); ++i) {
    if (new_rec[i].empty()) continue;
    const int* o = by_recno.find(recno_hash(new_rec[i]),
                                 [&](int a) { return old_rec[a] == new_rec[i]; });
    if (o != nullptr && olds[*o].other < 0) pair_up(olds, *o, news, i);
  }

  // The rest by name and birth date; two real record numbers that differ
  // are two people.
  auto same = [&](int a, int b) { return same_person(olds[a].mem, olds[b].mem); };
  KeyQueues without(olds.size(), olds.size());
  KeyQueues with(olds.size(), olds.size());
  for (int i = 0; i < std::ssize(olds); ++i) {
    if (olds[i].other >= 0) continue;
    (old_rec[i].empty() ? without : with).add(person_hash(olds[i].mem), i, same);
  }
  for (int i = 0; i < std::ssize(news); ++i) {
    if (news[i].other >= 0) continue;
    const WardMember* mem = news[i].mem;
    uint64_t h = person_hash(mem);
    auto match = [&](int a) { return same_person(olds[a].mem, mem); };
    int o = without.take(h, match);
    if (o < 0 && new_rec[i].empty()) o = with.take(h, match);
    if (o >= 0) pair_up(olds, o, news, i);
  }
}

/// 1 when member `m` heads its family, 2 when it is the spouse listed
/// second, else 0.
int role_of(const MatchSide& side, int m) {
  const MatchFamily& f = side.families[side.members[m].family];
  if (m == f.first) return 1;
  if (m == f.first + 1 && side.members[m].mem->type == 2) return 2;
  return 0;
}

/// Pairs the households of both sides; members must be paired already.
void pair_households(MatchSide& old_side, MatchSide& new_side) {
  std::vector<MatchFamily>& olds = old_side.families;
  std::vector<MatchFamily>& news = new_side.families;
  auto free_old = [&](int m) { return m >= 0 && olds[old_side.members[m].family].other < 0; };

  // 1. The same head.
  for (int n = 0; n < std::ssize(news); ++n) {
    int o = new_side.members[news[n].first].other;
    if (free_old(o) && role_of(old_side, o) == 1) {
      pair_up(olds, old_side.members[o].family, news, n);
    }
  }

  // 2. Head or spouse was head or spouse.
  for (int n = 0; n < std::ssize(news); ++n) {
    if (news[n].other >= 0) continue;
    for (int k = 0; k < 2 && k < news[n].count; ++k) {
      int m = news[n].first + k;
      if (role_of(new_side, m) == 0) continue;
      int o = new_side.members[m].other;
      if (free_old(o) && role_of(old_side, o) != 0) {
        pair_up(olds, old_side.members[o].family, news, n);
        break;
      }
    }
  }

  // 3. The same name, when neither head is found elsewhere and the heads are
  // not two people with different record numbers.
  auto same = [&](int a, int b) { return same_family_name(olds[a].fam, olds[b].fam); };
  KeyQueues without(olds.size(), olds.size());
  KeyQueues with(olds.size(), olds.size());
  for (int o = 0; o < std::ssize(olds); ++o) {
    const MatchMember& head = old_side.members[olds[o].first];
    if (olds[o].other >= 0 || head.other >= 0) continue;
    (real_recno(head.mem).empty() ? without : with).add(family_hash(olds[o].fam), o, same);
  }
  for (int n = 0; n < std::ssize(news); ++n) {
    const MatchMember& head = new_side.members[news[n].first];
    if (news[n].other >= 0 || head.other >= 0) continue;
    const WardFamily* fam = news[n].fam;
    uint64_t h = family_hash(fam);
    auto match = [&](int a) { return same_family_name(olds[a].fam, fam); };
    int o = without.take(h, match);
    if (o < 0 && real_recno(head.mem).empty()) o = with.take(h, match);
    if (o >= 0) pair_up(olds, o, news, n);
  }

  // 4. Through the members they share.
  std::vector<std::pair<int, int>> found;  // older family, member position
  for (int n = 0; n < std::ssize(news); ++n) {
    if (news[n].other >= 0) continue;
    found.clear();
    for (int k = 0; k < news[n].count; ++k) {
      int o = new_side.members[news[n].first + k].other;
      if (free_old(o)) found.emplace_back(old_side.members[o].family, k);
    }
    std::sort(found.begin(), found.end());
    int best = -1, best_count = 0, best_pos = 0;
    for (size_t i = 0; i < found.size();) {
      size_t j = i;
      while (j < found.size() && found[j].first == found[i].first) ++j;
      int count = static_cast<int>(j - i);
      if (count > best_count || (count == best_count && found[i].second < best_pos)) {
        best = found[i].first;
        best_count = count;
        best_pos = found[i].second;
      }
      i = j;
    }
    if (best >= 0 && 2 * best_count >= olds[best].count) {
      pair_up(olds, best, news, n);
    }
  }
}

/// Pairs the entries without members by their names.
void pair_entries(MatchSide& old_side, MatchSide& new_side) {
  std::vector<MatchFamily>& olds = old_side.entries;
  std::vector<MatchFamily>& news = new_side.entries;
  KeyQueues queues(olds.size(), olds.size());
  for (int o = 0; o < std::ssize(olds); ++o) {
    queues.add(family_hash(olds[o].fam), o,
               [&](int a, int b) { return same_family_name(olds[a].fam, olds[b].fam); });
  }
  for (int n = 0; n < std::ssize(news); ++n) {
    const WardFamily* fam = news[n].fam;
    int o =
        queues.take(family_hash(fam), [&](int a) { return same_family_name(olds[a].fam, fam); });
    if (o >= 0) pair_up(olds, o, news, n);
  }
}

}  // namespace

std::string_view real_recno(const WardMember* mem) {
  std::string_view r = trim_view(mem->recno.view());
  constexpr std::string_view kPseudo = "999-9999-";
  bool pseudo = r.size() == kPseudo.size() + 4 && r.starts_with(kPseudo) &&
                std::ranges::all_of(r.substr(kPseudo.size()), is_digit);
  return pseudo ? std::string_view() : r;
}

DirectoryMatch match_directories(const WardFamily* old_list, const WardFamily* new_list) {
  DirectoryMatch match;
  fill_side(old_list, match.old_side);
  fill_side(new_list, match.new_side);
  pair_members(match.old_side, match.new_side);
  pair_households(match.old_side, match.new_side);
  pair_entries(match.old_side, match.new_side);
  return match;
}
