#include "readers/mis231.h"

#include <algorithm>
#include <string>

#include "model/lookup.h"
#include "model/pages.h"
#include "model/splitfld.h"
#include "model/warderr.h"

namespace {

// Page header: the start of the title, then 5 more lines to skip.
const char* const hdr = "DIRECTORY OF MEMBERS (MIS 231)";
constexpr int kHeaderLines = 5;
/// The family part of a line is columns 0-40; the member part starts at 41.
constexpr size_t kMemberCol = 41;

bool is_letter(char c) { return is_upper(c) || (c >= 'a' && c <= 'z'); }

/// True when every character of `s` is a digit or '-'.
bool digits_or_dash(std::string_view s) {
  return s.find_first_not_of("0123456789-") == std::string_view::npos;
}

/// Columns [beg, end) of `line` without trailing blanks, but always keeping
/// the first column when the line reaches it. Views into `line`.
std::string_view trim_keep_first(std::string_view line, size_t beg, size_t end) {
  std::string_view f = extract_field(line, beg, end);
  size_t n = f.size();
  while (n > 1 && is_blank(f[n - 1])) --n;
  return f.substr(0, n);
}

/// Copies columns [beg, beg + n) of `line` into `dst`, which holds n + 1.
void copy_cols(char* dst, std::string_view line, size_t beg, size_t n) {
  std::string_view f = extract_field(line, beg, beg + n);
  f.copy(dst, f.size());
  dst[f.size()] = 0;
}

/// The "Total" line after the last family: column 0 blank, then "Total".
bool is_end_of_data(std::string_view line) {
  return !line.empty() && is_blank(line[0]) && ltrim_view(line).starts_with("Total");
}

/// The checks on a family name line.
void check_last_name(WardFamily* fam, std::string_view line, std::string_view name) {
  if (is_blank(line[0])) add_fam_err(fam, "Last Name starts with space");
  auto fits = [](char c) { return is_upper(c) || is_blank(c) || c == '-'; };
  if (!std::ranges::all_of(name, fits)) add_fam_err(fam, "Last Name formatted wrong");
}

/// Fills a cross-reference family from its name text, the final ')' dropped.
void set_cross_reference(WardFamily* fam, std::string_view text) {
  size_t see = text.find("(See ");
  if (see == std::string_view::npos) {
    add_fam_err(fam, "Last name has paren");
    fam->lname = Text(text);
    return;
  }
  fam->sname = Text(text.substr(see + 5));
  fam->lname = Text(text.substr(0, see > 0 ? see - 1 : 0));
}

/// Reads the member part of `line` (at least 41 characters) into `mem`.
void read_member(WardMember* mem, std::string_view line) {
  size_t start = line.size() > kMemberCol && line[kMemberCol] == ' ' ? kMemberCol + 1 : kMemberCol;
  mem->fname = Text(trim_keep_first(line, start, 63));
  if (mem->fname.empty()) add_mem_err(mem, "Missing first name");

  mem->sex = line.size() > 63 ? line[63] : 0;
  if (mem->sex != 'M' && mem->sex != 'F') add_mem_err(mem, "Invalid sex");

  mem->stat = Text(trim_keep_first(line, 65, 74));

  if (line.size() > 74) {
    if (line[74] == ' ') {
      if (mem->stat.view() != "Nonmembr") add_mem_err(mem, "Missing Birthday");
    } else {
      copy_cols(mem->bday, line, 74, 2);
      if (!is_digit(mem->bday[0]) || !is_digit(mem->bday[1])) add_mem_err(mem, "Invalid birth day");
      copy_cols(mem->bmonth, line, 76, 3);
      if (convert_month(mem->bmonth) == 0) add_mem_err(mem, "Invalid birth month");
      if (line.size() > 79 && is_digit(line[79])) {
        copy_cols(mem->byear, line, 79, 2);
        if (!is_digit(mem->byear[1])) add_mem_err(mem, "Invalid birth year");
      }
    }
  }

  if (line.size() > 87 && is_digit(line[87])) mem->age = read_number(line, 86);
  if (line.size() > 95) mem->recno = Text(line.substr(95));
}

/// Makes `mem` the head of `fam` when it has no member yet, else appends it
/// as a spouse (name from column 41) or a child (column 41 blank).
/// `last` is the family's last member and becomes `mem`.
void join_family(WardFamily* fam, WardMember* mem, std::string_view line, WardMember*& last) {
  mem->lname = fam->lname;
  if (fam->members == nullptr) {
    mem->type = 1;
    fam->fname = mem->fname;
    fam->recno = mem->recno;
  } else {
    mem->type = (line.size() > kMemberCol && is_blank(line[kMemberCol])) ? 3 : 2;
  }
  append_member_after(fam, last, mem);
}

/// Moves `from` into `to`, leaving `from` absent.
void move_text(Text& to, Text& from) {
  to = std::move(from);
  from.reset();
}

/// Takes the zip code (the last word) off the end of `city` unless the
/// family already has one.
void take_zip(WardFamily* fam, std::string& city) {
  if (fam->zip) return;
  size_t blank = city.size();
  while (blank > 0 && !is_blank(city[blank - 1])) --blank;
  std::string word = city.substr(blank);
  if (!digits_or_dash(word)) {
    add_fam_err(fam, "Missing zip code");
    return;
  }
  if (word.size() == 5) {
    fam->zip = word;
  } else if (word.size() == 10) {
    fam->zip = word.substr(0, 5);
    fam->zip2 = word.substr(6, 4);
  } else {
    add_fam_err(fam, "Invalid Zip Code");
  }
  city.erase(blank);
}

/// Splits the state word off the end of `city` and leaves the city name.
void take_state(WardFamily* fam, std::string& city) {
  size_t beg = city.size();
  while (beg > 0 && city[beg - 1] != ',' && !is_blank(city[beg - 1])) --beg;
  std::string word = city.substr(beg);
  if (word.size() == 2 && is_letter(word[0]) && is_letter(word[1])) {
    fam->state = word;
  } else {
    add_fam_err(fam, "State formatted wrong");
  }
  city.erase(beg);
  if (!city.empty() && city.back() == ',') add_fam_err(fam, "No space between comma and state");
  city.resize(rtrim_view(city).size());
  if (!city.empty() && city.back() == ',') city.pop_back();
}

}  // namespace

