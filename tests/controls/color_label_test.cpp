// The label: the font fields its setters change, 3-D text, transparency over
// a coloured parent, text flashing, rotation, formats from the style, links,
// and a label whose text is kept or emptied by painting.

#include "controls/color_label.h"

#include <cstring>
#include <vector>

#include "platform/win32/window_tree.h"
#include "tests/controls/controls_fixture.h"

namespace {

using qv::testing::CountPixels;
using qv::testing::ToColorRef;

constexpr COLORREF kParentColour = 0x3366CC;

// A parent that paints itself one colour, and records the notes it gets.
class ColouredParent : public CWnd {
 public:
  std::vector<NMHDR> notes;
  std::vector<CPoint> clicks;  // WM_LBUTTONDOWN, client coordinates

 protected:
  BOOL OnEraseBkgnd(CDC* dc) {
    CRect r;
    GetClientRect(&r);
    dc->FillSolidRect(&r, kParentColour);
    return TRUE;
  }
  void OnPaint() {
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    dc.FillSolidRect(&r, kParentColour);
  }
  void OnLButtonDown(UINT, CPoint at) { clicks.push_back(at); }
  LRESULT OnNotify(WPARAM, LPARAM l) {
    notes.push_back(*reinterpret_cast<const NMHDR*>(l));
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ColouredParent, CWnd)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_LBUTTONDOWN()
  ON_MESSAGE(WM_NOTIFY, OnNotify)
END_MESSAGE_MAP()

// The pixels of one colour, as points.
std::vector<QPoint> PixelsOf(const QImage& img, COLORREF c) {
  std::vector<QPoint> out;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (ToColorRef(img.pixel(x, y)) == c) out.emplace_back(x, y);
  return out;
}

class ColorLabelTest : public qv::testing::ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    ASSERT_TRUE(parent.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 200), &top, 100));
    parent.UpdateWindow();
  }
  void Make(const char* text, DWORD style = 0, CRect r = CRect(10, 10, 170, 40)) {
    HWND h = ::CreateWindowExA(0, WC_STATIC, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.Width(), r.Height(),
                               parent.m_hWnd, 200, nullptr);
    ASSERT_NE(h, nullptr);
    ASSERT_TRUE(label.SubclassWindow(h));
    label.m_bKeepText = 1;
  }
  QImage Paint(const char* name) {
    label.RedrawWindow();
    return Snapshot(label.m_hWnd, name);
  }
  ColouredParent parent;
  CColorLabel label;
};

TEST_F(ColorLabelTest, FontSettersChangeOneFieldEach) {
  Make("Ready");
  EXPECT_EQ(label.SetFontBold(TRUE).GetLogFont().lfWeight, 956);
  EXPECT_EQ(label.SetFontBold(FALSE).GetLogFont().lfWeight, 400);
  const char face[] = "\xCB\xCE\xCC\xE5";
  label.SetFontName(face).SetFontSize(16).SetFontItalic(TRUE).SetFontUnderline(TRUE);
  CFont expected;
  ASSERT_TRUE(expected.CreatePointFont(160, face, nullptr));
  LOGFONTA lf{};
  expected.GetLogFont(&lf);
  EXPECT_EQ(label.GetLogFont().lfHeight, lf.lfHeight);
  EXPECT_STREQ(label.GetLogFont().lfFaceName, face);
  EXPECT_EQ(label.GetLogFont().lfItalic, 1);
  EXPECT_EQ(label.GetLogFont().lfUnderline, 1);
  label.SetRotation(45, FALSE);
  EXPECT_EQ(label.GetLogFont().lfEscapement, 450);
  EXPECT_EQ(label.GetLogFont().lfOrientation, 450);
  // A face longer than the field is cut to 31 bytes and ends there.
  label.SetFontName(CString(std::string(40, 'x').c_str()));
  EXPECT_EQ(std::strlen(label.GetLogFont().lfFaceName), 31u);
}

