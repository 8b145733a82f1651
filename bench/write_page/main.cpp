// bench_write_page: the Write page's load of a 128 KB image (the file read
// with its size check and byte sum, the hex view filled and painted), and the
// share of a 64 KB USB job's time that turning its progress messages into
// texts on a painted progress bar takes. Prints figures only.

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/progress_text.h"
#include "app/write_image.h"
#include "controls/hex_file_view.h"
#include "controls/text_progress_bar.h"
#include "isp/bridge_device.h"
#include "isp/com_base_k55.h"
#include "bench/support/bench_engine.h"
#include "isp/engine.h"
#include "isp/online_com_update_thread.h"
#include "isp/online_update_thread.h"
#include "isp/qv_ic_7t0.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/win32/application.h"
#include "platform/win32/window.h"
#include "tests/support/pattern.h"
#include "tests/support/pty_fixture.h"

namespace {

using qv::bench::QuietEngine;

class RecordingOwner : public CJobOwner {
 public:
  void PostProgress(WPARAM stage, LPARAM value) override { posts.emplace_back(stage, value); }
  void EnableOwner() override {}
  std::vector<std::pair<WPARAM, LPARAM>> posts;
};

double Ms(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

std::string WriteFile(const std::string& path, const std::vector<BYTE>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
  return path;
}

void LoadAndShow(const std::string& folder) {
  std::snprintf(g_szIcType, sizeof g_szIcType, "K55");
  g_nFlashSizeK = 128;
  WriteFile(folder + "/config.ini", {});
  const std::string path = WriteFile(folder + "/fw.bin", qv::Pattern(128 * 1024 + 0x300, 3));
  CCOMBaseK55 k55;
  CWnd top;
  top.CreateEx(0, nullptr, "page", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1200, 900), nullptr, 0);
  CHexFileView view;
  view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 1200, 900), &top, 2001);
  qv::PumpMessages();
  constexpr int kRuns = 20;
  double total = 0;
  for (int i = 0; i < kRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    const CImageFile image = LoadImageFile(path.c_str(), k55);
    view.SetData(image.image.data(), static_cast<int>(image.image.size()));
    ::RedrawWindow(view.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    total += Ms(start);
  }
  std::printf("load and show a 128 KB image: %.2f ms (goal under 100 ms)\n", total / kRuns);
  view.DestroyWindow();
  top.DestroyWindow();
}

void ProgressShare(QuietEngine& engine, const std::string& folder) {
  qv::bench::AttachI2cBackEnd<CQvIc7T0>(engine, qv::sim::ChipFamily::k7T0);
  RecordingOwner owner;
  COnlineUpdateThread worker(&owner);
  if (!worker.SetJob(WriteFile(folder + "/fw64.bin", qv::Pattern(64 * 1024, 5)).c_str(), 0, TRUE, 0)) return;
  const auto jobStart = std::chrono::steady_clock::now();
  worker.UpdateOverUsb();
  const double jobMs = Ms(jobStart);

  CWnd top;
  top.CreateEx(0, nullptr, "page", WS_POPUP | WS_VISIBLE, CRect(0, 0, 600, 100), nullptr, 0);
  CTextProgressBar bar;
  bar.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 580, 35), &top, 1039);
  qv::PumpMessages();
  const auto start = std::chrono::steady_clock::now();
  for (const auto& [stage, value] : owner.posts) {
    CString text;
    int position = kPositionUnchanged;
    if (ProgramProgressText(stage, value, &text, &position)) ShowProgressText(bar, text, position);
    ::RedrawWindow(bar.m_hWnd, nullptr, nullptr, RDW_UPDATENOW);
  }
  const double progressMs = Ms(start);
  std::printf("64 KB USB job: %.0f ms, %zu progress messages shown in %.2f ms: %.3f%% (goal under 2%%)\n", jobMs,
              owner.posts.size(), progressMs, 100.0 * progressMs / jobMs);
  bar.DestroyWindow();
  top.DestroyWindow();
  g_BridgeDevice.SetHandle(nullptr);
  DeleteEngineBackEnds();
}

}  // namespace

int main() {
  qv::Application();
  qv::TempProgramFolder folder;
  if (!folder.Ok()) return 1;
  QuietEngine engine;
  std::snprintf(engine.m_szAppDir, sizeof engine.m_szAppDir, "%s", folder.Path().c_str());
  SetEngine(&engine);
  LoadAndShow(folder.Path());
  ProgressShare(engine, folder.Path());
  SetEngine(nullptr);
  return 0;
}
