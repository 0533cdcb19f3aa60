#include "model/filepart.h"

#include <algorithm>

std::string file_part(std::string_view text) {
  std::string part(text);
  std::ranges::replace(part, '/', '_');
  return part;
}
