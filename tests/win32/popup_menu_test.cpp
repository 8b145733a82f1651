// TrackPopupMenu: a real popup window driven by keys and the mouse, with the
// owner's notifications.

#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <functional>
#include <thread>
#include <vector>

#include "platform/win32/application.h"
#include "platform/win32/cwnd.h"
#include "platform/win32/menu/menu.h"
#include "tests/support/snapshot_file.h"

namespace {

constexpr UINT kOpen = 101, kOne = 111, kTwo = 112, kExit = 103;

class Owner : public CWnd {
 public:
  std::vector<HMENU> initialised;
  std::vector<UINT> commands;
  std::vector<UINT> menuChars;
  LRESULT menuCharAnswer = 0;

 protected:
  LRESULT OnInitMenuPopup(WPARAM w, LPARAM) {
    initialised.push_back(reinterpret_cast<HMENU>(w));
    return 0;
  }
  // Every WM_COMMAND, whatever its id (map entries match one id range).
  LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
    if (msg == WM_COMMAND) commands.push_back(LOWORD(w));
    return CWnd::WindowProc(msg, w, l);
  }
  LRESULT OnMenuChar(WPARAM w, LPARAM) {
    menuChars.push_back(LOWORD(w));
    return menuCharAnswer;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Owner, CWnd)
  ON_MESSAGE(WM_INITMENUPOPUP, OnInitMenuPopup)
  ON_MESSAGE(WM_MENUCHAR, OnMenuChar)
END_MESSAGE_MAP()

class PopupMenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qv::Application();
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "owner", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100), nullptr, 0));
    ASSERT_TRUE(menu.CreatePopupMenu());
    recent = CreatePopupMenu();
    AppendMenuA(recent, MF_STRING, kOne, "&One");
    AppendMenuA(recent, MF_STRING, kTwo, "&Two");
    menu.AppendMenu(MF_STRING, kOpen, "&Open\tCtrl+O");
    menu.AppendMenu(MF_SEPARATOR);
    menu.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(recent), "&Recent");
    menu.AppendMenu(MF_STRING | MF_GRAYED, 104, "&Grayed");
    menu.AppendMenu(MF_STRING, kExit, "E&xit");
  }
  void TearDown() override { owner.DestroyWindow(); }

  // Runs the menu; `script` acts on it from inside its modal loop.
  BOOL Track(UINT flags, const std::function<void()>& script) {
    QTimer::singleShot(0, script);
    // Only keeps a broken build from hanging: closes whatever is still open.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
      while (QWidget* p = QApplication::activePopupWidget()) p->hide();
    });
    guard.start(5000);
    return menu.TrackPopupMenu(flags, 40, 30, &owner);
  }
  static void Keys(std::initializer_list<Qt::Key> keys) {
    for (Qt::Key k : keys) QTest::keyClick(QApplication::activePopupWidget(), k);
  }

  Owner owner;
  CMenu menu;
  HMENU recent = nullptr;
};

TEST_F(PopupMenuTest, KeysWalkIntoASubMenuAndChoose) {
  const BOOL chosen = Track(TPM_RETURNCMD, [] {
    QWidget* popup = QApplication::activePopupWidget();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->pos(), QPoint(40, 30)) << "a top-level window at its screen position";
    EXPECT_TRUE(popup->isWindow());
    // Open, then past the separator to Recent, into it, to Two.
    Keys({Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Down});
    QWidget* sub = QApplication::activePopupWidget();
    ASSERT_NE(sub, popup);
    EXPECT_EQ(sub->pos().x(), popup->pos().x() + popup->width() - 6) << "beside its entry";
    // Both levels as they stand on the screen.
    QImage screen(sub->geometry().united(popup->geometry()).adjusted(0, 0, 1, 1).size(), QImage::Format_RGB32);
    screen.fill(Qt::white);
    QPainter p(&screen);
    const QPoint origin = popup->pos();
    p.drawPixmap(popup->pos() - origin, popup->grab());
    p.drawPixmap(sub->pos() - origin, sub->grab());
    p.end();
    qv::testing::SavePicture(screen, "popup_menu_classic");
    Keys({Qt::Key_Return});
  });
  EXPECT_EQ(chosen, static_cast<BOOL>(kTwo));
  ASSERT_EQ(owner.initialised.size(), 2u);
  EXPECT_EQ(owner.initialised[0], menu.m_hMenu);
  EXPECT_EQ(owner.initialised[1], recent);
  qv::PumpMessages();
  EXPECT_TRUE(owner.commands.empty()) << "TPM_RETURNCMD sends no WM_COMMAND";
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "every level is closed";
}

