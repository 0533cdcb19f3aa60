#include "writers/wardht.h"

#include <vector>

#include "model/put.h"
#include "model/splitfld.h"
#include "writers/wardpalm.h"

namespace {

/// Contacts of the previous and the current month, by group.
struct Summary {
  int eq = 0, eqp = 0, eqt = 0, eqpt = 0;
  int hp = 0, hpp = 0, hpt = 0, hppt = 0;
  int rs_visit = 0, rsp_visit = 0;
  int rs_phone = 0, rsp_phone = 0;
  int rs_lett = 0, rsp_lett = 0;
  int rs = 0, rsp = 0, rst = 0, rspt = 0;
  int un = 0;

  /// Counts one family of group `group` whose marks for the previous and
  /// the current month are `prev` and `cur`.
  void count(int group, char prev, char cur) {
    int* visits[2] = {nullptr, nullptr};  // previous, current
    int* totals[2] = {nullptr, nullptr};
    switch (group) {
      case 2:
        visits[0] = &eqp, visits[1] = &eq, totals[0] = &eqpt, totals[1] = &eqt;
        break;
      case 3:
        visits[0] = &hpp, visits[1] = &hp, totals[0] = &hppt, totals[1] = &hpt;
        break;
      case 5:
        visits[0] = &rsp_visit, visits[1] = &rs_visit, totals[0] = &rspt, totals[1] = &rst;
        break;
      default:
        ++un;
        break;
    }
    const char marks[2] = {prev, cur};
    int* phones[2] = {&rsp_phone, &rs_phone};
    int* letters[2] = {&rsp_lett, &rs_lett};
    int* contacts[2] = {&rsp, &rs};
    for (int m = 0; m < 2; ++m) {
      if (totals[m] != nullptr && marks[m] != '*') ++*totals[m];
      if (marks[m] == 'V' && visits[m] != nullptr) {
        ++*visits[m];
        if (group == 5) ++*contacts[m];
      } else if (marks[m] == 'T') {
        ++*phones[m];
        ++*contacts[m];
      } else if (marks[m] == 'L') {
        ++*letters[m];
        ++*contacts[m];
      }
    }
  }

  void write(FILE* fp) const {
    std::fprintf(fp, "\n*Summary\nGrp\tPrev Mon\tThis Mon\n");
    if (eqt > 0) {
      std::fprintf(fp, "EQ %d/%d (%d%%)\t%d/%d (%d%%)\n", eqp, eqpt, pct_truncated(eqp, eqpt),
                   eq, eqt, pct_truncated(eq, eqt));
    }
    if (hpt > 0) {
      std::fprintf(fp, "HP %d/%d (%d%%)\t%d/%d (%d%%)\n", hpp, hppt, pct_truncated(hpp, hppt),
                   hp, hpt, pct_truncated(hp, hpt));
    }
    if (eqt > 0 || hpt > 0) {
      int tot = eqt + hpt + un;
      int totp = eqpt + hppt + un;
      std::fprintf(fp, "UN %d/%d (%d%%)\n", un, tot, pct_truncated(un, tot));
      std::fprintf(fp, "====\n%d/%d (%d%%)\t%d/%d (%d%%)\n", eqp + hpp, totp,
                   pct_truncated(eqp + hpp, totp), eq + hp, tot, pct_truncated(eq + hp, tot));
    }
    if (rst > 0) {
      std::fprintf(fp, "V %d/%d (%d%%)\t%d/%d (%d%%)\n", rsp_visit, rspt,
                   pct_rounded(rsp_visit, rspt), rs_visit, rst, pct_rounded(rs_visit, rst));
      std::fprintf(fp, "T %d/%d (%d%%)\t%d/%d (%d%%)\n", rsp_phone, rspt,
                   pct_rounded(rsp_phone, rspt), rs_phone, rst, pct_rounded(rs_phone, rst));
      std::fprintf(fp, "L %d/%d (%d%%)\t%d/%d (%d%%)\n", rsp_lett, rspt,
                   pct_rounded(rsp_lett, rspt), rs_lett, rst, pct_rounded(rs_lett, rst));
      std::fprintf(fp, "RS %d/%d(%d%%)\t%d/%d (%d%%)\n", rsp, rspt, pct_rounded(rsp, rspt), rs,
                   rst, pct_rounded(rs, rst));
      std::fprintf(fp, "UN %d (%d%%)\n", un, pct_rounded(un, rst + un));
      std::fprintf(fp, "=====\n%d/%d (%d%%)  %d/%d (%d%%)\n", rsp, rspt + un,
                   pct_rounded(rsp, rspt + un), rs, rst + un, pct_rounded(rs, rst + un));
    }
  }
};

/// The mark of month `i` (0-based, oldest first); NUL past the end of a
/// short string.
char mark_at(const Text& visits, size_t i) { return i < visits.size() ? visits[i] : '\0'; }

/// Writes a visits string with each mark as the list shows it.
void write_marks(const Text& visits, FILE* fp) {
  for (char c : visits.view()) {
    switch (c) {
      case ' ':
      case 'x':
        put(fp, 'x');
        break;
      case '*':
      case '-':
        put(fp, '-');
        break;
      case 'L':
      case 'T':
      case 'V':
        put(fp, c);
        break;
      default:
        put(fp, '?', c, '?');  // "?%c?"
        break;
    }
  }
}

}  // namespace

