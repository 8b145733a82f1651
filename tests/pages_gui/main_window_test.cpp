// The main window with its pages and status strip, on the dialog manager:
// the chip's data, the layout, the page switch, the refusals while a write
// is pending, a Write and a Read of a K55 chip behind a fake port, and the
// status strip following the simulated board in USB mode and the system's
// device news in COM mode.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <chrono>
#include <QTest>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/dlg_online_update_and_read.h"
#include "app/main_layout.h"
#include "app/taravik_app.h"
#include "isp/app_config.h"
#include "isp/bridge_device.h"
#include "isp/com_base_k55.h"
#include "isp/qv_ic_base.h"
#include "platform/core/program_folder.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/win32/application.h"
#include "platform/win32/common_dialog/file_dialog.h"
#include "platform/win32/devices/device_broadcast.h"
#include "platform/win32/dialog/message_box.h"
#include "platform/win32/snapshot.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"
#include "sim/uart_k55_chip.h"
#include "tests/support/pages_fixture.h"
#include "tests/pages_gui/gui_fixture.h"
#include "tests/support/chip_on_fake_port.h"
#include "tests/support/snapshot_file.h"

namespace pages_test {
namespace {

// The bound only keeps a broken build from hanging; it is no assertion.
bool PumpUntil(const std::function<bool()>& done, int ms = 20000) {
  QElapsedTimer guard;
  guard.start();
  while (!done() && guard.elapsed() < ms) qv::PumpMessages();
  return done();
}

void Click(CWnd& dialog, int id) { dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// The share of pixels within 10 % of colour in a part of an image, in per
// cent, as the scripted walk measures it.
int SharePerCent(const QImage& image, const QRect& part, QRgb colour) {
  const QRect r = part.intersected(image.rect());
  if (r.isEmpty()) return 0;
  long near = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      const int dr = qRed(p) - qRed(colour), dg = qGreen(p) - qGreen(colour), db = qBlue(p) - qBlue(colour);
      if (dr * dr + dg * dg + db * db <= 3 * 26 * 26) ++near;
    }
  }
  return static_cast<int>(100 * near / (static_cast<long>(r.width()) * r.height()));
}

// The connection's text colours (COLORREF), as literals: a wrong constant in
// the code fails here.
constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kRed = 0x0000FF;

class MainWindowTest : public PagesTest {
 protected:
  MainWindowTest() {
    qv::Application();
    Choose("K55", 32);
    g_nRamSizeK = 2;
    theApp.m_strIdeTitle = "QV ISP Tool";
    theApp.m_wVersion = 23;
    qv::SetMessageBoxHook([this](const qv::MessageBoxCall& call) {
      boxes_.push_back(call.text + " | " + call.caption);
      return IDOK;
    });
  }
  ~MainWindowTest() override {
    if (main_ && main_->m_hWnd != nullptr) main_->DestroyWindow();
    main_.reset();
    qv::SetMessageBoxHook(nullptr);
    qv::SetFileDialogHook(nullptr);
    delete engine_.m_pCOMBase;
    engine_.m_pCOMBase = nullptr;
    delete g_pIcBase;
    g_pIcBase = nullptr;
    engine_.m_pInterface = nullptr;
    engine_.m_nInterface = 0;
    g_BridgeDevice.SetHandle(nullptr);
    g_bBridgeConnected = 0;
    ostrelusb::Configure({});
  }

  // A K55 chip behind a fake port; the port opened as start-up does.
  void UseK55(bool openPort) {
    auto port = std::make_unique<qv::FakeSerialPort>();
    port_ = port.get();
    qv::Attach(*port, chip_);
    auto* com = new CCOMBaseK55(std::move(port));
    engine_.m_pCOMBase = com;
    engine_.m_pInterface = com;
    engine_.m_nInterface = 0;
    engine_.m_nComPort = 3;
    engine_.m_nBaudRate = 115200;
    engine_.m_nEntryMethod = TIMEOUT_ENTRY_METHOD;
    if (openPort) {
      ASSERT_TRUE(com->Init(3, 115200, 3, TRUE));
    }
  }

  void Open() {
    main_ = std::make_unique<CDlgOnlineUpdateAndRead>();
    ASSERT_TRUE(main_->Create(IDD_ONLINE_UPDATE_AND_READ));
    main_->ShowWindow(SW_SHOW);
    for (int i = 0; i < 5; ++i) qv::PumpMessages();
  }

