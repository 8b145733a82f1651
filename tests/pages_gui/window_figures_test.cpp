// Figures and texts of the main window, its status strip and its pages that
// a person meets: colours, each written out as its COLORREF literal
// (0x00BBGGRR), in the answers to WM_CTLCOLOR and in the strip's pixels; the
// fonts of the strip's labels; the titles of the Write page's tabs; and the
// file dialogs that Browse and Save open.

#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "controls/color_label.h"
#include "controls/hex_file_view.h"
#include "controls/tab_strip.h"
#include "isp/com_base.h"
#include "platform/core/sync.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/win32/common_dialog/file_dialog.h"
#include "platform/win32/gdi/gdi_api.h"
#include "platform/win32/snapshot.h"
#include "platform/win32/window_object.h"
#include "sim/uart_k55_chip.h"
#include "tests/pages_gui/gui_fixture.h"

namespace pages_test {
namespace {

// The colour of a COLORREF as an image pixel.
QRgb Pixel(COLORREF c) { return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// Pixels of exactly this colour within the part of the image.
int Count(const QImage& image, const QRect& part, QRgb colour) {
  int n = 0;
  const QRect r = part.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
  }
  return n;
}

QRect ToQRect(const CRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

std::string Text(const CRect& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
         std::to_string(r.bottom) + ")";
}

class WindowFigures : public MainWindowPeer {
 protected:
  void Open(bool portOpen) {
    Choose("K55", 32);
    UseSerial(Family::kK55, chip_, 3, 115200, 1);
    if (portOpen) {
      ASSERT_TRUE(engine_.m_pCOMBase->Init(3, 115200, 3, TRUE));
    }
    OpenWindow();
    Widen();
  }
  void OpenUsb() {
    UseUsb();
    Choose("GEN", 64);
    OpenWindow();
    Widen();
  }
  // Wider than the offscreen screen that the window is maximised to, so that
  // the pages have room right of their control columns (680 pixels).
  void Widen() {
    main_->ShowWindow(SW_RESTORE);
    main_->MoveWindow(0, 0, 1600, 900);
    for (int i = 0; i < 5; ++i) qv::PumpMessages();
  }
  void Close() { CloseWindow(); }
  HWND Strip() const { return main_->m_dlgStatus.m_hWnd; }
  HWND Field(int id) const { return ::GetDlgItem(Strip(), id); }

  qv::sim::UartK55Chip chip_;
};

TEST_F(WindowFigures, TheWindowAnswersWmCtlColorWithItsGreys) {
  Open(true);
  const HWND w = main_->m_hWnd;
  const HDC dc = ::GetDC(w);
  // What the handler sets, after the base class's handler (whose text and
  // background colours it leaves where it sets none itself).
  struct Case {
    const char* what;
    UINT msg;
    HWND control;
    bool whiteOnTransparent;  // else the background colour 0x979797
  };
  const Case cases[] = {
      {"an edit", WM_CTLCOLOREDIT, ::GetDlgItem(w, 1503), true},
      {"an untitled label", WM_CTLCOLORSTATIC, ::GetDlgItem(w, -1), true},
      {"the hidden \"Chip Type:\"", WM_CTLCOLORSTATIC, ::GetDlgItem(w, 1438), true},
      {"a read-only field", WM_CTLCOLORSTATIC, ::GetDlgItem(w, 1502), false},
      {"a button", WM_CTLCOLORBTN, ::GetDlgItem(w, 1072), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NE(c.control, nullptr);
    ::SetBkMode(dc, OPAQUE);
    ::SetTextColor(dc, 0x010203);
    ::SetBkColor(dc, 0x040506);
    const HBRUSH brush = reinterpret_cast<HBRUSH>(
        ::SendMessage(w, c.msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(c.control)));
    LOGBRUSH lb{};
    ASSERT_NE(::GetObjectA(brush, sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbColor, 0xA1A1A1u);
    if (c.whiteOnTransparent) {
      EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
      EXPECT_EQ(::GetTextColor(dc), 0xFFFFFFu);
    } else {
      EXPECT_EQ(::GetBkColor(dc), 0x979797u);
    }
  }
  ::ReleaseDC(w, dc);
  // The window's own background, beside the left column's buttons.
  const QImage shot = qv::CompositeSnapshot(w);
  ASSERT_FALSE(shot.isNull());
  CRect client;
  ::GetClientRect(w, &client);
  POINT origin{0, 0};
  ::ClientToScreen(w, &origin);
  CRect frame;
  ::GetWindowRect(w, &frame);
  // Between the Exit button (its bottom 52 pixels above the client's) and
  // the strip (49 pixels high).
  const QPoint at(origin.x - frame.left + 80, origin.y - frame.top + client.Height() - 50);
  EXPECT_EQ(shot.pixel(at) & 0xFFFFFF, Pixel(0xA1A1A1) & 0xFFFFFF);
}

// The strip's background 0x4F5555, the connection in green 0x00FF00 or red
// 0x0000FF and the interface in white 0xFFFFFF, in 16-point bold "宋体" on
// transparent labels whose text stays.
TEST_F(WindowFigures, TheStripsBackgroundTextColoursAndFonts) {
  for (const bool portOpen : {true, false}) {
    SCOPED_TRACE(portOpen);
    Open(portOpen);
    const QImage strip = qv::CompositeSnapshot(Strip());
    ASSERT_FALSE(strip.isNull());
    const QRect field1 = ToQRect(RectIn(Field(1127), Strip()));
    const QRect field3 = ToQRect(RectIn(Field(1130), Strip()));
    // Between the picture (158 wide) and the first label (from 178).
    EXPECT_EQ(strip.pixel(168, 2) & 0xFFFFFF, Pixel(0x4F5555) & 0xFFFFFF);
    const COLORREF on = portOpen ? 0x00FF00 : 0x0000FF;
    const COLORREF off = portOpen ? 0x0000FF : 0x00FF00;
    EXPECT_GT(Count(strip, field1, Pixel(on)), 20);
    EXPECT_EQ(Count(strip, field1, Pixel(off)), 0);
    EXPECT_GT(Count(strip, field3, Pixel(0xFFFFFF)), 20);
    for (const int id : {1127, 1128, 1130}) {
      SCOPED_TRACE(id);
      const auto* label = dynamic_cast<CColorLabel*>(CWnd::FromHandle(Field(id)));
      ASSERT_NE(label, nullptr);
      EXPECT_STREQ(label->GetLogFont().lfFaceName, "\xE5\xAE\x8B\xE4\xBD\x93");
      EXPECT_EQ(label->GetLogFont().lfWeight, 956);
      EXPECT_EQ(label->GetLogFont().lfHeight, -21);  // 16 points at 96 dpi
      EXPECT_TRUE(label->IsTransparent());
      EXPECT_EQ(label->m_bKeepText, 1);
    }
    Close();
  }
}

// The Write page's tab strip holds "App Bin File", and in USB mode also
// "From Chip", in that order, with its tabs along the top and the pages
// under them; the strip fills the page right of the Write button, 10 pixels
// after it, to 2 pixels before the page's right edge.
TEST_F(WindowFigures, TheWritePagesTabTitles) {
  struct Case {
    bool usb;
    std::vector<std::string> titles;
  };
  const Case cases[] = {{false, {"App Bin File"}}, {true, {"App Bin File", "From Chip"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.usb);
    if (c.usb) {
      OpenUsb();
    } else {
      Open(true);
    }
    const CTabStrip* strip = nullptr;
    for (const HWND child : qv::win32::Lookup(main_->m_dlgWrite.m_hWnd)->children) {
      if (const auto* s = dynamic_cast<const CTabStrip*>(CWnd::FromHandle(child))) strip = s;
    }
    ASSERT_NE(strip, nullptr);
    std::vector<std::string> titles;
    for (int i = 0; i < strip->GetTabCount(); ++i) titles.push_back(strip->GetTab(i)->m_strTitle.str());
    EXPECT_EQ(titles, c.titles);
    EXPECT_EQ(strip->GetFirstVisibleTabRect().top, 0);
    CRect active;
    ::GetWindowRect(strip->GetActivePage()->m_hWnd, &active);
    CRect stripRect;
    ::GetWindowRect(strip->m_hWnd, &stripRect);
    EXPECT_GT(active.top, stripRect.top);
    const HWND page = main_->m_dlgWrite.m_hWnd;
    const CRect write = RectIn(::GetDlgItem(page, 1070), page);
    CRect client;
    ::GetClientRect(page, &client);
    const CRect placed = RectIn(strip->m_hWnd, page);
    EXPECT_EQ(Text(placed), Text(CRect(write.right + 10, 0, client.Width() - 2, client.Height()))); 
    Close();
  }
}

// What each Browse and Save button asks of the file dialog: open or save,
// the filter (in the file dialog's own form: patterns apart by blanks,
// filters apart by ";;"), the default extension, the overwrite question.
TEST_F(WindowFigures, TheFileDialogsOfBrowseAndSave) {
  struct Case {
    const char* what;
    bool usb;
    bool readPage;
    int button;
    bool open;
    const char* filter;
    const char* defaultExt;
  };
  const Case cases[] = {
      {"Browse", false, false, 1072, true, "Bin&&Hex (*.bin *.hex);;BIN files (*.bin);;Hex files (*.hex)", "bin&&hex"},
      {"the Write page's Save", true, false, 1073, false, "BIN files (*.bin)", "bin"},
      {"the Read page's Save", false, true, 1072, false, "BIN files (*.bin)", "bin"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.usb) {
      OpenUsb();
    } else {
      Open(true);
    }
    std::vector<qv::FileDialogCall> calls;
    qv::SetFileDialogHook([&](const qv::FileDialogCall& call) {
      calls.push_back(call);
      return std::optional<std::string>();
    });
    CWnd& page = c.readPage ? static_cast<CWnd&>(main_->m_dlgRead) : static_cast<CWnd&>(main_->m_dlgWrite);
    if (c.readPage) {
      main_->SendMessage(WM_COMMAND, MAKEWPARAM(1071, BN_CLICKED), 0);  // the Read page
      // Its hex view lies 10 pixels right of the progress bar, from y 2 to
      // 2 pixels above the page's bottom, to its right edge.
      const HWND read = main_->m_dlgRead.m_hWnd;
      const CRect bar = RectIn(::GetDlgItem(read, 1498), read);
      CRect client;
      ::GetClientRect(read, &client);
      const HWND view = ::GetDlgItem(read, 197811);
      EXPECT_EQ(Text(RectIn(view, read)), Text(CRect(bar.right + 10, 2, client.right, client.bottom - 2)));
      // The Read page's view has a frame; the Write page's views have none.
      const auto* hex = dynamic_cast<const CHexFileView*>(CWnd::FromHandle(view));
      ASSERT_NE(hex, nullptr);
      EXPECT_EQ(hex->m_bDrawFrame, TRUE);
      EXPECT_EQ(main_->m_dlgWrite.GetAppBinView()->m_bDrawFrame, FALSE);
    }
    const HWND button = ::GetDlgItem(page.m_hWnd, c.button);
    ASSERT_NE(button, nullptr);
    ::ShowWindow(button, SW_SHOW);  // the Write page's Save is hidden: shown only so that it can be clicked
    ClickOn(button);
    qv::SetFileDialogHook(nullptr);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].open, c.open);
    EXPECT_EQ(calls[0].filter, c.filter);
    EXPECT_EQ(calls[0].defaultExt, c.defaultExt);
    EXPECT_EQ(calls[0].overwritePrompt, !c.open);
    Close();
  }
}

// The Write page's presets: the address "0", the hidden Write box checked
// and disabled; a "From Chip" view that cannot be saved says " Fail to
// Save!" (with its leading blank) under "Warn".
TEST_F(WindowFigures, TheWritePagesPresetsAndItsFailedSave) {
  OpenUsb();
  const HWND page = main_->m_dlgWrite.m_hWnd;
  char text[32] = {};
  ::GetWindowTextA(::GetDlgItem(page, 1517), text, sizeof text);
  EXPECT_STREQ(text, "0");
  EXPECT_EQ(::SendMessage(::GetDlgItem(page, 1252), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page, 1252)));

  const BYTE data[4] = {1, 2, 3, 4};
  ::SendMessage(page, WM_USER + 1, 0x280000 | 4, reinterpret_cast<LPARAM>(data));
  const std::string nowhere = File("no/such/folder/chip.bin");
  qv::SetFileDialogHook([&](const qv::FileDialogCall&) { return std::optional<std::string>(nowhere); });
  const HWND save = ::GetDlgItem(page, 1073);
  ::ShowWindow(save, SW_SHOW);  // hidden: shown only so that it can be clicked
  ClickOn(save);
  EXPECT_EQ(boxes_, std::vector<std::string>{" Fail to Save! | Warn"});
}

// In USB mode the window hands the bridge library its two events, in this
// order: "TouchEvent", reset at once, and "TouchEvent1", left signalled.
TEST_F(WindowFigures, TheTouchEventsHandedToTheBridgeLibrary) {
  OpenUsb();
  const std::array<HANDLE, 2> events = ostrelusb::RegisteredEvents();
  const char* names[] = {"TouchEvent", "TouchEvent1"};
  const DWORD states[] = {WAIT_TIMEOUT, WAIT_OBJECT_0};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(names[i]);
    const HANDLE same = CreateEventA(nullptr, FALSE, FALSE, names[i]);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(same, events[static_cast<size_t>(i)]);
    EXPECT_EQ(WaitForSingleObject(same, 0), states[i]);
    CloseHandle(same);
  }
}

}  // namespace
}  // namespace pages_test
