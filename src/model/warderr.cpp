#include "model/warderr.h"

namespace {
void push_err(WardErr*& head, std::string_view msg) {
  WardErr* err = create_ward_err();
  if (err == nullptr) return;
  err->msg = Text(msg);
  err->next = head;
  head = err;
}
}  // namespace

void add_fam_err(WardFamily* fam, std::string_view msg) { push_err(fam->err, msg); }

void add_mem_err(WardMember* mem, std::string_view msg) { push_err(mem->err, msg); }
