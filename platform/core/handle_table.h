#pragma once
// A table from handles to the objects behind them, for every handle kind of
// the window layer: windows, drawing objects and DCs, menus, icons, image
// lists. A handle is an id, never reused within the process, and every call
// looks it up in the live table, so a stale handle is recognised and fails
// instead of reaching a freed or recycled object, whatever the allocator
// does with the freed memory.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace qv {

// The source of ids. Two tables may share one, so that no handle of the one
// kind ever equals a handle of the other (a DC is never a drawing object).
class HandleIds {
 public:
  // `base` keeps the ids of different kinds apart, which helps reading dumps.
  explicit HandleIds(std::uintptr_t base) : next_(base) {}
  std::uintptr_t Next() { return next_.fetch_add(4, std::memory_order_relaxed); }

 private:
  std::atomic<std::uintptr_t> next_;
};

// Pointer is how the table holds an object: shared (the table keeps it
// alive until Remove) or a plain pointer to an object that its kind frees
// itself after Remove.
template <typename Handle, typename Object, typename Pointer = std::shared_ptr<Object>>
class HandleTable {
 public:
  explicit HandleTable(std::uintptr_t base) : own_(base), ids_(own_) {}
  explicit HandleTable(HandleIds& shared) : own_(0), ids_(shared) {}

  Handle Add(Pointer object) {
    return Add(std::move(object), [](Handle) {});
  }

  // bind(handle) runs before the object can be found, so that an object that
  // keeps its own handle has it from the first look-up on.
  template <typename Bind>
  Handle Add(Pointer object, Bind bind) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::uintptr_t id = ids_.Next();
    bind(reinterpret_cast<Handle>(id));
    objects_[id] = std::move(object);
    return reinterpret_cast<Handle>(id);
  }

  // nullptr for a handle that is not (or no longer) in the table.
  Pointer Find(Handle h) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(h));
    return it == objects_.end() ? nullptr : it->second;
  }

  // The object, still alive for the caller, or nullptr for a stale handle.
  Pointer Remove(Handle h) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(h));
    if (it == objects_.end()) return nullptr;
    Pointer object = std::move(it->second);
    objects_.erase(it);
    return object;
  }

  // f(handle, object) for every live object, under the table's lock: f must
  // not call back into the table.
  template <typename F>
  void ForEach(F f) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [id, object] : objects_) f(reinterpret_cast<Handle>(id), *object);
  }

 private:
  HandleIds own_;
  HandleIds& ids_;
  mutable std::mutex mutex_;
  std::unordered_map<std::uintptr_t, Pointer> objects_;
};

}  // namespace qv