int is_phone(std::string_view text) {
  if (text.find("unlisted") != std::string_view::npos) return 1;
  if (equal_nocase(text, "N/A") || equal_nocase(text, "none")) return 1;
  auto digits = std::ranges::count_if(text, is_digit);
  return (digits == 7 || digits == 10) ? 1 : 0;
}

int iszip(const Text& text) {
  auto fits = [](char c) { return is_digit(c) || is_blank(c) || c == '-'; };
  return !text.empty() && std::ranges::all_of(text.view(), fits) ? 1 : 0;
}

void adjust_fam(WardFamily* fam) {
  if (fam == nullptr || !fam->addr) return;

  // A bracketed head (not listed by name) gives way to the spouse's name.
  WardMember* spouse = fam->members != nullptr ? fam->members->next : nullptr;
  if (is_bracketed(fam->fname) && spouse != nullptr && spouse->type == 2 && spouse->fname &&
      !is_bracketed(spouse->fname)) {
    std::fprintf(stdout, "Changing head of %s family from %s to %s\n",
                 str_or_empty(fam->lname), str_or_empty(fam->fname), str_or_empty(spouse->fname));
    fam->fname = spouse->fname;
  }

  // Without a phone in the fifth line, the last line present may hold it.
  if (!fam->phone) {
    if (!fam->city) move_text(fam->city, fam->addr2 ? fam->addr2 : fam->addr);
    if (is_phone(fam->city.view())) {
      move_text(fam->phone, fam->city);
      move_text(fam->city, fam->addr2);
    }
    if (iszip(fam->addr2)) {
      add_fam_err(fam, "Zipcode on addr2");
      fam->zip = fam->addr2;
    }
  }
  if (fam->phone && !is_phone(fam->phone.view())) add_fam_err(fam, "Bad Phone Number format");

  if (!fam->city) move_text(fam->city, fam->addr2);
  if (fam->city && (fam->city.size() == 5 || fam->city.size() == 10) &&
      digits_or_dash(fam->city.view())) {
    add_fam_err(fam, "Zipcode on city line");
    fam->zip = fam->city;
    move_text(fam->city, fam->addr2);
  }
  if (!fam->city) {
    add_fam_err(fam, "Missing City");
    return;
  }

  // The city line, taken apart from its end: zip code, state, city.
  std::string city = fam->city.str();
  if (city.find(',') == std::string::npos) add_fam_err(fam, "Missing comma after city");
  take_zip(fam, city);
  city.resize(rtrim_view(city).size());
  if (!city.empty() && city.back() == '.') city.pop_back();
  take_state(fam, city);
  if (city.empty()) {
    add_fam_err(fam, "Invalid City");
    fam->city.reset();
  } else {
    fam->city = city;
  }
}

