#include "platform/win32/common_dialog/file_dialog.h"

#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/win32/application.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/top_level.h"
#include "platform/win32/window_object.h"

namespace {

qv::FileDialogHook g_hook;

std::vector<std::string> SplitBars(const std::string& text) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : text) {
    if (c == '|') {
      parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

bool IsPlainExtension(const std::string& ext) {
  if (ext.empty()) return false;
  for (char c : ext) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

namespace qv {

std::string QtFileFilter(const char* filter) {
  if (filter == nullptr) return std::string();
  const std::vector<std::string> parts = SplitBars(filter);
  std::string out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string name = parts[i];
    const size_t paren = name.find(" (");
    if (paren != std::string::npos) name.resize(paren);
    std::string patterns = parts[i + 1];
    for (char& c : patterns) {
      if (c == ';') c = ' ';
    }
    if (!out.empty()) out += ";;";
    out += name + " (" + patterns + ")";
  }
  return out;
}

std::string WithDefaultExtension(const std::string& path, const std::string& defaultExt) {
  if (!IsPlainExtension(defaultExt)) return path;
  const size_t slash = path.rfind('/');
  const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
  if (last.empty() || last.find('.') != std::string::npos) return path;
  return path + "." + defaultExt;
}

void SetFileDialogHook(FileDialogHook hook) { g_hook = std::move(hook); }

}  // namespace qv

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExt, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent, DWORD /*size*/, BOOL /*vistaStyle*/)
    : m_bOpen(openFileDialog),
      m_strDefaultExt(defaultExt),
      m_strFileName(fileName),
      m_dwFlags(flags),
      m_strFilter(filter),
      m_pParent(parent) {}

INT_PTR CFileDialog::DoModal() {
  qv::FileDialogCall call;
  call.open = m_bOpen != FALSE;
  call.filter = qv::QtFileFilter(m_strFilter);
  call.defaultExt = m_strDefaultExt.str();
  call.fileName = m_strFileName.str();
  call.overwritePrompt = !call.open && (m_dwFlags & OFN_OVERWRITEPROMPT) != 0;
  std::optional<std::string> chosen;
  if (g_hook) {
    chosen = g_hook(call);
  } else {
    qv::Application();
    QWidget* owner = nullptr;
    if (m_pParent != nullptr) {
      const CWnd* top = m_pParent->GetTopLevelParent();
      if (auto w = qv::win32::Lookup(top != nullptr ? top->m_hWnd : m_pParent->m_hWnd)) owner = w->host.data();
    }
    QFileDialog dialog(owner);
    dialog.setAcceptMode(call.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(call.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!call.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!call.filter.empty()) dialog.setNameFilter(QString::fromStdString(call.filter));
    if (!call.fileName.empty()) dialog.selectFile(QString::fromStdString(call.fileName));
    // Windows' file dialog: a caption with only a close box, a sizing frame.
    qv::win32::StyleAsWindowsDialog(&dialog, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
      chosen = dialog.selectedFiles().first().toStdString();
    }
  }
  if (!chosen || chosen->empty()) return IDCANCEL;
  m_strPath = call.open ? *chosen : qv::WithDefaultExtension(*chosen, call.defaultExt);
  return IDOK;
}
