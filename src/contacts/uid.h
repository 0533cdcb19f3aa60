#pragma once
// UIDs of the cards and events: the same person or family gets the same UID
// in every run, so that a phone updates its entry instead of adding a second
// one, and no UID tells the record number it was made from. A plain hash of
// a record number would: there are few enough numbers to try them all. So
// each UID is a keyed hash (HMAC-SHA-256) under a secret key that stays
// with the clerk (see keyfile.h).

#include <string>
#include <string_view>
#include <unordered_map>

#include "contacts/sha256.h"
#include "model/kinroll.h"

/// True for a number that the directory reader made up for a member printed
/// without one ("999-9999-" and a count). It tells where the member stands
/// among the members without a number, not who the member is.
bool is_pseudo_recno(const Text& recno);

/// The text a family's card UID is made from: "card", the head's record
/// number; for a head with a made-up number or none (or no head), "card
/// name", the family name and the head's first name. Texts are joined with
/// line feeds, which no printout field holds.
std::string family_uid_source(const WardFamily* fam);

/// The text the birthday event of `mem`, a member of `fam`, is made from:
/// "birthday" and the member's record number; for a made-up number or none,
/// "birthday name", the member's last and first names, the family name and
/// the head's first name.
std::string member_uid_source(const WardFamily* fam, const WardMember* mem);

/// The UUID text (8-4-4-4-12 lower-case hex digits) of the first 16 bytes of
/// HMAC-SHA-256 of `source` under `key`, marked as a version 8 (custom)
/// UUID of the RFC 9562 variant.
std::string keyed_uuid(std::string_view key, std::string_view source);

/// Hands out the UIDs of one output file. A source given again (two
/// families with the same made-up key, or a record number printed twice)
/// gets "#N", its occurrence number, appended before hashing, so that no
/// two entries of a file share a UID and the same input still gives the
/// same UIDs.
class UidMaker {
 public:
  /// `key` is the secret; it is copied.
  explicit UidMaker(std::string_view key);

  /// The UUID text for `source` (see keyed_uuid and above).
  std::string make(const std::string& source);

 private:
  HmacSha256 mac_;  // keyed once, used for every UID
  std::unordered_map<std::string, int> seen_;
};
