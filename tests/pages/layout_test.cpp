// The pixel layouts of the main window, the status strip and the pages, the
// title and what the strip's colour follows.

#include <gtest/gtest.h>

#include <memory>

#include "app/main_layout.h"
#include "isp/bridge_device.h"
#include "isp/com_base.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/recording_engine.h"

namespace {

::testing::AssertionResult Is(const CRect& r, int x, int y, int w, int h) {
  if (r.left == x && r.top == y && r.Width() == w && r.Height() == h) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << r.left << ", " << r.top << ") " << r.Width() << " x "
                                       << r.Height();
}

TEST(LayoutMainWindow, FiguresAtTwoSizes) {
  const CMainLayout l = LayoutMainWindow(1920, 1017);
  EXPECT_TRUE(Is(l.strip, 0, 968, 1920, 49));
  EXPECT_TRUE(Is(l.exit, 0, 925, 158, 41));
  EXPECT_TRUE(Is(l.read, 0, 802, 158, 41));
  EXPECT_TRUE(Is(l.write, 0, 759, 158, 41));
  EXPECT_TRUE(Is(l.page, 160, 0, 1760, 968));
  const CMainLayout s = LayoutMainWindow(621, 432);
  EXPECT_TRUE(Is(s.strip, 0, 383, 621, 49));
  EXPECT_TRUE(Is(s.exit, 0, 340, 158, 41));
  EXPECT_TRUE(Is(s.read, 0, 217, 158, 41));
  EXPECT_TRUE(Is(s.write, 0, 174, 158, 41));
  EXPECT_TRUE(Is(s.page, 160, 0, 461, 383));
}

TEST(LayoutStatusStrip, FieldsShareTheRightOfThePictureTruncating) {
  const CStatusLayout l = LayoutStatusStrip(1920, 49);
  EXPECT_TRUE(Is(l.picture, 0, 0, 158, 49));
  // w = (1920 - 178) / 2 = 871, y = 12, h = 24.
  EXPECT_TRUE(Is(l.field1, 178, 12, 871, 24));
  EXPECT_TRUE(Is(l.field2, 1049, 12, 871, 24));
  EXPECT_TRUE(Is(l.field3, 1720, 12, 871, 24));
  // An odd width and a height that does not divide by four.
  const CStatusLayout s = LayoutStatusStrip(421, 50);
  EXPECT_TRUE(Is(s.field1, 178, 12, 121, 25));
  EXPECT_TRUE(Is(s.field2, 299, 12, 121, 25));
  EXPECT_TRUE(Is(s.field3, 221, 12, 121, 25));
}

TEST(PageLayouts, TabStripAndHexView) {
  EXPECT_TRUE(Is(WritePageTabStripRect(510, 1760, 968), 520, 0, 1238, 968));
  EXPECT_TRUE(Is(ReadPageHexViewRect(500, 1760, 968), 510, 2, 1250, 964));
}

TEST(FormatMainTitle, TitleAndVersionInTenths) {
  EXPECT_EQ(FormatMainTitle("QV Tool", 23).str(), "QV Tool ver 2.3");
  EXPECT_EQ(FormatMainTitle("QV Tool", 100).str(), "QV Tool ver 10.0");
  // An empty title begins with the blank.
  EXPECT_EQ(FormatMainTitle("", 0).str(), " ver 0.0");
  EXPECT_EQ(FormatMainTitle("T", 65535).str(), "T ver 6553.5");
}

TEST(IsConnectionUp, FollowsTheBridgeInUsbModeAndThePortInComMode) {
  qv::RecordingEngine engine;
  auto port = std::make_unique<qv::FakeSerialPort>();
  CCOMBase com(std::move(port));
  engine.m_pCOMBase = &com;
  engine.m_nInterface = 1;
  g_bBridgeConnected = 1;
  EXPECT_TRUE(IsConnectionUp());
  g_bBridgeConnected = 0;
  EXPECT_FALSE(IsConnectionUp());
  engine.m_nInterface = 0;
  EXPECT_FALSE(IsConnectionUp());
  g_bBridgeConnected = 1;  // a bridge does not count in COM mode
  EXPECT_FALSE(IsConnectionUp());
  ASSERT_TRUE(com.Init(3, 115200, 3, TRUE));
  EXPECT_TRUE(IsConnectionUp());
  g_bBridgeConnected = 0;
  engine.m_pCOMBase = nullptr;
  EXPECT_FALSE(IsConnectionUp());
}

}  // namespace
