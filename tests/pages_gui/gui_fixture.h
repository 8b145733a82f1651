#pragma once
// The peer of the main-window suites: the main window with its pages on the
// dialog manager, over a serial back end on a fake port with a simulated chip
// behind it, or over the simulated bridge board; and the operator's mouse and
// keys on its controls.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/dlg_online_update_and_read.h"
#include "platform/win32/application.h"
#include "sim/uart_chip.h"
#include "tests/support/pages_fixture.h"
#include "tests/support/fake_serial_port.h"

namespace pages_test {

std::string TextOf(HWND hwnd);
// The child's window rectangle in the parent's client coordinates.
CRect RectIn(HWND child, HWND parent);
// Pumps messages until done; the bound only keeps a broken build from
// hanging, it is no assertion.
bool PumpUntil(const std::function<bool()>& done);
// A left click in the middle of the control.
void ClickOn(HWND control);
// Replaces what an edit holds by typing, as the operator does: a click into
// it, select all, the new text.
void TypeInto(HWND edit, const std::string& text);

class MainWindowPeer : public PagesTest {
 protected:
  enum class Family { kGeneric, kK55 };

  MainWindowPeer();
  ~MainWindowPeer() override;

  // The serial back end of the family on a fake port with chip behind it, at
  // this port, baud rate and entry method; returns the port (the back end's).
  qv::FakeSerialPort* UseSerial(Family family, qv::sim::UartChip& chip, u32 port, u32 baud, u32 entryMethod);
  // USB mode: the I2C back end and the simulated board with a 128-byte-page chip.
  void UseUsb();
  // Back to no I2C back end and no board.
  void DropUsb();
  void OpenWindow();
  // The window gone and its serial back end with it.
  void CloseWindow();
  HWND WriteItem(int id) const { return ::GetDlgItem(main_->m_dlgWrite.m_hWnd, id); }
  HWND ReadItem(int id) const { return ::GetDlgItem(main_->m_dlgRead.m_hWnd, id); }

  std::unique_ptr<CDlgOnlineUpdateAndRead> main_;
  std::vector<std::string> boxes_;  // "text | caption" of each message box, answered OK
};

}  // namespace pages_test
