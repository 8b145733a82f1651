// The Read page's reader keeps its pace on the virtual clock: 15 ms after
// every read step, 10 ms before a page's second try (after the 2000 ms in
// which its first reply did not come), 100 ms after an accepted password,
// and over the bridge
// the target's reset (500 ms low, 70 ms after) before the first step. The
// moments are those at which the page hears of each step.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "isp/bridge_device.h"
#include "isp/com_base_k55.h"
#include "isp/online_read_thread.h"
#include "isp/progress.h"
#include "isp/qv_ic_base.h"
#include "platform/core/clock.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "sim/uart_k55_chip.h"
#include "tests/support/pages_fixture.h"
#include "tests/support/chip_on_fake_port.h"

namespace pages_test {
namespace {

struct Heard {
  WPARAM stage;
  LPARAM value;
  std::uint64_t at;  // virtual milliseconds
};

// Plays the page: notes each message with the moment it came.
class TimingPage : public CReadOwner {
 public:
  void SendProgress(WPARAM stage, LPARAM value) override {
    std::lock_guard<std::mutex> lock(m_);
    heard_.push_back({stage, value, qv::CurrentClock().NowMs()});
  }
  std::vector<Heard> Heards() const {
    std::lock_guard<std::mutex> lock(m_);
    return heard_;
  }

 private:
  mutable std::mutex m_;
  std::vector<Heard> heard_;
};

// The gaps between the step messages (code 22 after the one before the first
// step), the last to the closing 100, in ms.
std::vector<std::uint64_t> StepGaps(const std::vector<Heard>& heard, LPARAM firstValue) {
  std::vector<Heard> steps;
  for (const Heard& h : heard) {
    if (h.stage == kProgressReading) steps.push_back(h);
  }
  std::vector<std::uint64_t> gaps;
  if (steps.size() < 2) return gaps;
  EXPECT_EQ(steps.front().value, firstValue);
  EXPECT_EQ(steps.back().value, 100);
  for (std::size_t i = 2; i < steps.size(); ++i) gaps.push_back(steps[i].at - steps[i - 1].at);
  return gaps;
}

class ReadPacing : public PagesTest {
 protected:
  ~ReadPacing() override {
    delete engine_.m_pCOMBase;
    engine_.m_pCOMBase = nullptr;
    delete g_pIcBase;
    g_pIcBase = nullptr;
    engine_.m_pInterface = nullptr;
    engine_.m_nInterface = 0;
    g_BridgeDevice.SetHandle(nullptr);
    ostrelusb::Configure({});
  }
  void UseUart() {
    auto port = std::make_unique<qv::FakeSerialPort>();
    qv::Attach(*port, chip_);
    engine_.m_pCOMBase = new CCOMBaseK55(std::move(port));
    engine_.m_pInterface = engine_.m_pCOMBase;
    engine_.m_nComPort = 8;
    engine_.m_nBaudRate = 38400;
    engine_.m_nEntryMethod = 2;
  }

  qv::ScopedVirtualClock clock_;
  qv::sim::UartK55Chip chip_{qv::sim::UartK55Chip::kDefaultPassword, 0x2000};
  TimingPage page_;
  COnlineReadThread reader_{&page_};
};

TEST_F(ReadPacing, SerialStepsAre15MsApartAndAnAcceptedPasswordWaits100Ms) {
  UseUart();
  // Without a password: from the start message to the first step message
  // only the handshake passes.
  ASSERT_TRUE(reader_.SetRequest(CReadRequest{0, 32, 1, ""}));
  reader_.ReadChipOverUart();
  std::vector<Heard> heard = page_.Heards();
  ASSERT_GE(heard.size(), 2u);
  ASSERT_EQ(heard[0].stage, kProgressStart);
  const std::uint64_t bare = heard[1].at - heard[0].at;

  TimingPage timed;
  COnlineReadThread reader(&timed);
  ASSERT_TRUE(reader.SetRequest(CReadRequest{0x40, 32 * 5, 5, "3B8E61C4"}));
  ASSERT_TRUE(reader.ReadChipOverUart());
  heard = timed.Heards();
  ASSERT_GE(heard.size(), 2u);
  ASSERT_EQ(heard[0].stage, kProgressStart);
  ASSERT_EQ(heard[1].stage, kProgressReading);
  EXPECT_EQ(heard[1].at - heard[0].at, bare + 100);
  EXPECT_EQ(StepGaps(heard, 10), (std::vector<std::uint64_t>{15, 15, 15, 15, 15}));
}

TEST_F(ReadPacing, APageWhoseReplyDidNotComeIsAskedAgain10MsAfterItsTimeOut) {
  auto port = std::make_unique<qv::FakeSerialPort>();
  // The chip never hears the second read-page frame (command 0x83).
  int reads = 0;
  chip_.SetSink([p = port.get()](const BYTE* data, std::size_t size) { p->Feed(std::vector<BYTE>(data, data + size)); });
  port->OnWrite([this, &reads](const std::vector<BYTE>& frame) {
    if (frame.size() > 2 && frame[2] == 0x83 && ++reads == 2) return;
    chip_.Receive(frame);
    chip_.LineIdle();
  });
  engine_.m_pCOMBase = new CCOMBaseK55(std::move(port));
  engine_.m_pInterface = engine_.m_pCOMBase;
  engine_.m_nComPort = 8;
  engine_.m_nBaudRate = 38400;
  engine_.m_nEntryMethod = 2;
  ASSERT_TRUE(reader_.SetRequest(CReadRequest{0, 32 * 4, 4, "3B8E61C4"}));
  ASSERT_TRUE(reader_.ReadChipOverUart());
  EXPECT_EQ(StepGaps(page_.Heards(), 10), (std::vector<std::uint64_t>{2025, 15, 15, 15}));
}

TEST_F(ReadPacing, OverTheBridgeTheResetTakes570MsAndStepsAre15MsApart) {
  ostrelusb::Configure({true, {qv::sim::ChipFamily::kPage128, 64, 0x70}});
  g_BridgeDevice.SetHandle(nullptr);
  ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
  engine_.m_nInterface = 1;
  g_pIcBase = new CQvIcBase(0x70);
  engine_.m_pInterface = g_pIcBase;
  ASSERT_TRUE(reader_.SetRequest(CReadRequest{0, 128 * 4, 16, ""}));
  const std::uint64_t begun = qv::CurrentClock().NowMs();
  ASSERT_TRUE(reader_.ReadChipOverBridge());
  const std::vector<Heard> heard = page_.Heards();
  ASSERT_FALSE(heard.empty());
  EXPECT_EQ(heard[0].stage, kProgressReading);
  EXPECT_EQ(heard[0].at - begun, 570u);
  EXPECT_EQ(StepGaps(heard, 0), (std::vector<std::uint64_t>{15, 15, 15, 15}));
}

}  // namespace
}  // namespace pages_test