TEST_F(ColorLabelTest, ThreeDCopyLiesOnePixelOffAndIsDrawnOverTheText) {
  Make("Connected");
  label.SetBkColor(0x202020).SetTextColor(0x0000FF).SetText3DColor(0x00FF00);
  const std::vector<QPoint> plain = PixelsOf(Paint("plain"), 0x0000FF);
  ASSERT_FALSE(plain.empty());
  for (BOOL direction : {TRUE, FALSE}) {
    label.SetText3D(TRUE, direction);
    const QImage img = Paint(direction ? "3d_down_right" : "3d_up_left");
    const QPoint offset = direction ? QPoint(1, 1) : QPoint(-1, -1);
    std::vector<QPoint> shifted;
    for (const QPoint& p : plain) shifted.push_back(p + offset);
    for (const QPoint& p : shifted) {
      if (!img.rect().contains(p)) continue;
      EXPECT_EQ(ToColorRef(img.pixel(p)), 0x00FF00u) << p.x() << "," << p.y();
    }
    for (const QPoint& p : plain) {
      const bool covered = std::find(shifted.begin(), shifted.end(), p) != shifted.end();
      EXPECT_EQ(ToColorRef(img.pixel(p)), covered ? 0x00FF00u : 0x0000FFu);
    }
  }
}

