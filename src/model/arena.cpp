#include "model/arena.h"

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
  for (char* b : blocks_) {
    owners.erase(reinterpret_cast<uintptr_t>(b));
    std::free(b);
  }
  g_last_base = 0;
  g_last_owner = nullptr;
  blocks_.clear();
  cur_ = nullptr;
  left_ = 0;
  held_ = 0;
  live_ = 0;
  kept_.clear();
}

void Arena::keep(std::shared_ptr<Arena> other) {
  if (other != nullptr && other.get() != this) kept_.push_back(std::move(other));
}

char* Arena::new_block(size_t size) {
  char* b = static_cast<char*>(std::aligned_alloc(kBlock, size));
  if (b == nullptr) return nullptr;
  try {
    blocks_.push_back(b);
    block_owners().emplace(reinterpret_cast<uintptr_t>(b), this);
  } catch (const std::bad_alloc&) {
    if (!blocks_.empty() && blocks_.back() == b) blocks_.pop_back();
    std::free(b);
    return nullptr;
  }
  held_ += size;
  return b;
}

void* Arena::take(size_t n, size_t align) {
  if (n > kLargest) {
    // A block of its own, found by its first byte; the current block goes on.
    return new_block((n + kBlock - 1) / kBlock * kBlock);
  }
  size_t pad = cur_ == nullptr ? 0 : (align - reinterpret_cast<uintptr_t>(cur_) % align) % align;
  if (cur_ == nullptr || pad + n > left_) {
    char* b = new_block(kBlock);
    if (b == nullptr) return nullptr;
    cur_ = b;
    left_ = kBlock;
    pad = 0;
  }
  char* p = cur_ + pad;
  cur_ = p + n;
  left_ -= pad + n;
  return p;
}

const char* Arena::copy_text(std::string_view s) {
  if (s.empty()) return "";
  char* p = static_cast<char*>(take(s.size() + 1, 1));
  if (p == nullptr) throw std::bad_alloc();
  std::memcpy(p, s.data(), s.size());
  p[s.size()] = '\0';
  return p;
}

ArenaScope::ArenaScope(Arena& arena) : saved_(g_current) { g_current = &arena; }

ArenaScope::~ArenaScope() { g_current = saved_; }
