#pragma once
// SHA-256 (FIPS 180-4) and HMAC-SHA-256 (RFC 2104), for the UIDs of the
// contact files: small, self-contained, checked against the published test
// vectors.

#include <array>
#include <cstdint>
#include <string_view>

/// The 32-byte SHA-256 digest.
using Sha256Digest = std::array<unsigned char, 32>;

/// SHA-256 over data given in pieces.
class Sha256 {
 public:
  Sha256();
  /// Adds the bytes of `data`.
  void update(std::string_view data);
  /// The digest of everything added; the object is spent afterwards.
  Sha256Digest finish();

 private:
  void block(const unsigned char* p);

  uint32_t h_[8];
  unsigned char buf_[64];
  size_t used_ = 0;     // bytes in buf_
  uint64_t length_ = 0; // bytes added in all
};

/// The SHA-256 digest of `data`.
Sha256Digest sha256(std::string_view data);

/// HMAC-SHA-256 under one key, for many messages: the key's padding is
/// hashed once.
class HmacSha256 {
 public:
  explicit HmacSha256(std::string_view key);
  /// HMAC-SHA-256 of `message` under the key.
  Sha256Digest mac(std::string_view message) const;

 private:
  Sha256 inner_;  // state after the inner key pad
  Sha256 outer_;  // state after the outer key pad
};

/// HMAC-SHA-256 of `message` under `key`.
Sha256Digest hmac_sha256(std::string_view key, std::string_view message);
