// The filtered edit: the character filter and its beep, the bold font that
// replaces the previous one, and the colours it answers its colour message with.

#include "controls/edit_ex.h"

#include <string>
#include <vector>

#include "platform/win32/system/system.h"
#include "tests/controls/controls_fixture.h"

namespace {

// What reached the window's own procedure (the edit's default processing).
std::vector<UINT> g_defaultChars;
LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CHAR) g_defaultChars.push_back(static_cast<UINT>(wParam));
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

class DigitsOnly : public CCharValidator {
 public:
  BOOL Accept(UINT ch) override { return ch >= '0' && ch <= '9'; }
};
class RejectAll : public CCharValidator {
 public:
  BOOL Accept(UINT) override { return FALSE; }
};

class EditExTest : public qv::testing::ControlFixture {
 protected:
  void SetUp() override {
    ControlFixture::SetUp();
    g_defaultChars.clear();
    HWND h = ::CreateWindowExA(0, nullptr, "", WS_CHILD | WS_VISIBLE, 10, 10, 120, 22, top.m_hWnd, 1002, nullptr);
    ASSERT_NE(h, nullptr);
    ::SetWindowProc(h, RecordingProc);
    ASSERT_TRUE(edit.SubclassWindow(h));
  }
  void Type(const std::string& keys) {
    for (char c : keys) edit.SendMessage(WM_CHAR, static_cast<WPARAM>(c), 1);
  }
  CEditEx edit;
};

TEST_F(EditExTest, WithoutAFilterEveryCharacterReachesTheEdit) {
  const unsigned beeps = qv::MessageBeepCount();
  Type("a1-");
  EXPECT_EQ(g_defaultChars, (std::vector<UINT>{'a', '1', '-'}));
  EXPECT_EQ(qv::MessageBeepCount(), beeps);
}

TEST_F(EditExTest, ARejectedCharacterBeepsOnceAndIsDropped) {
  DigitsOnly digits;
  edit.SetCharValidator(&digits);
  const unsigned beeps = qv::MessageBeepCount();
  Type("1x2y");
  EXPECT_EQ(g_defaultChars, (std::vector<UINT>{'1', '2'}));
  EXPECT_EQ(qv::MessageBeepCount(), beeps + 2);
}

TEST_F(EditExTest, AFilterThatRejectsEverythingKeepsTheEditEmpty) {
  RejectAll none;
  edit.SetCharValidator(&none);
  const unsigned beeps = qv::MessageBeepCount();
  Type("abc123");
  EXPECT_TRUE(g_defaultChars.empty());
  EXPECT_EQ(qv::MessageBeepCount(), beeps + 6);
}

TEST_F(EditExTest, SetBoldFontTwiceLeavesOneFont) {
  edit.SetBoldFont(15, 0, 0, 0);
  CFont* first = edit.GetBoldFont();
  ASSERT_NE(first, nullptr);
  const HGDIOBJ firstHandle = first->GetSafeHandle();
  LOGFONTA lf{};
  first->GetLogFont(&lf);
  EXPECT_EQ(lf.lfHeight, 15);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);
  edit.SetBoldFont(12, 1, 2, 3);
  ASSERT_NE(edit.GetBoldFont(), nullptr);
  EXPECT_EQ(::GetObjectType(firstHandle), 0u);  // the first is gone
  edit.GetBoldFont()->GetLogFont(&lf);
  EXPECT_EQ(lf.lfHeight, 12);
}

TEST_F(EditExTest, ItsColourMessageSetsTheColoursAndGivesItsBrush) {
  edit.SetTextColor(0xFFFFFF);
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  AFX_CTLCOLOR cc{edit.m_hWnd, dc.GetSafeHdc(), CTLCOLOR_EDIT};
  const LRESULT brush = edit.SendMessage(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&cc));
  ASSERT_NE(brush, 0);
  LOGBRUSH lb{};
  ::GetObject(reinterpret_cast<HBRUSH>(brush), sizeof(lb), &lb);
  EXPECT_EQ(lb.lbColor, ::GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(dc.GetTextColor(), 0xFFFFFFu);
  EXPECT_EQ(dc.GetBkColor(), ::GetSysColor(COLOR_WINDOW));
  edit.RecreateBkBrush();
  EXPECT_NE(edit.SendMessage(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&cc)), 0);
  EXPECT_EQ(std::string(edit.GetRuntimeClass()->m_lpszClassName), "CEditEx");
  CEditEx* made = CEditEx::CreateObject();
  ASSERT_NE(made, nullptr);
  delete made;
}

}  // namespace
