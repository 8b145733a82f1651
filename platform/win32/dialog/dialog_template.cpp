#include "platform/win32/dialog/dialog_template.h"

#include <map>
#include <mutex>

namespace qv::win32 {
namespace {

std::mutex g_mutex;

std::map<int, std::shared_ptr<const DialogTemplate>>& Table() {
  static auto* table = new std::map<int, std::shared_ptr<const DialogTemplate>>;
  return *table;
}

}  // namespace

void RegisterDialogTemplate(DialogTemplate t) {
  auto entry = std::make_shared<const DialogTemplate>(std::move(t));
  std::lock_guard<std::mutex> lock(g_mutex);
  Table()[entry->id] = std::move(entry);
}

std::shared_ptr<const DialogTemplate> FindDialogTemplate(int id) {
  std::lock_guard<std::mutex> lock(g_mutex);
  auto it = Table().find(id);
  return it == Table().end() ? nullptr : it->second;
}

}  // namespace qv::win32
