// The Write page worked as the operator works it, in the main window: its
// buttons clicked with the mouse, its boxes and edits, the refusals of Write,
// Browse and Clear, the last choices of config.ini at start, its colours and
// fonts. Numbers and texts are written as the screens show them.

#include <gtest/gtest.h>

#include <QTest>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/dlg_online_update_and_read.h"
#include "isp/com_base.h"
#include "isp/com_base_k55.h"
#include "platform/win32/application.h"
#include "platform/win32/common_dialog/file_dialog.h"
#include "platform/win32/dialog/message_box.h"
#include "platform/win32/gdi/gdi_api.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/standard/progress_ctrl.h"
#include "platform/win32/window_object.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "tests/support/pages_fixture.h"
#include "tests/pages_gui/write_page_fixture.h"
#include "tests/support/chip_on_fake_port.h"

namespace pages_test {
namespace {

// Write refused: the message and its caption, the page left enabled, no job.
TEST_F(WritePageTest, WriteRefusals) {
  struct Case {
    BackEnd backEnd;
    bool updatePart;
    const char* address;
    const char* password;
    const char* box;
  };
  const Case cases[] = {
      // GEN: pages of 128 bytes, a start address may be chosen, no password.
      {BackEnd::kGeneric, true, "40", nullptr, "Adddress must can be multiple of 128 ! | Warn"},
      {BackEnd::kGeneric, true, "0x100", nullptr, "Write Begin Address must be hex digits! | Warn"},
      // K55: a password is required; "0" and a text that is not hex give 0.
      {BackEnd::kK55, false, nullptr, "0", "Input Password is invalid! | "},
      {BackEnd::kK55, false, nullptr, "12G4", "Input Password is invalid! | "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    Open(c.backEnd);
    boxes_.clear();
    ASSERT_TRUE(Page().LoadImageFile(WriteFile("fw.bin", Pattern(c.backEnd == BackEnd::kK55 ? 800 : 256, 1)).c_str()));
    if (c.updatePart) ClickWithMouse(kUpdatePart);
    EXPECT_EQ(Checked(kUpdatePart), c.updatePart);
    if (c.address != nullptr) ::SetWindowTextA(Item(kAddress), c.address);
    if (c.password != nullptr) ::SetWindowTextA(Item(kPassword), c.password);
    ClickWithMouse(kWrite);
    std::string box = c.box;
    if (box.back() == ' ') box += AfxGetAppName();  // the application's own message box
    EXPECT_EQ(boxes_, std::vector<std::string>{box});
    EXPECT_TRUE(PageEnabled());
    EXPECT_FALSE(main_->IsWritePending());
    Close();
  }
}

TEST_F(WritePageTest, WriteWithoutAnImageOnlyClearsTheBar) {
  Open(BackEnd::kGeneric);
  Page().SendMessage(WM_USER + 1, 2, 45);  // the worker's progress: updating, 45 %
  ASSERT_EQ(Text(kProgress), "Updating...45%");
  ClickWithMouse(kWrite);
  EXPECT_EQ(Text(kProgress), "");
  EXPECT_EQ(::SendMessage(Item(kProgress), PBM_GETPOS, 0, 0), 0);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_TRUE(PageEnabled());
  EXPECT_FALSE(main_->IsWritePending());
}

TEST_F(WritePageTest, BrowseStoresThePathOnlyWhenTheFileLoaded) {
  Open(BackEnd::kGeneric);
  const std::string good = Image("good.bin", 256, 2);
  // GEN: 16 KB of flash less 4 KB of boot loader.
  const std::string large = Image("large.bin", 12 * 1024 + 1, 3);
  Browse(std::nullopt);
  Browse(File("missing.bin"));
  Browse(large);
  EXPECT_EQ(boxes_, std::vector<std::string>{"File Size must not exceed 12 K! | Warning"});
  EXPECT_EQ(ReadConfig().find("BINPATH"), std::string::npos);
  EXPECT_EQ(Text(kPath), "");
  Browse(good);
  EXPECT_NE(ReadConfig().find("BINPATH=" + good), std::string::npos);
  EXPECT_EQ(Text(kPath), good);
  EXPECT_EQ(Text(kLength), "256");
  // A later failure keeps the stored path and the loaded image.
  Browse(large);
  EXPECT_NE(ReadConfig().find("BINPATH=" + good), std::string::npos);
  EXPECT_EQ(Text(kPath), good);
}

TEST_F(WritePageTest, TheByteSumIsTwoUpperCaseHexDigits) {
  Open(BackEnd::kGeneric);
  struct Case {
    Bytes bytes;
    const char* sum;
  };
  const Case cases[] = {
      {{'a', 'b', 'c'}, "26"},
      {{0x01, 0x02}, "03"},   // padded to two digits
      {{0xAA, 0x01}, "AB"},   // upper case
      {{0xFF, 0x01}, "00"},   // modulo 256
  };
  for (const Case& c : cases) {
    const std::string path = WriteFile("sum.bin", c.bytes);
    Browse(path);
    EXPECT_EQ(Text(kByteSum), c.sum) << c.sum;
  }
}

TEST_F(WritePageTest, ClearForgetsTheImageButNotItsPath) {
  Open(BackEnd::kGeneric);
  const std::string path = Image("fw.bin", 256, 4);
  Browse(path);
  ASSERT_EQ(Text(kLength), "256");
  ClickWithMouse(kClear);
  EXPECT_EQ(Text(kPath), "");
  EXPECT_EQ(Text(kByteSum), "");
  EXPECT_EQ(Text(kLength), "");
  EXPECT_FALSE(Page().GetAppBinView()->SaveIfData(File("view.bin")));  // the view holds nothing
  EXPECT_NE(ReadConfig().find("BINPATH=" + path), std::string::npos);
  // Nothing is left to write.
  ClickWithMouse(kWrite);
  EXPECT_FALSE(main_->IsWritePending());
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(WritePageTest, TheEraseAndVerifyBoxesAreStored) {
  Open(BackEnd::kGeneric);
  struct Case {
    int box;
    const char* stored;
  };
  const Case cases[] = {
      {kErase, "ERASE=TRUE"}, {kVerify, "VERIFYBIN=TRUE"}, {kErase, "ERASE=FALSE"}, {kVerify, "VERIFYBIN=FALSE"}};
  for (const Case& c : cases) {
    // Hidden boxes: a click message, as no mouse reaches them.
    ::SendMessage(Item(c.box), BM_CLICK, 0, 0);
    EXPECT_NE(ReadConfig().find(c.stored), std::string::npos) << c.stored;
  }
}

TEST_F(WritePageTest, TheLastChoicesAreRestoredAtStart) {
  struct Case {
    const char* erase;
    const char* verify;
    bool eraseChecked, verifyChecked;
  };
  const Case cases[] = {
      {"TRUE", "TRUE", true, true},
      {"FALSE", "TRUE", false, true},
      {"true", "", false, false},  // exactly "TRUE" checks a box
  };
  const std::string path = Image("last.bin", 300, 5);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.erase) + "/" + c.verify);
    std::string ini = ReadConfig();
    ini = ini.substr(0, ini.find("[UserRecord]"));
    WriteFile("config.ini", [&] {
      const std::string text = ini + "[UserRecord]\r\nERASE=" + c.erase + "\r\nVERIFYBIN=" + c.verify +
                               "\r\nBINPATH=" + path + "\r\n";
      return Bytes(text.begin(), text.end());
    }());
    Open(BackEnd::kGeneric);
    EXPECT_EQ(Checked(kErase), c.eraseChecked);
    EXPECT_EQ(Checked(kVerify), c.verifyChecked);
    EXPECT_EQ(Text(kPath), path);
    EXPECT_EQ(Text(kLength), "300");
    EXPECT_EQ(Text(kByteSum).size(), 2u);
    EXPECT_TRUE(Page().GetAppBinView()->SaveIfData(File("view.bin")));
    Close();
  }
}

TEST_F(WritePageTest, ALastImageNowMissingOrTooLargeLoadsNothingAtStart) {
  struct Case {
    std::string binPath;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {File("gone.bin"), {}},
      {Image("grown.bin", 12 * 1024 + 1, 9), {"File Size must not exceed 12 K! | Warning"}},
  };
  const std::string ini = ReadConfig();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.binPath);
    const std::string text = ini + "[UserRecord]\r\nBINPATH=" + c.binPath + "\r\n";
    WriteFile("config.ini", Bytes(text.begin(), text.end()));
    boxes_.clear();
    Open(BackEnd::kGeneric);
    EXPECT_EQ(boxes_, c.boxes);
    EXPECT_EQ(Text(kPath), "");
    EXPECT_EQ(Text(kLength), "");
    EXPECT_FALSE(Page().GetAppBinView()->SaveIfData(File("view.bin")));
    Close();
  }
}

