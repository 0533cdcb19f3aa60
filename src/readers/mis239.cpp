#include "readers/mis239.h"

#include <string>
#include <string_view>

#include "model/pages.h"
#include "model/splitfld.h"

namespace {

// Page header: the start of the title, then 5 more lines to skip.
const char* const hdr = "MEMBER RECORD NUMBER LIST (MIS 239)";
constexpr int kHeaderLines = 5;
// A data line reaches at least the end of the birth date.
constexpr size_t kMinData = 90;

// A date column, absent when the line does not reach its end or it is blank.
Text date_field(std::string_view line, size_t beg, size_t end) {
  std::string_view date = rtrim_field(line, beg, end);
  return line.size() < end || date.empty() ? Text() : Text(date);
}

}  // namespace

WardMember* read_mis239(FILE* fp) {
  WardMember* list = nullptr;
  WardMember* tail = nullptr;
  std::string line;
  while (read_line(line, fp) == 0) {
    if (begins_page(line, hdr)) {
      if (!skip_lines(line, fp, kHeaderLines)) break;
      continue;
    }
    if (is_page_footer(line) || line.size() < kMinData) continue;

    size_t start = line.front() == '\f' ? 1 : 0;
    size_t comma = line.find(',', start);
    if (comma == std::string::npos) {
      std::fprintf(stderr, "Last name missing comma (%s)\n", line.c_str());
      continue;
    }
    WardMember* mem = create_ward_member();
    if (mem == nullptr) return list;
    std::string_view view(line);
    mem->lpname = Text(view.substr(start, comma - start));
    std::string_view first = view.substr(comma + 1);
    mem->fpname = Text(first.substr(0, first.find('.')));
    mem->recno = Text(extract_field(view, 66, 79));
    mem->birth = Text(extract_field(view, 81, 90));
    mem->baptism = date_field(view, 92, 99);
    mem->confirm = date_field(view, 101, 108);

    append_remembered(list, tail, mem);
  }
  return list;
}

const WardMember* find_member_recno(const WardMember* list, const Text& recno) {
  if (!recno) return nullptr;
  for (const WardMember* mem = list; mem != nullptr; mem = mem->next) {
    if (mem->recno == recno) return mem;
  }
  return nullptr;
}

namespace {

uint64_t recno_hash(const Text& recno) { return KeyHash().add(recno.view()).value(); }

}  // namespace

RecordNumbers::RecordNumbers(const WardMember* mis239) : by_recno_(of_recnos(mis239)) {}

RecordNumbers::Index RecordNumbers::of_recnos(const WardMember* mis239) {
  // Each record number's first entry, as find_member_recno finds it.
  Index::Items items;
  for (const WardMember* e = mis239; e != nullptr; e = e->next) {
    if (e->recno) items.emplace_back(recno_hash(e->recno), e);
  }
  return Index::of(items, Index::kFirst,
                   [](const WardMember* a, const WardMember* b) { return a->recno == b->recno; });
}

const WardMember* RecordNumbers::find(const Text& recno) const {
  if (!recno) return nullptr;
  const WardMember* const* found =
      by_recno_.find(recno_hash(recno), [&](const WardMember* e) { return e->recno == recno; });
  return found != nullptr ? *found : nullptr;
}

void merge_239(WardFamily* mis231, const WardMember* mis239) {
  merge_239(mis231, RecordNumbers(mis239));
}

void merge_239(WardFamily* mis231, const RecordNumbers& mis239) {
  for (WardFamily* fam = mis231; fam != nullptr; fam = fam->next) {
    for (WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      const WardMember* entry = mis239.find(mem->recno);
      if (entry == nullptr) {
        std::fprintf(stderr, "Can't find record in MIS239for '%s, %s' in family '%s, %s'\n",
                     str_or_empty(mem->lname), str_or_empty(mem->fname),
                     str_or_empty(fam->lname), str_or_empty(fam->fname));
        continue;
      }
      copy_into(mem->birth, entry->birth);
      copy_into(mem->baptism, entry->baptism);
      copy_into(mem->confirm, entry->confirm);
    }
  }
}