TEST_F(ColorLabelTest, TransparentLabelShowsTheParentUnderItsText) {
  Make("Status");
  label.SetTextColor(0xFFFFFF).SetTransparent(TRUE);
  EXPECT_TRUE(label.GetExStyle() & WS_EX_TRANSPARENT);
  // The parent paints, then the label over what it painted.
  parent.Invalidate(TRUE);
  parent.UpdateWindow();
  qv::PumpMessages();
  const QImage img = Snapshot(label.m_hWnd, "transparent");
  const int parentPixels = CountPixels(img, img.rect(), [](COLORREF c) { return c == kParentColour; });
  const int textPixels = CountPixels(img, img.rect(), [](COLORREF c) { return c == 0xFFFFFF; });
  EXPECT_GT(textPixels, 0);
  EXPECT_EQ(parentPixels + textPixels, img.width() * img.height());
  // Turned off again the flag clears, the window style stays.
  label.SetTransparent(FALSE);
  EXPECT_FALSE(label.IsTransparent());
  EXPECT_TRUE(label.GetExStyle() & WS_EX_TRANSPARENT);
  const QImage opaque = Paint("opaque");
  EXPECT_EQ(ToColorRef(opaque.pixel(0, 0)), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(ColorLabelTest, SetTransparentAddsTheStyleWhateverTheFlag) {
  Make("Status");
  label.SetTransparent(TRUE);
  EXPECT_TRUE(label.IsTransparent());
  EXPECT_TRUE(label.GetExStyle() & WS_EX_TRANSPARENT);
  label.SetTransparent(FALSE);
  EXPECT_FALSE(label.IsTransparent());
  EXPECT_TRUE(label.GetExStyle() & WS_EX_TRANSPARENT);
  const QImage opaque = Paint("opaque");
  EXPECT_EQ(ToColorRef(opaque.pixel(0, 0)), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(ColorLabelTest, EmptyTextPaintsOnlyTheBackground) {
  Make("");
  label.SetBkColor(0x123456).SetText3D(TRUE, TRUE);
  const QImage img = Paint("empty");
  EXPECT_EQ(CountPixels(img, img.rect(), [](COLORREF c) { return c != 0x123456; }), 0);
}

TEST_F(ColorLabelTest, WithoutKeepTextTheTextShowsOnce) {
  Make("Once");
  label.m_bKeepText = 0;
  label.SetTextColor(0x0000FF);  // redraws now: the text shows and is emptied
  const QImage first = Snapshot(label.m_hWnd, "first");
  EXPECT_GT(CountPixels(first, first.rect(), [](COLORREF c) { return c == 0x0000FF; }), 0);
  EXPECT_EQ(label.GetWindowTextLength(), 0);
  const QImage second = Paint("second");
  EXPECT_EQ(CountPixels(second, second.rect(), [](COLORREF c) { return c == 0x0000FF; }), 0);
}

TEST_F(ColorLabelTest, FlashingTextTakesTheBackgroundColourEveryOtherPhase) {
  Make("Flash");
  label.SetTextColor(0x0000FF).FlashText(TRUE);
  EXPECT_EQ(label.GetFlashMode(), 1);
  auto red = [](const QImage& i) { return CountPixels(i, i.rect(), [](COLORREF c) { return c == 0x0000FF; }); };
  const QImage hidden = Paint("hidden");
  EXPECT_EQ(red(hidden), 0);
  EXPECT_EQ(CountPixels(hidden, hidden.rect(), [](COLORREF c) { return c != ::GetSysColor(COLOR_BTNFACE); }), 0);
  label.SendMessage(WM_TIMER, 1, 0);
  EXPECT_TRUE(label.GetFlashPhase());
  EXPECT_GT(red(Snapshot(label.m_hWnd, "shown")), 0);
  label.SendMessage(WM_TIMER, 1, 0);
  EXPECT_EQ(red(Snapshot(label.m_hWnd, "hidden_again")), 0);
  label.FlashText(FALSE);
  EXPECT_EQ(label.GetFlashMode(), 0);
  EXPECT_GT(red(Paint("stopped")), 0);
  label.FlashBackground(TRUE);
  EXPECT_EQ(label.GetFlashMode(), 2);
  EXPECT_FALSE(label.GetFlashPhase());
}

TEST_F(ColorLabelTest, FormatComesFromTheStyle) {
  struct Case {
    DWORD style;
    const char* text;
    bool centredX;
    bool centredY;
    bool wraps;
  } cases[] = {
      {0, "left aligned words wrap round", false, false, true},
      {SS_CENTER, "centred", true, false, false},
      {SS_CENTERIMAGE, "both ways", true, true, false},
      {SS_CENTERIMAGE, "two\r\nlines", true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    CColorLabel l;
    HWND h = ::CreateWindowExA(0, WC_STATIC, c.text, WS_CHILD | WS_VISIBLE | c.style, 10, 50, 120, 60, parent.m_hWnd,
                               201, nullptr);
    ASSERT_TRUE(l.SubclassWindow(h));
    l.m_bKeepText = 1;
    l.SetBkColor(0xFFFFFF).SetTextColor(0x000000);
    const QImage img = Snapshot(l.m_hWnd, "format");
    int minX = 999, maxX = -1, minY = 999, maxY = -1;
    for (const QPoint& p : PixelsOf(img, 0x000000)) {
      minX = std::min(minX, p.x()), maxX = std::max(maxX, p.x());
      minY = std::min(minY, p.y()), maxY = std::max(maxY, p.y());
    }
    ASSERT_GE(maxX, 0);
    EXPECT_EQ(std::abs((minX + maxX) / 2 - 60) <= 3, c.centredX) << minX << ".." << maxX;
    EXPECT_EQ(std::abs((minY + maxY) / 2 - 30) <= 3, c.centredY) << minY << ".." << maxY;
    EXPECT_EQ(maxY - minY > 16, c.wraps) << minY << ".." << maxY;
  }
}

TEST_F(ColorLabelTest, RotatedTextRunsUpFromTheCentre) {
  Make("Rotated", 0, CRect(10, 10, 110, 110));
  label.SetBkColor(0xFFFFFF).SetTextColor(0x000000).SetRotation(90, TRUE);
  const std::vector<QPoint> ink = PixelsOf(Paint("rotated"), 0x000000);
  ASSERT_FALSE(ink.empty());
  for (const QPoint& p : ink) {
    EXPECT_LE(p.y(), 52);
    EXPECT_GE(p.x(), 50 - 16);
    EXPECT_LE(p.x(), 50 + 6);
  }
}

}  // namespace

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include "platform/win32/host_widget.h"
#include "platform/win32/input/mouse.h"
#include "platform/win32/window_object.h"

namespace {

class ColorLabelMouseTest : public qv::testing::ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    ASSERT_TRUE(parent.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 200), &top, 100));
    HWND h = ::CreateWindowExA(0, WC_STATIC, "Link", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, parent.m_hWnd, 200,
                               nullptr);
    ASSERT_TRUE(label.SubclassWindow(h));
    label.m_bKeepText = 1;
  }
  void RealClick() {
    QTest::mouseClick(qv::win32::Lookup(label.m_hWnd)->host, Qt::LeftButton, {}, QPoint(5, 5));
    qv::PumpMessages();
  }
  ColouredParent parent;
  CColorLabel label;
};

// Without SS_NOTIFY a click goes through the label to the parent window;
// as a link the label takes it and notifies.
TEST_F(ColorLabelMouseTest, AClickNotifiesTheParentOnlyAsALink) {
  RealClick();
  EXPECT_TRUE(parent.notes.empty());
  EXPECT_EQ(parent.clicks, (std::vector<CPoint>{CPoint(15, 15)})) << "the parent has the click, at its own point";
  EXPECT_FALSE(label.GetStyle() & SS_NOTIFY);
  label.SetLink(TRUE, FALSE);
  EXPECT_TRUE(label.GetStyle() & SS_NOTIFY);
  RealClick();
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].code, NM_LABELCLICK);
  EXPECT_EQ(parent.notes[0].hwndFrom, label.m_hWnd);
  EXPECT_EQ(parent.notes[0].idFrom, 200u);
  EXPECT_EQ(parent.clicks.size(), 1u);
  label.SetLink(FALSE, FALSE);
  EXPECT_FALSE(label.GetStyle() & SS_NOTIFY);
  RealClick();
  EXPECT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.clicks.size(), 2u);
}

