#include "writers/htdist.h"

#include <map>
#include <tuple>

#include "model/arena.h"
#include "model/put.h"
#include "model/splitfld.h"

int debught = 0;

namespace {

/// Where trace lines go while a report is built; null outside
/// create_htdist_report. Each thread builds its own reports.
thread_local FILE* trace_fp = nullptr;

bool tracing() { return debught != 0 && trace_fp != nullptr; }

/// The assignment key: group, supervisor, district, compared in that order.
using Key = std::tuple<int, int, int>;

Key key_of(const HTDist* d) { return {d->htgroup, d->htsup, d->htdist}; }

bool same_key(const HTDist* a, const HTDist* b) { return key_of(a) == key_of(b); }

bool is_home(int opt) { return opt == kHomeDistricts || opt == kHomeDistrictPct; }

bool is_valid(int opt) {
  return is_home(opt) || opt == kVisitingDistricts || opt == kVisitingDistrictPct;
}

void trace_key(const HTDist* d) {
  std::fprintf(trace_fp, "%2.2d-%2.2d-%2.2d", d->htgroup, d->htsup, d->htdist);
}

void trace_names(const HTDist* d) {
  if (d->fam != nullptr) {
    std::fprintf(trace_fp, " (%s, %s)", str_or_empty(d->fam->lname),
                 str_or_empty(d->fam->fname));
  }
}

/// Traces the linking of `dfam` (or of its header) after `after`: the keys
/// of the node and of its new neighbours, the neighbours' names when
/// `neighbour_names`.
void trace_link(const HTDist* dfam, const HTDist* after, bool neighbour_names) {
  trace_key(dfam);
  trace_names(dfam);
  std::fprintf(trace_fp, " After ");
  trace_key(after);
  if (neighbour_names) trace_names(after);
  if (after->next != nullptr) {
    std::fprintf(trace_fp, " & Before ");
    trace_key(after->next);
    if (neighbour_names) trace_names(after->next);
  }
  std::fprintf(trace_fp, "\n");
}

/// Makes the district header of `dfam`'s key and links it after `after`;
/// returns it, or null when memory is exhausted.
HTDist* link_header(HTDist* after, const HTDist* dfam, int opt) {
  HTDist* header = create_htdist(nullptr, opt);
  if (header == nullptr) return nullptr;
  std::tie(header->htgroup, header->htsup, header->htdist) = key_of(dfam);
  if (tracing()) {
    std::fprintf(trace_fp, "New dist ");
    trace_link(dfam, after, false);
  }
  header->next = after->next;
  after->next = header;
  return header;
}

/// Links the family node `dfam` right after `after`.
void link_after(HTDist* after, HTDist* dfam) {
  if (tracing()) {
    std::fprintf(trace_fp, "Inserting ");
    trace_link(dfam, after, true);
  }
  dfam->next = after->next;
  after->next = dfam;
}

/// The placement step of `opt` for the family node `dfam` in the run of its
/// key, from `run` (a node of the run) on. True when `dfam` was linked.
bool place_in_run(HTDist* run, HTDist* dfam, int opt) {
  switch (opt) {
    case kHomeDistricts:
    case kVisitingDistricts:
      insert_htdist_seq(run, dfam, opt);
      return true;
    case kHomeDistrictPct:
    case kVisitingDistrictPct:
      insert_htdist_pct(run, dfam, opt);
      return false;
    default:
      std::fprintf(stderr, "Invalid OPT_HTDIST (%d)\n", opt);
      return false;
  }
}

/// The chain of a report under construction, with the last node of each
/// key's run, so that a family is placed without walking the chain.
class DistChain {
 public:
  explicit DistChain(HTDist* head) : head_(head) {}

  /// Places `dfam` exactly where insert_htdist(head, dfam, opt) would.
  void place(HTDist* dfam, int opt) {
    Key key = key_of(dfam);
    auto it = last_.find(key);
    if (it == last_.end()) {
      // The header goes after the run of the greatest key below this one.
      auto above = last_.lower_bound(key);
      HTDist* after = above == last_.begin() ? head_ : std::prev(above)->second;
      HTDist* header = link_header(after, dfam, opt);
      if (header == nullptr) return;
      it = last_.emplace_hint(above, key, header);
    }
    // The run's last node: linking after it takes no walk.
    if (place_in_run(it->second, dfam, opt)) it->second = dfam;
  }

 private:
  HTDist* head_;
  std::map<Key, HTDist*> last_;
};

}  // namespace

