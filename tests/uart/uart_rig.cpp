#include "tests/uart/uart_rig.h"

#include "isp/com_base_k55.h"
#include "isp/com_base_w24a.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "sim/uart_w24a_chip.h"

namespace uart_test {

int FlakyPort::QueuedInput() {
  const int queued = inner_->QueuedInput();
  return *dribble_ && queued > 1 ? 1 : queued;
}

bool FlakyPort::Write(const BYTE* data, u32 length, u32 timeoutMs) {
  if (failing_->count(attempts_++) != 0) {
    return false;
  }
  return inner_->Write(data, length, timeoutMs);
}

std::unique_ptr<CCOMBase> MakeBackend(Family family, std::unique_ptr<qv::ISerialPort> port) {
  switch (family) {
    case Family::W24A:
      return std::make_unique<CCOMBaseW24A>(std::move(port));
    case Family::K55:
      return std::make_unique<CCOMBaseK55>(std::move(port));
    default:
      return std::make_unique<CCOMBase>(std::move(port));
  }
}

std::unique_ptr<qv::sim::UartChip> MakeChip(Family family) {
  switch (family) {
    case Family::W24A:
      return std::make_unique<qv::sim::UartW24aChip>();
    case Family::K55:
      return std::make_unique<qv::sim::UartK55Chip>();
    default:
      return std::make_unique<qv::sim::UartGenericChip>();
  }
}

Rig::Rig(Family family)
    : backend_(MakeBackend(family, std::make_unique<FlakyPort>(&fake_, &failing_, &dribble_))) {
  backend_->Init(1, 115200, 1, TRUE);
  fake_.ClearRecord();
}

void Rig::Script(std::vector<Bytes> replies) {
  script_ = std::move(replies);
  next_ = 0;
  fake_.OnWrite([this](const Bytes&) {
    if (next_ < script_.size()) {
      const Bytes& reply = script_[next_++];
      if (!reply.empty()) {
        fake_.Feed(reply);
      }
    }
  });
}

void Rig::Attach(qv::sim::UartChip& chip) {
  chip.SetSink([this](const BYTE* data, std::size_t size) { fake_.Feed(Bytes(data, data + size)); });
  fake_.OnWrite([&chip](const Bytes& frame) {
    chip.Receive(frame);
    chip.LineIdle();
  });
}

Bytes Reply6(BYTE command, BYTE status) { return {0x55, 0xAA, command, 0x01, status, 0x00}; }

}  // namespace uart_test
