#include "model/put.h"

void Putter::flush() {
  if (at_ != buf_) std::fwrite(buf_, 1, static_cast<size_t>(at_ - buf_), fp_);
  at_ = buf_;
}

void Putter::spill(const char* p, size_t n) {
  flush();
  if (n < kSize) {
    std::memcpy(at_, p, n);
    at_ += n;
  } else {
    std::fwrite(p, 1, n, fp_);  // as large as the buffer: no use copying it
  }
}

void put_detail::one(Putter& out, Num n) {
  char digits[16];
  char* end = digits + sizeof digits;
  char* p = end;
  // Digits of the magnitude, taken as unsigned so that INT_MIN has one.
  unsigned magnitude = n.value < 0 ? 0u - static_cast<unsigned>(n.value)
                                   : static_cast<unsigned>(n.value);
  do {
    *--p = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (end - p < n.digits && p > digits + 1) *--p = '0';
  if (n.value < 0) *--p = '-';
  for (int pad = n.width - static_cast<int>(end - p); pad > 0; --pad) out.byte(' ');
  out.bytes(p, static_cast<size_t>(end - p));
}
