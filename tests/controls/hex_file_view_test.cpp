// The hex dump view: layout of rows and offsets, scrolling, the frame, and
// saving through a temporary file.

#include "controls/hex_file_view.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/controls/controls_fixture.h"

namespace {

namespace fs = std::filesystem;
using qv::testing::CountPixels;

constexpr COLORREF kOffset = 0x0000CE;  // red 0xCE
constexpr COLORREF kFrame = 0xE6AE93;   // R 147, G 174, B 230

// Whether the text band of row i (drawn at y = 5 + 20 i) has pixels of the colour
// within columns [x0, x1).
bool BandHas(const QImage& img, int row, int x0, int x1, const std::function<bool(COLORREF)>& pick) {
  const int y = 5 + 20 * row;
  if (y >= img.height()) return false;
  const QRect band(x0, y, x1 - x0, std::min(16, img.height() - y));
  return CountPixels(img, band, pick) > 0;
}
bool IsOffset(COLORREF c) { return c == kOffset; }
bool IsByteText(COLORREF c) { return c != kOffset && c != 0xFFFFFF && c != kFrame; }

class HexFileViewTest : public qv::testing::ControlFixture {
 protected:
  void Make(int width, int height) {
    ASSERT_TRUE(view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, width, height), &top, 2001));
  }
  void Scroll(UINT code, UINT thumb = 0) { view.SendMessage(WM_VSCROLL, MAKEWPARAM(static_cast<int>(code), static_cast<int>(thumb)), 0); }
  QImage Paint(const char* name) {
    view.UpdateWindow();
    return Snapshot(view.m_hWnd, name);
  }
  CHexFileView view;
};

TEST_F(HexFileViewTest, EmptyViewShowsOnlyTheOffsetColumn) {
  Make(480, 100);
  const QImage img = Paint("empty");
  for (int row = 0; row < 4; ++row) EXPECT_TRUE(BandHas(img, row, 0, 50, IsOffset)) << row;
  EXPECT_FALSE(BandHas(img, 4, 0, 480, IsOffset));
  EXPECT_EQ(CountPixels(img, QRect(50, 0, 430, 100), IsByteText), 0);
  // The first offset starts at x 5, y 5.
  EXPECT_EQ(CountPixels(img, QRect(0, 0, 5, 100), IsOffset), 0);
  EXPECT_EQ(CountPixels(img, QRect(0, 0, 480, 5), IsOffset), 0);
  EXPECT_EQ(std::string(view.GetRuntimeClass()->m_lpszClassName), "CHexFileView");
}

TEST_F(HexFileViewTest, RowsHoldSixteenBytesAndTheLastTheRest) {
  Make(480, 200);
  struct Case {
    int length;
    int rows;
    int lastRowBytes;
  } cases[] = {{16, 1, 16}, {17, 2, 1}, {40, 3, 8}};
  std::vector<BYTE> data(64, 0xAB);
  for (const Case& c : cases) {
    view.SetData(data.data(), c.length);
    const QImage img = Paint(std::to_string(c.length).c_str());
    for (int row = 0; row < c.rows; ++row) EXPECT_TRUE(BandHas(img, row, 0, 50, IsOffset)) << c.length;
    EXPECT_FALSE(BandHas(img, c.rows, 0, 480, [](COLORREF x) { return x != 0xFFFFFF; })) << c.length;
    const int last = c.rows - 1;
    const int endX = 55 + 25 * c.lastRowBytes;
    EXPECT_TRUE(BandHas(img, last, endX - 25, endX, IsByteText)) << c.length;
    EXPECT_FALSE(BandHas(img, last, endX, 480, IsByteText)) << c.length;
  }
  view.ClearData();
  const QImage cleared = Paint("cleared");
  EXPECT_FALSE(BandHas(cleared, 0, 50, 480, IsByteText));
  EXPECT_TRUE(BandHas(cleared, 0, 0, 50, IsOffset));
}

