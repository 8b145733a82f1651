#include "app/taravik_app.h"

#include <cstdio>
#include <cstring>

#include "platform/core/program_folder.h"

CTaravikApp theApp;
HANDLE g_hDeviceResetEvent = nullptr;

CTaravikApp::CTaravikApp() {
  g_pIcBase = nullptr;
  m_pCOMBase = nullptr;
  m_pInterface = nullptr;
  m_nEntryMethod = 1;
  InitializeCriticalSection(&m_csLog);
  SetEngine(this);
}

CTaravikApp::~CTaravikApp() {
  SetEngine(nullptr);
  m_fileLog.Close();
}

void WriteLogGuarded(CRITICAL_SECTION& lock, const std::function<void()>& write) noexcept {
  EnterCriticalSection(&lock);
  try {
    write();
  } catch (...) {
    // The entry is lost, partly or wholly; the program goes on without it.
  }
  LeaveCriticalSection(&lock);
}

void CTaravikApp::WriteLog(CString text) {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  WriteLogGuarded(m_csLog, [&] {
    CString entry;
    entry.Format("\r\n%02d-%02d-%02d %02d:%02d:%02d\r\n", st.wYear - 2000, st.wMonth, st.wDay,
                 st.wHour, st.wMinute, st.wSecond);
    entry += text;
    entry += "\r\n";
    // One write for the whole entry into a file opened for appending: the
    // lock keeps this process's threads apart, and the kernel puts each
    // write whole at the end, so that another instance in the same folder
    // (another user) never overwrites or splits an entry.
    m_fileLog.Write(entry.GetString(), static_cast<UINT>(entry.GetLength()));
  });
}

BOOL CTaravikApp::LoadAppDir() {
  std::memset(m_szAppDir, 0, sizeof(m_szAppDir));
  const DWORD n = GetModuleFileNameA(nullptr, m_szAppDir, sizeof(m_szAppDir));
  char* slash = std::strrchr(m_szAppDir, '/');
  // A cut path would name another folder: the folder is whole or refused.
  if (n == 0 || n >= sizeof(m_szAppDir) || slash == nullptr) {
    std::memset(m_szAppDir, 0, sizeof(m_szAppDir));
    return FALSE;
  }
  // A program in the root keeps its '/', as a drive root keeps its backslash.
  if (slash == m_szAppDir) {
    slash[1] = '\0';
  } else {
    *slash = '\0';
  }
  if (std::strlen(m_szAppDir) > kProgramFolderMax) {
    std::memset(m_szAppDir, 0, sizeof(m_szAppDir));
    return FALSE;
  }
  return TRUE;
}

BOOL CTaravikApp::OpenRunLog() {
  CString folder;
  folder.Format("%s/Log", m_szAppDir);
  CreateDirectoryA(folder, nullptr);
  CString path = folder + "/Runlog.txt";
  EnterCriticalSection(&m_csLog);
  BOOL ok = m_fileLog.Open(path, CFile::modeWrite | CFile::shareDenyWrite | CFile::modeCreate |
                                     CFile::modeNoTruncate | CFile::modeAppend);
  if (ok) m_fileLog.SeekToEnd();
  LeaveCriticalSection(&m_csLog);
  return ok;
}

CString GetAppDirectory() {
  // Whole at any length, as the program folder is: a cut path would name
  // another folder.
  std::string path = qv::ModuleFileName();
  const size_t slash = path.rfind('/');
  path.resize(slash == std::string::npos ? 0 : slash);
  return CString(path);
}
