#include "contacts/uid.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/params.h>

#include <cstdio>
#include <new>

namespace {

constexpr std::string_view kPseudoPrefix = "999-9999-";

/// The head of `fam`: its first member when that is of type 1; else null.
const WardMember* head_of(const WardFamily* fam) {
  const WardMember* first = fam->members;
  return first != nullptr && first->type == 1 ? first : nullptr;
}

/// The text of the 16 `bytes` as a version 8 UUID.
std::string uuid_text(unsigned char* bytes) {
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

bool is_pseudo_recno(const Text& recno) { return recno.view().starts_with(kPseudoPrefix); }

std::string family_uid_source(const WardFamily* fam) {
  const WardMember* head = head_of(fam);
  if (head != nullptr && head->recno && !head->recno.empty() && !is_pseudo_recno(head->recno)) {
    return "card\n" + head->recno.str();
  }
  return "card name\n" + fam->lname.str() + "\n" + (head != nullptr ? head->fname.str() : "");
}

std::string member_uid_source(const WardFamily* fam, const WardMember* mem) {
  if (mem->recno && !mem->recno.empty() && !is_pseudo_recno(mem->recno)) {
    return "birthday\n" + mem->recno.str();
  }
  const WardMember* head = head_of(fam);
  return "birthday name\n" + mem->lname.str() + "\n" + mem->fname.str() + "\n" + fam->lname.str() +
         "\n" + (head != nullptr ? head->fname.str() : "");
}

std::string keyed_uuid(std::string_view key, std::string_view source) {
  unsigned char md[EVP_MAX_MD_SIZE];
  unsigned int len = 0;
  if (HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
           reinterpret_cast<const unsigned char*>(source.data()), source.size(), md,
           &len) == nullptr) {
    throw std::bad_alloc();
  }
  return uuid_text(md);
}

UidMaker::UidMaker(std::string_view key) : key_(key) {
  EVP_MAC* mac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
  if (mac == nullptr) return;
  mac_ = EVP_MAC_CTX_new(mac);
  EVP_MAC_free(mac);
  if (mac_ == nullptr) return;
  char digest[] = "SHA256";
  OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                         OSSL_PARAM_construct_end()};
  if (EVP_MAC_init(mac_, reinterpret_cast<const unsigned char*>(key_.data()), key_.size(),
                   params) != 1) {
    EVP_MAC_CTX_free(mac_);
    mac_ = nullptr;
  }
}

UidMaker::~UidMaker() { EVP_MAC_CTX_free(mac_); }

std::string UidMaker::uuid_of(std::string_view source) {
  // The keyed context restarts with its key for each UID; without one the
  // one-shot HMAC gives the same result, only slower.
  if (mac_ == nullptr) return keyed_uuid(key_, source);
  unsigned char md[EVP_MAX_MD_SIZE];
  size_t len = 0;
  if (EVP_MAC_init(mac_, nullptr, 0, nullptr) != 1 ||
      EVP_MAC_update(mac_, reinterpret_cast<const unsigned char*>(source.data()), source.size()) !=
          1 ||
      EVP_MAC_final(mac_, md, &len, sizeof md) != 1 || len < 16) {
    return keyed_uuid(key_, source);
  }
  return uuid_text(md);
}

std::string UidMaker::make(const std::string& source) {
  int n = ++seen_[source];
  if (n == 1) return uuid_of(source);
  return uuid_of(source + "\n#" + std::to_string(n));
}