TEST_F(WritePageTest, AnEditedPathIsLoadedAndCheckedBeforeTheJob) {
  Open(BackEnd::kGeneric);
  const Bytes first = Pattern(256, 6);
  const Bytes edited = Pattern(384, 7);
  Browse(WriteFile("first.bin", first));
  // Edited to a file too large for the chip: refused, nothing queued.
  const std::string large = Image("large.bin", 12 * 1024 + 1, 8);
  ::SetWindowTextA(Item(kPath), large.c_str());
  ClickWithMouse(kWrite);
  EXPECT_EQ(boxes_, std::vector<std::string>{"File Size must not exceed 12 K! | Warning"});
  EXPECT_FALSE(main_->IsWritePending());
  EXPECT_TRUE(PageEnabled());
  EXPECT_EQ(Text(kLength), "256");
  // Edited to another file that fits: that file is loaded and written.
  const std::string path = WriteFile("edited.bin", edited);
  ::SetWindowTextA(Item(kPath), path.c_str());
  ClickWithMouse(kWrite);
  EXPECT_EQ(Text(kLength), "384");
  WaitForTheJob();
  EXPECT_EQ(Bytes(generic_.Flash().begin(), generic_.Flash().begin() + 384), edited);
}

// A page's brush and its bar's colours and range, read back from their own
// answers: the same on both pages.
void ExpectPageAndBarColours(HWND page, HWND bar) {
  const HDC dc = ::GetDC(page);
  const HBRUSH brush = reinterpret_cast<HBRUSH>(::SendMessage(page, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                                                              reinterpret_cast<LPARAM>(page)));
  ::ReleaseDC(page, dc);
  LOGBRUSH lb{};
  ASSERT_NE(::GetObjectA(brush, sizeof lb, &lb), 0);
  EXPECT_EQ(lb.lbColor, 0xC3C3C3u);
  // Each setter answers the colour it replaces; the old one is put back.
  struct Colour {
    UINT msg;
    COLORREF colour;
  };
  for (const Colour& c : {Colour{PBM_SETBARCOLOR, 0x3A3A3A}, Colour{PBM_SETBKCOLOR, 0xFF8080},
                          Colour{0x0464, 0xFFFFFF}}) {
    const LRESULT was = ::SendMessage(bar, c.msg, 0, 0x123456);
    EXPECT_EQ(static_cast<COLORREF>(was), c.colour) << std::hex << c.msg;
    ::SendMessage(bar, c.msg, 0, was);
  }
  PBRANGE range{};
  ::SendMessage(bar, PBM_GETRANGE, 0, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 100);
}

