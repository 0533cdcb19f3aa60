#include "writers/stakedoc.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "model/arena.h"
#include "model/filepart.h"
#include "model/outfile.h"
#include "model/shell.h"
#include "model/splitfld.h"

namespace {

constexpr int kLetters = 26;

/// The positions document body of one unit.
void write_unit_positions(const UnitName* u, FILE* fp) {
  std::fprintf(fp, "=%s Ward Positions\n", str_or_empty(u->display));
  for (const WardOrg* org = u->orgs; org != nullptr; org = org->next) {
    std::fprintf(fp, "^%s\n", str_or_empty(org->org));
    write_stake_positions(org, fp);
  }
  std::fprintf(fp, "<^>\n");
}

/// True when `a` orders before `b`, comparing bytes with a-z taken as A-Z.
bool before(const alpha* a, const alpha* b) {
  auto byte = [](char c) { return static_cast<unsigned char>(to_upper(c)); };
  return std::ranges::lexicographical_compare(a->name.view(), b->name.view(), {}, byte, byte);
}

}  // namespace

void write_stake_positions(const WardOrg* org, FILE* fp) {
  for (const WardPos* p = org->pos; p != nullptr; p = p->next) {
    std::fprintf(fp, "%s\n", str_or_empty(p->pos));
    if (!p->per) {
      std::fprintf(fp, "\t[Unassigned]\n");
      continue;
    }
    std::fprintf(fp, "\t%s", p->per.c_str());
    if (p->ph) std::fprintf(fp, " %s", p->ph.c_str());
    if (p->sus) std::fprintf(fp, " [%s]", p->sus.c_str());
    std::fprintf(fp, "\n");
  }
}

ProdPtrList* create_alpha_buckets() {
  ProdPtrList* list = create_ptr_prodlist(kLetters);  // null slots
  if (list != nullptr) list->nitems = list->maxitems;
  return list;
}

void insert_alpha(ProdPtrList* alpha_list, UnitName* uname, WardOrg* org, WardPos* pos) {
  if (alpha_list == nullptr || uname == nullptr || org == nullptr || pos == nullptr) return;
  char initial = pos->per.empty() ? '\0' : pos->per.front();
  if (!is_upper(initial)) return;
  size_t k = static_cast<size_t>(initial - 'A');
  if (k >= alpha_list->item.size() || static_cast<int>(k) >= alpha_list->nitems) return;

  alpha* ent = Arena::current().make<alpha>();
  if (ent == nullptr) {
    std::fprintf(stderr, "Can't allocate alpha struct\n");
    return;
  }
  *ent = {.next = static_cast<alpha*>(alpha_list->item[k]), .name = pos->per, .uname = uname,
          .org = org, .pos = pos};
  alpha_list->item[k] = ent;
}

void sort_alpha_buckets(ProdPtrList* alpha_list) {
  if (alpha_list == nullptr) return;
  std::vector<alpha*> bucket;
  for (int k = 0; k < alpha_list->nitems; ++k) {
    void*& slot = alpha_list->item[static_cast<size_t>(k)];
    bucket.clear();
    for (auto* a = static_cast<alpha*>(slot); a != nullptr; a = a->next) bucket.push_back(a);
    // insert_alpha put the newest first: turn the bucket round, then sort it
    // stably and chain it anew.
    std::reverse(bucket.begin(), bucket.end());
    std::stable_sort(bucket.begin(), bucket.end(), before);
    alpha* head = nullptr;
    for (auto it = bucket.rbegin(); it != bucket.rend(); ++it) {
      (*it)->next = head;
      head = *it;
    }
    slot = head;
  }
}

void write_smis_txt(std::string_view dirname, const Text& instapp) {
  each_unit([&](const UnitName* u) {
    // The abbreviation names a file inside the folder, whatever it holds.
    const std::string base = std::string(dirname) + "/" + file_part(u->abbr.view()) + "Pos";
    const std::string name = base + ".txt";
    OutputFile out;
    if (!open_or_report(out, name, "Can't open output file (%s)\n")) return;
    write_unit_positions(u, out.get());
    if (!out.commit()) return;
    hand_to_converter(instapp, base, shell_dquoted(u->display.view()) + " Positions",
                      "Executing %s ...\n");
  });
}

void write_smis_alpha(std::string_view dirname, std::string_view fname, const Text& instapp) {
  // The entries are made for this document only and go with it.
  Arena entries;
  ArenaScope scope(entries);
  ProdPtrList* buckets = create_alpha_buckets();
  if (buckets == nullptr) {
    std::fprintf(stderr, "Can't create alpha list\n");
    return;
  }
  const std::string base = std::string(dirname) + "/" + std::string(fname);
  const std::string name = base + ".txt";
  OutputFile out;
  if (!open_or_report(out, name, "Can't open output file (%s)\n")) {
    free_ptr_prodlist(buckets);
    return;
  }

  each_unit([&](UnitName* u) {
    for (WardOrg* org = u->orgs; org != nullptr; org = org->next) {
      for (WardPos* p = org->pos; p != nullptr; p = p->next) insert_alpha(buckets, u, org, p);
    }
  });
  sort_alpha_buckets(buckets);

  FILE* fp = out.get();
  for (int k = 0; k < kLetters; ++k) {
    const alpha* a = static_cast<const alpha*>(buckets->item[static_cast<size_t>(k)]);
    if (a == nullptr) continue;
    std::fprintf(fp, "^%c\n", 'A' + k);
    for (; a != nullptr; a = a->next) {
      std::fprintf(fp, "%s [%s]\n", a->name.c_str(), str_or_empty(a->uname->abbr));
      std::fprintf(fp, "\t%s: %s\n", str_or_empty(a->org->org), str_or_empty(a->pos->pos));
    }
  }
  std::fprintf(fp, "<^>\n");
  free_ptr_prodlist(buckets);
  if (out.commit()) {
    hand_to_converter(instapp, base, "Stake Alphabetical List", "Executing %s ...\n");
  }
}