HTDist* create_htdist(WardFamily* fam, int opt) {
  if (fam != nullptr && !is_valid(opt)) return nullptr;
  HTDist* d = Arena::current().make<HTDist>();
  if (d == nullptr || fam == nullptr) return d;
  TeachSet set = teach_set(fam, is_home(opt));
  *d = {.htgroup = set.group, .htsup = set.sup, .htdist = set.dist, .htname = set.name,
        .htcomp = set.comp, .htpct = set.pct, .visits = set.visits, .fam = fam};
  return d;
}

void insert_htdist(HTDist* dist, HTDist* dfam, int opt) {
  if (dist == nullptr || dfam == nullptr) return;
  const Key key = key_of(dfam);
  HTDist* cur = dist;
  while (cur->next != nullptr && key_of(cur->next) < key) cur = cur->next;
  if (cur->next != nullptr && key_of(cur->next) == key) {
    cur = cur->next;
  } else {
    cur = link_header(cur, dfam, opt);
    if (cur == nullptr) return;
  }
  place_in_run(cur, dfam, opt);
}

void insert_htdist_seq(HTDist* dist, HTDist* dfam, int /*opt*/) {
  if (dist == nullptr || dfam == nullptr) return;
  HTDist* cur = dist;
  while (cur->next != nullptr && same_key(cur->next, cur)) cur = cur->next;
  link_after(cur, dfam);
}

void insert_htdist_pct(HTDist* /*dist*/, HTDist* /*dfam*/, int /*opt*/) {}

void total_htdist(HTDist* dist) {
  HTDist* p = dist;
  while (p != nullptr) {
    int num = 0;
    long long sum = 0;
    HTDist* q = p->next;
    for (; q != nullptr && same_key(q, p); q = q->next) {
      if (q->fam != nullptr) {
        ++num;
        sum += q->htpct;
      }
    }
    p->htnum = num;
    p->htpct = num > 0 ? static_cast<int>(sum / num) : 0;
    if (tracing()) {
      trace_key(p);
      std::fprintf(trace_fp, " htnum=%d, htpct=%d\n", p->htnum, p->htpct);
      if (p->fam != nullptr) {
        std::fprintf(trace_fp, "\t**** Not dummy record! (%s, %s)\n",
                     str_or_empty(p->fam->lname), str_or_empty(p->fam->fname));
      }
    }
    p = q;
  }
}

void report_htdist(const HTDist* htdist, FILE* fp, int opt) {
  if (fp == nullptr) return;
  const bool home = opt == kHomeDistricts;
  Key last{-1, -1, -1};
  const HTDist* run = nullptr;  // first node of the current run of equal keys
  Putter out(fp);
  for (const HTDist* d = htdist; d != nullptr; d = d->next) {
    if (run == nullptr || !same_key(d, run)) run = d;
    if (d->fam == nullptr) {
      if (tracing()) {
        out.flush();  // the trace may go to the same stream
        std::fprintf(trace_fp, "Dummy %2.2d-%2.2d-%2.2d, htpct=%d, htnum=%d\n", d->htgroup,
                     d->htsup, d->htdist, d->htpct, d->htnum);
      }
      continue;
    }
    const WardFamily* fam = d->fam;
    TeachSet set = teach_set(fam, home);
    if (Key key{set.group, set.sup, set.dist}; key != last) {
      // "\n*%s-%2.2d-%s-%2.2d (%d%%)\n", then "\t[%s]\n" when there is a companion
      put(out, "\n*", htgroup(set.group), '-', Num{set.sup, 2, 2}, '-', set.name, '-',
          Num{set.dist, 2, 2}, " (", Num{run->htpct}, "%)\n");
      if (set.comp) put(out, "\t[", set.comp, "]\n");
      last = key;
    }
    // "  %s, %s (%d%%)\n", then "\t%s\n"
    put(out, "  ", fam->lname, ", ", fam->fname, " (", Num{d->htpct}, "%)\n");
    put(out, '\t', d->visits, '\n');
  }
}

void create_htdist_report(WardFamily* fam, FILE* fp, int opt) {
  // The chain is made for this report only and goes with it.
  Arena chain_arena;
  ArenaScope scope(chain_arena);
  trace_fp = fp;
  HTDist* head = create_htdist(nullptr, opt);
  if (head != nullptr) {
    DistChain chain(head);
    for (WardFamily* f = fam; f != nullptr; f = f->next) {
      HTDist* node = create_htdist(f, opt);
      if (node != nullptr) chain.place(node, opt);
    }
    total_htdist(head);
    report_htdist(head, fp, opt);
  }
  // The stream is the caller's and is closed after this call.
  trace_fp = nullptr;
}

void create_htdist_htpct(WardFamily* /*fam*/, FILE* /*fp*/) {}

void create_htdist_vtpct(WardFamily* /*fam*/, FILE* /*fp*/) {}

void free_htdist(HTDist* /*dist*/) {}
