#include "model/arena.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

/// The arena of each thread's innermost ArenaScope; null for the global arena.
thread_local Arena* g_current = nullptr;

}  // namespace

Arena::~Arena() { reset(); }

Arena& Arena::global() {
  // Never destroyed: records of other arenas may share its texts until the
  // very end, static destructors included.
  static Arena* arena = new Arena();
  return *arena;
}

Arena& Arena::current() { return g_current != nullptr ? *g_current : global(); }

bool Arena::holds(const void* p) const {
  auto* byte = static_cast<const char*>(p);
  for (const Chunk& c : chunks_) {
    if (byte >= c.base && byte < c.base + c.size) return true;
  }
  return false;
}

void Arena::reset() {
  for (const Chunk& c : chunks_) {
    if (c.mapped) {
      ::munmap(c.base, c.size);
    } else {
      std::free(c.base);
    }
  }
  chunks_.clear();
  next_chunk_ = kBlock;
  cur_ = nullptr;
  left_ = 0;
  held_ = 0;
  live_ = 0;
  kept_.clear();
}

void Arena::keep(std::shared_ptr<Arena> other) {
  if (other != nullptr && other.get() != this) kept_.push_back(std::move(other));
}

namespace {

/// `size` bytes (a multiple of kHuge) aligned to kHuge, from mmap, offered
/// to the system for huge pages; null when none can be had.
char* map_huge(size_t size) {
  size_t span = size + Arena::kHuge;
  void* p = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  uintptr_t start = reinterpret_cast<uintptr_t>(p);
  uintptr_t aligned = (start + Arena::kHuge - 1) & ~static_cast<uintptr_t>(Arena::kHuge - 1);
  if (aligned > start) ::munmap(p, aligned - start);
  uintptr_t end = start + span;
  if (end > aligned + size) ::munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  char* base = reinterpret_cast<char*>(aligned);
  ::madvise(base, size, MADV_HUGEPAGE);
  return base;
}

}  // namespace

char* Arena::new_chunk(size_t size) {
  bool mapped = size % kHuge == 0;
  char* b = mapped ? map_huge(size) : static_cast<char*>(std::malloc(size));
  if (b == nullptr) return nullptr;
  try {
    chunks_.reserve(chunks_.size() + 1);
  } catch (const std::bad_alloc&) {
    if (mapped) {
      ::munmap(b, size);
    } else {
      std::free(b);
    }
    return nullptr;
  }
  chunks_.push_back({b, size, mapped});
  held_ += size;
  return b;
}

void* Arena::take(size_t n, size_t align) {
  if (n > kLargest) {
    // A chunk of its own; the current chunk goes on.
    return new_chunk((n + kBlock - 1) / kBlock * kBlock);
  }
  size_t pad = cur_ == nullptr ? 0 : (align - reinterpret_cast<uintptr_t>(cur_) % align) % align;
  if (cur_ == nullptr || pad + n > left_) {
    char* b = new_chunk(next_chunk_);
    if (b == nullptr) return nullptr;
    cur_ = b;
    left_ = next_chunk_;
    if (next_chunk_ < kHuge) next_chunk_ *= 2;
    pad = 0;
  }
  char* p = cur_ + pad;
  cur_ = p + n;
  left_ -= pad + n;
  return p;
}

const char* Arena::empty_text() {
  alignas(uint32_t) static const char kEmpty[sizeof(uint32_t) + 1] = {};
  return kEmpty + sizeof(uint32_t);
}

const char* Arena::copy_text(std::string_view s) {
  if (s.empty()) return empty_text();
  uint32_t n = static_cast<uint32_t>(s.size());
  char* p = static_cast<char*>(take(sizeof n + s.size() + 1, 1));
  if (p == nullptr) throw std::bad_alloc();
  std::memcpy(p, &n, sizeof n);
  p += sizeof n;
  std::memcpy(p, s.data(), s.size());
  p[s.size()] = '\0';
  return p;
}

ArenaScope::ArenaScope(Arena& arena) : saved_(g_current) { g_current = &arena; }

ArenaScope::~ArenaScope() { g_current = saved_; }
