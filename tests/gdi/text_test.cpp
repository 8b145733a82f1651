// Fonts and text: face mapping, heights, extents, alignment and clipping.

#include <cstring>

#include <QPainter>

#include "platform/win32/gdi/gdi_internal.h"
#include "platform/win32/gdi/gdi_qt.h"
#include "tests/support/gdi_fixture.h"

namespace {

struct FaceCase {
  const char* face;
  const char* family;
};
class Faces : public ::testing::TestWithParam<FaceCase> {};
TEST_P(Faces, MapToTheInstalledFamilies) {
  EXPECT_EQ(qv::gdi::FaceFamily(GetParam().face).toStdString(), GetParam().family);
}
INSTANTIATE_TEST_SUITE_P(Table, Faces,
                         ::testing::Values(FaceCase{"\xCB\xCE\xCC\xE5", "Noto Sans CJK SC"},
                                           FaceCase{"宋体", "Noto Sans CJK SC"},
                                           FaceCase{"Arial", "Liberation Sans"},
                                           FaceCase{"arial", "Liberation Sans"},
                                           FaceCase{"MS Sans Serif", "Liberation Sans"},
                                           FaceCase{"MS Shell Dlg", "Liberation Sans"},
                                           FaceCase{"ms shell DLG", "Liberation Sans"},
                                           FaceCase{"SIMSUN", "Noto Sans CJK SC"},
                                           FaceCase{"Unknown Face", "Unknown Face"}));

TEST(Fonts, FaceNamesAreCutTo31Bytes) {
  LOGFONTA lf{};
  std::memset(lf.lfFaceName, 'A', sizeof lf.lfFaceName);  // no terminator at all
  CFont f;
  ASSERT_TRUE(f.CreateFontIndirect(&lf));
  LOGFONTA back{};
  f.GetLogFont(&back);
  EXPECT_EQ(std::strlen(back.lfFaceName), 31u);
}

// The dialog manager's base units: the average of the 52 letters as Windows
// rounds it ((cx / 26 + 1) / 2) and the cell height.
SIZE DialogBaseUnits(CDC& dc) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  const CSize extent = dc.GetTextExtent(kLetters, 52);
  TEXTMETRIC tm{};
  dc.GetTextMetrics(&tm);
  return SIZE{(extent.cx / 26 + 1) / 2, tm.tmHeight};
}

// "MS Shell Dlg" 8 at 96 dpi, as a dialog template asks for it: 6 x 13 on
// Windows, so that templates land where they do there.
TEST(Fonts, TheDialogFontGivesTheWindowsBaseUnits) {
  for (const char* face : {"MS Shell Dlg", "ms shell dlg", "MS Sans Serif"}) {
    MemSurface s(4, 4);
    CFont f;
    f.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    CFont* old = s.dc.SelectObject(&f);
    const SIZE units = DialogBaseUnits(s.dc);
    EXPECT_EQ(units.cx, 6) << face;
    EXPECT_EQ(units.cy, 13) << face;
    TEXTMETRIC tm{};
    s.dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight, 13) << face;
    EXPECT_GE(tm.tmAveCharWidth, 5) << face;
    EXPECT_LE(tm.tmAveCharWidth, 6) << face;
    // A template's 50 x 14 dialog-unit button at (7, 7): 75 x 23 pixels at (11, 11) on Windows.
    auto scale = [](int v, int unit, int div) { return (v * unit + div / 2) / div; };  // as MulDiv rounds
    EXPECT_EQ(scale(50, units.cx, 4), 75);
    EXPECT_EQ(scale(14, units.cy, 8), 23);
    EXPECT_EQ(scale(7, units.cx, 4), 11);
    EXPECT_EQ(scale(7, units.cy, 8), 11);
    s.dc.SelectObject(old);
  }
}

