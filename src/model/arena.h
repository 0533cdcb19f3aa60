#pragma once
// Where ward records and their texts live. An Arena hands out memory from
// large blocks and gives it all back at once when it is destroyed; nothing is
// torn down record by record. Records and texts go to the current arena,
// which is the program's global arena unless an ArenaScope names another, so
// a list read into an arena of its own can be dropped whole.
//
// A Text is a plain handle: copying one shares its bytes. A list that takes
// texts or records of another list either copies them into its own arena
// (a merge taking a text from a report that will be dropped, copy_into())
// or keep()s the other arena alive (positions copied onto members point at
// their organisations).
//
// One thread at a time may allocate in an arena; each thread has its own
// current arena.

#include <cstddef>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>
#include <vector>

/// Bump allocator owning every record and text allocated through it. Every
/// arena's memory lies in one reserved range of addresses, where a Text
/// names its characters by a 32-bit offset.
class Arena {
 public:
  Arena() = default;
  /// Releases every block: each record and text of this arena dangles after.
  ~Arena();
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

  /// The program's arena; lives until the program ends, so its texts may be
  /// shared by records of every arena.
  static Arena& global();

  /// The arena that new records and texts of the calling thread go to: the
  /// thread's innermost live ArenaScope's, else global().
  static Arena& current();

  /// True when the byte at `p` lies in memory of this arena (for tests and
  /// checks: it walks the arena's chunks).
  bool holds(const void* p) const;

  /// A value-initialised T in this arena, or null when memory is exhausted.
  /// T must be trivially destructible (its destructor never runs). The
  /// pointer stays valid until the arena is destroyed or reset.
  template <class T>
  T* make() {
    static_assert(std::is_trivially_destructible_v<T>, "arena records are never destructed");
    static_assert(sizeof(T) <= kLargest, "arena records are small");
    void* p = take(sizeof(T), alignof(T));
    if (p == nullptr) return nullptr;
    ++live_;
    return new (p) T{};
  }

  /// Marks a record made by make<T>() as released. Its memory comes back
  /// with the arena's. A null pointer is ignored.
  template <class T>
  void release(T* p) {
    if (p != nullptr && live_ > 0) --live_;
  }

  /// A NUL-terminated copy of `s` in this arena, preceded by its length as
  /// a 32-bit number. Throws std::bad_alloc when memory is exhausted.
  const char* copy_text(std::string_view s);

  /// The empty text, with its length, at the start of the reserved range
  /// and in no arena. Throws std::bad_alloc when no range could be had.
  static const char* empty_text();

  /// Readies the arena for about `bytes` of records and texts (a report of
  /// that size is about to be read): its next chunks start at the power of
  /// two at or above `bytes`, up to kHuge, so that a large report lands on
  /// huge pages from its first record instead of on small chunks faulted
  /// in page by page. Never makes the chunks smaller.
  void expect(size_t bytes);

  /// Keeps `other` alive at least as long as this arena, for records of this
  /// arena that point into it.
  void keep(std::shared_ptr<Arena> other);

  /// Releases every block at once, as destruction does, and drops what it
  /// keeps alive; the arena stays usable. Every pointer into it dangles.
  void reset();

  /// Records made and not released (for tests).
  size_t size() const { return live_; }

  /// Chunks of dropped arenas waiting for the next arenas with their pages
  /// in place (for tests).
  static size_t pooled_chunks();

  /// Bytes of block memory the arena holds.
  size_t bytes_held() const { return held_; }

  /// Size of the first block; records never exceed a quarter of it, and a
  /// longer text gets a chunk of its own. An arena takes memory in chunks
  /// that double in size up to kHuge, which the system may back with huge
  /// pages; the chunks of a dropped arena are kept (up to a bound) for the
  /// next arenas, whose records then land on pages already in place.
  static constexpr size_t kBlock = 64 * 1024;
  static constexpr size_t kLargest = kBlock / 4;
  static constexpr size_t kHuge = 2 * 1024 * 1024;  // kHugePage of model/hugemem.h

 private:
  /// A piece of the reserved range.
  struct Chunk {
    char* base;
    size_t size;
  };

  void* take(size_t n, size_t align);
  char* new_chunk(size_t size);
  /// Returns a chunk to those waiting for the next arenas.
  static void give_back(const Chunk& c);

  std::vector<Chunk> chunks_;
  size_t next_chunk_ = kBlock;
  std::vector<std::shared_ptr<Arena>> kept_;
  char* cur_ = nullptr;
  size_t left_ = 0;
  size_t held_ = 0;
  size_t live_ = 0;
};

/// Makes `arena` the calling thread's current arena for the lifetime of the
/// scope.
class ArenaScope {
 public:
  explicit ArenaScope(Arena& arena);
  ~ArenaScope();
  ArenaScope(const ArenaScope&) = delete;
  ArenaScope& operator=(const ArenaScope&) = delete;

 private:
  Arena* saved_;
};
