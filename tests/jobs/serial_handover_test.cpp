// What the serial jobs are handed reaches the port, and when: the port and
// baud rate, the entry method (the RTS pulse and line setting), the start
// address and size of the erase, the password, the stage codes with their
// values and moments, the run log's texts and the moment each failure is
// logged, all on a virtual clock over a fake port with a simulated chip.

#include <gtest/gtest.h>

#include <functional>

#include "isp/com_base.h"
#include "isp/online_com_update_thread.h"
#include "isp/online_update_thread.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "tests/jobs/timeline_fixture.h"

namespace jobs_test {
namespace {

using Frames = std::vector<Bytes>;

BYTE XorCheck(const Bytes& frameWithoutCheck) {
  BYTE x = 0;
  for (BYTE b : frameWithoutCheck) x ^= b;
  return x;
}

Bytes Framed(Bytes f) {
  f.push_back(XorCheck(f));
  return f;
}

// The frames of one command byte (byte 2), in order.
Frames FramesOf(const qv::FakeSerialPort& port, BYTE command) {
  Frames out;
  for (const Bytes& f : port.Frames()) {
    if (f.size() > 4 && f[2] == command) out.push_back(f);
  }
  return out;
}

struct HandOver {
  const char* name;
  Serial family;
  u32 port;
  u32 baud;
  u32 entryMethod;
  u32 start;
  std::size_t imageBytes;
  u32 password;
  BYTE eraseCommand;
  Frames erase;  // the erase frames, as the chip must see them
  std::vector<TimedPost> posts;
};

class WritePageHandOver : public ::testing::TestWithParam<HandOver>, protected TimedJobPeers {};

std::unique_ptr<qv::sim::UartChip> ChipFor(const HandOver& c) {
  if (c.family == Serial::kK55) return std::make_unique<qv::sim::UartK55Chip>(c.password);
  return MakeChip(c.family);
}

TEST_P(WritePageHandOver, ReachesThePortAsTheOperatorChose) {
  const HandOver& c = GetParam();
  engine_.m_nComPort = c.port;
  engine_.m_nBaudRate = c.baud;
  engine_.m_nEntryMethod = c.entryMethod;
  auto chip = ChipFor(c);
  auto owned = std::make_unique<qv::FakeSerialPort>();
  qv::FakeSerialPort& port = *owned;
  Attach(port, *chip);
  engine_.m_pCOMBase = MakeBackEnd(c.family, std::move(owned));
  engine_.m_pInterface = engine_.m_pCOMBase;
  const Bytes image = Pattern(c.imageBytes, 21);
  COnlineUpdateThread worker(&owner_);
  ASSERT_TRUE(worker.SetJob(folder_.WriteFile("fw.bin", ImageFile(c.family, image)).c_str(), c.start, FALSE,
                            c.password));
  const std::uint64_t start = clock_.clock().NowMs();
  owner_.SetOrigin(start);
  EXPECT_TRUE(worker.UpdateOverCom());

  EXPECT_EQ(port.OpenCalls(), std::vector<u32>{c.port});
  ASSERT_EQ(port.ConfigureCalls().size(), 1u);
  EXPECT_EQ(port.ConfigureCalls()[0].baud, c.baud);
  EXPECT_EQ(port.ConfigureCalls()[0].rtsEnable, c.entryMethod == 1);
  // "Timeout Entry" resets the target with RTS low for 70 ms and starts the
  // handshake 100 ms after; "CheckPin Entry" leaves RTS alone.
  const auto rts = port.RtsTimes();
  const auto writes = port.Writes();
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(writes[0].frame, Bytes{0x55});
  if (c.entryMethod == 1) {
    ASSERT_EQ(rts.size(), 2u);
    EXPECT_FALSE(rts[0].high);
    EXPECT_EQ(rts[0].atMs - start, 0u);
    EXPECT_TRUE(rts[1].high);
    EXPECT_EQ(rts[1].atMs - start, 70u);
    EXPECT_EQ(writes[0].atMs - start, 170u);
  } else {
    EXPECT_TRUE(rts.empty());
    EXPECT_EQ(writes[0].atMs - start, 0u);
  }
  EXPECT_EQ(FramesOf(port, c.eraseCommand), c.erase);
  if (c.family == Serial::kK55) {
    const Bytes password = {0x55, 0xAA, 0x9A, 0x04, BYTE(c.password >> 24), BYTE(c.password >> 16),
                            BYTE(c.password >> 8), BYTE(c.password), 0xB5};
    EXPECT_EQ(FramesOf(port, 0x9A), Frames{password});
  }
  EXPECT_EQ(owner_.TimedPosts(), c.posts);
  const Bytes& flash = chip->Flash();
  EXPECT_EQ(Bytes(flash.begin() + c.start, flash.begin() + c.start + static_cast<long>(image.size())), image);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WritePageHandOver,
    ::testing::Values(
        // 300 bytes from 0x200: erased as 0x200 and 0x012C; pages at 36 and 63 percent.
        HandOver{"GenericCom7At57600TimeoutEntry", Serial::kGeneric, 7, 57600, 1, 0x200, 300, 0, 0x98,
                 {Framed({0x55, 0xAA, 0x98, 0x04, 0x02, 0x00, 0x01, 0x2C})},
                 {{0, 0, 0}, {30, 10, 240}, {31, 100, 240}, {2, 10, 240}, {2, 36, 240}, {2, 63, 240}, {2, 100, 240}}},
        HandOver{"GenericCom12At14400CheckPinEntry", Serial::kGeneric, 12, 14400, 2, 0, 256, 0, 0x98,
                 {Framed({0x55, 0xAA, 0x98, 0x04, 0x00, 0x00, 0x01, 0x00})},
                 {{0, 0, 0}, {30, 10, 70}, {31, 100, 70}, {2, 10, 70}, {2, 50, 70}, {2, 100, 70}}},
        // 1500 bytes from 0x400: two 1 KB pages erased at 0x90400 and 0x90800.
        HandOver{"W24aCom3At38400CheckPinEntry", Serial::kW24A, 3, 38400, 2, 0x400, 1500, 0, 0x12,
                 {Framed({0x55, 0xAA, 0x12, 0x04, 0x00, 0x04, 0x09, 0x00}),
                  Framed({0x55, 0xAA, 0x12, 0x04, 0x00, 0x08, 0x09, 0x00})},
                 {{0, 0, 0}, {30, 10, 20}, {31, 100, 20}, {2, 10, 20}, {2, 50, 20}, {2, 100, 20}}},
        // The chip's own password, 100 ms after it is accepted the pages.
        HandOver{"K55Com200At256000TimeoutEntry", Serial::kK55, 200, 256000, 1, 0, 100, 0x01020304, 0x98,
                 {{0x55, 0xAA, 0x98, 0x00, 0xB5}},
                 {{0, 0, 0}, {30, 10, 220}, {31, 100, 220}, {2, 10, 320}, {2, 30, 320}, {2, 50, 320}, {2, 70, 320},
                  {2, 100, 320}}}),
    [](const auto& info) { return std::string(info.param.name); });

// Each page is checked with count 1 at its address, first in the XOR form;
// a chip that wants the byte-sum form is asked again with it.
TEST(PageChecks, AskTheXorFormFirstAndTheByteSumSecond) {
  for (u32 chipMode : {0u, 1u}) {
    qv::ScopedVirtualClock clock;
    ProgramFolder folder;
    RecordingEngine engine(folder.Path());
    RecordingOwner owner;
    qv::sim::UartGenericChip chip(chipMode);
    auto owned = std::make_unique<qv::FakeSerialPort>();
    qv::FakeSerialPort& port = *owned;
    Attach(port, chip);
    engine.m_pCOMBase = MakeBackEnd(Serial::kGeneric, std::move(owned));
    engine.m_pInterface = engine.m_pCOMBase;
    const Bytes image = Pattern(128 + 40, 22);
    COnlineUpdateThread worker(&owner);
    ASSERT_TRUE(worker.SetJob(folder.WriteFile("fw.bin", image).c_str(), 0x180, FALSE, 0));
    EXPECT_TRUE(worker.UpdateOverCom());

    Frames expected;
    for (std::size_t page = 0; page < 2; ++page) {
      // The page as sent: the last one filled up with 0xFF. The forms do not
      // depend on the order of the bytes, so the byte-order turn is left out.
      Bytes bytes(128, 0xFF);
      const std::size_t end = std::min<std::size_t>(image.size(), page * 128 + 128);
      std::copy(image.begin() + static_cast<long>(page * 128), image.begin() + static_cast<long>(end), bytes.begin());
      BYTE x = 0xFF;
      BYTE sum = 0;
      for (BYTE b : bytes) {
        x ^= b;
        sum = static_cast<BYTE>(sum + b);
      }
      expected.push_back({0x01, x});
      if (chipMode == 1) expected.push_back({0x01, sum});
    }
    const Frames checks = FramesOf(port, 0x81);
    Frames payloads;
    std::vector<u32> addresses;
    for (const Bytes& f : checks) {
      ASSERT_EQ(f.size(), 9u);
      addresses.push_back((u32{f[4]} << 8) | f[5]);
      payloads.push_back({f[6], f[7]});
    }
    EXPECT_EQ(payloads, expected) << "chip mode " << chipMode;
    const std::vector<u32> once = {0x180, 0x200};
    const std::vector<u32> twice = {0x180, 0x180, 0x200, 0x200};
    EXPECT_EQ(addresses, chipMode == 0 ? once : twice);
    EXPECT_EQ(owner.Posts().back(), Stage(2, 100));
  }
}

struct Failure {
  const char* name;
  Serial family;
  u32 entryMethod;
  std::function<void(qv::sim::UartChip&, qv::FakeSerialPort&)> fault;
  std::vector<TimedEntry> log;
  std::vector<TimedPost> posts;
  u32 password = kDefaultPassword;
};

class FailureMoments : public ::testing::TestWithParam<Failure>, protected TimedJobPeers {};

// Where a job gives up, on the clock: every time-out, try and pause before it
// adds up to the moment of its log entry and its last stage code.
TEST_P(FailureMoments, TheJobGivesUpWhenItsTimeOutsSay) {
  const Failure& c = GetParam();
  engine_.m_nEntryMethod = c.entryMethod;
  auto chip = MakeChip(c.family);
  auto owned = std::make_unique<qv::FakeSerialPort>();
  Attach(*owned, *chip);
  c.fault(*chip, *owned);
  engine_.m_pCOMBase = MakeBackEnd(c.family, std::move(owned));
  engine_.m_pInterface = engine_.m_pCOMBase;
  COnlineUpdateThread worker(&owner_);
  ASSERT_TRUE(worker.SetJob(folder_.WriteFile("fw.bin", ImageFile(c.family, Pattern(2 * chip->PageSize()))).c_str(),
                            0, FALSE, c.password));
  const std::uint64_t start = clock_.clock().NowMs();
  owner_.SetOrigin(start);
  engine_.SetOrigin(start);
  EXPECT_FALSE(worker.UpdateOverCom());
  EXPECT_EQ(engine_.TimedEntries(), c.log);
  EXPECT_EQ(owner_.TimedPosts(), c.posts);
  EXPECT_EQ(owner_.Enabled(), 1);
}

using Fault = std::function<void(qv::sim::UartChip&, qv::FakeSerialPort&)>;

void Silent(qv::sim::UartChip& chip, qv::FakeSerialPort&) { chip.SetSilent(true); }
Fault Status(BYTE command, int status) {
  return [=](qv::sim::UartChip& chip, qv::FakeSerialPort&) { chip.SetStatusFor(command, status); };
}
Fault Corrupt(u32 address) {
  return [=](qv::sim::UartChip& chip, qv::FakeSerialPort&) { chip.CorruptPage(address); };
}
// The chip never hears the frames of one command.
Fault Unheard(BYTE command) {
  return [=](qv::sim::UartChip& chip, qv::FakeSerialPort& port) {
    port.OnWrite([&chip, command](const Bytes& frame) {
      if (frame.size() > 4 && frame[2] == command) return;
      chip.Receive(frame);
      chip.LineIdle();
    });
  };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailureMoments,
    ::testing::Values(
        // RTS pulse 170, 0x55, 50, no byte within 2000; the erase twice 2500.
        Failure{"SilentGenericTimeoutEntry", Serial::kGeneric, 1, Silent,
                {{"TIMEOUT_ENTRY_METHOD AutoBautRateDetect Fail!", 2220}, {"SendEraseCmd Fail!", 7220}},
                {{0, 0, 0}, {30, 10, 2220}}},
        Failure{"SilentGenericCheckPinEntry", Serial::kGeneric, 2, Silent,
                {{"AutoBautRateDetect Fail!", 2050}, {"SendEraseCmd Fail!", 7050}}, {{0, 0, 0}, {30, 10, 2050}}},
        // 0x55 and at once no byte within 2000; 0x19 twice 2500 with 100 between.
        Failure{"SilentW24aCheckPinEntry", Serial::kW24A, 2, Silent,
                {{"AutoBautRateDetect Fail!", 2000}, {"ProceseBeforeEraseAndWrite Fail", 7100}},
                {{0, 0, 0}, {30, 10, 2000}}},
        Failure{"SilentK55TimeoutEntry", Serial::kK55, 1, Silent,
                {{"Loop 1: Wait for 0xAA Fail, no data received", 2220},
                 {"TIMEOUT_ENTRY_METHOD AutoBautRateDetect Fail!", 2220},
                 {"SendEraseCmd Fail!", 7220}},
                {{0, 0, 0}, {30, 10, 2220}}},
        // The handshake takes 70 after the pulse; a full page is retried 20 later.
        Failure{"PageWriteRefusedTwice", Serial::kGeneric, 1, Status(0x97, 0x00),
                {{"Index: 1 Recevied: 163", 240}, {"Page Index 1 Write Fail", 260}},
                {{0, 0, 0}, {30, 10, 240}, {31, 100, 240}, {2, 10, 240}, {1, 0, 260}}},
        Failure{"PageCheckFails", Serial::kGeneric, 1, Corrupt(0),
                {{"Index: 1 Recevied: 163", 240}, {"Page Index 1 Write Checksum Fail", 240}},
                {{0, 0, 0}, {30, 10, 240}, {31, 100, 240}, {2, 10, 240}, {4, 0, 240}}},
        // A page's percent is posted before its check.
        Failure{"SecondPageCheckFails", Serial::kGeneric, 1, Corrupt(0x80),
                {{"Index: 1 Recevied: 163", 240}, {"Page Index 2 Write Checksum Fail", 240}},
                {{0, 0, 0}, {30, 10, 240}, {31, 100, 240}, {2, 10, 240}, {2, 50, 240}, {4, 0, 240}}},
        Failure{"PageCheckUnanswered", Serial::kGeneric, 2, Unheard(0x81),
                {{"Index: 1 Recevied: 163", 70}, {"Page Index 1 Write Checksum Fail", 5070}},
                {{0, 0, 0}, {30, 10, 70}, {31, 100, 70}, {2, 10, 70}, {1, 0, 5070}}},
        Failure{"ImageCrcFails", Serial::kW24A, 2, Corrupt(0x400),
                {{"Index: 1 Recevied: 163", 20}, {"Alll Data Checksum Fail", 20}},
                {{0, 0, 0}, {30, 10, 20}, {31, 100, 20}, {2, 10, 20}, {2, 50, 20}, {4, 0, 20}}},
        Failure{"AfterWriteStepRefused", Serial::kW24A, 2, Status(0x18, 0x00),
                {{"Index: 1 Recevied: 163", 20}, {"ProcessAfterEraseAndWrite Fail", 20}},
                {{0, 0, 0}, {30, 10, 20}, {31, 100, 20}, {2, 10, 20}, {2, 50, 20}}},
        Failure{"PasswordRefused", Serial::kK55, 1, [](qv::sim::UartChip&, qv::FakeSerialPort&) {},
                {{"Index: 1 Recevied: 170", 220}, {"Loop 1: Got 0xAA", 220}, {"SendKeyinPasswordCmd Fail!", 220}},
                {{0, 0, 0}, {30, 10, 220}, {31, 100, 220}}, 0x11111111}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace jobs_test