int pct_truncated(long long a, long long b) {
  return b == 0 ? 0 : static_cast<int>(a * 100 / b);
}

int pct_rounded(long long a, long long b) {
  // (a*100 + b/2) / b without losing the half of an odd divisor.
  return b == 0 ? 0 : static_cast<int>((a * 200 + b) / (2 * b));
}

void create_palm_ht(const WardFamily* list, FILE* fp, int opt) {
  const bool home = opt == kPalmHomeTeaching;
  char last = '\0';
  Summary sum;
  std::vector<const WardFamily*> unassigned;
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (!fam->lname) continue;
    letter_bookmark(fam, fp, last);
    // A list of every family: written with put(), the printf format beside.
    put(fp, fam->lname, ", ", fam->fname);  // "%s, %s"
    if (fam->phone) {
      put(fp, " (", fam->phone, ")\n");  // " (%s)\n"
    } else {
      put(fp, '\n');
    }

    TeachSet set = teach_set(fam, home);
    const char* group = htgroup(set.group);
    // "\t%s-%2.2d-%2.2d "
    put(fp, '\t', group, '-', Num{set.sup, 2, 2}, '-', Num{set.dist, 2, 2}, ' ');
    if (set.visits) {
      write_marks(set.visits, fp);
      put(fp, " (", Num{set.pct}, "%)");  // " (%d%%)"
      sum.count(set.group, mark_at(set.visits, 10), mark_at(set.visits, 11));
    }
    put(fp, '\n');

    if (set.name) {
      put(fp, '\t', set.name);  // "\t%s"
      if (set.comp) {
        put(fp, " & ", set.comp, '\n');  // " & %s\n"
      } else {
        put(fp, '\n');
      }
    }
    if (std::string_view(group) == "NA" || set.name.empty()) unassigned.push_back(fam);
  }

  std::fprintf(fp, "\n*Unassigned Families\n");
  for (const WardFamily* fam : unassigned) {
    std::fprintf(fp, "%s, %s\n", fam->lname.c_str(), str_or_empty(fam->fname));
  }
  sum.write(fp);
}

void create_htlist_report(const WardFamily* list, FILE* fp, int opt) {
  const bool home = opt == kCondensedHomeTeaching;
  char last = '\0';
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (!fam->lname) continue;
    letter_bookmark(fam, fp, last);
    put(fp, fam->lname);                           // "%s"
    if (fam->fname) put(fp, ", ", fam->fname);     // ", %s"
    put(fp, "\n\t");

    TeachSet set = teach_set(fam, home);
    if (set.name) {
      put(fp, set.name);                            // "%s"
      if (set.comp) put(fp, " & ", set.comp);       // " & %s"
    } else {
      put(fp, "Unassigned");
    }
    put(fp, " (", Num{set.pct, 2}, "%)\n");        // " (%2d%%)\n"
  }
}