void fill_recno(WardFamily* list) {
  int count = 0;
  for (WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    for (WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      if (mem->recno) continue;
      ++count;
      char buf[32];
      std::snprintf(buf, sizeof buf, "999-9999-%4.4d", count);
      mem->recno = buf;
      if (!fam->recno) fam->recno = mem->recno;
    }
  }
  std::fprintf(stdout, "Inserted %d pseudo-record numbers\n", count);
}

WardFamily* read_mis231(FILE* fp) {
  WardFamily* head = nullptr;
  WardFamily* cur = nullptr;
  WardMember* last = nullptr;  // the last member of `cur`
  bool finished = false;  // `cur` has been through adjust_fam
  int field = 0;          // which left-hand line of the block comes next
  std::string line;

  // Makes a new family the current one, at the end of the list; false when
  // it cannot be allocated.
  auto open_family = [&]() {
    WardFamily* fam = create_ward_family();
    if (fam == nullptr) return false;
    append_remembered(head, cur, fam);
    last = nullptr;
    finished = false;
    return true;
  };

  while (read_line(line, fp) == 0) {
    if (line.size() < 3) continue;
    if (line[0] == '-') {
      if (cur != nullptr && !finished) {
        adjust_fam(cur);
        finished = true;
      }
      field = 0;
      continue;
    }
    if (begins_page(line, hdr)) {
      if (!skip_lines(line, fp, kHeaderLines)) break;
      continue;
    }
    if (is_page_footer(line)) continue;
    if (field == 0 && is_end_of_data(line)) break;

    std::string_view part = trim_keep_first(line, 0, kMemberCol);
    if (part.back() == ')' && field == 0) {
      if (!part.ends_with(".)")) {
        if (!open_family()) return head;
        set_cross_reference(cur, part.substr(0, part.size() - 1));
        field = 5;
      }
    } else if (line.size() > 7 && part.ends_with("(Cont.)")) {
      // a continued family's marker on the next page
    } else {
      if (field == 0) {
        if (!open_family()) return head;
        cur->lname = Text(part);
        check_last_name(cur, line, part);
      } else if (field < 5) {
        // The family's second to fifth lines; only the two addresses are required.
        Text* const lines[] = {&cur->addr, &cur->addr2, &cur->city, &cur->phone};
        std::string_view text = rtrim_field(line, 1, kMemberCol);
        if (!text.empty()) {
          *lines[field - 1] = Text(text);
        } else if (field <= 2) {
          add_fam_err(cur, field == 1 ? "No address" : "No Addr2");
        }
      }
      if (field < 5) ++field;
    }

    if (line.size() >= kMemberCol && cur != nullptr) {
      WardMember* mem = create_ward_member();
      if (mem == nullptr) return head;
      read_member(mem, line);
      join_family(cur, mem, line, last);
    }
  }

  fill_recno(head);
  return head;
}