TEST_F(PopupMenuTest, EscClosesOneLevelAtATimeAndGrayedEntriesStayShut) {
  const BOOL chosen = Track(TPM_RETURNCMD, [] {
    Keys({Qt::Key_Up, Qt::Key_Return});  // Up from no selection: the last entry
  });
  EXPECT_EQ(chosen, static_cast<BOOL>(kExit));
  const BOOL none = Track(TPM_RETURNCMD, [] {
    Keys({Qt::Key_Up, Qt::Key_Up, Qt::Key_Return});  // on Grayed Enter does nothing
    Keys({Qt::Key_Up, Qt::Key_Right});
    QWidget* sub = QApplication::activePopupWidget();
    Keys({Qt::Key_Escape});
    EXPECT_NE(QApplication::activePopupWidget(), sub) << "the sub-menu closed";
    EXPECT_NE(QApplication::activePopupWidget(), nullptr) << "its parent is still open";
    Keys({Qt::Key_Escape});
  });
  EXPECT_EQ(none, 0);
}

TEST_F(PopupMenuTest, MnemonicsChooseAndUnknownKeysAskTheOwner) {
  const BOOL chosen = Track(0, [] { QTest::keyClick(QApplication::activePopupWidget(), 'x'); });
  EXPECT_TRUE(chosen);
  qv::PumpMessages();
  EXPECT_EQ(owner.commands, std::vector<UINT>{kExit}) << "WM_COMMAND with the chosen id";

  owner.menuCharAnswer = MAKELONG(0, MNC_EXECUTE);
  const BOOL asked = Track(TPM_RETURNCMD, [] { QTest::keyClick(QApplication::activePopupWidget(), 'q'); });
  EXPECT_EQ(asked, static_cast<BOOL>(kOpen)) << "the owner's MNC_EXECUTE answer";
  EXPECT_EQ(owner.menuChars, std::vector<UINT>{'q'});
}

TEST_F(PopupMenuTest, TheMouseChoosesAndAClickOutsideEnds) {
  const BOOL clicked = Track(TPM_RETURNCMD, [] {
    QWidget* popup = QApplication::activePopupWidget();
    const QPoint first(30, 3 + 5);
    QTest::mouseMove(popup, first);
    QTest::mouseClick(popup, Qt::LeftButton, {}, first);
  });
  EXPECT_EQ(clicked, static_cast<BOOL>(kOpen));
  const BOOL outside = Track(TPM_RETURNCMD, [] {
    QWidget* popup = QApplication::activePopupWidget();
    QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(-20, -20));
  });
  EXPECT_EQ(outside, 0);
  EXPECT_TRUE(owner.commands.empty());
}

TEST_F(PopupMenuTest, HoveringAPopupEntryOpensItsLevelAndAClickThereChooses) {
  const BOOL chosen = Track(TPM_RETURNCMD, [] {
    QWidget* popup = QApplication::activePopupWidget();
    // Open (17 high in the 3-pixel frame), the separator (8), then Recent.
    const QPoint recent(30, 3 + 17 + 8 + 8);
    QTest::mouseMove(popup, recent);
    QWidget* sub = QApplication::activePopupWidget();
    ASSERT_NE(sub, popup) << "the level opened on hover";
    // Back over Open closes it again; over Recent it opens anew.
    QTest::mouseMove(popup, QPoint(30, 3 + 8));
    EXPECT_EQ(QApplication::activePopupWidget(), popup);
    QTest::mouseMove(popup, recent);
    sub = QApplication::activePopupWidget();
    ASSERT_NE(sub, popup);
    const QPoint two(20, 3 + 17 + 8);
    QTest::mouseMove(sub, two);
    QTest::mouseClick(sub, Qt::LeftButton, {}, two);
  });
  EXPECT_EQ(chosen, static_cast<BOOL>(kTwo));
}

TEST_F(PopupMenuTest, OnlyTheOwnersThreadMayShowTheMenu) {
  BOOL fromWorker = TRUE;
  std::thread worker([&] { fromWorker = menu.TrackPopupMenu(TPM_RETURNCMD, 0, 0, &owner); });
  worker.join();
  EXPECT_FALSE(fromWorker);
  EXPECT_FALSE(TrackPopupMenu(menu.m_hMenu, 0, 0, 0, 0, nullptr, nullptr)) << "no owner";
  EXPECT_FALSE(TrackPopupMenu(reinterpret_cast<HMENU>(1), 0, 0, 0, 0, owner.m_hWnd, nullptr)) << "no menu";
}

}  // namespace
