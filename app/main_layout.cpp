#include "app/main_layout.h"

#include "isp/bridge_device.h"
#include "isp/com_base.h"
#include "isp/engine.h"

namespace {

constexpr int kStripHeight = 49;
constexpr int kButtonWidth = 158;
constexpr int kButtonHeight = 41;
constexpr int kPageLeft = 160;
constexpr int kFieldLeft = 178;
constexpr int kLastFieldFromRight = 200;

CRect At(int x, int y, int width, int height) { return CRect(x, y, x + width, y + height); }

}  // namespace

CMainLayout LayoutMainWindow(int width, int height) {
  CMainLayout l;
  l.strip = At(0, height - kStripHeight, width, kStripHeight);
  l.exit = At(0, height - 92, kButtonWidth, kButtonHeight);
  l.read = At(0, height - 215, kButtonWidth, kButtonHeight);
  l.write = At(0, height - 258, kButtonWidth, kButtonHeight);
  l.page = At(kPageLeft, 0, width - kPageLeft, height - kStripHeight);
  return l;
}

CStatusLayout LayoutStatusStrip(int width, int height) {
  CStatusLayout l;
  const int w = (width - kFieldLeft) / 2;
  const int y = height / 4;
  const int h = height / 2;
  l.picture = At(0, 0, kButtonWidth, kStripHeight);
  l.field1 = At(kFieldLeft, y, w, h);
  l.field2 = At(kFieldLeft + w, y, w, h);
  l.field3 = At(width - kLastFieldFromRight, y, w, h);
  return l;
}

CRect WritePageTabStripRect(int writeButtonRight, int width, int height) {
  const int x = writeButtonRight + 10;
  return At(x, 0, width - 2 - x, height);
}

CRect ReadPageHexViewRect(int progressRight, int width, int height) {
  const int x = progressRight + 10;
  return At(x, 2, width - x, height - 4);
}

CString FormatMainTitle(const CString& title, u16 version) {
  CString s;
  s.Format("%s ver %.1f", title.GetString(), static_cast<double>(static_cast<float>(version) / 10.0f));
  return s;
}

BOOL IsConnectionUp() {
  const CEngineContext& engine = Engine();
  if (engine.m_nInterface == 1) return g_bBridgeConnected.load() != 0;
  return engine.m_pCOMBase != nullptr && engine.m_pCOMBase->IsOpen();
}
