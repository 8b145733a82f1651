// The hex dump as it appears, pixel for pixel: each row's offset and bytes as
// text at their places, offsets in red 0xCE, bytes in upper-case hex in the
// DC's default font and colour, compared with the same texts drawn by the GDI
// itself; scrolled by real clicks on the view's scroll bar.

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <string>
#include <vector>

#include "controls/hex_file_view.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/window_object.h"
#include "tests/controls/controls_fixture.h"
#include "tests/support/reference_picture.h"

namespace {

using qv::testing::PixelsDiffering;
using qv::testing::ReferencePicture;

constexpr COLORREF kRed = 0x0000CE;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;

// One row as it should read: its offset, then its bytes "XY " each.
struct Row {
  const char* offset;
  const char* bytes;  // the row's byte texts run together, three characters a byte
};

// The reference: the rows drawn from `firstRow`, scrolled up by `scrolled` pixels.
QImage Expected(QSize client, const std::vector<Row>& rows, int firstRow = 0, int scrolled = 0) {
  ReferencePicture ref(client.width(), client.height(), kWhite);
  for (size_t r = 0; r < rows.size(); ++r) {
    const int y = 5 + 20 * (firstRow + static_cast<int>(r)) - scrolled;
    ref.TextAt(5, y, rows[r].offset, kRed);
    const std::string bytes = rows[r].bytes;
    for (size_t b = 0; b * 3 < bytes.size(); ++b) ref.TextAt(55 + 25 * static_cast<int>(b), y, bytes.substr(b * 3, 3), kBlack);
  }
  return ref.image();
}

class HexDumpPictureTest : public qv::testing::ControlFixture {
 protected:
  void Make(int width, int height) {
    ASSERT_TRUE(view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, width, height), &top, 2001));
  }
  QImage Shown(const char* name) {
    view.UpdateWindow();
    return Snapshot(view.m_hWnd, name);
  }
  QSize Client() {
    CRect r;
    view.GetClientRect(&r);
    return QSize(r.Width(), r.Height());
  }
  CHexFileView view;
};

TEST_F(HexDumpPictureTest, EachRowShowsItsOwnOffsetAndBytes) {
  Make(480, 100);
  const BYTE data[] = {0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x45, 0x67, 0x89, 0xFA, 0xCE, 0xB0, 0x0C, 0xDE, 0xAD, 0xBE, 0xEF,
                       0x5A, 0x3C, 0xF0, 0x0D, 0x9E, 0xA7, 0x10, 0x42, 0x00, 0xFF, 0xC3, 0x81, 0x6B, 0xD4, 0x2F, 0x7E,
                       0xE5, 0x3A, 0xB9};
  struct Case {
    int length;
    std::vector<Row> rows;
  } cases[] = {
      {16, {{"00000", "AB CD EF 01 23 45 67 89 FA CE B0 0C DE AD BE EF "}}},
      {21, {{"00000", "AB CD EF 01 23 45 67 89 FA CE B0 0C DE AD BE EF "}, {"00010", "5A 3C F0 0D 9E "}}},
      {35,
       {{"00000", "AB CD EF 01 23 45 67 89 FA CE B0 0C DE AD BE EF "},
        {"00010", "5A 3C F0 0D 9E A7 10 42 00 FF C3 81 6B D4 2F 7E "},
        {"00020", "E5 3A B9 "}}},
  };
  for (const Case& c : cases) {
    view.SetData(data, c.length);
    const QImage shown = Shown(std::to_string(c.length).c_str());
    EXPECT_EQ(PixelsDiffering(shown, Expected(Client(), c.rows)), 0) << c.length;
  }
}

TEST_F(HexDumpPictureTest, AnEmptyViewShowsOffsetsDownToOneRowAboveItsBottom) {
  struct Case {
    int height;
    std::vector<Row> rows;
  } cases[] = {
      {100, {{"00000", ""}, {"00010", ""}, {"00020", ""}, {"00030", ""}}},
      {59, {{"00000", ""}}},
      {60, {{"00000", ""}, {"00010", ""}}},
      {39, {}},
  };
  for (const Case& c : cases) {
    Make(200, c.height);
    const QImage shown = Shown(std::to_string(c.height).c_str());
    EXPECT_EQ(PixelsDiffering(shown, Expected(Client(), c.rows)), 0) << c.height;
    view.DestroyWindow();
  }
}

