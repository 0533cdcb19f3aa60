#include "model/arena.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

namespace {

Arena* g_current = nullptr;

/// Every live block by its (aligned) address, with its arena; and the last
/// block looked up, since lookups come in runs on the same block.
std::unordered_map<uintptr_t, Arena*>& block_owners() {
  static auto* owners = new std::unordered_map<uintptr_t, Arena*>();
  return *owners;
}
uintptr_t g_last_base = 0;
Arena* g_last_owner = nullptr;

uintptr_t base_of(const void* p) {
  return reinterpret_cast<uintptr_t>(p) & ~static_cast<uintptr_t>(Arena::kBlock - 1);
}

}  // namespace

Arena::~Arena() { reset(); }

Arena& Arena::global() {
  // Never destroyed: records of other arenas may share its texts until the
  // very end, static destructors included.
  static Arena* arena = new Arena();
  return *arena;
}

Arena& Arena::current() { return g_current != nullptr ? *g_current : global(); }

Arena* Arena::owner_of(const void* p) {
  uintptr_t base = base_of(p);
  if (base == g_last_base && g_last_owner != nullptr) return g_last_owner;
  auto& owners = block_owners();
  auto it = owners.find(base);
  if (it == owners.end()) return nullptr;
  g_last_base = base;
  g_last_owner = it->second;
  return it->second;
}

void Arena::reset() {
  auto& owners = block_owners();
  for (const Chunk& c : chunks_) {
    for (size_t off = 0; off < c.size; off += kBlock) {
      owners.erase(reinterpret_cast<uintptr_t>(c.base + off));
    }
    if (c.mapped) {
      ::munmap(c.base, c.size);
    } else {
      std::free(c.base);
    }
  }
  g_last_base = 0;
  g_last_owner = nullptr;
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
  char* b = mapped ? map_huge(size) : static_cast<char*>(std::aligned_alloc(kBlock, size));
  if (b == nullptr) return nullptr;
  try {
    chunks_.push_back({b, size, mapped});
    auto& owners = block_owners();
    for (size_t off = 0; off < size; off += kBlock) {
      owners.emplace(reinterpret_cast<uintptr_t>(b + off), this);
    }
  } catch (const std::bad_alloc&) {
    // Whatever was registered goes with the chunk when the arena is reset.
    if (chunks_.empty() || chunks_.back().base != b) {
      if (mapped) {
        ::munmap(b, size);
      } else {
        std::free(b);
      }
    }
    return nullptr;
  }
  held_ += size;
  return b;
}

void* Arena::take(size_t n, size_t align) {
  if (n > kLargest) {
    // Blocks of their own, found by their first byte; the current chunk goes on.
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
