#include "platform/core/string_table.h"

#include <map>
#include <mutex>

namespace qv {
namespace {

std::mutex g_mutex;

std::map<UINT, std::string>& Table() {
  static auto* table = new std::map<UINT, std::string>;
  return *table;
}

}  // namespace

void RegisterStrings(std::initializer_list<std::pair<UINT, const char*>> entries) {
  std::lock_guard<std::mutex> lock(g_mutex);
  for (const auto& [id, text] : entries) Table()[id] = text ? text : "";
}

BOOL FindString(UINT id, std::string& text) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = Table().find(id);
  if (it == Table().end()) return FALSE;
  text = it->second;
  return TRUE;
}

}  // namespace qv
