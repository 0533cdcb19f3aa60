#include "writers/wardlists.h"

#include "model/put.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "model/arena.h"
#include "model/hugemem.h"
#include "writers/wardpalm.h"

namespace {

/// True when the member's status is exactly "Nonmembr".
bool is_nonmember(const WardMember* mem) { return mem->stat == "Nonmembr"; }

/// The zip code of a zip-list node; the empty text when it has none.
std::string_view node_zip(const WardFam* node) {
  return node->fam != nullptr ? node->fam->zip.view() : std::string_view();
}

}  // namespace

void create_palm_phonebook(const WardFamily* list, FILE* fp) {
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    write_palm_phonebook(fam, fp);
  }
}

PhoneBookEntry phonebook_entry(const WardFamily* fam) {
  PhoneBookEntry entry;
  entry.surname = fam->lname.view();
  entry.couple = palm_couple_names(fam);
  for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
    if (mem->type == 3) entry.children.push_back(mem->fname.view());
  }
  if (fam->addr) entry.address = fam->addr.view();
  if (fam->city) {
    std::string& city = entry.city.emplace(fam->city.view());
    if (fam->state) city.append(", ").append(fam->state.view());
    if (fam->zip) city.append(" ").append(fam->zip.view());
  }
  entry.phone = fam->phone.view();
  return entry;
}

void write_palm_phonebook(const WardFamily* fam, FILE* fp) {
  PhoneBookEntry entry = phonebook_entry(fam);
  Putter out(fp);
  put(out, '\n', entry.surname, entry.couple);  // "\n%s" and the names
  for (size_t i = 0; i < entry.children.size(); ++i) {
    put(out, i == 0 ? "\n   " : ", ", entry.children[i]);  // "\n   %s", ", %s"
  }
  put(out, '\n');
  if (entry.address) put(out, "  ", *entry.address, '\n');  // "  %s\n"
  if (entry.city) put(out, "  ", *entry.city, '\n');        // "  %s", ", %s", " %s", "\n"
  if (!entry.phone.empty()) put(out, ' ', entry.phone, '\n');  // " %s\n"
}

void create_palm_addr(const WardFamily* list, FILE* fp) {
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    write_palm_addr(fam, fp);
  }
}

void write_palm_addr(const WardFamily* fam, FILE* fp) {
  std::fprintf(fp, "%s", str_or_empty(fam->lname));
  if (fam->sname || fam->lname.contains("(See ")) {
    std::fprintf(fp, "\n");
    return;
  }
  std::fprintf(fp, ", %s", str_or_empty(fam->fname));

  const WardMember* second = fam->members != nullptr ? fam->members->next : nullptr;
  if (second != nullptr && second->type != 3) {
    std::fprintf(fp, " & %s", str_or_empty(second->fname));
  }

  if (!fam->phone.empty()) {
    std::fprintf(fp, ": %s, ", fam->phone.c_str());
  } else {
    std::fprintf(fp, " [no phone] ");
  }

  if (fam->addr) std::fprintf(fp, "%s", fam->addr.c_str());
  if (fam->city) std::fprintf(fp, ", %s", fam->city.c_str());
  if (fam->state) std::fprintf(fp, " %s", fam->state.c_str());
  if (fam->zip) std::fprintf(fp, " %s", fam->zip.c_str());
  std::fprintf(fp, "\n  ");

  // Everybody's birthday, month before day.
  for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
    std::fprintf(fp, "%s %s %s", str_or_empty(mem->fname), mem->bmonth, mem->bday);
    if (mem->next != nullptr) std::fprintf(fp, ", ");
  }
  std::fprintf(fp, "\n");
}

void create_palm_zip(const WardFamily* list, FILE* fp) {
  // Each family goes with the first eight bytes of its zip code as one
  // number, so that sorting mostly compares numbers instead of reaching
  // into the texts, and with its place in the list.
  struct Keyed {
    uint64_t head;
    std::string_view zip;
    const WardFamily* fam;
    size_t seq;
  };
  std::vector<Keyed, LargeAllocator<Keyed>> chain;
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (!fam->zip) continue;
    std::string_view zip = fam->zip.view();
    uint64_t head = 0;
    for (size_t i = 0; i < 8; ++i) {
      head = head << 8 | (i < zip.size() ? static_cast<unsigned char>(zip[i]) : 0u);
    }
    chain.push_back({head, zip, fam, chain.size()});
  }
  // Ascending by zip code, list order among equal codes: the order that
  // insert_fam_zip gives node by node, without its walk from the head.
  std::sort(chain.begin(), chain.end(), [](const Keyed& a, const Keyed& b) {
    if (a.head != b.head) return a.head < b.head;
    return a.zip != b.zip ? a.zip < b.zip : a.seq < b.seq;
  });

  Putter out(fp);
  std::string_view prev;
  for (const Keyed& keyed : chain) {
    const WardFamily* fam = keyed.fam;
    if (is_bracketed(fam->lname)) continue;
    if (keyed.zip != prev) {
      put(out, '*', fam->zip, ' ', fam->city, ", ", fam->state, '\n');  // "*%s %s, %s\n"
      prev = keyed.zip;
    }
    put(out, fam->zip, ' ', fam->lname, ", ", fam->fname, '\n');  // "%s %s, %s\n"
  }
}

WardFam* insert_fam_zip(WardFam* list, WardFam* ent) {
  if (ent == nullptr) return list;
  std::string_view zip = node_zip(ent);
  if (list == nullptr || node_zip(list) > zip) {
    ent->next = list;
    return ent;
  }
  WardFam* at = list;
  while (at->next != nullptr && !(node_zip(at->next) > zip)) at = at->next;
  ent->next = at->next;
  at->next = ent;
  return list;
}

void create_palm_sap(const WardFamily* list, FILE* fp) {
  Putter out(fp);
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    const WardMember* head = fam->members;
    if (head == nullptr || head->next == nullptr) continue;
    if (head->next->type == 3) write_palm_family_full(fam, out, 0);
  }
}

void create_palm_nonm(const WardFamily* list, FILE* fp) {
  Putter out(fp);
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    const WardMember* head = fam->members;
    if (head == nullptr || head->next == nullptr) continue;
    const WardMember* second = head->next;
    if (is_nonmember(head) || (second->type == 2 && is_nonmember(second))) {
      write_palm_family_full(fam, out, 0);
    }
  }
}
