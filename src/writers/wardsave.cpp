#include "writers/wardsave.h"

#include <initializer_list>
#include <utility>

namespace {

// "key value" for each text that is present, in turn; nothing for an absent one.
void put_texts(FILE* fp, std::initializer_list<std::pair<const char*, const Text&>> texts) {
  for (const auto& [key, value] : texts) {
    if (value) std::fprintf(fp, "%s %s\n", key, value.c_str());
  }
}

// "key value" for each character flag that is set, in turn; nothing for NUL.
void put_flags(FILE* fp, std::initializer_list<std::pair<const char*, char>> flags) {
  for (auto [key, value] : flags) {
    if (value != 0) std::fprintf(fp, "%s %c\n", key, value);
  }
}

// "key value" for each short in-place text that is not empty, in turn.
void put_arrays(FILE* fp, std::initializer_list<std::pair<const char*, const char*>> arrays) {
  for (auto [key, value] : arrays) {
    if (value[0] != '\0') std::fprintf(fp, "%s %s\n", key, value);
  }
}

}  // namespace

void save_ward_family(const WardFamily* fam, FILE* fp) {
  std::fprintf(fp, "\n>Fam\n");
  std::fprintf(fp, "lname %s\n", str_or_empty(fam->lname));
  std::fprintf(fp, "fname %s\n", str_or_empty(fam->fname));
  put_texts(fp, {{"sname", fam->sname}, {"addr", fam->addr}, {"addr2", fam->addr2},
                 {"city", fam->city}, {"state", fam->state}, {"zip", fam->zip}, {"zip2", fam->zip2},
                 {"phone", fam->phone}, {"phone2", fam->phone2}, {"email", fam->email},
                 {"acode", fam->acode}, {"geocode", fam->geocode}, {"ccode", fam->ccode},
                 {"act", fam->act}, {"recno", fam->recno}});
  std::fprintf(fp, "htgroup %d\n", fam->htgroup);
  std::fprintf(fp, "htsup %d\n", fam->htsup);
  std::fprintf(fp, "htdist %d\n", fam->htdist);
  std::fprintf(fp, "vtgroup %d\n", fam->vtgroup);
  std::fprintf(fp, "vtsup %d\n", fam->vtsup);
  std::fprintf(fp, "vtdist %d\n", fam->vtdist);
  put_texts(fp, {{"htname", fam->htname}, {"htcomp", fam->htcomp}, {"vtname", fam->vtname},
                 {"vtcomp", fam->vtcomp}, {"htid", fam->htid}, {"htcompid", fam->htcompid},
                 {"vtid", fam->vtid}, {"vtcompid", fam->vtcompid}, {"htphone", fam->htphone},
                 {"htcomph", fam->htcomph}, {"htvisits", fam->htvisits},
                 {"vtvisits", fam->vtvisits}});
  std::fprintf(fp, "htpct %d\n", fam->htpct);
  std::fprintf(fp, "vtpct %d\n", fam->vtpct);
}

void save_ward_member(const WardMember* mem, FILE* fp) {
  std::fprintf(fp, ">Mem\n");
  std::fprintf(fp, "lname %s\n", str_or_empty(mem->lname));
  std::fprintf(fp, "fname %s\n", str_or_empty(mem->fname));
  put_texts(fp, {{"lpname", mem->lpname}, {"fpname", mem->fpname}});
  std::fprintf(fp, "type %d\n", mem->type);
  std::fprintf(fp, "msid %d\n", mem->misid);
  put_flags(fp, {{"sex", mem->sex}});
  put_texts(fp, {{"stat", mem->stat}});
  put_arrays(fp, {{"bday", mem->bday}, {"bmonth", mem->bmonth}, {"byear", mem->byear}});
  if (mem->age != 0) std::fprintf(fp, "age %d\n", mem->age);
  put_texts(fp, {{"birth", mem->birth}, {"baptism", mem->baptism}, {"confirm", mem->confirm}});
  put_flags(fp, {{"marital", mem->marital}, {"ftmiss", mem->ftmiss}, {"spousem", mem->spousem},
                 {"sealcurr", mem->sealcurr}, {"sealprev", mem->sealprev},
                 {"endowed", mem->endowed}});
  put_texts(fp, {{"recexp", mem->recexp}, {"recno", mem->recno}});
  std::fprintf(fp, ">EndMem\n");
}

void save_ward(const WardFamily* list, FILE* fp) {
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    save_ward_family(fam, fp);
    for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      save_ward_member(mem, fp);
    }
    std::fprintf(fp, ">EndFam\n");
  }
}