TEST_F(HexFileViewTest, ScrollsInTenPixelStepsOverItsRange) {
  Make(480, 400);
  std::vector<BYTE> data(1600);  // 100 rows: content height 2005
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<BYTE>(i);
  view.SetData(data.data(), static_cast<int>(data.size()));
  int min = -1, max = -1;
  view.GetScrollRange(SB_VERT, &min, &max);
  EXPECT_EQ(min, 0);
  EXPECT_EQ(max, 160);
  EXPECT_NE(view.GetStyle() & WS_VSCROLL, 0u);
  CRect client;
  view.GetClientRect(&client);
  EXPECT_EQ(client.Height(), 400);

  struct Step {
    UINT code;
    UINT thumb;
    int pos;
    bool repaints;
  } steps[] = {
      {SB_LINEUP, 0, 0, true},  // at the top: the same position, painted again
      {SB_LINEDOWN, 0, 1, true},
      {SB_PAGEDOWN, 0, 2, true},
      {SB_PAGEUP, 0, 1, true},
      {SB_TOP, 0, 0, true},
      {SB_BOTTOM, 0, 160, true},
      {SB_LINEDOWN, 0, 160, true},
      {SB_ENDSCROLL, 0, 160, false},
      {SB_THUMBTRACK, 40, 40, true},
      {SB_THUMBPOSITION, 70, 70, true},
      {SB_BOTTOM, 0, 160, true},
  };
  for (const Step& s : steps) {
    view.ValidateRect(nullptr);
    Scroll(s.code, s.thumb);
    EXPECT_EQ(view.GetScrollPos(SB_VERT), s.pos) << s.code;
    EXPECT_EQ(::GetUpdateRect(view.m_hWnd, nullptr, FALSE) != FALSE, s.repaints) << s.code;
  }
  // At the bottom the last row (y 1985) is drawn at 385.
  const QImage bottom = Paint("bottom");
  EXPECT_TRUE(BandHas(bottom, 19, 0, 50, IsOffset));  // 5 + 20 * 19 = 385
  EXPECT_FALSE(BandHas(bottom, 20, 0, 480, IsOffset));

  // New data and a new size both go back to the top.
  view.SetData(data.data(), static_cast<int>(data.size()));
  EXPECT_EQ(view.GetScrollPos(SB_VERT), 0);
  Scroll(SB_BOTTOM);
  view.MoveWindow(0, 0, 480, 300);
  EXPECT_EQ(view.GetScrollPos(SB_VERT), 0);
  view.GetScrollRange(SB_VERT, &min, &max);
  EXPECT_EQ(max, 170);

  // When everything fits the bar goes away.
  view.SetData(data.data(), 32);
  EXPECT_EQ(view.GetStyle() & WS_VSCROLL, 0u);
}

TEST_F(HexFileViewTest, ScrollRangeFollowsTheContentHeight) {
  struct Case {
    int height;
    int length;  // content height: rows x 20 + 5
    bool bar;
    int max;
  } cases[] = {
      {100, 64, false, 0},   // 85 fits
      {100, 76, false, 0},   // 5 rows, 105: less than one unit over, and the range 0..0 hides the bar
      {100, 96, true, 2},    // 125
      {95, 80, true, 1},     // 105
      {400, 1600, true, 160},
  };
  std::vector<BYTE> data(1600, 0x5A);
  for (const Case& c : cases) {
    Make(300, c.height);
    view.SetData(data.data(), c.length);
    int min = -1, max = -1;
    view.GetScrollRange(SB_VERT, &min, &max);
    EXPECT_EQ(view.GetStyle() & WS_VSCROLL ? true : false, c.bar) << c.height << " " << c.length;
    EXPECT_EQ(max, c.max) << c.height << " " << c.length;
    // A resize brings the same answer.
    view.MoveWindow(0, 0, 320, c.height);
    view.GetScrollRange(SB_VERT, &min, &max);
    EXPECT_EQ(view.GetStyle() & WS_VSCROLL ? true : false, c.bar) << c.height << " " << c.length;
    EXPECT_EQ(view.GetScrollPos(SB_VERT), 0);
    view.DestroyWindow();
  }
}

