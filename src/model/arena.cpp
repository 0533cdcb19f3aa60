#include "model/arena.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

/// The arena of each thread's innermost ArenaScope; null for the global arena.
thread_local Arena* g_current = nullptr;

// The owner of every live block, by block number, in a two-level table whose
// leaves are made when first needed and kept for the life of the program.
// A lookup is two loads and takes no lock, so any thread may look up the
// blocks it holds pointers into while another registers blocks of an arena
// of its own. Addresses at or above 2^48 are beyond every platform this
// program runs on and are never registered.
constexpr unsigned kAddressBits = 48;
constexpr unsigned kBlockBits = 16;  // log2(Arena::kBlock)
constexpr unsigned kLeafBits = 16;
constexpr unsigned kRootBits = kAddressBits - kBlockBits - kLeafBits;
static_assert(Arena::kBlock == size_t{1} << kBlockBits);

struct OwnerLeaf {
  std::atomic<Arena*> owner[size_t{1} << kLeafBits];
};
std::atomic<OwnerLeaf*> g_owner_root[size_t{1} << kRootBits];

uintptr_t base_of(const void* p) {
  return reinterpret_cast<uintptr_t>(p) & ~static_cast<uintptr_t>(Arena::kBlock - 1);
}

bool registrable(uintptr_t base) { return (base >> kAddressBits) == 0; }

/// The slot of the block at `base`; null when its leaf does not exist and
/// `make` is false, or cannot be made.
std::atomic<Arena*>* owner_slot(uintptr_t base, bool make) {
  size_t block = base >> kBlockBits;
  std::atomic<OwnerLeaf*>& root = g_owner_root[block >> kLeafBits];
  OwnerLeaf* leaf = root.load(std::memory_order_acquire);
  if (leaf == nullptr) {
    if (!make) return nullptr;
    // Zeroed memory is a leaf of null owners.
    auto* fresh = static_cast<OwnerLeaf*>(std::calloc(1, sizeof(OwnerLeaf)));
    if (fresh == nullptr) return nullptr;
    if (root.compare_exchange_strong(leaf, fresh, std::memory_order_acq_rel)) {
      leaf = fresh;
    } else {
      std::free(fresh);  // another thread made it first
    }
  }
  return &leaf->owner[block & ((size_t{1} << kLeafBits) - 1)];
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
  if (!registrable(base)) return nullptr;
  std::atomic<Arena*>* slot = owner_slot(base, false);
  return slot != nullptr ? slot->load(std::memory_order_acquire) : nullptr;
}

void Arena::reset() {
  for (const Chunk& c : chunks_) {
    for (size_t off = 0; off < c.size; off += kBlock) {
      owner_slot(reinterpret_cast<uintptr_t>(c.base + off), false)
          ->store(nullptr, std::memory_order_release);
    }
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
  char* b = mapped ? map_huge(size) : static_cast<char*>(std::aligned_alloc(kBlock, size));
  if (b == nullptr) return nullptr;
  auto give_back = [&] {
    if (mapped) {
      ::munmap(b, size);
    } else {
      std::free(b);
    }
  };
  // Every slot is made before any is filled, so a chunk is registered whole
  // or not at all.
  std::vector<std::atomic<Arena*>*> slots;
  try {
    chunks_.reserve(chunks_.size() + 1);
    slots.reserve(size / kBlock);
  } catch (const std::bad_alloc&) {
    give_back();
    return nullptr;
  }
  for (size_t off = 0; off < size; off += kBlock) {
    uintptr_t base = reinterpret_cast<uintptr_t>(b + off);
    std::atomic<Arena*>* slot = registrable(base) ? owner_slot(base, true) : nullptr;
    if (slot == nullptr) {
      give_back();
      return nullptr;
    }
    slots.push_back(slot);
  }
  for (std::atomic<Arena*>* slot : slots) slot->store(this, std::memory_order_release);
  chunks_.push_back({b, size, mapped});
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
