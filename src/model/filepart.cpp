#include "model/filepart.h"

std::string file_part(std::string_view text) {
  std::string part(text);
  for (char& c : part) {
    if (c == '/') c = '_';
  }
  return part;
}
