#pragma once
// The peers of the UART suites: a recording run log, a port that refuses the
// writes a test names, and a rig that puts a back end on a fake port with
// either scripted replies or a simulated chip at the other end.

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "isp/com_base.h"
#include "isp/engine.h"
#include "sim/uart_chip.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/recording_engine.h"

namespace uart_test {

using Bytes = std::vector<BYTE>;

enum class Family { Generic, W24A, K55 };

using RecordingLog = qv::RecordingEngine;

// Forwards to a FakeSerialPort; the writes whose 0-based attempt index is in
// the failing set are refused without reaching it. When dribbling, the port
// shows at most one queued byte at a time, as a line that keeps delivering.
class FlakyPort : public qv::ISerialPort {
 public:
  FlakyPort(qv::FakeSerialPort* inner, std::set<int>* failing, const bool* dribble)
      : inner_(inner), failing_(failing), dribble_(dribble) {}
  bool Open(u32 n) override { return inner_->Open(n); }
  void Close() override { inner_->Close(); }
  bool IsOpen() const override { return inner_->IsOpen(); }
  bool Configure(u32 baud, bool rts) override { return inner_->Configure(baud, rts); }
  void Purge() override { inner_->Purge(); }
  int QueuedInput() override;
  int ReadQueued(BYTE* data, u32 max) override { return inner_->ReadQueued(data, max); }
  bool Write(const BYTE* data, u32 length, u32 timeoutMs) override;
  bool WaitForInput(u32 count, u32 timeoutMs) override { return inner_->WaitForInput(count, timeoutMs); }
  void SetRts(bool high) override { inner_->SetRts(high); }

 private:
  qv::FakeSerialPort* inner_;
  std::set<int>* failing_;
  const bool* dribble_;
  int attempts_ = 0;
};

std::unique_ptr<CCOMBase> MakeBackend(Family family, std::unique_ptr<qv::ISerialPort> port);
// The family's simulated chip with its default settings.
std::unique_ptr<qv::sim::UartChip> MakeChip(Family family);

class Rig {
 public:
  explicit Rig(Family family);
  CCOMBase& Backend() { return *backend_; }
  qv::FakeSerialPort& Port() { return fake_; }
  // Write attempts (0-based, failed ones included) that the port refuses.
  std::set<int>& FailingWrites() { return failing_; }
  void Dribble(bool on) { dribble_ = on; }
  // Each write is answered by the next reply of the script; an empty reply,
  // or the end of the script, is silence.
  void Script(std::vector<Bytes> replies);
  // A simulated chip answers every write; the line goes quiet after each.
  void Attach(qv::sim::UartChip& chip);
  std::vector<Bytes> Frames() const { return fake_.Frames(); }

 private:
  qv::FakeSerialPort fake_;
  std::set<int> failing_;
  bool dribble_ = false;
  std::vector<Bytes> script_;
  std::size_t next_ = 0;
  std::unique_ptr<CCOMBase> backend_;
};

// 55 AA command 01 status 00: a reply of the generic and W24A chips.
Bytes Reply6(BYTE command, BYTE status);

}  // namespace uart_test