TEST_F(ColorLabelMouseTest, AClickOnALinkNotifiesItsParent) {
  label.SetLink(TRUE, FALSE);
  RealClick();
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].code, NM_LABELCLICK);
}

TEST_F(ColorLabelMouseTest, TheLinkCursorShowsOverTheLabel) {
  label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(::GetCursor(), ::LoadCursor(nullptr, IDC_HAND));
  label.SetLinkCursor(::LoadCursor(nullptr, IDC_HAND));
  EXPECT_EQ(label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_HAND));
}

TEST_F(ColorLabelMouseTest, SunkenAndBorderChangeTheFrame) {
  label.SetSunken(TRUE);
  EXPECT_TRUE(label.GetExStyle() & WS_EX_STATICEDGE);
  label.SetSunken(FALSE);
  EXPECT_FALSE(label.GetExStyle() & WS_EX_STATICEDGE);
  label.SetBorder(TRUE);
  EXPECT_TRUE(label.GetStyle() & WS_BORDER);
  label.SetBorder(FALSE);
  EXPECT_FALSE(label.GetStyle() & WS_BORDER);
}

TEST_F(ColorLabelMouseTest, ASystemColourChangeRemakesTheDefaultBackground) {
  const int index = COLOR_BTNFACE;
  const COLORREF old = ::GetSysColor(index), changed = 0x123456;
  ::SetSysColors(1, &index, &changed);
  label.SendMessage(WM_SYSCOLORCHANGE);
  const QImage img = Snapshot(label.m_hWnd, "new_face");
  ::SetSysColors(1, &index, &old);
  EXPECT_EQ(ToColorRef(img.pixel(90, 15)), changed);
}

}  // namespace

namespace {

// The status strip's brush behind its labels.
class StatusStrip : public CWnd {
 protected:
  BOOL OnEraseBkgnd(CDC* dc) {
    CRect r;
    GetClientRect(&r);
    dc->FillSolidRect(&r, 0x4F5555);
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(StatusStrip, CWnd)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

TEST_F(ColorLabelTest, ThreeLabelsAsTheStatusStripSetsThemUp) {
  StatusStrip strip;
  ASSERT_TRUE(strip.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 200, 640, 264), &top, 145));
  struct Field {
    int id;
    const char* text;
    COLORREF colour;
    CRect place;
  } fields[] = {// W 640, H 64: w = (W - 178) / 2, y = H / 4, h = H / 2
                {1127, "Device DisConnected", 0x0000FF, CRect(178, 16, 409, 48)},
                {1128, "", 0xFFFFFF, CRect(409, 16, 640, 48)},
                {1130, "USB Interface", 0xFFFFFF, CRect(440, 16, 671, 48)}};
  CColorLabel labels[3];
  for (int i = 0; i < 3; ++i) {
    const Field& f = fields[i];
    HWND h = ::CreateWindowExA(0, WC_STATIC, "", WS_CHILD | WS_VISIBLE, f.place.left, f.place.top, f.place.Width(),
                               f.place.Height(), strip.m_hWnd, f.id, nullptr);
    ASSERT_TRUE(labels[i].SubclassWindow(h));
    labels[i].SetTextColor(f.colour);
    labels[i].SetFontSize(16).SetFontBold(TRUE);
    labels[i].m_bKeepText = 1;
    labels[i].SetTransparent(TRUE).SetFontName("\xCB\xCE\xCC\xE5");
    labels[i].SetWindowText(f.text);
  }
  // Field 3 sits at the right; field 2 stays empty.
  labels[1].ShowWindow(SW_HIDE);
  strip.Invalidate(TRUE);
  strip.UpdateWindow();
  qv::PumpMessages();
  const QImage img = Composite(strip.m_hWnd, "status_strip");
  auto count = [&](const CRect& r, COLORREF c) {
    return CountPixels(img, QRect(r.left, r.top, r.Width(), r.Height()), [c](COLORREF p) { return p == c; });
  };
  EXPECT_GT(count(fields[0].place, 0x0000FF), 30);
  EXPECT_GT(count(fields[2].place, 0xFFFFFF), 30);
  // The strip's colour shows round the text: the labels paint no background.
  EXPECT_EQ(ToColorRef(img.pixel(fields[0].place.right - 2, fields[0].place.bottom - 2)), 0x4F5555u);
  EXPECT_EQ(ToColorRef(img.pixel(630, fields[2].place.bottom - 2)), 0x4F5555u);
}

}  // namespace
