#pragma once
// A table from handles to the objects behind them, for the handle kinds that
// are not windows or drawing objects (menus, icons, image lists, resources).
// A handle is an id, never reused within the process, so a stale handle is
// recognised and fails instead of reaching a freed or recycled object.

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace qv::win32 {

template <typename Handle, typename Object>
class HandleTable {
 public:
  // `base` keeps the ids of different kinds apart, which helps reading dumps.
  explicit HandleTable(std::uintptr_t base) : next_(base) {}

  Handle Add(std::shared_ptr<Object> object) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::uintptr_t id = next_;
    next_ += 4;
    objects_[id] = std::move(object);
    return reinterpret_cast<Handle>(id);
  }

  std::shared_ptr<Object> Find(Handle h) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(h));
    return it == objects_.end() ? nullptr : it->second;
  }

  // The object, still alive for the caller, or nullptr for a stale handle.
  std::shared_ptr<Object> Remove(Handle h) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = objects_.find(reinterpret_cast<std::uintptr_t>(h));
    if (it == objects_.end()) return nullptr;
    auto object = std::move(it->second);
    objects_.erase(it);
    return object;
  }

  template <typename F>
  void ForEach(F f) const {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [id, object] : objects_) f(reinterpret_cast<Handle>(id), *object);
  }

 private:
  mutable std::mutex mutex_;
  std::uintptr_t next_;
  std::unordered_map<std::uintptr_t, std::shared_ptr<Object>> objects_;
};

}  // namespace qv::win32
