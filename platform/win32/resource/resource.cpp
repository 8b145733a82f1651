#include "platform/win32/resource/resource.h"

#include <cctype>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace {

// A name or type: an integer id, or a string kept in upper case so that
// lookups ignore case as Windows does.
struct Key {
  bool isId = false;
  WORD id = 0;
  std::string text;

  static Key Of(LPCSTR name) {
    Key k;
    if (IS_INTRESOURCE(name)) {
      k.isId = true;
      k.id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
    } else {
      for (const char* p = name; *p; ++p) k.text += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
    }
    return k;
  }
  bool operator==(const Key& o) const { return isId == o.isId && id == o.id && text == o.text; }
};

}  // namespace

// One registered resource; its bytes never move or go away, so a locked
// pointer stays valid even when the resource is replaced later.
struct QvResourceInfo {
  Key type;
  Key name;
  std::vector<unsigned char> bytes;
};

namespace {

std::mutex g_mutex;
std::deque<QvResourceInfo>& Resources() {
  static auto* resources = new std::deque<QvResourceInfo>;
  return *resources;
}

}  // namespace

HINSTANCE AfxGetResourceHandle() { return nullptr; }

HRSRC FindResourceA(HMODULE, LPCSTR name, LPCSTR type) {
  if (!name || !type) return nullptr;
  const Key t = Key::Of(type);
  const Key n = Key::Of(name);
  std::lock_guard<std::mutex> lock(g_mutex);
  auto& all = Resources();
  // The newest registration of a name wins.
  for (auto it = all.rbegin(); it != all.rend(); ++it)
    if (it->type == t && it->name == n) return &*it;
  return nullptr;
}

namespace {

bool IsRegistered(HRSRC info) {
  std::lock_guard<std::mutex> lock(g_mutex);
  for (const auto& r : Resources())
    if (&r == info) return true;
  return false;
}

}  // namespace

HGLOBAL LoadResource(HMODULE, HRSRC info) {
  if (!info || !IsRegistered(info)) return nullptr;
  return info;
}

void* LockResource(HGLOBAL data) {
  auto* info = static_cast<QvResourceInfo*>(data);
  if (!info || !IsRegistered(info)) return nullptr;
  return info->bytes.data();
}

DWORD SizeofResource(HMODULE, HRSRC info) {
  if (!info || !IsRegistered(info)) return 0;
  return static_cast<DWORD>(info->bytes.size());
}

namespace qv {

void RegisterResource(LPCSTR type, LPCSTR name, const void* data, DWORD size) {
  if (!type || !name || (!data && size)) return;
  QvResourceInfo r{Key::Of(type), Key::Of(name), {}};
  const auto* bytes = static_cast<const unsigned char*>(data);
  r.bytes.assign(bytes, bytes + size);
  // An empty resource still needs an address of its own to be locked.
  r.bytes.reserve(1);
  std::lock_guard<std::mutex> lock(g_mutex);
  Resources().push_back(std::move(r));
}

}  // namespace qv
