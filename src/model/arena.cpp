#include "model/arena.h"

Arena& Arena::global() {
  static Arena arena;
  return arena;
}

void Arena::destroy(const void* p) {
  if (p == nullptr) return;
  for (auto it = slots_.rbegin(); it != slots_.rend(); ++it) {
    if ((*it)->address() == p) {
      slots_.erase(std::next(it).base());
      return;
    }
  }
}
