#include "contacts/uid.h"

#include <cstdio>

#include "contacts/sha256.h"

namespace {

/// The head of `fam`: its first member when that is of type 1; else null.
const WardMember* head_of(const WardFamily* fam) {
  const WardMember* first = fam->members;
  return first != nullptr && first->type == 1 ? first : nullptr;
}

/// True when `mem` has a record number that the reader did not make up.
bool has_real_recno(const WardMember* mem) {
  return !mem->recno.empty() && !is_pseudo_recno(mem->recno);
}

/// The text of the first 16 bytes of `digest` as a version 8 UUID.
std::string uuid_text(Sha256Digest digest) {
  unsigned char* bytes = digest.data();
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0f) | 0x80);  // version 8
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3f) | 0x80);  // variant 10
  char out[37];
  std::snprintf(out, sizeof out,
                "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", bytes[0],
                bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7], bytes[8],
                bytes[9], bytes[10], bytes[11], bytes[12], bytes[13], bytes[14], bytes[15]);
  return out;
}

}  // namespace

bool is_pseudo_recno(const Text& recno) { return recno.view().starts_with("999-9999-"); }

std::string family_uid_source(const WardFamily* fam) {
  const WardMember* head = head_of(fam);
  if (head != nullptr && has_real_recno(head)) return "card\n" + head->recno.str();
  return "card name\n" + fam->lname.str() + "\n" + (head != nullptr ? head->fname.str() : "");
}

std::string member_uid_source(const WardFamily* fam, const WardMember* mem) {
  if (has_real_recno(mem)) return "birthday\n" + mem->recno.str();
  const WardMember* head = head_of(fam);
  return "birthday name\n" + mem->lname.str() + "\n" + mem->fname.str() + "\n" + fam->lname.str() +
         "\n" + (head != nullptr ? head->fname.str() : "");
}

std::string keyed_uuid(std::string_view key, std::string_view source) {
  return uuid_text(hmac_sha256(key, source));
}

UidMaker::UidMaker(std::string_view key) : mac_(key) {}

std::string UidMaker::make(const std::string& source) {
  int n = ++seen_[source];
  if (n == 1) return uuid_text(mac_.mac(source));
  return uuid_text(mac_.mac(source + "\n#" + std::to_string(n)));
}