  HWND Item(int id) const { return ::GetDlgItem(main_->m_hWnd, id); }
  HWND WriteItem(int id) const { return ::GetDlgItem(main_->m_dlgWrite.m_hWnd, id); }
  HWND ReadItem(int id) const { return ::GetDlgItem(main_->m_dlgRead.m_hWnd, id); }
  bool Visible(HWND h) const { return ::IsWindowVisible(h) != FALSE; }

  qv::sim::UartK55Chip chip_;
  qv::FakeSerialPort* port_ = nullptr;  // the back end's, from UseK55 on
  std::unique_ptr<CDlgOnlineUpdateAndRead> main_;
  std::vector<std::string> boxes_;
};

TEST_F(MainWindowTest, ComModeShowsTheChipTheLayoutAndAGreenConnection) {
  UseK55(true);
  Open();
  EXPECT_EQ(TextOf(main_->m_hWnd), "QV ISP Tool ver 2.3");
  EXPECT_EQ(TextOf(Item(IDC_MAIN_PART_NO)), "K55");
  EXPECT_EQ(TextOf(Item(IDC_MAIN_RAM)), "2K");
  EXPECT_EQ(TextOf(Item(IDC_MAIN_APROM)), "32K");
  EXPECT_TRUE(Visible(Item(IDC_MAIN_READ)));  // K55 reads back
  EXPECT_FALSE(Visible(Item(IDC_MAIN_MERGE)));
  EXPECT_TRUE(Visible(main_->m_dlgWrite.m_hWnd));
  EXPECT_FALSE(Visible(main_->m_dlgRead.m_hWnd));
  EXPECT_EQ(main_->m_dlgStatus.GetField(1).str(), "Device Connected");
  EXPECT_EQ(main_->m_dlgStatus.GetField1Colour(), kGreen);
  EXPECT_EQ(main_->m_dlgStatus.GetField(3).str(), "COM Interface");
  EXPECT_EQ(main_->m_dlgStatus.GetField(2).str(), "");

  CRect client;
  main_->GetClientRect(&client);
  const CMainLayout l = LayoutMainWindow(client.Width(), client.Height());
  EXPECT_EQ(RectIn(Item(IDC_MAIN_WRITE), main_->m_hWnd), l.write);
  EXPECT_EQ(RectIn(Item(IDC_MAIN_READ), main_->m_hWnd), l.read);
  EXPECT_EQ(RectIn(Item(IDC_MAIN_EXIT), main_->m_hWnd), l.exit);
  EXPECT_EQ(RectIn(main_->m_dlgStatus.m_hWnd, main_->m_hWnd), l.strip);
  EXPECT_EQ(RectIn(main_->m_dlgWrite.m_hWnd, main_->m_hWnd), l.page);
  EXPECT_EQ(RectIn(main_->m_dlgRead.m_hWnd, main_->m_hWnd), l.page);
  qv::testing::SaveSnapshot(main_->m_hWnd, "write_page");
}

TEST_F(MainWindowTest, APortThatDidNotOpenIsARedDisconnection) {
  UseK55(false);
  Open();
  EXPECT_EQ(main_->m_dlgStatus.GetField(1).str(), "Device DisConnected");
  EXPECT_EQ(main_->m_dlgStatus.GetField1Colour(), kRed);
}

TEST_F(MainWindowTest, ReadAndWriteSwitchThePages) {
  UseK55(true);
  Open();
  Click(*main_, IDC_MAIN_READ);
  EXPECT_TRUE(Visible(main_->m_dlgRead.m_hWnd));
  EXPECT_FALSE(Visible(main_->m_dlgWrite.m_hWnd));
  qv::testing::SaveSnapshot(main_->m_hWnd, "read_page");
  Click(*main_, IDC_MAIN_WRITE);
  EXPECT_FALSE(Visible(main_->m_dlgRead.m_hWnd));
  EXPECT_TRUE(Visible(main_->m_dlgWrite.m_hWnd));
}

TEST_F(MainWindowTest, AWritePendingRefusesReadExitCloseEnterAndEscape) {
  UseK55(true);
  Open();
  // A job handed to a worker that no longer runs stays pending.
  COnlineUpdateThread* worker = main_->m_dlgWrite.GetWorker();
  ASSERT_NE(worker, nullptr);
  worker->Stop(true, 2000);
  ASSERT_TRUE(worker->SetJob(WriteFile("fw.bin", Pattern(800)).c_str(), 0, FALSE, 0));
  ASSERT_TRUE(main_->IsWritePending());
  Click(*main_, IDC_MAIN_READ);
  EXPECT_FALSE(Visible(main_->m_dlgRead.m_hWnd));
  Click(*main_, IDC_MAIN_EXIT);
  main_->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  main_->SendMessage(WM_COMMAND, IDOK, 0);
  main_->SendMessage(WM_COMMAND, IDCANCEL, 0);
  main_->SendMessage(WM_CLOSE, 0, 0);
  for (int i = 0; i < 5; ++i) qv::PumpMessages();
  EXPECT_TRUE(Visible(main_->m_hWnd));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(MainWindowTest, WithoutAPendingWriteTheCloseBoxCloses) {
  UseK55(true);
  Open();
  main_->SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(PumpUntil([&] { return main_->m_hWnd == nullptr || !Visible(main_->m_hWnd); }, 5000));
}

TEST_F(MainWindowTest, ExitWithoutAPendingWriteEndsTheWindow) {
  UseK55(true);
  Open();
  Click(*main_, IDC_MAIN_EXIT);
  EXPECT_TRUE(PumpUntil([&] { return main_->m_hWnd == nullptr || !Visible(main_->m_hWnd); }, 5000));
}

TEST_F(MainWindowTest, WritePageLoadsWritesAndTheReadPageReadsItBack) {
  // A small type, so that All Area is read in real time quickly.
  Choose("K55", 4);
  UseK55(true);
  Open();
  // 4 KB of flash and the K55's 768 trailer bytes: one byte more is refused.
  const Bytes image = Pattern(4096, 9);
  Bytes file = image;
  file.resize(image.size() + 0x300, 0xEE);
  EXPECT_FALSE(main_->m_dlgWrite.LoadImageFile(WriteFile("big.bin", Bytes(4096 + 0x301, 1)).c_str()));
  EXPECT_EQ(boxes_, (std::vector<std::string>{"File Size must not exceed 4 K! | Warning"}));
  const std::string path = WriteFile("fw.bin", file);
  ASSERT_TRUE(main_->m_dlgWrite.LoadImageFile(path.c_str()));
  EXPECT_EQ(TextOf(WriteItem(IDC_WRITE_LENGTH)), std::to_string(file.size()));
  EXPECT_EQ(TextOf(WriteItem(IDC_WRITE_PATH)), path);
  EXPECT_EQ(TextOf(WriteItem(IDC_PASSWORD)), "3B8E61C4");
  EXPECT_FALSE(Visible(WriteItem(IDC_WRITE_UPDATE_PART)));  // K55 writes from 0 only
  qv::testing::SaveSnapshot(main_->m_hWnd, "loaded");

  Click(main_->m_dlgWrite, IDC_WRITE_WRITE);
  EXPECT_TRUE(main_->IsWritePending());
  ASSERT_TRUE(PumpUntil([&] { return !main_->IsWritePending() && main_->m_dlgWrite.IsWindowEnabled(); }));
  PumpUntil([&] { return TextOf(WriteItem(IDC_WRITE_PROGRESS)) == "Updating...100%"; }, 3000);
  EXPECT_EQ(TextOf(WriteItem(IDC_WRITE_PROGRESS)), "Updating...100%");
  EXPECT_EQ(Bytes(chip_.Flash().begin(), chip_.Flash().begin() + static_cast<long>(image.size())), image);
  main_->MoveWindow(0, 0, 1920, 1080);
  for (int i = 0; i < 5; ++i) qv::PumpMessages();
  qv::testing::SaveSnapshot(main_->m_hWnd, "written");

  Click(*main_, IDC_MAIN_READ);
  // No area chosen yet: refused with a message.
  Click(main_->m_dlgRead, IDC_READ_READ);
  EXPECT_EQ(boxes_.back(), "Please select All Area or Custom Area! | ");
  ::SendMessage(ReadItem(IDC_READ_ALL_AREA), BM_CLICK, 0, 0);
  EXPECT_NE(ReadConfig().find("ReadOperateArea=5"), std::string::npos);
  Click(main_->m_dlgRead, IDC_READ_READ);
  ASSERT_TRUE(PumpUntil([&] { return !main_->m_dlgRead.IsReading(); }));
  PumpUntil([&] { return TextOf(ReadItem(IDC_READ_PROGRESS)) == "Reading...100%"; }, 3000);
  EXPECT_EQ(TextOf(ReadItem(IDC_READ_PROGRESS)), "Reading...100%");
  // At the size of a maximised window on a common screen the hex view shows beside the controls.
  main_->MoveWindow(0, 0, 1920, 1080);
  for (int i = 0; i < 5; ++i) qv::PumpMessages();
  qv::testing::SaveSnapshot(main_->m_hWnd, "read_back");

  const std::string saved = File("read");
  qv::SetFileDialogHook([&](const qv::FileDialogCall&) { return std::optional<std::string>(saved); });
  Click(main_->m_dlgRead, IDC_READ_SAVE);
  std::ifstream in(saved + ".bin", std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string bytes = ss.str();
  EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), image);
}

TEST_F(MainWindowTest, ASaveThatFailsSaysSo) {
  UseK55(true);
  chip_.Flash().assign(chip_.Flash().size(), 0x5A);
  Open();
  ::SendMessage(ReadItem(IDC_READ_CUSTOM_AREA), BM_CLICK, 0, 0);
  ::SetWindowTextA(ReadItem(IDC_READ_FROM), "0");
  ::SetWindowTextA(ReadItem(IDC_READ_TO), "3F");
  Click(main_->m_dlgRead, IDC_READ_READ);
  ASSERT_TRUE(PumpUntil([&] { return !main_->m_dlgRead.IsReading(); }));
  qv::SetFileDialogHook([&](const qv::FileDialogCall&) { return std::optional<std::string>(File("no/such/folder/x.bin")); });
  Click(main_->m_dlgRead, IDC_READ_SAVE);
  EXPECT_EQ(boxes_, (std::vector<std::string>{" Fail to Save! | Warn"}));
}

TEST_F(MainWindowTest, OneOperationAtATime) {
  Choose("K55", 4);
  UseK55(true);
  Open();
  Bytes file = Pattern(1024, 4);
  file.resize(file.size() + 0x300, 0);
  ASSERT_TRUE(main_->m_dlgWrite.LoadImageFile(WriteFile("fw.bin", file).c_str()));
  Click(*main_, IDC_MAIN_READ);
  ::SendMessage(ReadItem(IDC_READ_ALL_AREA), BM_CLICK, 0, 0);
  Click(main_->m_dlgRead, IDC_READ_READ);
  ASSERT_TRUE(main_->m_dlgRead.IsReading());
  // Read again while reading: ignored, the read goes on.
  Click(main_->m_dlgRead, IDC_READ_READ);
  // Write while the reader reads: refused, nothing is queued.
  Click(main_->m_dlgWrite, IDC_WRITE_WRITE);
  EXPECT_FALSE(main_->IsWritePending());
  EXPECT_TRUE(main_->m_dlgRead.IsReading());
  ASSERT_TRUE(PumpUntil([&] { return !main_->m_dlgRead.IsReading(); }));
  EXPECT_TRUE(boxes_.empty());
  // Once the read has ended, Write goes ahead.
  Click(main_->m_dlgWrite, IDC_WRITE_WRITE);
  EXPECT_TRUE(main_->IsWritePending());
  ASSERT_TRUE(PumpUntil([&] { return !main_->IsWritePending(); }));
}

// A USB-serial adapter plugged in or pulled out, as the kernel reports it.
std::string_view AdapterNews(bool arrived) {
  using namespace std::string_view_literals;
  return arrived ? "add@/devices/usb1/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0\0ACTION=add\0SUBSYSTEM=tty\0DEVNAME=ttyUSB0\0"sv
                 : "remove@/devices/usb1/1-2/1-2:1.0/ttyUSB0/tty/ttyUSB0\0ACTION=remove\0SUBSYSTEM=tty\0DEVNAME=ttyUSB0\0"sv;
}

// In COM mode the window hears of devices only from the system, which tells
// every top-level window of a serial adapter coming or going. Its handler
// then writes the bridge's state into the strip, while the colour still
// follows the serial port.
TEST_F(MainWindowTest, ComModeShowsTheBridgesStateAfterADeviceEventInThePortsColour) {
  struct Case {
    bool portOpen;
    bool boardPlugged;
    bool adapterArrived;
    const char* text;
    COLORREF colour;
  };
  const Case cases[] = {
      {true, false, true, "Device DisConnected", kGreen},
      {false, true, true, "Device Connected", kRed},
      // A removal while the board is still counted is handled as an arrival.
      {false, true, false, "Device Connected", kRed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    UseK55(c.portOpen);
    ostrelusb::Configure({c.boardPlugged, {qv::sim::ChipFamily::kPage128, 64, 0x70}});
    Open();
    const std::string before = main_->m_dlgStatus.GetField(1).str();
    ASSERT_EQ(before, c.portOpen ? "Device Connected" : "Device DisConnected");
    qv::win32::DeviceBroadcast system;
    std::thread([&] { system.Take(AdapterNews(c.adapterArrived)); }).join();
    ASSERT_TRUE(PumpUntil([&] { return main_->m_dlgStatus.GetField(1).str() != before; }));
    EXPECT_EQ(main_->m_dlgStatus.GetField(1).str(), c.text);
    EXPECT_EQ(main_->m_dlgStatus.GetField1Colour(), c.colour);
    EXPECT_EQ(g_bBridgeConnected.load(), c.boardPlugged ? 1u : 0u);
    EXPECT_EQ(ostrelusb::RegisteredWindow(), nullptr);  // nothing registers in COM mode
    main_->DestroyWindow();
    delete engine_.m_pCOMBase;
    engine_.m_pCOMBase = nullptr;
    g_BridgeDevice.Close();
    g_bBridgeConnected = 0;
  }
}

// The bridge board is no port: without a window registered with the library
// (none is, in COM mode) pulling it out through the plug file tells the
// window nothing; the system's next news of a serial adapter shows the
// bridge's state.
TEST_F(MainWindowTest, ComModeHearsNothingOfThePlugFileAlone) {
  qv::SetProgramFolderForTesting(folder_.Path());
  UseK55(false);
  Open();
  ASSERT_EQ(main_->m_dlgStatus.GetField(1).str(), "Device DisConnected");
  WriteFile(ostrelusb::kPlugFileName, {'u', 'n', 'p', 'l', 'u', 'g', '\n'});
  // Three of the library's looks at the file, had anyone listened.
  for (int i = 0; i < 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ostrelusb::kPlugFilePeriodMs));
    qv::PumpMessages();
  }
  EXPECT_EQ(main_->m_dlgStatus.GetField(1).str(), "Device DisConnected");
  EXPECT_FALSE(g_BridgeDevice.IsOpen());
  qv::win32::DeviceBroadcast system;
  system.Take(AdapterNews(true));
  ASSERT_TRUE(PumpUntil([&] { return g_BridgeDevice.IsOpen(); }));
  EXPECT_EQ(main_->m_dlgStatus.GetField(1).str(), "Device Connected");
  EXPECT_EQ(main_->m_dlgStatus.GetField1Colour(), kRed);
  std::remove(File(ostrelusb::kPlugFileName).c_str());
  qv::SetProgramFolderForTesting("");
}

