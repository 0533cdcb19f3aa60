#pragma once
// The ward records that every report reader fills and every writer reads:
// families with their members, error notes, index nodes, organisations and
// positions. Lists are chains through `next`; an empty list is null.
//
// Every record is allocated from the current Arena (model/arena.h) and lives
// as long as that arena. A text that may be absent is a Text: absent and
// empty ("") are different values; texts are immutable, so records may share
// them.

#include "model/text.h"

struct WardErr;
struct WardPos;
struct WardOrg;

/// One error note attached to a family or a member; chains run newest first.
struct WardErr {
  WardErr* next = nullptr;
  Text msg;
};

/// One person of a family.
struct WardMember {
  WardMember* next = nullptr;
  int misid = 0;
  int type = 0;  // 1 head, 2 spouse, 3 child, 0 not set
  Text lname;
  Text fname;
  Text lpname;  // last name as the record-number list prints it
  Text fpname;  // first names as the record-number list prints them
  char sex = 0;
  Text stat;
  char bday[3] = {};
  char bmonth[4] = {};
  char byear[3] = {};
  int age = 0;
  Text birth;
  Text baptism;
  Text confirm;
  char marital = 0;
  char ftmiss = 0;
  char spousem = 0;
  char sealcurr = 0;
  char sealprev = 0;
  char endowed = 0;
  Text recexp;
  Text recno;
  WardErr* err = nullptr;
  WardPos* pos = nullptr;
};

/// One household of the ward list, with its members and teaching assignment.
struct WardFamily {
  WardFamily* next = nullptr;
  int misid = 0;
  Text lname;
  Text fname;
  Text sname;  // family named by a cross-reference entry
  Text addr;
  Text addr2;
  Text city;
  Text state;
  Text zip;
  Text zip2;
  Text phone;
  Text phone2;
  Text email;
  Text acode;
  Text geocode;
  Text ccode;
  Text act;
  Text country;
  Text recno;
  WardMember* members = nullptr;
  int htgroup = 0;
  int htsup = 0;
  int htdist = 0;
  int vtgroup = 0;
  int vtsup = 0;
  int vtdist = 0;
  Text htname;
  Text htcomp;
  Text vtname;
  Text vtcomp;
  Text htid;
  Text htcompid;
  Text vtid;
  Text vtcompid;
  Text htphone;
  Text htcomph;
  Text vtphone;
  Text vtcomph;
  Text htvisits;
  Text vtvisits;
  int htpct = 0;
  int vtpct = 0;
  WardErr* err = nullptr;
};

/// The teaching fields of one kind (home or visiting teaching) of a family.
/// It refers to the family's texts and must not outlive the family.
struct TeachSet {
  int group;
  int sup;
  int dist;
  const Text& name;
  const Text& comp;
  const Text& id;
  const Text& compid;
  const Text& visits;
  int pct;
};

/// The home-teaching fields (ht*) of `fam` when `home`, else its
/// visiting-teaching fields (vt*).
inline TeachSet teach_set(const WardFamily* fam, bool home) {
  if (home) {
    return {fam->htgroup, fam->htsup, fam->htdist, fam->htname, fam->htcomp, fam->htid,
            fam->htcompid, fam->htvisits, fam->htpct};
  }
  return {fam->vtgroup, fam->vtsup, fam->vtdist, fam->vtname, fam->vtcomp, fam->vtid,
          fam->vtcompid, fam->vtvisits, fam->vtpct};
}

/// Index node pointing at a family without relinking the ward list.
struct WardFam {
  WardFam* next = nullptr;
  WardFamily* fam = nullptr;
};

/// Index node pointing at a member.
struct WardMem {
  WardMem* next = nullptr;
  WardMember* mem = nullptr;
};

/// One organisation of a positions report, with its positions.
struct WardOrg {
  WardOrg* next = nullptr;
  Text org;   // display name
  Text abbr;  // abbreviation, used in file names
  WardPos* pos = nullptr;
};

