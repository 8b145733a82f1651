#pragma once
// The framework's file dialog on Qt's: open and save, a filter in the
// framework's form ("Name (*.a;*.b)|*.a;*.b|...|"), a default extension, and
// the overwrite prompt of a save. Tests answer it through a hook instead of
// the screen.

#include <functional>
#include <optional>
#include <string>

#include "platform/core/cstring.h"
#include "platform/win32/cwnd.h"

inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;

class CFileDialog {
 public:
  CFileDialog(BOOL openFileDialog, const char* defaultExt = nullptr, const char* fileName = nullptr,
              DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
              CWnd* parent = nullptr, DWORD size = 0, BOOL vistaStyle = TRUE);

  // IDOK with a path chosen, IDCANCEL otherwise.
  INT_PTR DoModal();
  CString GetPathName() const { return m_strPath; }

 private:
  BOOL m_bOpen;
  CString m_strDefaultExt;
  CString m_strFileName;
  DWORD m_dwFlags;
  CString m_strFilter;
  CWnd* m_pParent;
  CString m_strPath;
};

namespace qv {

// A filter of the framework's form in Qt's: "Bin Files (*.bin;*.hex)|*.bin;*.hex|"
// becomes "Bin Files (*.bin *.hex)", entries joined with ";;".
std::string QtFileFilter(const char* filter);
// The chosen name with the default extension added when it has none (a name
// whose last part holds no '.'); an empty extension, or one that is no plain
// extension such as "bin&&hex", adds nothing.
std::string WithDefaultExtension(const std::string& path, const std::string& defaultExt);

struct FileDialogCall {
  bool open = true;
  std::string filter;  // Qt's form
  std::string defaultExt;
  std::string fileName;
  bool overwritePrompt = false;
};
// While set, every file dialog goes to the hook, which answers the chosen
// path or nothing (Cancel). Set from the UI thread; null ends it.
using FileDialogHook = std::function<std::optional<std::string>(const FileDialogCall&)>;
void SetFileDialogHook(FileDialogHook hook);

}  // namespace qv
