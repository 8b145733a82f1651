#pragma once
// A simulated UART chip at the other end of a fake port: each written frame
// reaches the chip, and the line goes quiet after it. Suites that use it link sim.

#include "sim/uart_chip.h"
#include "tests/support/fake_serial_port.h"

namespace qv {

inline void Attach(FakeSerialPort& port, sim::UartChip& chip) {
  chip.SetSink([&port](const BYTE* data, std::size_t size) { port.Feed(std::vector<BYTE>(data, data + size)); });
  port.OnWrite([&chip](const std::vector<BYTE>& frame) {
    chip.Receive(frame);
    chip.LineIdle();
  });
}

}  // namespace qv
