#include "model/arena.h"

#include <cstdlib>
#include <cstdint>
#include <cstring>

namespace {

/// Size of an ordinary block; a larger request gets a block of its own.
constexpr size_t kBlock = 64 * 1024;

Arena* g_current = nullptr;

}  // namespace

Arena::~Arena() { reset(); }

Arena& Arena::global() {
  static Arena arena;
  return arena;
}

Arena& Arena::current() { return g_current != nullptr ? *g_current : global(); }

void Arena::reset() {
  for (char* b : blocks_) std::free(b);
  blocks_.clear();
  cur_ = nullptr;
  left_ = 0;
  held_ = 0;
  live_ = 0;
}

void* Arena::take(size_t n, size_t align) {
  size_t rounded = (n + kGrain - 1) / kGrain * kGrain;
  size_t pad = cur_ == nullptr ? 0 : (align - reinterpret_cast<uintptr_t>(cur_) % align) % align;
  if (cur_ == nullptr || pad + rounded > left_) {
    size_t size = rounded > kBlock / 4 ? rounded : kBlock;
    char* b = static_cast<char*>(std::malloc(size));
    if (b == nullptr) return nullptr;
    try {
      blocks_.push_back(b);
    } catch (const std::bad_alloc&) {
      std::free(b);
      return nullptr;
    }
    held_ += size;
    if (size != kBlock) return b;  // a block of its own; the current block goes on
    cur_ = b;
    left_ = size;
    pad = 0;
  }
  char* p = cur_ + pad;
  cur_ = p + rounded;
  left_ -= pad + rounded;
  return p;
}

const char* Arena::copy_text(std::string_view s) {
  if (s.empty()) return "";
  // Texts are packed without rounding: they need no alignment.
  size_t n = s.size() + 1;
  char* p;
  if (cur_ != nullptr && n <= left_) {
    p = cur_;
    cur_ += n;
    left_ -= n;
  } else {
    p = static_cast<char*>(take(n, 1));
    if (p == nullptr) throw std::bad_alloc();
  }
  std::memcpy(p, s.data(), s.size());
  p[s.size()] = '\0';
  return p;
}

ArenaScope::ArenaScope(Arena& arena) : saved_(g_current) { g_current = &arena; }

ArenaScope::~ArenaScope() { g_current = saved_; }
