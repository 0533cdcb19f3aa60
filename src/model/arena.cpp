#include "model/arena.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>

#include "model/hugemem.h"
#include "model/text.h"

char* text_space::base = nullptr;

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
  return std::ranges::any_of(
      chunks_, [&](const Chunk& c) { return byte >= c.base && byte < c.base + c.size; });
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

void Arena::expect(size_t bytes) {
  while (next_chunk_ < kHuge && next_chunk_ < bytes) next_chunk_ *= 2;
}

void Arena::keep(std::shared_ptr<Arena> other) {
  if (other != nullptr && other.get() != this) kept_.push_back(std::move(other));
}

namespace {

/// The addresses every arena's chunks come from: one range reserved at the
/// first chunk, so that a Text can name its characters by a 32-bit offset
/// (model/text.h). Chunks of dropped arenas wait, by size, for the next
/// arenas: their pages are in place already, so a report read after another
/// was dropped costs the system no page clearing. Beyond kResident bytes
/// waiting, a returned chunk's pages go back to the system and only its
/// addresses wait. Any thread may take and give.
class Space {
 public:
  /// Bytes of waiting chunks whose pages stay in place.
  static constexpr size_t kResident = 96u << 20;

  static Space& get() {
    // Never destroyed: arenas may be dropped by static destructors.
    static Space* space = new Space();
    return *space;
  }

  /// A chunk of `size` bytes (a multiple of Arena::kBlock), or null when
  /// the range is used up or the system refuses.
  char* take(size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto waiting = free_.find(size);
    if (waiting != free_.end() && !waiting->second.empty()) {
      Free f = waiting->second.back();
      waiting->second.pop_back();
      if (f.resident) resident_ -= size;
      return f.base;
    }
    // A huge chunk starts on a huge page boundary, to fill whole huge pages.
    if (size % kHugePage == 0) top_ = huge_size(top_);
    if (base_ == nullptr || size > reserved_ - top_) return nullptr;
    if (!commit(top_ + size)) return nullptr;
    char* chunk = base_ + top_;
    top_ += size;
    return chunk;
  }

  /// Takes back a chunk from take().
  void give(char* chunk, size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    bool resident = resident_ + size <= kResident;
    if (resident) {
      resident_ += size;
    } else {
      ::madvise(chunk, size, MADV_DONTNEED);
    }
    std::vector<Free>& waiting = free_[size];
    // Chunks with their pages in place are taken first.
    waiting.insert(resident ? waiting.end() : waiting.begin(), Free{chunk, resident});
  }

  size_t resident_chunks() {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t n = 0;
    for (const auto& [size, waiting] : free_) {
      for (const Free& f : waiting) n += f.resident ? 1 : 0;
    }
    return n;
  }

 private:
  struct Free {
    char* base;
    bool resident;
  };

  /// Makes the range writable up to at least `end`, in whole huge pages:
  /// the writable part stays one stretch of huge pages, so that small
  /// chunks share them and even a small arena's records cost the system a
  /// fault per 2 MB rather than one per 4 KB.
  bool commit(size_t end) {
    if (end <= committed_) return true;
    size_t upto = huge_size(end);
    char* from = base_ + committed_;
    if (::mprotect(from, upto - committed_, PROT_READ | PROT_WRITE) != 0) return false;
    ::madvise(from, upto - committed_, MADV_HUGEPAGE);
    committed_ = upto;
    return true;
  }

  /// Reserves the range: 16 GB (the offsets of 4-byte units that 32 bits
  /// reach) or, where the system gives less, the most it gives. Nothing is
  /// committed until a chunk is taken. The first bytes hold the empty text.
  Space() {
    for (size_t want = size_t{1} << 34; want >= (size_t{1} << 28) && base_ == nullptr; want /= 2) {
      void* p = ::mmap(nullptr, want + kHugePage, PROT_NONE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
      if (p == MAP_FAILED) continue;
      auto start = reinterpret_cast<uintptr_t>(p);
      base_ = reinterpret_cast<char*>(huge_size(start));
      reserved_ = want;
    }
    if (base_ == nullptr || !commit(Arena::kBlock)) {
      base_ = nullptr;
      return;
    }
    top_ = Arena::kBlock;  // the empty text: a zero length, then its NUL
    text_space::base = base_;
  }

  std::mutex mutex_;
  char* base_ = nullptr;
  size_t reserved_ = 0;
  size_t top_ = 0;        // chunks end here
  size_t committed_ = 0;  // writable up to here
  size_t resident_ = 0;
  std::map<size_t, std::vector<Free>> free_;
};

}  // namespace

size_t Arena::pooled_chunks() { return Space::get().resident_chunks(); }

void Arena::give_back(const Chunk& c) { Space::get().give(c.base, c.size); }

char* Arena::new_chunk(size_t size) {
  char* b = Space::get().take(size);
  if (b == nullptr) return nullptr;
  Chunk chunk{b, size};
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
  Space::get();
  if (text_space::base == nullptr) throw std::bad_alloc();
  return text_space::base + sizeof(uint32_t);
}

const char* Arena::copy_text(std::string_view s) {
  if (s.empty()) return empty_text();
  uint32_t n = static_cast<uint32_t>(s.size());
  // On a 4-byte boundary, where a Text can name it.
  char* p = static_cast<char*>(take(sizeof n + s.size() + 1, alignof(uint32_t)));
  if (p == nullptr) throw std::bad_alloc();
  std::memcpy(p, &n, sizeof n);
  p += sizeof n;
  std::memcpy(p, s.data(), s.size());
  p[s.size()] = '\0';
  return p;
}

ArenaScope::ArenaScope(Arena& arena) : saved_(g_current) { g_current = &arena; }

ArenaScope::~ArenaScope() { g_current = saved_; }
