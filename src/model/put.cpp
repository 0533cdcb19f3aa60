#include "model/put.h"

void put_detail::one(FILE* fp, Num n) {
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
  for (int pad = n.width - static_cast<int>(end - p); pad > 0; --pad) putc_unlocked(' ', fp);
  bytes(fp, p, static_cast<size_t>(end - p));
}