TEST_F(MainWindowTest, AClickOnTheHiddenRtsLowButtonDoesNothing) {
  UseK55(true);
  Open();
  // Clear and RTS HIGH beside it show that a real click reaches the page's
  // handlers. RTS LOW's id is also the main window's Read button: a click
  // handed on would switch pages.
  struct Case {
    int id;
    bool hidden;
    const char* pathAfter;
    bool portTouched;
  } cases[] = {{IDC_WRITE_CLEAR, false, "", false},
               {IDC_WRITE_RTS_HIGH, true, "fw.bin", true},
               {IDC_WRITE_RTS_LOW, true, "fw.bin", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    ::SetWindowTextA(WriteItem(IDC_WRITE_PATH), "fw.bin");
    port_->ClearRecord();
    const HWND button = WriteItem(c.id);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(Visible(button), !c.hidden);
    ::ShowWindow(button, SW_SHOW);  // a hidden one only so that it can be clicked
    QWidget* host = qv::win32::Lookup(button)->host;
    QTest::mouseClick(host, Qt::LeftButton, {}, host->rect().center());
    qv::PumpMessages();
    EXPECT_EQ(TextOf(WriteItem(IDC_WRITE_PATH)), c.pathAfter);
    EXPECT_EQ(!port_->OpenCalls().empty() || !port_->RtsCalls().empty(), c.portTouched);
    EXPECT_TRUE(Visible(main_->m_dlgWrite.m_hWnd));
    EXPECT_FALSE(Visible(main_->m_dlgRead.m_hWnd));
    EXPECT_TRUE(boxes_.empty());
  }
}

class UsbMainWindowTest : public MainWindowTest {
 protected:
  UsbMainWindowTest() {
    g_AppConfig = kAppConfigInitial;
    ostrelusb::Configure({true, {qv::sim::ChipFamily::kPage128, 64, 0x70}});
    engine_.m_nInterface = 1;
    g_pIcBase = new CQvIcBase(0x70);
    engine_.m_pInterface = g_pIcBase;
    Choose("GEN", 64);
  }
};

TEST_F(UsbMainWindowTest, TheStatusStripFollowsTheBoardPluggedOutAndIn) {
  Open();
  EXPECT_EQ(main_->m_dlgStatus.GetField(1).str(), "Device Connected");
  EXPECT_EQ(main_->m_dlgStatus.GetField1Colour(), kGreen);
  EXPECT_EQ(main_->m_dlgStatus.GetField(3).str(), "USB Interface");
  EXPECT_FALSE(Visible(Item(IDC_MAIN_READ)));  // the bridge back ends read nothing back
  EXPECT_EQ(ostrelusb::RegisteredWindow(), main_->m_hWnd);
  EXPECT_TRUE(g_BridgeDevice.IsOpen());

  std::thread([] { ostrelusb::Unplug(); }).join();
  ASSERT_TRUE(PumpUntil([&] { return main_->m_dlgStatus.GetField(1) == "Device DisConnected"; }));
  EXPECT_EQ(main_->m_dlgStatus.GetField1Colour(), kRed);
  EXPECT_FALSE(g_BridgeDevice.IsOpen());
  // The strip as a person sees it once the change is painted: the red text
  // in its left half right of the picture, where the scripted walk looks.
  for (int i = 0; i < 5; ++i) qv::PumpMessages();
  qv::testing::SaveSnapshot(main_->m_hWnd, "unplugged");
  const QImage strip = qv::CompositeSnapshot(main_->m_dlgStatus.m_hWnd);
  ASSERT_FALSE(strip.isNull());
  EXPECT_GE(SharePerCent(strip, QRect(160, 0, strip.width() / 2 - 160, strip.height()), qRgb(255, 0, 0)), 1);
  // The interface in white, 200 pixels from the right edge.
  EXPECT_GE(SharePerCent(strip, QRect(strip.width() - 200, 0, 200, strip.height()), qRgb(255, 255, 255)), 1);

  std::thread([] { ostrelusb::Plug(); }).join();
  ASSERT_TRUE(PumpUntil([&] { return main_->m_dlgStatus.GetField(1) == "Device Connected"; }));
  EXPECT_EQ(main_->m_dlgStatus.GetField1Colour(), kGreen);
  EXPECT_TRUE(g_BridgeDevice.IsOpen());
  for (int i = 0; i < 5; ++i) qv::PumpMessages();
  const QImage plugged = qv::CompositeSnapshot(main_->m_dlgStatus.m_hWnd);
  const QRect left(160, 0, plugged.width() / 2 - 160, plugged.height());
  EXPECT_GE(SharePerCent(plugged, left, qRgb(0, 255, 0)), 1);
  EXPECT_EQ(SharePerCent(plugged, left, qRgb(255, 0, 0)), 0);
}

TEST_F(UsbMainWindowTest, ThePlugFileOfTheProgramFolderUnplugsAndPlugsTheBoard) {
  qv::SetProgramFolderForTesting(folder_.Path());
  Open();
  ASSERT_EQ(main_->m_dlgStatus.GetField(1).str(), "Device Connected");
  WriteFile(ostrelusb::kPlugFileName, {'u', 'n', 'p', 'l', 'u', 'g', '\n'});
  EXPECT_TRUE(PumpUntil([&] { return main_->m_dlgStatus.GetField(1) == "Device DisConnected"; }));
  WriteFile(ostrelusb::kPlugFileName, {'p', 'l', 'u', 'g', '\n'});
  EXPECT_TRUE(PumpUntil([&] { return main_->m_dlgStatus.GetField(1) == "Device Connected"; }));
  std::remove(File(ostrelusb::kPlugFileName).c_str());
  qv::SetProgramFolderForTesting("");
}

}  // namespace
}  // namespace pages_test
