#include "writers/wardht.h"

#include <vector>

#include "model/put.h"
#include "model/splitfld.h"
#include "writers/wardpalm.h"

namespace {

using Pct = int (*)(long long, long long);

/// Writes `fmt` with the previous and then the current month's count,
/// total and percentage of the two: "%d/%d (%d%%)" each.
void write_months(FILE* fp, const char* fmt, Pct pct, const int count[2], const int total[2]) {
  std::fprintf(fp, fmt, count[0], total[0], pct(count[0], total[0]), count[1], total[1],
               pct(count[1], total[1]));
}

/// Contacts by group, each count kept for the previous month [0] and the
/// current month [1].
struct Summary {
  int eq[2] = {}, eqt[2] = {};  // elders: visited, counted
  int hp[2] = {}, hpt[2] = {};  // high priests: visited, counted
  int rs_visit[2] = {}, rs_phone[2] = {}, rs_lett[2] = {};
  int rs[2] = {}, rst[2] = {};  // Relief Society: contacted, counted
  int un = 0;

  /// Counts one family of group `group` whose marks for the previous and
  /// the current month are `prev` and `cur`.
  void count(int group, char prev, char cur) {
    int* visits = group == 2 ? eq : group == 3 ? hp : group == 5 ? rs_visit : nullptr;
    int* totals = group == 2 ? eqt : group == 3 ? hpt : group == 5 ? rst : nullptr;
    if (visits == nullptr) ++un;
    const char marks[2] = {prev, cur};
    for (int m = 0; m < 2; ++m) {
      if (totals != nullptr && marks[m] != '*') ++totals[m];
      if (marks[m] == 'V' && visits != nullptr) {
        ++visits[m];
        if (group == 5) ++rs[m];
      } else if (marks[m] == 'T') {
        ++rs_phone[m];
        ++rs[m];
      } else if (marks[m] == 'L') {
        ++rs_lett[m];
        ++rs[m];
      }
    }
  }

  void write(FILE* fp) const {
    std::fprintf(fp, "\n*Summary\nGrp\tPrev Mon\tThis Mon\n");
    if (eqt[1] > 0) write_months(fp, "EQ %d/%d (%d%%)\t%d/%d (%d%%)\n", pct_truncated, eq, eqt);
    if (hpt[1] > 0) write_months(fp, "HP %d/%d (%d%%)\t%d/%d (%d%%)\n", pct_truncated, hp, hpt);
    if (eqt[1] > 0 || hpt[1] > 0) {
      const int visited[2] = {eq[0] + hp[0], eq[1] + hp[1]};
      const int tot[2] = {eqt[0] + hpt[0] + un, eqt[1] + hpt[1] + un};
      std::fprintf(fp, "UN %d/%d (%d%%)\n", un, tot[1], pct_truncated(un, tot[1]));
      write_months(fp, "====\n%d/%d (%d%%)\t%d/%d (%d%%)\n", pct_truncated, visited, tot);
    }
    if (rst[1] > 0) {
      const int all[2] = {rst[0] + un, rst[1] + un};
      write_months(fp, "V %d/%d (%d%%)\t%d/%d (%d%%)\n", pct_rounded, rs_visit, rst);
      write_months(fp, "T %d/%d (%d%%)\t%d/%d (%d%%)\n", pct_rounded, rs_phone, rst);
      write_months(fp, "L %d/%d (%d%%)\t%d/%d (%d%%)\n", pct_rounded, rs_lett, rst);
      write_months(fp, "RS %d/%d(%d%%)\t%d/%d (%d%%)\n", pct_rounded, rs, rst);
      std::fprintf(fp, "UN %d (%d%%)\n", un, pct_rounded(un, all[1]));
      write_months(fp, "=====\n%d/%d (%d%%)  %d/%d (%d%%)\n", pct_rounded, rs, all);
    }
  }
};

/// The mark of month `i` (0-based, oldest first); NUL past the end of a
/// short string.
char mark_at(const Text& visits, size_t i) { return i < visits.size() ? visits[i] : '\0'; }

/// Writes a visits string with each mark as the list shows it.
void write_marks(const Text& visits, Putter& out) {
  for (char c : visits.view()) {
    if (c == ' ' || c == 'x') {
      put(out, 'x');
    } else if (c == '*' || c == '-') {
      put(out, '-');
    } else if (c == 'L' || c == 'T' || c == 'V') {
      put(out, c);
    } else {
      put(out, '?', c, '?');  // "?%c?"
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
  Putter out(fp);
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (!fam->lname) continue;
    letter_bookmark(fam, out, last);
    // A list of every family: written with put(), the printf format beside.
    put(out, fam->lname, ", ", fam->fname);           // "%s, %s"
    if (fam->phone) put(out, " (", fam->phone, ')');  // " (%s)"
    put(out, '\n');

    TeachSet set = teach_set(fam, home);
    const char* group = htgroup(set.group);
    // "\t%s-%2.2d-%2.2d "
    put(out, '\t', group, '-', Num{set.sup, 2, 2}, '-', Num{set.dist, 2, 2}, ' ');
    if (set.visits) {
      write_marks(set.visits, out);
      put(out, " (", Num{set.pct}, "%)");  // " (%d%%)"
      sum.count(set.group, mark_at(set.visits, 10), mark_at(set.visits, 11));
    }
    put(out, '\n');

    if (set.name) {
      put(out, '\t', set.name);                 // "\t%s"
      if (set.comp) put(out, " & ", set.comp);  // " & %s"
      put(out, '\n');
    }
    if (std::string_view(group) == "NA" || set.name.empty()) unassigned.push_back(fam);
  }
  out.flush();  // before the fprintf() below

  std::fprintf(fp, "\n*Unassigned Families\n");
  for (const WardFamily* fam : unassigned) {
    std::fprintf(fp, "%s, %s\n", fam->lname.c_str(), str_or_empty(fam->fname));
  }
  sum.write(fp);
}

void create_htlist_report(const WardFamily* list, FILE* fp, int opt) {
  const bool home = opt == kCondensedHomeTeaching;
  Putter out(fp);
  char last = '\0';
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    if (!fam->lname) continue;
    letter_bookmark(fam, out, last);
    put(out, fam->lname);                           // "%s"
    if (fam->fname) put(out, ", ", fam->fname);     // ", %s"
    put(out, "\n\t");

    TeachSet set = teach_set(fam, home);
    if (set.name) {
      put(out, set.name);                            // "%s"
      if (set.comp) put(out, " & ", set.comp);       // " & %s"
    } else {
      put(out, "Unassigned");
    }
    put(out, " (", Num{set.pct, 2}, "%)\n");        // " (%2d%%)\n"
  }
}
