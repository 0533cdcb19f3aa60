#pragma once
// A hash index built once over a list and then only read: the merges use it
// to find report entries and ward members by their keys without a walk of
// the list per entry. Items are compared by the caller, so keys are never
// copied: the index holds a hash and an item per slot.

#include <cstdint>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "model/hugemem.h"
#include "model/splitfld.h"
#include "model/text.h"

/// A 64-bit FNV-1a hash of a key made of several texts.
class KeyHash {
 public:
  /// Adds the bytes of `s`, then a separator, so that ("ab","c") and
  /// ("a","bc") differ.
  KeyHash& add(std::string_view s) {
    for (char c : s) mix(static_cast<unsigned char>(c));
    mix(0);
    return *this;
  }
  /// The same with the letters a-z taken as A-Z.
  KeyHash& add_upper(std::string_view s) {
    for (char c : s) mix(static_cast<unsigned char>(to_upper(c)));
    mix(0);
    return *this;
  }
  /// Adds a mark for a key part that is absent.
  KeyHash& add_absent() {
    mix(1);
    mix(0);
    return *this;
  }
  /// Adds a text that may be absent: add() for a present one, add_absent() for an absent one.
  KeyHash& add_text(const Text& t) { return t ? add(t.view()) : add_absent(); }
  uint64_t value() const { return h_ != 0 ? h_ : 1; }

 private:
  void mix(unsigned char c) {
    h_ ^= c;
    h_ *= 1099511628211ull;
  }
  uint64_t h_ = 1469598103934665603ull;
};

/// Items by hash, with linear probing in a table half as large again as the
/// expected number of items (of any size: a hash picks its slot by
/// multiplication, not by a mask), grown when it is two thirds full. The
/// caller decides equality: `same(a, b)` for two items, `match(a)` for an
/// item against the key looked up. Lookups are read-only.
template <class Item>
class FlatIndex {
 public:
  explicit FlatIndex(size_t expected) {
    size_ = expected + expected / 2 + 16;
    slots_ = zeroed_slots(size_);
  }

  /// Adds `item` unless an item with the same key is there already: the
  /// first item of each key is kept, as a walk of the list finds it first.
  template <class Same>
  void add_first(uint64_t hash, Item item, Same same) { put(hash, item, same, false); }

  /// Adds `item`, replacing an item with the same key: the last is kept.
  template <class Same>
  void put_last(uint64_t hash, Item item, Same same) { put(hash, item, same, true); }

  /// Items with their hashes, gathered for of().
  using Items = std::vector<std::pair<uint64_t, Item>, LargeAllocator<std::pair<uint64_t, Item>>>;

  /// Which item of a key an index built by of() keeps.
  enum Keep { kFirst, kLast };

  /// An index of `items`, hash and item each, added in order as add_first()
  /// adds them (`keep` kFirst) or as put_last() puts them (kLast). Gathering
  /// the items first spares a walk of the list to count them, and lets each
  /// slot load while the items before it go in.
  template <class Same>
  static FlatIndex of(const Items& items, Keep keep, Same same) {
    FlatIndex index(items.size());
    constexpr size_t kAhead = 8;
    for (size_t i = 0; i < items.size(); ++i) {
      if (i + kAhead < items.size()) {
        __builtin_prefetch(&index.slots_[index.home(items[i + kAhead].first)], 1);
      }
      index.put(items[i].first, items[i].second, same, keep == kLast);
    }
    return index;
  }

  /// The item under `hash` for which `match` holds; null when there is none.
  template <class Match>
  const Item* find(uint64_t hash, Match match) const {
    for (size_t i = home(hash);; i = next(i)) {
      const Slot& s = slots_[i];
      if (s.hash == 0) return nullptr;
      if (s.hash == hash && match(s.item)) return &s.item;
    }
  }

 private:
  struct Slot {
    uint64_t hash = 0;  // 0: empty
    Item item{};
  };

  /// The slot holding an item with `hash` for which `match` holds, or the
  /// empty slot where such an item belongs.
  template <class Match>
  Slot* probe(uint64_t hash, Match match) {
    for (size_t i = home(hash);; i = next(i)) {
      Slot& s = slots_[i];
      if (s.hash == 0 || (s.hash == hash && match(s.item))) return &s;
    }
  }

  /// Adds `item`, or when an item with the same key is there already,
  /// puts it in that one's place if `replace`.
  template <class Same>
  void put(uint64_t hash, Item item, Same same, bool replace) {
    Slot* s = probe(hash, [&](const Item& other) { return same(item, other); });
    if (s->hash == 0) {
      fill(s, hash, item);
    } else if (replace) {
      s->item = item;
    }
  }

  void fill(Slot* s, uint64_t hash, Item item) {
    s->hash = hash;
    s->item = item;
    if (++used_ * 3 > size_ * 2) grow();
  }

  void grow() {
    SlotArray old = std::move(slots_);
    size_t old_size = size_;
    size_ *= 2;
    slots_ = zeroed_slots(size_);
    for (size_t k = 0; k < old_size; ++k) {
      const Slot& s = old[k];
      if (s.hash == 0) continue;
      size_t i = home(s.hash);
      while (slots_[i].hash != 0) i = next(i);
      slots_[i] = s;
    }
  }

  /// The first slot tried for `hash`: its place in the table by the high
  /// bits of hash * size, which spreads hashes over a table of any size.
  size_t home(uint64_t hash) const {
    return static_cast<size_t>((static_cast<unsigned __int128>(hash) * size_) >> 64);
  }
  size_t next(size_t i) const { return i + 1 == size_ ? 0 : i + 1; }

  /// Frees what zeroed_slots() gave.
  struct Free {
    size_t bytes = 0;
    void operator()(Slot* p) const { free_large(p, bytes); }
  };
  using SlotArray = std::unique_ptr<Slot[], Free>;

  /// `n` empty slots. An empty slot is all zero bytes, so the table is
  /// fresh zero memory, never written twice (see alloc_large).
  static SlotArray zeroed_slots(size_t n) {
    static_assert(std::is_trivially_copyable_v<Item> && std::is_trivially_destructible_v<Item>,
                  "slots are zero bytes until filled");
    size_t bytes = n * sizeof(Slot);
    return SlotArray(static_cast<Slot*>(alloc_large(bytes)), Free{bytes});
  }

  SlotArray slots_;
  size_t size_ = 0;
  size_t used_ = 0;
};
