#pragma once
// Where ward records and their texts live. An Arena hands out memory from
// large blocks and gives it all back at once when it is destroyed; nothing is
// torn down record by record. Records and texts go to the current arena,
// which is the program's global arena unless an ArenaScope names another, so
// a list read into an arena of its own can be dropped whole.

#include <cstddef>
#include <new>
#include <string_view>
#include <type_traits>
#include <vector>

/// Bump allocator owning every record and text allocated through it.
class Arena {
 public:
  Arena() = default;
  /// Releases every block: each record and text of this arena dangles after.
  ~Arena();
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;

  /// The program's arena; destroyed at program exit.
  static Arena& global();

  /// The arena that new records and texts go to: the innermost live
  /// ArenaScope's, else global().
  static Arena& current();

  /// A value-initialised T in this arena, or null when memory is exhausted.
  /// T must be trivially destructible (its destructor never runs). The
  /// pointer stays valid until the arena is destroyed or reset.
  template <class T>
  T* make() {
    static_assert(std::is_trivially_destructible_v<T>, "arena records are never destructed");
    void* p = take(sizeof(T), alignof(T));
    if (p == nullptr) return nullptr;
    ++live_;
    return new (p) T{};
  }

  /// Marks a record made by make<T>() as released. Its memory comes back
  /// with the arena's (a record may belong to another arena than the current
  /// one, so it is never reused here). A null pointer is ignored.
  template <class T>
  void release(T* p) {
    if (p != nullptr && live_ > 0) --live_;
  }

  /// A NUL-terminated copy of `s` in this arena. Throws std::bad_alloc when
  /// memory is exhausted.
  const char* copy_text(std::string_view s);

  /// Releases every block at once, as destruction does; the arena stays
  /// usable. Every pointer into it dangles after.
  void reset();

  /// Records made and not released (for tests).
  size_t size() const { return live_; }

  /// Bytes of block memory the arena holds.
  size_t bytes_held() const { return held_; }

 private:
  void* take(size_t n, size_t align);
  static constexpr size_t kGrain = 16;

  std::vector<char*> blocks_;
  char* cur_ = nullptr;
  size_t left_ = 0;
  size_t held_ = 0;
  size_t live_ = 0;
};

/// Makes `arena` the current arena for the lifetime of the scope.
class ArenaScope {
 public:
  explicit ArenaScope(Arena& arena);
  ~ArenaScope();
  ArenaScope(const ArenaScope&) = delete;
  ArenaScope& operator=(const ArenaScope&) = delete;

 private:
  Arena* saved_;
};
