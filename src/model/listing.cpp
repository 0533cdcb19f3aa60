#include "model/listing.h"

#include <string>

#include "model/console.h"
#include "model/splitfld.h"

namespace {

/// The listing's mark for one character of a visits string.
char visit_mark(char c) {
  if (c == ' ') return 'x';
  return c == '*' || c == 'V' ? c : '?';
}

}  // namespace

void list_fam_errs(const WardFamily* list, FILE* fp) {
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    for (const WardErr* err = fam->err; err != nullptr; err = err->next) {
      list_fam_err(fam, err->msg.c_str(), fp);
    }
    for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
      for (const WardErr* err = mem->err; err != nullptr; err = err->next) {
        list_mem_err(mem, err->msg.c_str(), fp);
      }
    }
  }
}

void list_fam_err(const WardFamily* fam, const char* msg, FILE* fp) {
  std::fprintf(fp, "Family %s, %s: %s\n", str_or_null(fam->lname), str_or_null(fam->fname),
               msg != nullptr ? msg : "(null)");
}

void list_mem_err(const WardMember* mem, const char* msg, FILE* fp) {
  std::fprintf(fp, "Member %s, %s: %s\n", str_or_null(mem->lname), str_or_null(mem->fname),
               msg != nullptr ? msg : "(null)");
}

void list_ward(const WardFamily* list, FILE* fp) {
  std::string answer;
  for (const WardFamily* fam = list; fam != nullptr; fam = fam->next) {
    list_family(fam, fp);
    std::printf("Press ENTER to continue: ");
    read_console_line(answer);
    if (!answer.empty() && answer[0] == 'q') return;
  }
}

void list_family(const WardFamily* fam, FILE* fp) {
  std::fprintf(fp, "Name:%s<<, >>%s<<\n", str_or_null(fam->lname), str_or_null(fam->fname));
  if (fam->addr) std::fprintf(fp, "Addr:%s<<\n", fam->addr.c_str());
  if (fam->addr2) std::fprintf(fp, "Addr2:%s<<\n", fam->addr2.c_str());
  if (fam->city) {
    std::fprintf(fp, "City:%s<< State:%s<< Zip:%s<<", fam->city.c_str(),
                 str_or_null(fam->state), str_or_null(fam->zip));
  }
  if (fam->zip2) std::fprintf(fp, "Zip2:%s", fam->zip2.c_str());
  if (fam->acode) std::fprintf(fp, "[%s]", fam->acode.c_str());
  if (fam->addr || fam->city || fam->acode) std::fprintf(fp, "<<\n");
  if (fam->phone) std::fprintf(fp, "Phone:%s<<\n", fam->phone.c_str());

  if (fam->htgroup >= 1 && fam->htgroup <= 5) {
    std::fprintf(fp, "HT: %s-%2.2d-%2.2d\n", htgroup(fam->htgroup), fam->htsup, fam->htdist);
    if (fam->htname) {
      std::fprintf(fp, " (%s", fam->htname.c_str());
      if (fam->htcomp) std::fprintf(fp, ", %s", fam->htcomp.c_str());
      std::fprintf(fp, ")\nVisits: ");
      for (char c : fam->htvisits.view()) std::fputc(visit_mark(c), fp);
      std::fprintf(fp, "\n");
    }
  }

  for (const WardErr* err = fam->err; err != nullptr; err = err->next) {
    std::fprintf(fp, "***%s***\n", err->msg.c_str());
  }
  for (const WardMember* mem = fam->members; mem != nullptr; mem = mem->next) {
    list_member(mem, fp);
  }
}

void list_member(const WardMember* mem, FILE* fp) {
  std::fprintf(fp, "\tl/fname:%s<< >>%s<<", str_or_null(mem->lname), str_or_null(mem->fname));
  std::fprintf(fp, " type:%d (%s)\n", mem->type, mem_type(mem->type));
  if (mem->stat) {
    // An absent sex (0) writes nothing between the colon and the comma.
    const char sex[2] = {mem->sex, '\0'};
    std::fprintf(fp, "\tSex:%s, stat:%s<<", sex, mem->stat.c_str());
  }
  if (mem->bday[0] != '\0') std::fprintf(fp, " birth: [%s%s]", mem->bday, mem->bmonth);
  if (mem->recno) std::fprintf(fp, "[%s]", mem->recno.c_str());
  std::fprintf(fp, "\n");
  for (const WardErr* err = mem->err; err != nullptr; err = err->next) {
    std::fprintf(fp, "***%s***\n", err->msg.c_str());
  }
}
