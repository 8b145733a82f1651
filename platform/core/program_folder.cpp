#include "platform/core/program_folder.h"

#include <unistd.h>

#include <climits>
#include <mutex>

#include "platform/core/bounded_text.h"
#include "platform/core/sync.h"

namespace qv {

namespace {

std::mutex g_m;
std::string g_testFolder;

// Empty when the link cannot be read or may have been cut: a part of the
// path would name another folder.
std::string ExePath() {
  char buf[PATH_MAX + 1];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof(buf));
  if (n <= 0 || n >= PATH_MAX) return {};
  return std::string(buf, static_cast<size_t>(n));
}

std::string FolderOf(const std::string& path) {
  if (path.empty()) return {};
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

std::string ModuleFileName() {
  std::string exe = ExePath();
  std::lock_guard<std::mutex> lock(g_m);
  if (g_testFolder.empty() || exe.empty()) return exe;
  const std::string folder = g_testFolder == "/" ? std::string() : g_testFolder;
  return folder + "/" + exe.substr(exe.rfind('/') + 1);
}

std::string ProgramFolder() { return FolderOf(ModuleFileName()); }

void SetProgramFolderForTesting(const std::string& folder) {
  std::lock_guard<std::mutex> lock(g_m);
  g_testFolder = folder;
  while (g_testFolder.size() > 1 && g_testFolder.back() == '/') g_testFolder.pop_back();
}

}  // namespace qv

DWORD GetModuleFileNameA(void*, char* buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  const std::string path = qv::ModuleFileName();
  const size_t n = qv::CopyBoundedText(path, buffer, size);
  if (n < path.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  return static_cast<DWORD>(n);
}