TEST_F(HexFileViewTest, OffsetsFromOneMegabyteOnHaveSixDigits) {
  Make(480, 100);
  std::vector<BYTE> data(0x100000 + 16, 0x00);
  view.SetData(data.data(), static_cast<int>(data.size()));
  Scroll(SB_BOTTOM);
  // The last row, offset 100000, sits at 5 + 20 x 65536 - 10 x limit.
  int min = 0, max = 0;
  view.GetScrollRange(SB_VERT, &min, &max);
  const int y = 5 + 20 * 65536 - 10 * max;
  const QImage img = Paint("six_digits");
  ASSERT_LT(y + 10, img.height());
  // The glyphs of an offset, counted as runs of columns that hold its colour.
  const auto glyphs = [&](int top) {
    int runs = 0;
    bool inRun = false;
    for (int x = 0; x < 55; ++x) {
      bool ink = false;
      for (int yy = top; yy < std::min(top + 16, img.height()); ++yy)
        ink = ink || qv::testing::ToColorRef(img.pixel(x, yy)) == kOffset;
      if (ink && !inRun) ++runs;
      inRun = ink;
    }
    return runs;
  };
  EXPECT_EQ(glyphs(y - 20), 5);  // FFFF0
  EXPECT_EQ(glyphs(y), 6);       // 100000
}

TEST_F(HexFileViewTest, FrameIsDrawnOnlyWhenAsked) {
  Make(200, 100);
  const QImage plain = Paint("no_frame");
  EXPECT_EQ(CountPixels(plain, QRect(0, 0, 200, 100), [](COLORREF c) { return c == kFrame; }), 0);
  view.m_bDrawFrame = TRUE;
  view.Invalidate();
  const QImage framed = Paint("frame");
  for (const QPoint p : {QPoint(0, 0), QPoint(3, 50), QPoint(196, 50), QPoint(100, 99), QPoint(199, 99)})
    EXPECT_EQ(qv::testing::ToColorRef(framed.pixel(p)), kFrame) << p.x() << "," << p.y();
  EXPECT_NE(qv::testing::ToColorRef(framed.pixel(100, 50)), kFrame);
}

class HexFileViewSaveTest : public HexFileViewTest {
 protected:
  void SetUp() override {
    HexFileViewTest::SetUp();
    dir = fs::temp_directory_path() / ("hexview_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    Make(100, 100);
  }
  void TearDown() override { fs::remove_all(dir); }
  static std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir;
};

TEST_F(HexFileViewSaveTest, SavesWholeOrLeavesTheOldFile) {
  const fs::path file = dir / "image.bin";
  // An empty view writes an empty file, but SaveIfData refuses and creates nothing.
  EXPECT_TRUE(view.SaveToFile(file.c_str()));
  EXPECT_TRUE(fs::exists(file));
  EXPECT_EQ(fs::file_size(file), 0u);
  EXPECT_FALSE(view.SaveIfData((dir / "none.bin").c_str()));
  EXPECT_FALSE(fs::exists(dir / "none.bin"));

  const BYTE bytes[] = {0x00, 0x11, 0xFF, 0x7E, 0x00};
  view.SetData(bytes, 5);
  EXPECT_TRUE(view.SaveIfData(file.c_str()));
  EXPECT_EQ(Read(file), std::string(reinterpret_cast<const char*>(bytes), 5));

  struct Bad {
    fs::path path;
  } bad[] = {{dir / "missing" / "x.bin"}, {dir}};
  for (const Bad& b : bad) EXPECT_FALSE(view.SaveToFile(b.path.c_str())) << b.path;
  EXPECT_TRUE(fs::is_directory(dir));
  // The failures left the earlier file as it was.
  EXPECT_EQ(Read(file), std::string(reinterpret_cast<const char*>(bytes), 5));
  std::vector<fs::path> left(fs::directory_iterator(dir), {});
  EXPECT_EQ(left.size(), 1u) << "no temporary file stays behind";
}

}  // namespace
