#include "writers/wardsave.h"

namespace {

// "key value" for a text that is present; nothing when it is absent.
void put_text(FILE* fp, const char* key, const Text& value) {
  if (value) std::fprintf(fp, "%s %s\n", key, value.c_str());
}

// "key value" for a character flag that is set; nothing for NUL.
void put_char(FILE* fp, const char* key, char value) {
  if (value != 0) std::fprintf(fp, "%s %c\n", key, value);
}

// "key value" for a short in-place text that is not empty.
void put_array(FILE* fp, const char* key, const char* value) {
  if (value[0] != '\0') std::fprintf(fp, "%s %s\n", key, value);
}

}  // namespace

void save_ward_family(const WardFamily* fam, FILE* fp) {
  std::fprintf(fp, "\n>Fam\n");
  std::fprintf(fp, "lname %s\n", str_or_empty(fam->lname));
  std::fprintf(fp, "fname %s\n", str_or_empty(fam->fname));
  put_text(fp, "sname", fam->sname);
  put_text(fp, "addr", fam->addr);
  put_text(fp, "addr2", fam->addr2);
  put_text(fp, "city", fam->city);
  put_text(fp, "state", fam->state);
  put_text(fp, "zip", fam->zip);
  put_text(fp, "zip2", fam->zip2);
  put_text(fp, "phone", fam->phone);
  put_text(fp, "phone2", fam->phone2);
  put_text(fp, "email", fam->email);
  put_text(fp, "acode", fam->acode);
  put_text(fp, "geocode", fam->geocode);
  put_text(fp, "ccode", fam->ccode);
  put_text(fp, "act", fam->act);
  put_text(fp, "recno", fam->recno);
  std::fprintf(fp, "htgroup %d\n", fam->htgroup);
  std::fprintf(fp, "htsup %d\n", fam->htsup);
  std::fprintf(fp, "htdist %d\n", fam->htdist);
  std::fprintf(fp, "vtgroup %d\n", fam->vtgroup);
  std::fprintf(fp, "vtsup %d\n", fam->vtsup);
  std::fprintf(fp, "vtdist %d\n", fam->vtdist);
  put_text(fp, "htname", fam->htname);
  put_text(fp, "htcomp", fam->htcomp);
  put_text(fp, "vtname", fam->vtname);
  put_text(fp, "vtcomp", fam->vtcomp);
  put_text(fp, "htid", fam->htid);
  put_text(fp, "htcompid", fam->htcompid);
  put_text(fp, "vtid", fam->vtid);
  put_text(fp, "vtcompid", fam->vtcompid);
  put_text(fp, "htphone", fam->htphone);
  put_text(fp, "htcomph", fam->htcomph);
  put_text(fp, "htvisits", fam->htvisits);
  put_text(fp, "vtvisits", fam->vtvisits);
  std::fprintf(fp, "htpct %d\n", fam->htpct);
  std::fprintf(fp, "vtpct %d\n", fam->vtpct);
}

void save_ward_member(const WardMember* mem, FILE* fp) {
  std::fprintf(fp, ">Mem\n");
  std::fprintf(fp, "lname %s\n", str_or_empty(mem->lname));
  std::fprintf(fp, "fname %s\n", str_or_empty(mem->fname));
  put_text(fp, "lpname", mem->lpname);
  put_text(fp, "fpname", mem->fpname);
  std::fprintf(fp, "type %d\n", mem->type);
  std::fprintf(fp, "msid %d\n", mem->misid);
  put_char(fp, "sex", mem->sex);
  put_text(fp, "stat", mem->stat);
  put_array(fp, "bday", mem->bday);
  put_array(fp, "bmonth", mem->bmonth);
  put_array(fp, "byear", mem->byear);
  if (mem->age != 0) std::fprintf(fp, "age %d\n", mem->age);
  put_text(fp, "birth", mem->birth);
  put_text(fp, "baptism", mem->baptism);
  put_text(fp, "confirm", mem->confirm);
  put_char(fp, "marital", mem->marital);
  put_char(fp, "ftmiss", mem->ftmiss);
  put_char(fp, "spousem", mem->spousem);
  put_char(fp, "sealcurr", mem->sealcurr);
  put_char(fp, "sealprev", mem->sealprev);
  put_char(fp, "endowed", mem->endowed);
  put_text(fp, "recexp", mem->recexp);
  put_text(fp, "recno", mem->recno);
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
