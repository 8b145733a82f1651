#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/dlg_select_ic_type.h"
#include "platform/serial/serial_port.h"
#include "platform/win32/gdi/gdi_api.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/input/keyboard.h"
#include "platform/win32/standard/combo_box.h"
#include "platform/win32/standard/list_box.h"
#include "platform/win32/window.h"
#include "platform/win32/window_object.h"
#include "res/app_ids.h"
#include "tests/app_dialogs/dialogs_fixture.h"

namespace {

using app_test::ItemText;
using app_test::MessageBoxes;
using app_test::Operator;

constexpr char kConfig[] =
    "[ICTYPELIST]\r\nLIST=SER1, USB5D, USB15D\r\n"
    "[SER1]\r\nRAM=4\r\nFLASH=64\r\nPARTNO=QV-1001\r\nCOM=TRUE\r\n"
    "[USB5D]\r\nRAM=8\r\nFLASH=128\r\nPARTNO=QV-7T0\r\nCOM=FALSE\r\nUSE_QV7T0_USBISP=TRUE\r\nSLAVE_ADDRESS=5d\r\n"
    "[USB15D]\r\nCOM=FALSE\r\nSLAVE_ADDRESS=15D\r\n";

std::vector<std::string> ListItems(HWND dialog, int id, bool combo) {
  std::vector<std::string> items;
  const HWND list = GetDlgItem(dialog, id);
  const int count = static_cast<int>(SendMessage(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[300] = {};
    SendMessage(list, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    items.emplace_back(text);
  }
  return items;
}

// The Qt widget of a dialog item, where the person's mouse and keys land.
template <typename W>
W* QtWidgetOf(HWND dialog, int id) {
  auto w = qv::win32::Lookup(GetDlgItem(dialog, id));
  if (!w || !w->host) return nullptr;
  if (auto* own = qobject_cast<W*>(w->host.data())) return own;
  return w->host->findChild<W*>();
}

// A left click in the middle of a shown control: a button, a radio.
void Click(HWND dialog, int id) { app_test::ClickWithMouse(dialog, id); }

// A click on the list's item.
void SelectType(HWND dialog, int index) {
  QListWidget* list = QtWidgetOf<QListWidget>(dialog, IDC_ICTYPE_LIST);
  ASSERT_NE(list, nullptr);
  ASSERT_LT(index, list->count());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(index)).center());
}

void SelectCombo(HWND dialog, int id, int index) { app_test::PickInCombo(dialog, id, index); }

// Esc, where the focus is.
void Cancel() { qv::PressKey(VK_ESCAPE); }

// "COM<n>" of each port the machine itself has, beside the folder's links.
std::vector<std::string> MachinePorts(const std::vector<u32>& linked) {
  u32 flags[128] = {};
  ProbeComPorts(flags, 0);
  std::vector<std::string> names;
  for (u32 i = 0; i < 128; ++i) {
    if (flags[i] != 0 || std::find(linked.begin(), linked.end(), i + 1) != linked.end()) {
      names.push_back("COM" + std::to_string(i + 1));
    }
  }
  return names;
}

// Types into a drop-down combo's field as the operator does, in place of
// what it shows.
void TypeInto(HWND dialog, int id, const char* text) {
  auto combo = qv::win32::Lookup(GetDlgItem(dialog, id));
  ASSERT_TRUE(combo && combo->host);
  QLineEdit* field = combo->host->findChild<QLineEdit*>();
  ASSERT_NE(field, nullptr);
  field->setFocus();
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(field, Qt::Key_Backspace);
  QTest::keyClicks(field, text);
}

bool Checked(HWND dialog, int id) { return SendMessage(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

class SelectIcType : public app_test::DialogTest {
 protected:
  // Runs the dialog with the operator's steps, one per tick, in order.
  INT_PTR Run(std::vector<std::function<void(HWND)>> steps) {
    size_t next = 0;
    Operator op([&](HWND) {
      const HWND d = dlg_.m_hWnd;
      if (d == nullptr || !IsWindowVisible(d)) return false;
      if (next < steps.size()) steps[next++](d);
      return next >= steps.size();
    });
    return dlg_.DoModal();
  }

  CDlgSelectICType dlg_;
  MessageBoxes boxes_;
};

TEST_F(SelectIcType, OpensWithUsbWhateverTheFirstTypeSaysAndShowsTheFirstType) {
  WriteConfig(kConfig);
  std::vector<std::string> items, bauds, ports;
  std::string name, ram, flash, part;
  bool usb = false, com = true, timeout = false;
  const INT_PTR result = Run({[&](HWND d) {
    items = ListItems(d, IDC_ICTYPE_LIST, false);
    bauds = ListItems(d, IDC_ICTYPE_BAUDRATE, true);
    ports = ListItems(d, IDC_ICTYPE_COM_NUM, true);
    name = ItemText(d, IDC_ICTYPE_NAME);
    ram = ItemText(d, IDC_ICTYPE_RAM);
    flash = ItemText(d, IDC_ICTYPE_FLASH);
    part = ItemText(d, IDC_ICTYPE_PARTNO);
    usb = Checked(d, IDC_ICTYPE_USB);
    com = Checked(d, IDC_ICTYPE_COM);
    timeout = Checked(d, IDC_ICTYPE_TIMEOUT_ENTRY);
    EXPECT_EQ(SendMessage(GetDlgItem(d, IDC_ICTYPE_COM_NUM), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessage(GetDlgItem(d, IDC_ICTYPE_BAUDRATE), CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(d, IDC_ICTYPE_TIMEOUT_ENTRY)));
    EXPECT_TRUE(app_test::SaveSnapshot(d, "ic_type_dialog_opened"));
    Cancel();
  }});
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(items, (std::vector<std::string>{"SER1", "USB5D", " USB15D"}));
  EXPECT_EQ(bauds, (std::vector<std::string>{"9600", "14400", "19200", "38400", "56000", "57600", "115200",
                                             "128000", "256000"}));
  EXPECT_EQ(ports, MachinePorts({}));  // the folder links no port
  EXPECT_EQ(name, "SER1>>");
  EXPECT_EQ(ram, "4K");
  EXPECT_EQ(flash, "64K");
  EXPECT_EQ(part, "QV-1001");
  EXPECT_TRUE(usb);
  EXPECT_FALSE(com);
  EXPECT_TRUE(timeout);
}

TEST_F(SelectIcType, SelectingPresetsTheInterfaceAndTheSlaveAddress) {
  WriteConfig(kConfig);
  bool comAfterFirstAgain = false, usbOnUsbType = false;
  std::string thirdName;
  const INT_PTR result = Run({
      [&](HWND d) {
        SelectType(d, 1);
        usbOnUsbType = Checked(d, IDC_ICTYPE_USB) && !Checked(d, IDC_ICTYPE_COM);
        EXPECT_EQ(dlg_.m_choice.slaveAddress, 0x5D);
        EXPECT_EQ(dlg_.m_choice.qv7t0, 1u);
        SelectType(d, 0);
        comAfterFirstAgain = Checked(d, IDC_ICTYPE_COM) && !Checked(d, IDC_ICTYPE_USB);
        EXPECT_EQ(dlg_.m_choice.slaveAddress, 0x5D);  // a serial type keeps it
        EXPECT_EQ(dlg_.m_choice.qv7t0, 0u);
        SelectType(d, 2);  // " USB15D", trimmed
        thirdName = ItemText(d, IDC_ICTYPE_NAME);
      },
      [&](HWND d) { Click(d, IDOK); },
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(usbOnUsbType);
  EXPECT_TRUE(comAfterFirstAgain);
  EXPECT_EQ(thirdName, "USB15D>>");
  EXPECT_EQ(dlg_.m_choice.icType.str(), "USB15D");
  EXPECT_EQ(dlg_.m_choice.slaveAddress, 0x5D);  // 15D: the low 8 bits
  EXPECT_EQ(dlg_.m_choice.interface, 1u);
  EXPECT_EQ(dlg_.m_choice.entryMethod, 1u);
  // USB asks for no port: port and baud rate stay as they were.
  EXPECT_EQ(dlg_.m_choice.port, 0u);
  EXPECT_EQ(dlg_.m_choice.baudRate, 0u);
  EXPECT_TRUE(boxes_.Calls().empty());
}

TEST_F(SelectIcType, ListSplitsAndAnEmptyList) {
  struct Case {
    const char* list;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"X,,Y", {"X", ",Y"}},
      {",X,Y", {",X,Y"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    WriteConfig(std::string("[ICTYPELIST]\r\nLIST=") + c.list + "\r\n");
    CDlgSelectICType dlg;
    std::vector<std::string> items;
    Operator op([&](HWND) {
      const HWND d = dlg.m_hWnd;
      if (d == nullptr || !IsWindowVisible(d)) return false;
      items = ListItems(d, IDC_ICTYPE_LIST, false);
      Click(d, IDOK);
      return true;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(items, c.items);
    if (c.items.empty()) {
      EXPECT_TRUE(dlg.m_choice.icType.IsEmpty());
      EXPECT_EQ(dlg.m_choice.ramSizeK + dlg.m_choice.flashSizeK, 0);
      EXPECT_EQ(dlg.m_choice.k55 + dlg.m_choice.w24a + dlg.m_choice.qv7t0, 0u);
      EXPECT_EQ(dlg.m_choice.interface, 1u);
    }
  }
}

TEST_F(SelectIcType, TheThreeMessageBoxesKeepTheDialogOpen) {
  WriteConfig(kConfig);
  qv::PtyPair present;
  ASSERT_TRUE(present.Ok());
  ASSERT_TRUE(present.LinkAsCom(folder_.Path(), 3));
  qv::PtyPair vanishing;
  ASSERT_TRUE(vanishing.Ok());
  ASSERT_TRUE(vanishing.LinkAsCom(folder_.Path(), 7));
  const std::vector<std::string> expected = MachinePorts({3, 7});
  const int com3 = static_cast<int>(std::find(expected.begin(), expected.end(), "COM3") - expected.begin());
  const int com7 = static_cast<int>(std::find(expected.begin(), expected.end(), "COM7") - expected.begin());
  std::vector<std::string> ports;
  std::vector<UINT_PTR> data;
  const INT_PTR result = Run({
      [&](HWND d) {
        ports = ListItems(d, IDC_ICTYPE_COM_NUM, true);
        for (int i = 0; i < static_cast<int>(ports.size()); ++i) {
          data.push_back(static_cast<UINT_PTR>(
              SendMessage(GetDlgItem(d, IDC_ICTYPE_COM_NUM), CB_GETITEMDATA, static_cast<WPARAM>(i), 0)));
        }
        Click(d, IDC_ICTYPE_COM);
        Click(d, IDOK);  // no port chosen
      },
      [&](HWND d) {
        SelectCombo(d, IDC_ICTYPE_COM_NUM, com7);
        Click(d, IDOK);  // no baud rate chosen
      },
      [&](HWND d) {
        SelectCombo(d, IDC_ICTYPE_BAUDRATE, 5);
        // COM7 goes away between the probe and OK.
        std::filesystem::remove(folder_.Path() + "/ports/COM7");
        Click(d, IDOK);
      },
      [&](HWND d) {
        SelectCombo(d, IDC_ICTYPE_COM_NUM, com3);
        EXPECT_TRUE(app_test::SaveSnapshot(d, "ic_type_dialog_com_chosen"));
        Click(d, IDOK);
      },
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(ports, expected);
  ASSERT_EQ(data.size(), expected.size());
  for (size_t i = 0; i < data.size(); ++i) EXPECT_EQ("COM" + std::to_string(data[i] + 1), expected[i]);
  ASSERT_EQ(boxes_.Texts(), (std::vector<std::string>{"Please select COM Number", "Please select Baudrate",
                                                      "Please select a valid COM Port!"}));
  for (const qv::MessageBoxCall& call : boxes_.Calls()) {
    EXPECT_EQ(call.caption, "Error");
    EXPECT_EQ(call.type & MB_ICONMASK, MB_ICONSTOP);
  }
  EXPECT_EQ(dlg_.m_choice.interface, 0u);
  EXPECT_EQ(dlg_.m_choice.port, 3u);
  EXPECT_EQ(dlg_.m_choice.baudRate, 57600u);
  EXPECT_EQ(dlg_.m_choice.entryMethod, 1u);
}

// The two combos are drop-downs with a field: OK goes by the item selected,
// so a typed text that names no item is no choice, also after an item had
// been picked, and one that names an item exactly picks that item.
TEST_F(SelectIcType, TypedComboTextsCountOnlyWhenTheyNameAnItem) {
  WriteConfig(kConfig);
  qv::PtyPair port;
  ASSERT_TRUE(port.Ok());
  ASSERT_TRUE(port.LinkAsCom(folder_.Path(), 5));
  const std::vector<std::string> ports = MachinePorts({5});
  const int com5 = static_cast<int>(std::find(ports.begin(), ports.end(), "COM5") - ports.begin());
  DWORD styles[2] = {};
  int selAfterTyping = 0;
  const INT_PTR result = Run({
      [&](HWND d) {
        styles[0] = GetWindowStyle(GetDlgItem(d, IDC_ICTYPE_COM_NUM));
        styles[1] = GetWindowStyle(GetDlgItem(d, IDC_ICTYPE_BAUDRATE));
        Click(d, IDC_ICTYPE_COM);
        SelectCombo(d, IDC_ICTYPE_COM_NUM, com5);
        SelectCombo(d, IDC_ICTYPE_BAUDRATE, 0);
        TypeInto(d, IDC_ICTYPE_COM_NUM, "COM77");  // names no listed port
        selAfterTyping = static_cast<int>(SendMessage(GetDlgItem(d, IDC_ICTYPE_COM_NUM), CB_GETCURSEL, 0, 0));
        Click(d, IDOK);
      },
      [&](HWND d) {
        TypeInto(d, IDC_ICTYPE_COM_NUM, "com5");
        TypeInto(d, IDC_ICTYPE_BAUDRATE, "12345");
        Click(d, IDOK);
      },
      [&](HWND d) {
        TypeInto(d, IDC_ICTYPE_BAUDRATE, "115200");
        Click(d, IDOK);
      },
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(styles[0] & 3, CBS_DROPDOWN);
  EXPECT_EQ(styles[1] & 3, CBS_DROPDOWN);
  EXPECT_EQ(selAfterTyping, CB_ERR);
  EXPECT_EQ(boxes_.Texts(), (std::vector<std::string>{"Please select COM Number", "Please select Baudrate"}));
  EXPECT_EQ(dlg_.m_choice.port, 5u);
  EXPECT_EQ(dlg_.m_choice.baudRate, 115200u);
}

TEST_F(SelectIcType, APortInUseByAnotherProgramIsNotListed) {
  WriteConfig(kConfig);
  qv::PtyPair free;
  qv::PtyPair held;
  ASSERT_TRUE(free.Ok() && held.Ok());
  ASSERT_TRUE(free.LinkAsCom(folder_.Path(), 4));
  ASSERT_TRUE(held.LinkAsCom(folder_.Path(), 8));
  // Another serial program holds COM8 as such programs do.
  const int other = ::open(held.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  std::vector<std::string> ports;
  Run({[&](HWND d) {
    ports = ListItems(d, IDC_ICTYPE_COM_NUM, true);
    Cancel();
  }});
  ::close(other);
  EXPECT_NE(std::find(ports.begin(), ports.end(), "COM4"), ports.end());
  EXPECT_EQ(std::find(ports.begin(), ports.end(), "COM8"), ports.end());
}

// The two entry radios are hidden in the template and nothing shows them;
// shown here only so that the mouse can reach them. Each click unchecks the
// other; OK (Enter) takes the checked one.
TEST_F(SelectIcType, EntryMethodRadiosExcludeEachOther) {
  WriteConfig(kConfig);
  struct Case {
    std::vector<int> clicks;
    bool timeout, checkPin;
    u32 method;
  };
  const Case cases[] = {
      {{IDC_ICTYPE_CHECKPIN_ENTRY}, false, true, 2},
      {{IDC_ICTYPE_CHECKPIN_ENTRY, IDC_ICTYPE_TIMEOUT_ENTRY}, true, false, 1},
      {{IDC_ICTYPE_TIMEOUT_ENTRY, IDC_ICTYPE_CHECKPIN_ENTRY}, false, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.clicks.size());
    CDlgSelectICType dlg;
    bool timeout = !c.timeout, checkPin = !c.checkPin;
    Operator op([&](HWND) {
      const HWND d = dlg.m_hWnd;
      if (d == nullptr || !IsWindowVisible(d)) return false;
      ShowWindow(GetDlgItem(d, IDC_ICTYPE_TIMEOUT_ENTRY), SW_SHOW);
      ShowWindow(GetDlgItem(d, IDC_ICTYPE_CHECKPIN_ENTRY), SW_SHOW);
      for (int id : c.clicks) Click(d, id);
      timeout = Checked(d, IDC_ICTYPE_TIMEOUT_ENTRY);
      checkPin = Checked(d, IDC_ICTYPE_CHECKPIN_ENTRY);
      qv::PressKey(VK_RETURN);
      return true;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(timeout, c.timeout);
    EXPECT_EQ(checkPin, c.checkPin);
    EXPECT_EQ(dlg.m_choice.entryMethod, c.method);
  }
}

TEST_F(SelectIcType, ColoursAndTheArialFont) {
  WriteConfig(kConfig);
  Run({[&](HWND d) {
    const HDC dc = GetDC(d);
    auto colour = [&](UINT msg, HWND control) {
      SetBkMode(dc, OPAQUE);
      SetTextColor(dc, RGB(1, 2, 3));
      return reinterpret_cast<HBRUSH>(SendMessage(d, msg, reinterpret_cast<WPARAM>(dc),
                                                   reinterpret_cast<LPARAM>(control)));
    };
    const HBRUSH dialog = colour(WM_CTLCOLORDLG, d);
    ASSERT_NE(dialog, nullptr);
    LOGBRUSH lb{};
    ASSERT_NE(GetObjectA(dialog, sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbColor, 0xA1A1A1u);

    // A label without an id: black on transparent, the dialog brush. The
    // first of them in the template is "RAM Size:".
    const HWND label = GetDlgItem(d, IDC_STATIC);
    ASSERT_EQ(ItemText(d, IDC_STATIC), "RAM Size:");
    EXPECT_EQ(colour(WM_CTLCOLORSTATIC, label), dialog);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));

    // Statics with ids, the read-only edits, radios and combos: transparent,
    // the dialog brush, and the framework's text colour.
    for (int id : {IDC_ICTYPE_NAME, IDC_ICTYPE_RAM, IDC_ICTYPE_USB, IDC_ICTYPE_COM_NUM}) {
      const UINT msg = id == IDC_ICTYPE_USB ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC;
      EXPECT_EQ(colour(msg, GetDlgItem(d, id)), dialog) << id;
      EXPECT_EQ(GetBkMode(dc), TRANSPARENT) << id;
    }
    // The list and the part number edit keep the framework's colours.
    EXPECT_NE(colour(WM_CTLCOLORLISTBOX, GetDlgItem(d, IDC_ICTYPE_LIST)), dialog);
    EXPECT_NE(colour(WM_CTLCOLOREDIT, GetDlgItem(d, IDC_ICTYPE_PARTNO)), dialog);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    ReleaseDC(d, dc);

    for (int id : {IDC_ICTYPE_LIST_TITLE, IDC_ICTYPE_NAME}) {
      const HFONT font = reinterpret_cast<HFONT>(SendMessage(GetDlgItem(d, id), WM_GETFONT, 0, 0));
      LOGFONTA lf{};
      ASSERT_NE(GetObjectA(font, sizeof lf, &lf), 0) << id;
      EXPECT_STREQ(lf.lfFaceName, "Arial");
      EXPECT_EQ(lf.lfHeight, 18);
      EXPECT_EQ(lf.lfWeight, 100);
    }
    Cancel();
  }});
}

// Each of the nine baud items, chosen by its index, gives its rate.
TEST_F(SelectIcType, EachBaudIndexGivesItsRate) {
  WriteConfig(kConfig);
  qv::PtyPair port;
  ASSERT_TRUE(port.Ok());
  ASSERT_TRUE(port.LinkAsCom(folder_.Path(), 3));
  const std::vector<std::string> ports = MachinePorts({3});
  const int com3 = static_cast<int>(std::find(ports.begin(), ports.end(), "COM3") - ports.begin());
  const u32 rates[] = {9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
  for (int index = 0; index < 9; ++index) {
    SCOPED_TRACE(index);
    CDlgSelectICType dlg;
    Operator op([&](HWND) {
      const HWND d = dlg.m_hWnd;
      if (d == nullptr || !IsWindowVisible(d)) return false;
      Click(d, IDC_ICTYPE_COM);
      SelectCombo(d, IDC_ICTYPE_COM_NUM, com3);
      SelectCombo(d, IDC_ICTYPE_BAUDRATE, index);
      Click(d, IDOK);
      return true;
    });
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_choice.port, 3u);
    EXPECT_EQ(dlg.m_choice.baudRate, rates[index]);
  }
  EXPECT_TRUE(boxes_.Calls().empty());
}

TEST_F(SelectIcType, AMouseClickOnATypeAppliesItAndOkReturnsIt) {
  WriteConfig(kConfig);
  std::string name, ram, flash, part;
  bool usb = false;
  const INT_PTR result = Run({
      [&](HWND d) {
        QListWidget* list = QtWidgetOf<QListWidget>(d, IDC_ICTYPE_LIST);
        ASSERT_NE(list, nullptr);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
        name = ItemText(d, IDC_ICTYPE_NAME);
        ram = ItemText(d, IDC_ICTYPE_RAM);
        flash = ItemText(d, IDC_ICTYPE_FLASH);
        part = ItemText(d, IDC_ICTYPE_PARTNO);
        usb = Checked(d, IDC_ICTYPE_USB) && !Checked(d, IDC_ICTYPE_COM);
      },
      [&](HWND d) { Click(d, IDOK); },
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(name, "USB5D>>");
  EXPECT_EQ(ram, "8K");
  EXPECT_EQ(flash, "128K");
  EXPECT_EQ(part, "QV-7T0");
  EXPECT_TRUE(usb);
  EXPECT_EQ(dlg_.m_choice.icType.str(), "USB5D");
  EXPECT_EQ(dlg_.m_choice.interface, 1u);
  EXPECT_EQ(dlg_.m_choice.qv7t0, 1u);
  EXPECT_EQ(dlg_.m_choice.slaveAddress, 0x5D);
}

// Alt+Down on Baudrate, arrows, Enter: the list closes with the item taken
// and the dialog runs on; Esc with the list open changes nothing.
TEST_F(SelectIcType, EnterAndEscInTheOpenBaudrateListLeaveTheDialogRunning) {
  WriteConfig(kConfig);
  // Alt+Down on the focused combo box; the other keys where Qt sends them
  // while the list is open: to the list.
  auto open = [] { qv::PressKey(VK_DOWN, Qt::AltModifier); };
  auto key = [](Qt::Key k) {
    if (QWidget* popup = QApplication::activePopupWidget()) QTest::keyClick(popup->focusWidget() ? popup->focusWidget() : popup, k);
  };
  int afterEnter = CB_ERR, afterEsc = CB_ERR;
  bool runningAfterEnter = false, runningAfterEsc = false;
  const INT_PTR result = Run({
      [&](HWND d) {
        QComboBox* baud = QtWidgetOf<QComboBox>(d, IDC_ICTYPE_BAUDRATE);
        ASSERT_NE(baud, nullptr);
        ::SetFocus(GetDlgItem(d, IDC_ICTYPE_BAUDRATE));
        open();
        ASSERT_TRUE(baud->view()->isVisible());
        key(Qt::Key_Down);
        key(Qt::Key_Down);
        key(Qt::Key_Return);
      },
      [&](HWND d) {
        runningAfterEnter = IsWindowVisible(d) != FALSE;
        afterEnter = static_cast<int>(SendMessage(GetDlgItem(d, IDC_ICTYPE_BAUDRATE), CB_GETCURSEL, 0, 0));
        open();
        key(Qt::Key_Down);
        key(Qt::Key_Escape);
      },
      [&](HWND d) {
        runningAfterEsc = IsWindowVisible(d) != FALSE;
        afterEsc = static_cast<int>(SendMessage(GetDlgItem(d, IDC_ICTYPE_BAUDRATE), CB_GETCURSEL, 0, 0));
        Cancel();
      },
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_TRUE(runningAfterEnter);
  EXPECT_EQ(afterEnter, 1);  // "14400": the first Down marks "9600", the second the next
  EXPECT_TRUE(runningAfterEsc);
  EXPECT_EQ(afterEsc, 1);
}

}  // namespace