TEST_F(WritePageTest, PageBarAndEditColoursAndBoldHeights) {
  Open(BackEnd::kGeneric);
  {
    SCOPED_TRACE("Write page");
    ExpectPageAndBarColours(Page().m_hWnd, Item(kProgress));
  }
  {
    SCOPED_TRACE("Read page");
    ExpectPageAndBarColours(main_->m_dlgRead.m_hWnd, ::GetDlgItem(main_->m_dlgRead.m_hWnd, 1498));
  }

  const HWND page = Page().m_hWnd;
  const HDC dc = ::GetDC(page);
  struct Edit {
    int id;
    int boldHeight;
  };
  for (const Edit& e : {Edit{kByteSum, 15}, Edit{kPath, 15}, Edit{kLength, 12}}) {
    SCOPED_TRACE(e.id);
    ::SetTextColor(dc, RGB(1, 2, 3));
    const UINT msg = e.id == kPath ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
    ::SendMessage(page, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Item(e.id)));
    EXPECT_EQ(::GetTextColor(dc), 0xFFFFFFu);
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    LOGFONTA lf{};
    const HFONT font = reinterpret_cast<HFONT>(::SendMessage(Item(e.id), WM_GETFONT, 0, 0));
    ASSERT_NE(::GetObjectA(font, sizeof lf, &lf), 0);
    EXPECT_EQ(lf.lfHeight, e.boldHeight);
    EXPECT_EQ(lf.lfWeight, 700);
  }
  ::ReleaseDC(page, dc);
}

}  // namespace
}  // namespace pages_test