TEST_F(HexDumpPictureTest, TheFrameLiesUnderTheText) {
  Make(300, 100);
  view.m_bDrawFrame = TRUE;
  const BYTE data[] = {0x12, 0x34};
  view.SetData(data, 2);
  const QImage shown = Shown("frame");
  ReferencePicture ref(300, 100, kWhite);
  constexpr COLORREF kFrame = 0xE6AE93;  // R 147, G 174, B 230
  for (const RECT r : {RECT{0, 0, 300, 4}, RECT{0, 4, 4, 100}, RECT{296, 4, 300, 100}, RECT{4, 96, 296, 100}})
    ref.Fill(r, kFrame);
  ref.TextAt(5, 5, "00000", kRed);
  ref.TextAt(55, 5, "12 ", kBlack);
  ref.TextAt(80, 5, "34 ", kBlack);
  EXPECT_EQ(PixelsDiffering(shown, ref.image()), 0);
}

// Real clicks on the view's scroll bar: its arrows and its trough.
class HexDumpScrollBarTest : public HexDumpPictureTest {
 protected:
  void SetUp() override {
    HexDumpPictureTest::SetUp();
    Make(480, 100);
    // 10 rows, each byte its own index: content height 205, range 0..10.
    for (int i = 0; i < 160; ++i) data.push_back(static_cast<BYTE>(i));
    view.SetData(data.data(), static_cast<int>(data.size()));
    qv::PumpMessages();
    for (QScrollBar* b : qv::win32::Lookup(view.m_hWnd)->host->findChildren<QScrollBar*>())
      if (b->orientation() == Qt::Vertical) bar = b;
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->isVisible());
  }
  QPoint At(QStyle::SubControl part) {
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.orientation = Qt::Vertical;
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar).center();
  }
  void ClickOn(QStyle::SubControl part) {
    QTest::mouseClick(bar, Qt::LeftButton, {}, At(part));
    qv::PumpMessages();
  }
  // Rows `first` .. `last` as they should read: offsets and bytes 16 r .. 16 r + 15.
  static std::vector<Row> RowsOf(int first, int last, std::vector<std::string>& keep) {
    static const char digits[] = "0123456789ABCDEF";
    std::vector<Row> rows;
    keep.clear();
    keep.reserve(2 * static_cast<size_t>(last - first + 1));
    for (int r = first; r <= last; ++r) {
      keep.push_back(std::string("000") + digits[r] + "0");
      std::string bytes;
      for (int b = 0; b < 16; ++b) bytes += std::string{digits[r], digits[b], ' '};
      keep.push_back(bytes);
    }
    for (size_t i = 0; i < keep.size(); i += 2) rows.push_back({keep[i].c_str(), keep[i + 1].c_str()});
    return rows;
  }
  std::vector<BYTE> data;
  QScrollBar* bar = nullptr;
};

TEST_F(HexDumpScrollBarTest, ClicksMoveTheDumpTenPixelsALineAndOneUnitAPage) {
  struct Step {
    const char* name;
    QStyle::SubControl part;
    int pos;
    int firstRow, lastRow;  // the rows drawn: from the first whose top is not above the offset
  } steps[] = {
      {"line_down", QStyle::SC_ScrollBarAddLine, 1, 1, 5},
      {"line_down_again", QStyle::SC_ScrollBarAddLine, 2, 1, 5},
      {"page_down", QStyle::SC_ScrollBarAddPage, 3, 2, 6},
      {"line_up", QStyle::SC_ScrollBarSubLine, 2, 1, 5},
      {"page_up", QStyle::SC_ScrollBarSubPage, 1, 1, 5},
      {"line_up_to_top", QStyle::SC_ScrollBarSubLine, 0, 0, 4},
      {"line_up_at_top", QStyle::SC_ScrollBarSubLine, 0, 0, 4},
  };
  std::vector<std::string> keep;
  for (const Step& s : steps) {
    ClickOn(s.part);
    EXPECT_EQ(view.GetScrollPos(SB_VERT), s.pos) << s.name;
    const QImage shown = Shown(s.name);
    EXPECT_EQ(PixelsDiffering(shown, Expected(Client(), RowsOf(s.firstRow, s.lastRow, keep), s.firstRow, 10 * s.pos)),
              0)
        << s.name;
  }
}

TEST_F(HexDumpScrollBarTest, AtTheBottomTheLastRowsShow) {
  for (int i = 0; i < 12; ++i) ClickOn(QStyle::SC_ScrollBarAddLine);
  EXPECT_EQ(view.GetScrollPos(SB_VERT), 10);
  std::vector<std::string> keep;
  // Offset 100: row 5 (y 105) is the first not above it, row 9 (y 185) drawn at 85.
  EXPECT_EQ(PixelsDiffering(Shown("bottom"), Expected(Client(), RowsOf(5, 9, keep), 5, 100)), 0);
}

}  // namespace
