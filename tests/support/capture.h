#pragma once
// Capturing what a writer puts on a stream, and building small ward lists.

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "model/kinroll.h"

namespace testsupport {

/// Everything `write` puts on the stream it is given.
inline std::string capture(const std::function<void(FILE*)>& write) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* fp = open_memstream(&buf, &len);
  write(fp);
  std::fclose(fp);
  std::string out(buf, len);
  std::free(buf);
  return out;
}

/// Appends a new family to the chain `head` starts (starting it when null).
inline WardFamily* add_family(WardFamily*& head, Text lname, Text fname,
                              Text phone = std::nullopt) {
  WardFamily* fam = create_ward_family();
  fam->lname = std::move(lname);
  fam->fname = std::move(fname);
  fam->phone = std::move(phone);
  if (head == nullptr) {
    head = fam;
  } else {
    append_family(head, fam);
  }
  return fam;
}

}  // namespace testsupport
