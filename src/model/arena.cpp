#include "model/arena.h"

#include "model/hugemem.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>

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
  for (const Chunk& c : chunks_) give_back(c);
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

/// Huge chunks of dropped arenas, kept for the next arenas: their pages are
/// faulted in already, so a report read after another one was dropped
/// costs the system no page clearing. Any thread may give and take.
struct ChunkPool {
  /// Chunks kept at most: enough for the largest report list dropped
  /// during a batch.
  static constexpr size_t kMax = 48;
  std::mutex mutex;
  std::vector<char*> free;
};

ChunkPool& pool() {
  // Never destroyed: arenas may be dropped by static destructors.
  static ChunkPool* p = new ChunkPool();
  return *p;
}

}  // namespace

size_t Arena::pooled_chunks() {
  ChunkPool& p = pool();
  std::lock_guard<std::mutex> lock(p.mutex);
  return p.free.size();
}

void Arena::give_back(const Chunk& c) {
  if (c.mapped && c.size == kHuge) {
    ChunkPool& p = pool();
    std::lock_guard<std::mutex> lock(p.mutex);
    if (p.free.size() < ChunkPool::kMax) {
      p.free.push_back(c.base);
      return;
    }
  }
  if (c.mapped) {
    unmap_huge(c.base, c.size);
  } else {
    std::free(c.base);
  }
}

char* Arena::new_chunk(size_t size) {
  bool mapped = size % kHuge == 0;
  char* b = nullptr;
  if (size == kHuge) {
    ChunkPool& p = pool();
    std::lock_guard<std::mutex> lock(p.mutex);
    if (!p.free.empty()) {
      b = p.free.back();
      p.free.pop_back();
    }
  }
  if (b == nullptr) b = static_cast<char*>(mapped ? map_huge(size) : std::malloc(size));
  if (b == nullptr) return nullptr;
  Chunk chunk{b, size, mapped};
  try {
    chunks_.push_back(chunk);
  } catch (const std::bad_alloc&) {
    give_back(chunk);
    return nullptr;
  }
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
