#pragma once
// The one owner of every ward record. Records are created here and live until
// the program ends, so a pointer to a record never dangles, however the menu
// drops or replaces its lists.

#include <memory>
#include <new>
#include <utility>
#include <vector>

/// Owns every record allocated through it until the arena itself is destroyed.
class Arena {
 public:
  /// The program's arena; destroyed at program exit, releasing every record.
  static Arena& global();

  /// Allocates a value-initialised T owned by the arena. Returns null when
  /// memory is exhausted. The pointer stays valid until destroy() or exit.
  template <class T>
  T* make() {
    try {
      auto slot = std::make_unique<Slot<T>>();
      T* raw = &slot->value;
      slots_.push_back(std::move(slot));
      return raw;
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }

  /// Releases a record made by make(); a null or unknown pointer is ignored.
  /// Searches from the newest record, since only fresh records are released.
  void destroy(const void* p);

  /// Releases every record at once. Only for harnesses that read many
  /// printouts in one process (fuzzing); every record pointer dangles after.
  void release_all() { slots_.clear(); }

  /// Number of records the arena holds (for tests).
  size_t size() const { return slots_.size(); }

 private:
  struct SlotBase {
    virtual ~SlotBase() = default;
    virtual const void* address() const = 0;
  };
  template <class T>
  struct Slot : SlotBase {
    T value{};
    const void* address() const override { return &value; }
  };
  std::vector<std::unique_ptr<SlotBase>> slots_;
};
