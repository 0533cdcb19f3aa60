#include "contacts/sha256.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

uint32_t rotr(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

}  // namespace

Sha256::Sha256()
    : h_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab,
         0x5be0cd19} {}

void Sha256::block(const unsigned char* p) {
  uint32_t w[64];
  for (int i = 0; i < 16; ++i) {
    w[i] = static_cast<uint32_t>(p[4 * i]) << 24 | static_cast<uint32_t>(p[4 * i + 1]) << 16 |
           static_cast<uint32_t>(p[4 * i + 2]) << 8 | static_cast<uint32_t>(p[4 * i + 3]);
  }
  for (int i = 16; i < 64; ++i) {
    uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
    uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
    w[i] = w[i - 16] + s0 + w[i - 7] + s1;
  }
  uint32_t a = h_[0], b = h_[1], c = h_[2], d = h_[3], e = h_[4], f = h_[5], g = h_[6], h = h_[7];
  for (int i = 0; i < 64; ++i) {
    uint32_t s1 = rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25);
    uint32_t ch = (e & f) ^ (~e & g);
    uint32_t t1 = h + s1 + ch + kRound[i] + w[i];
    uint32_t s0 = rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22);
    uint32_t maj = (a & b) ^ (a & c) ^ (b & c);
    uint32_t t2 = s0 + maj;
    h = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + t2;
  }
  const uint32_t mixed[8] = {a, b, c, d, e, f, g, h};
  for (int i = 0; i < 8; ++i) h_[i] += mixed[i];
}

void Sha256::update(std::string_view data) {
  length_ += data.size();
  while (!data.empty()) {
    size_t take = std::min(data.size(), sizeof buf_ - used_);
    std::memcpy(buf_ + used_, data.data(), take);
    used_ += take;
    data.remove_prefix(take);
    if (used_ == sizeof buf_) {
      block(buf_);
      used_ = 0;
    }
  }
}

Sha256Digest Sha256::finish() {
  uint64_t bits = length_ * 8;
  unsigned char pad[72] = {0x80};
  size_t pad_len = (used_ < 56 ? 56 - used_ : 120 - used_);
  for (int i = 0; i < 8; ++i) pad[pad_len + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
  update(std::string_view(reinterpret_cast<const char*>(pad), pad_len + 8));
  Sha256Digest out;
  for (int i = 0; i < 32; ++i) out[i] = static_cast<unsigned char>(h_[i / 4] >> (24 - 8 * (i % 4)));
  return out;
}

Sha256Digest sha256(std::string_view data) {
  Sha256 s;
  s.update(data);
  return s.finish();
}

HmacSha256::HmacSha256(std::string_view key) {
  constexpr size_t kBlock = 64;
  std::string k(key);
  if (k.size() > kBlock) {
    Sha256Digest d = sha256(k);
    k.assign(reinterpret_cast<const char*>(d.data()), d.size());
  }
  k.resize(kBlock, '\0');
  std::string inner(kBlock, '\0'), outer(kBlock, '\0');
  for (size_t i = 0; i < kBlock; ++i) {
    inner[i] = static_cast<char>(k[i] ^ 0x36);
    outer[i] = static_cast<char>(k[i] ^ 0x5c);
  }
  inner_.update(inner);
  outer_.update(outer);
}

Sha256Digest HmacSha256::mac(std::string_view message) const {
  Sha256 in = inner_;
  in.update(message);
  Sha256Digest inner_digest = in.finish();
  Sha256 out = outer_;
  out.update(std::string_view(reinterpret_cast<const char*>(inner_digest.data()),
                              inner_digest.size()));
  return out.finish();
}

Sha256Digest hmac_sha256(std::string_view key, std::string_view message) {
  return HmacSha256(key).mac(message);
}
