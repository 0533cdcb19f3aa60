#pragma once
// Small ward lists for the comparison tests, built record by record.

#include <cstring>
#include <initializer_list>
#include <string>

#include "model/kinroll.h"
#include "model/warderr.h"

namespace changestest {

/// One member: first name, record number ("" for none), birth date as
/// printed ("07Mar61", "" for none), age, type (1 head, 2 spouse, 3 child).
struct Person {
  const char* first;
  const char* recno = "";
  const char* birth = "";
  int age = 0;
  int type = 0;  // 0: head when first, else child
};

/// Appends a household named `lname` with `people` (the first its head) to
/// the list `head`; the family's first name is the head's.
inline WardFamily* household(WardFamily*& head, const char* lname,
                             std::initializer_list<Person> people) {
  WardFamily* fam = create_ward_family();
  fam->lname = lname;
  for (const Person& p : people) {
    WardMember* mem = create_ward_member();
    mem->fname = p.first;
    if (*p.recno != '\0') mem->recno = p.recno;
    std::string birth = p.birth;
    if (birth.size() == 7) {
      std::memcpy(mem->bday, birth.data(), 2);
      std::memcpy(mem->bmonth, birth.data() + 2, 3);
      std::memcpy(mem->byear, birth.data() + 5, 2);
    }
    mem->age = p.age;
    mem->type = p.type != 0 ? p.type : (fam->members == nullptr ? 1 : 3);
    if (fam->members == nullptr) fam->fname = mem->fname;
    append_member(fam, mem);
  }
  if (head == nullptr) {
    head = fam;
  } else {
    append_family(head, fam);
  }
  return fam;
}

/// Appends a cross-reference entry "LNAME (See OTHER)".
inline WardFamily* see_entry(WardFamily*& head, const char* lname, const char* other) {
  WardFamily* fam = create_ward_family();
  fam->lname = lname;
  fam->sname = other;
  if (head == nullptr) {
    head = fam;
  } else {
    append_family(head, fam);
  }
  return fam;
}

/// The member of `fam` with first name `first`; null when none.
inline WardMember* member(const WardFamily* fam, const char* first) {
  for (WardMember* m = fam->members; m != nullptr; m = m->next) {
    if (m->fname == first) return m;
  }
  return nullptr;
}

}  // namespace changestest
