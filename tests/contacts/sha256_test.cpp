// SHA-256 and HMAC-SHA-256 against the published test vectors (FIPS 180-2
// appendix B, RFC 4231).

#include "contacts/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string hex(const Sha256Digest& d) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : d) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

TEST(Sha256, FipsVectors) {
  EXPECT_EQ(hex(sha256("abc")),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(hex(sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(hex(sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  // A million 'a', given in pieces that do not line up with the blocks.
  Sha256 s;
  std::string piece(999, 'a');
  for (int i = 0; i < 1001; ++i) s.update(piece);
  s.update(std::string(1000000 - 999 * 1001, 'a'));
  EXPECT_EQ(hex(s.finish()), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(HmacSha256, Rfc4231Vectors) {
  EXPECT_EQ(hex(hmac_sha256(std::string(20, '\x0b'), "Hi There")),
            "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
  EXPECT_EQ(hex(hmac_sha256("Jefe", "what do ya want for nothing?")),
            "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
  // A key longer than a block is hashed first.
  EXPECT_EQ(hex(hmac_sha256(std::string(131, '\xaa'),
                            "Test Using Larger Than Block-Size Key - Hash Key First")),
            "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
  HmacSha256 keyed("Jefe");
  EXPECT_EQ(keyed.mac("what do ya want for nothing?"),
            hmac_sha256("Jefe", "what do ya want for nothing?"));
}

}  // namespace
