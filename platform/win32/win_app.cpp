#include "platform/win32/win_app.h"

#include <QApplication>

#include "platform/win32/application.h"
#include "platform/win32/devices/device_broadcast.h"
#include "platform/win32/dialog/message_box.h"

namespace {

CWinApp* g_pApp = nullptr;

CString BaseName(const char* path) {
  CString name(path);
  const int slash = name.ReverseFind('/');
  return slash >= 0 ? name.Mid(slash + 1) : name;
}

}  // namespace

void CCommandLineInfo::ParseParam(const char*, BOOL, BOOL) {}

BOOL CCommandLineInfo::IsSwitch(const char*) const { return TRUE; }

// A second object (a test's) stands in for the first until it is destroyed.
CWinApp::CWinApp(const char* appName) : m_pPrevApp(g_pApp) {
  if (appName != nullptr) {
    m_pszAppName = appName;
    m_bDefaultName = false;
    AfxSetAppName(appName);
  }
  g_pApp = this;
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = m_pPrevApp;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

int CWinApp::Run() {
  qv::Application().exec();
  return ExitInstance();
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) const {
  for (size_t i = 0; i < m_params.size(); ++i) {
    const char* param = m_params[i].c_str();
    BOOL flag = FALSE;
    if (param[0] == '-' || (param[0] == '/' && info.IsSwitch(param + 1))) {
      flag = TRUE;
      ++param;
    }
    info.ParseParam(param, flag, i + 1 == m_params.size());
  }
}

void CWinApp::SetRegistryKey(const char* key) { m_pszRegistryKey = key; }

void CWinApp::SetCommandLine(int argc, const char* const* argv) {
  m_params.clear();
  m_lpCmdLine.Empty();
  for (int i = 1; i < argc; ++i) {
    m_params.emplace_back(argv[i]);
    if (i > 1) m_lpCmdLine += ' ';
    m_lpCmdLine += argv[i];
  }
  if (m_bDefaultName && argc > 0) {
    m_pszAppName = BaseName(argv[0]);
    AfxSetAppName(m_pszAppName);
  }
}

CWinApp* AfxGetApp() { return g_pApp; }

int AfxWinMain(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return 1;
  app->SetCommandLine(argc, argv);
  // Qt sees the program's name only: the parameters are the application's.
  static int hostArgc = 1;
  qv::InitApplication(hostArgc, argv);
  // The system's news of serial adapters reaches the windows for the whole run.
  const qv::win32::DeviceBroadcast devices;
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}