// Bold must read as bold at the small sizes the tool uses: a real bold face
// with wider stems, in the dialog face and in the CJK face.
TEST(Fonts, SmallBoldTextHasVisiblyHeavierStrokes) {
  for (const char* face : {"MS Shell Dlg", "\xE5\xAE\x8B\xE4\xBD\x93"}) {
    int ink[2] = {0, 0};
    for (int bold = 0; bold < 2; ++bold) {
      MemSurface s(120, 20);
      CFont f;
      f.CreateFont(face[0] == 'M' ? -11 : 14, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
      CFont* old = s.dc.SelectObject(&f);
      s.dc.SetBkMode(TRANSPARENT);
      s.dc.TextOut(2, 2, "Select IC 66%");
      for (int y = 0; y < 20; ++y)  // darkness, so that antialiased edges count by their share
        for (int x = 0; x < 120; ++x) ink[bold] += 255 - GetGValue(s.dc.GetPixel(x, y));
      s.dc.SelectObject(old);
    }
    EXPECT_GT(ink[1] * 100, ink[0] * 125) << face << ": " << ink[0] << " regular, " << ink[1] << " bold";
  }
}

// The runs of columns with ink, left to right, in an image whose ink is dark.
int InkRuns(const QImage& image) {
  int runs = 0;
  bool inRun = false;
  for (int x = 0; x < image.width(); ++x) {
    bool ink = false;
    for (int y = 0; y < image.height() && !ink; ++y) ink = qGreen(image.pixel(x, y)) < 160;
    if (ink && !inRun) ++runs;
    inRun = ink;
  }
  return runs;
}

// Small text reads as on Windows: in the dialog font ("MS Shell Dlg" 8 on
// Liberation Sans) every glyph sits on a whole-pixel advance and a blank
// column lies between every two glyphs, so that "10000" shows five zeros and
// "Read" no gap of its own. Each of these glyphs is one run of columns.
TEST(Fonts, DialogFontGlyphsNeverTouch) {
  for (const char* text : {"10000", "Read", "Size:", "9600", "56000", "128000", "Byte", "65536"}) {
    MemSurface s(120, 20);
    CFont f;
    f.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg");
    CFont* old = s.dc.SelectObject(&f);
    s.dc.SetBkMode(TRANSPARENT);
    s.dc.SetTextColor(RGB(0, 0, 0));
    s.dc.TextOut(3, 3, text);
    const CSize extent = s.dc.GetTextExtent(text, static_cast<int>(std::strlen(text)));
    const QImage shown = qv::ToQImage(s.dc.m_hDC);
    EXPECT_EQ(InkRuns(shown), static_cast<int>(std::strlen(text))) << text;
    // The ink stays within the extent that the layout measures.
    const RECT ink = s.Ink();
    EXPECT_GE(ink.left, 3) << text;
    EXPECT_LE(ink.right, 3 + extent.cx + 1) << text;
    // DrawText places the same glyphs.
    s.dc.FillSolidRect(0, 0, 120, 20, RGB(255, 255, 255));
    CRect r(0, 0, 120, 20);
    s.dc.DrawText(text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(InkRuns(qv::ToQImage(s.dc.m_hDC)), static_cast<int>(std::strlen(text))) << text;
    s.dc.SelectObject(old);
  }
}

// The Qt-hosted edit, list and combo box draw with the font that ToQFont
// gives: its glyphs do not touch either.
TEST(Fonts, QtWidgetsDialogFontGlyphsNeverTouch) {
  CFont f;
  f.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Shell Dlg");
  const QFont font = qv::ToQFont(static_cast<HFONT>(f.GetSafeHandle()));
  for (const char* text : {"10000", "Read", "Size:", "9600", "56000", "128000"}) {
    QImage image(120, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter p(&image);
      p.setFont(font);
      p.setPen(Qt::black);
      p.drawText(3, 14, QString::fromLatin1(text));
    }
    EXPECT_EQ(InkRuns(image), static_cast<int>(std::strlen(text))) << text;
  }
}

struct HeightCase {
  int lfHeight;
};
class Heights : public ::testing::TestWithParam<HeightCase> {};
TEST_P(Heights, NegativeIsCharacterHeightPositiveIsCell) {
  const int h = GetParam().lfHeight;
  MemSurface s(4, 4);
  CFont f;
  f.CreateFont(h, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
               DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
  CFont* old = s.dc.SelectObject(&f);
  TEXTMETRIC tm{};
  ASSERT_TRUE(s.dc.GetTextMetrics(&tm));
  if (h > 0) {
    EXPECT_NEAR(tm.tmHeight, h, 1);
  } else {
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -h);
  }
  EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
  EXPECT_EQ(s.dc.GetTextExtent("", 0).cy, tm.tmHeight);
  s.dc.SelectObject(old);
}
INSTANTIATE_TEST_SUITE_P(Table, Heights,
                         ::testing::Values(HeightCase{14}, HeightCase{27}, HeightCase{-11},
                                           HeightCase{-20}));

class TextFixture : public ::testing::Test {
 protected:
  TextFixture() : s(120, 40) {
    font.CreateFont(-14, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
    old = s.dc.SelectObject(&font);
    s.dc.SetBkMode(TRANSPARENT);
  }
  ~TextFixture() override { s.dc.SelectObject(old); }
  MemSurface s;
  CFont font;
  CFont* old;
};

TEST_F(TextFixture, CalcRectMeasuresWithoutDrawing) {
  const CSize ext = s.dc.GetTextExtent("Verify", 6);
  EXPECT_GT(ext.cx, 20);
  CRect r(10, 5, 11, 6);
  const int h = s.dc.DrawText("Verify", 6, &r, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(h, ext.cy);
  EXPECT_EQ(r, CRect(10, 5, 10 + ext.cx, 5 + ext.cy));
  EXPECT_EQ(s.Count(RGB(255, 255, 255)), 120 * 40);
  // Word breaks: two words that do not fit beside each other give two lines.
  CRect w(0, 0, ext.cx + 2, 0);
  EXPECT_EQ(s.dc.DrawText("Verify Verify", -1, &w, DT_WORDBREAK | DT_CALCRECT), 2 * ext.cy);
  EXPECT_EQ(w.Width(), ext.cx);
}

struct AlignCase {
  const char* name;
  UINT format;
  int expectLeft;  // -1: centred
  bool bottom;
};
class Alignment : public TextFixture, public ::testing::WithParamInterface<AlignCase> {};
TEST_P(Alignment, PlacesTheTextInItsRectangle) {
  const AlignCase c = GetParam();
  const CSize ext = s.dc.GetTextExtent("PASS", 4);
  CRect r(0, 0, 120, 40);
  s.dc.SetTextColor(RGB(0, 0, 0));
  s.dc.DrawText("PASS", 4, &r, c.format);
  const RECT ink = s.Ink();
  ASSERT_FALSE(IsRectEmpty(&ink)) << c.name;
  const int wantLeft = c.expectLeft >= 0 ? c.expectLeft : (120 - ext.cx) / 2;
  const int wantRight = c.expectLeft == 120 ? 120 : wantLeft + ext.cx;
  if (c.expectLeft == 120) {
    EXPECT_NEAR(ink.right, wantRight, 3) << c.name;
  } else {
    EXPECT_NEAR(ink.left, wantLeft, 3) << c.name;
  }
  if (c.bottom) {
    EXPECT_GT(ink.top, 40 - ext.cy - 1) << c.name;
  } else if (c.format & DT_VCENTER) {
    EXPECT_NEAR((ink.top + ink.bottom) / 2, 20, 4) << c.name;
  } else {
    EXPECT_LT(ink.bottom, ext.cy + 1) << c.name;
  }
}
INSTANTIATE_TEST_SUITE_P(
    Table, Alignment,
    ::testing::Values(AlignCase{"left", DT_LEFT | DT_SINGLELINE, 0, false},
                      AlignCase{"centre", DT_CENTER | DT_VCENTER | DT_SINGLELINE, -1, false},
                      AlignCase{"right", DT_RIGHT | DT_SINGLELINE, 120, false},
                      AlignCase{"bottom", DT_LEFT | DT_BOTTOM | DT_SINGLELINE, 0, true}));

TEST_F(TextFixture, TextIsClippedToTheClipRegionAndTheRectangle) {
  s.dc.SetTextColor(RGB(255, 0, 0));
  CRgn left;
  left.CreateRectRgn(0, 0, 60, 40);
  s.dc.SelectClipRgn(&left);
  CRect r(0, 0, 120, 40);
  s.dc.DrawText("WWWWWWWWWWWWWW", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  s.dc.SelectClipRgn(nullptr);
  EXPECT_GT(s.Count(RGB(255, 0, 0), RECT{0, 0, 60, 40}), 20);
  EXPECT_EQ(s.Count(RGB(255, 0, 0), RECT{60, 0, 120, 40}), 0);
  // Without DT_NOCLIP the rectangle clips too; ellipsis keeps the text inside.
  s.dc.FillSolidRect(0, 0, 120, 40, RGB(255, 255, 255));
  CRect narrow(10, 0, 40, 40);
  s.dc.DrawText("WWWWWWWWWW", -1, &narrow, DT_SINGLELINE | DT_END_ELLIPSIS);
  const RECT ink = s.Ink();
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 40);
}

TEST_F(TextFixture, TextPixelsHaveExactlyTheTextColourAndOpaqueModeFillsTheCell) {
  s.dc.SetTextColor(RGB(0, 0, 255));
  s.dc.SetBkMode(OPAQUE);
  s.dc.SetBkColor(RGB(0, 255, 0));
  s.dc.TextOut(5, 5, "Hi", 2);
  const CSize ext = s.dc.GetTextExtent("Hi", 2);
  const int blue = s.Count(RGB(0, 0, 255)), green = s.Count(RGB(0, 255, 0));
  EXPECT_GT(blue, 10);
  EXPECT_EQ(blue + green, ext.cx * ext.cy) << "no blended pixels, the whole cell painted";
}

class TextAlign : public TextFixture, public ::testing::WithParamInterface<UINT> {};
TEST_P(TextAlign, ReferencePointFollowsTheAlignment) {
  const UINT align = GetParam();
  s.dc.SetBkMode(OPAQUE);
  s.dc.SetBkColor(RGB(0, 0, 0));
  s.dc.SetTextAlign(align);
  s.dc.TextOut(60, 20, "Ab", 2);
  const CSize ext = s.dc.GetTextExtent("Ab", 2);
  TEXTMETRIC tm{};
  s.dc.GetTextMetrics(&tm);
  const RECT ink = s.Ink();
  int left = 60, top = 20;
  if ((align & TA_CENTER) == TA_CENTER) left = 60 - ext.cx / 2;
  else if ((align & TA_CENTER) == TA_RIGHT) left = 60 - ext.cx;
  if ((align & TA_BASELINE) == TA_BASELINE) top = 20 - tm.tmAscent;
  else if ((align & TA_BASELINE) == TA_BOTTOM) top = 20 - tm.tmHeight;
  EXPECT_EQ(CRect(ink), CRect(left, top, left + ext.cx, top + ext.cy));
}
INSTANTIATE_TEST_SUITE_P(Table, TextAlign,
                         ::testing::Values(TA_LEFT | TA_TOP, TA_RIGHT | TA_TOP, TA_CENTER | TA_BOTTOM,
                                           TA_LEFT | TA_BASELINE));

}  // namespace
