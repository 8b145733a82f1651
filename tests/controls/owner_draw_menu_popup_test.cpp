// A COwnerDrawMenu shown by TrackPopupMenu: the owner's framework hands the
// entries to the menu, which measures and paints them and answers mnemonics.
// Snapshots of the open menu in both looks go to the suite's snapshot folder.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "controls/owner_draw_menu.h"
#include "platform/win32/application.h"
#include "tests/support/menu_template_builder.h"
#include "tests/support/snapshot_file.h"

namespace {

using qv::testing::MenuTemplateBuilder;
constexpr WORD kEnd = MenuTemplateBuilder::kEnd;

class MenuOwner : public CWnd {
 protected:
  LRESULT OnMenuChar(UINT ch, UINT flags, CMenu* menu) {
    if (menu && COwnerDrawMenu::IsKnownSubMenu(menu->m_hMenu)) return COwnerDrawMenu::MatchMenuChar(ch, flags, menu);
    return Default();
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(MenuOwner, CWnd)
  ON_WM_MENUCHAR()
END_MESSAGE_MAP()

class OwnerDrawPopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::Application();
    savedShell_ = COwnerDrawMenu::s_shellType;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0));
    MenuTemplateBuilder t;
    t.Popup(kEnd, u"&Device")
        .Item(0, 101, u"&Open image...\tCtrl+O")
        .Item(MF_CHECKED, 102, u"&Verify after write")
        .Item(MF_CHECKED, 105, u"Fast &baud rate")
        .Item(0, 0, u"")
        .Item(MF_GRAYED, 103, u"&Read back\tF5")
        .Item(kEnd, 104, u"E&xit\tAlt+F4");
    qv::RegisterResource(RT_MENU, "DeviceMenu", t.Bytes().data(), t.Size());
    ASSERT_TRUE(bar.LoadMenuFromResource("DeviceMenu"));
    device = static_cast<COwnerDrawMenu*>(CMenu::FromHandlePermanent(::GetSubMenu(bar, 0)));
    ASSERT_TRUE(device);
    // A radio-style check, given by its checked bitmap.
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_CHECKMARKS;
    radioMark.CreateBitmap(8, 8, 1, 1, nullptr);
    info.hbmpChecked = static_cast<HBITMAP>(radioMark.m_hObject);
    device->SetMenuItemInfo(105, &info);
  }
  void TearDown() override {
    COwnerDrawMenu::s_shellType = savedShell_;
    owner.DestroyWindow();
  }
  UINT Track(const std::function<void(QWidget*)>& script) {
    QTimer::singleShot(0, [script] { script(QApplication::activePopupWidget()); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
      while (QWidget* p = QApplication::activePopupWidget()) p->hide();
    });
    guard.start(5000);
    return static_cast<UINT>(device->TrackPopupMenu(TPM_RETURNCMD, 20, 20, &owner));
  }
  static void Save(QWidget* popup, const char* name) {
    qv::testing::SavePicture(popup->grab().toImage(), QString("owner_draw_menu_%1").arg(name));
  }

  MenuOwner owner;
  COwnerDrawMenu bar;
  COwnerDrawMenu* device = nullptr;
  CBitmap radioMark;

 private:
  int savedShell_ = 0;
};

TEST_F(OwnerDrawPopupTest, MeasuredEntriesFillThePopupAndAMnemonicChooses) {
  const UINT chosen = Track([](QWidget* popup) {
    ASSERT_TRUE(popup);
    // Six measured entries: five of max(SM_CYMENU, 19) and a separator of 9, in a 3-pixel frame.
    EXPECT_EQ(popup->height(), 5 * 19 + 9 + 6);
    QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Down);
    Save(popup, "classic");
    QTest::keyClick(popup, 'x');
  });
  EXPECT_EQ(chosen, 104u) << "the owner's WM_MENUCHAR answer from MatchMenuChar";
}

TEST_F(OwnerDrawPopupTest, TheXpLookPaintsTheImageBarAndTheSelectionBox) {
  COwnerDrawMenu::s_shellType = 7;
  const UINT chosen = Track([](QWidget* popup) {
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->height(), 5 * 22 + 11 + 6);
    QTest::keyClick(popup, Qt::Key_Down);
    Save(popup, "xp");
    const QImage shown = popup->grab().toImage();
    const COLORREF selection = COwnerDrawMenu::BlendTowardWhite(GetSysColor(COLOR_HIGHLIGHT), 0.7);
    EXPECT_EQ(shown.pixel(3 + 28, 3 + 2), qRgb(GetRValue(selection), GetGValue(selection), GetBValue(selection)));
    const COLORREF bar = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(shown.pixel(3 + 1, 3 + 22 + 2), qRgb(GetRValue(bar), GetGValue(bar), GetBValue(bar)))
        << "the image bar of the next entry";
    QTest::keyClick(popup, Qt::Key_Escape);
  });
  EXPECT_EQ(chosen, 0u);
}

}  // namespace