/// One position (calling) of an organisation, or a copy hung on its holder.
struct WardPos {
  WardPos* next = nullptr;
  WardOrg* org = nullptr;  // not owned
  Text pos;                // title
  Text per;                // holder as printed: "Last, First"
  Text sus;                // date sustained
  Text ph;                 // holder's phone
  Text recno;              // holder's record number (organisation list only)
};

// Creation: each returns a new zero record owned by the arena, or null when
// memory is exhausted.
WardFamily* create_ward_family();
WardMember* create_ward_member();
WardErr* create_ward_err();
WardFam* create_ward_fam();
WardMem* create_ward_mem();
WardOrg* create_ward_org();
/// A zero position whose `org` is the given organisation.
WardPos* create_ward_pos(WardOrg* org);
/// A copy of `pos` with the same `org`, `next` null and no `recno`; null when
/// `pos` is null or memory is exhausted.
WardPos* clone_ward_pos(const WardPos* pos);

// Release: hands records back to the arena. Only records that nothing else
// points at may be released.
/// Releases every member of `fam`, then `fam` itself.
void free_ward_family(WardFamily* fam);
void free_ward_member(WardMember* mem);
void free_ward_err(WardErr* err);
/// Releases the node only, never the family it points at.
void free_ward_fam(WardFam* fam);
/// Releases the node only, never the member it points at.
void free_ward_mem(WardMem* mem);
/// Releases the whole chain of organisations from `org`, with their positions.
void free_ward_org(WardOrg* org);
/// Releases the whole chain of positions from `pos`.
void free_ward_pos(WardPos* pos);

// Linking.
/// Sets the `next` of the last family of `list` (not null) to `fam`; `fam`'s
/// own `next` is kept, so a whole chain can be appended.
void append_family(WardFamily* list, WardFamily* fam);
/// Inserts `fam` among the records after the first of `list`, which are kept
/// in order of `lname`, then `fname` (byte order, an absent name as ""):
/// before the first of them that orders after it, else last. The first
/// record is neither displaced nor compared: a family that orders before it,
/// or has its two names, takes its place among the later records like any
/// other. A family whose two names equal those of a later record is not
/// inserted and is left as it was (its `next` included) for the caller to
/// keep or release.
void insert_family(WardFamily* list, WardFamily* fam);
/// Gives `mem` the family's `lname` when it has none, then makes it the
/// family's first member or the `next` of its last member.
void append_member(WardFamily* fam, WardMember* mem);
/// append_member without the walk: `last` is the family's last member (null
/// when it has none) and becomes `mem`. For readers appending many members.
void append_member_after(WardFamily* fam, WardMember*& last, WardMember* mem);
/// The last member of `fam`; null when it has none.
WardMember* last_member(WardFamily* fam);
/// Appends `rec` to the chain that starts at `head`, whose last record
/// `tail` remembers; a null `tail` is found by one walk first, so records
/// appended before (by an earlier read or merge) stay first. `tail` becomes
/// `rec`. For readers and merges appending many records in turn.
template <class T>
void append_remembered(T*& head, T*& tail, T* rec) {
  if (tail == nullptr) {
    for (T* p = head; p != nullptr; p = p->next) tail = p;
  }
  (tail == nullptr ? head : tail->next) = rec;
  tail = rec;
}

/// The text of `t` for a "%s" conversion; the empty text when absent. Valid
/// while `t` is unchanged.
inline const char* str_or_empty(const Text& t) { return t.c_str(); }

/// The text of `t` for a "%s" conversion; "(null)" when absent, as the
/// diagnostic listing and the error report print it.
inline const char* str_or_null(const Text& t) { return t ? t.c_str() : "(null)"; }

/// True when `t` is present and holds '[' (a name left out of phone entries).
inline bool is_bracketed(const Text& t) { return t.find('[') != std::string_view::npos; }
