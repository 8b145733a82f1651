// The simulated chips as peers: they check what the host sends, answer as a
// boot loader does, and break on request.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>

#include "platform/core/clock.h"
#include "sim/uart_flash_file.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "sim/uart_w24a_chip.h"
#include "tests/support/pty_fixture.h"
#include "tests/uart/uart_rig.h"

namespace uart_test {
namespace {

Bytes Page(std::size_t n, BYTE seed) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<BYTE>(seed + i * 7);
  return b;
}

BYTE XorForm(const Bytes& page) {
  BYTE x = 0xFF;
  for (BYTE b : page) x ^= b;
  return x;
}

BYTE SumForm(const Bytes& page) {
  BYTE s = 0;
  for (BYTE b : page) s = static_cast<BYTE>(s + b);
  return s;
}

// A chip that expects the byte-sum form makes the host's erase flip its mode;
// from then on frames and the page check agree with the chip.
TEST(GenericChipTest, ChecksumModeOfTheChipDecidesWhatIsAccepted) {
  struct Case {
    u32 chipMode;
    std::size_t eraseFrames;
    int xorCheck;
    int sumCheck;
  };
  for (const Case c : {Case{0, 1, 0xA5, 0xA6}, Case{1, 2, 0xA6, 0xA5}}) {
    qv::ScopedVirtualClock clock;
    qv::sim::UartGenericChip chip(c.chipMode);
    Rig rig(Family::Generic);
    rig.Attach(chip);
    ASSERT_TRUE(rig.Backend().AutoBautRateDetect());
    const std::size_t before = rig.Frames().size();
    ASSERT_EQ(rig.Backend().SendEraseCmd(0x100, 0x100), 0xA4);
    EXPECT_EQ(rig.Frames().size() - before, c.eraseFrames);
    EXPECT_EQ(rig.Backend().GetChecksumMode(), c.chipMode);
    Bytes page = Page(128, 3);
    Bytes sent = page;
    rig.Backend().ConvertPageByteOrder(sent.data(), 128);
    ASSERT_EQ(rig.Backend().SendWritePageCmd(0x180, sent.data()), 0xA4);
    // The chip keeps the words in the image's own byte order.
    EXPECT_EQ(Bytes(chip.Flash().begin() + 0x180, chip.Flash().begin() + 0x200), page);
    EXPECT_EQ(rig.Backend().SendPageChecksumCmd(0x180, 1, XorForm(sent)), c.xorCheck);
    EXPECT_EQ(rig.Backend().SendPageChecksumCmd(0x180, 1, SumForm(sent)), c.sumCheck);
  }
}

TEST(GenericChipTest, WriteWithoutEraseOnlyClearsBits) {
  qv::ScopedVirtualClock clock;
  qv::sim::UartGenericChip chip;
  Rig rig(Family::Generic);
  rig.Attach(chip);
  ASSERT_TRUE(rig.Backend().AutoBautRateDetect());
  const Bytes f0(128, 0xF0);
  const Bytes x0f(128, 0x3F);
  ASSERT_EQ(rig.Backend().SendWritePageCmd(0, f0.data()), 0xA4);
  ASSERT_EQ(rig.Backend().SendWritePageCmd(0, x0f.data()), 0xA4);
  EXPECT_EQ(chip.Flash()[0], 0x30);
  ASSERT_EQ(rig.Backend().SendEraseCmd(0, 128), 0xA4);
  EXPECT_EQ(chip.Flash()[0], 0xFF);
}

struct FaultCase {
  const char* name;
  Family family;
  std::function<void(qv::sim::UartChip&)> fault;
  std::function<int(CCOMBase&)> call;
  int result;
};

class FaultTest : public ::testing::TestWithParam<FaultCase> {};

// Handshake (and, for W24A, the bracket) first, then the fault, then the call.
TEST_P(FaultTest, HostSeesTheFault) {
  qv::ScopedVirtualClock clock;
  const FaultCase& c = GetParam();
  auto chip = MakeChip(c.family);
  Rig rig(c.family);
  rig.Attach(*chip);
  ASSERT_TRUE(rig.Backend().AutoBautRateDetect());
  ASSERT_TRUE(rig.Backend().ProceseBeforeEraseAndWrite());
  if (c.family == Family::K55) {
    ASSERT_EQ(rig.Backend().SendKeyinPasswordCmd(qv::sim::UartK55Chip::kDefaultPassword), 0xA4);
  }
  c.fault(*chip);
  EXPECT_EQ(c.call(rig.Backend()), c.result);
}

const Bytes kPage1k = Page(1024, 9);

int WriteAndCheck(CCOMBase& b) {
  Bytes page = kPage1k;
  b.ConvertPageByteOrder(page.data(), 128);
  const int written = b.SendWritePageCmd(0x200, page.data());
  return written != 0xA4 ? written : b.SendPageChecksumCmd(0x200, 1, XorForm(Bytes(page.begin(), page.begin() + 128)));
}

int W24aWriteAndCrc(CCOMBase& b) {
  const int written = b.SendWritePageCmd(0x400, kPage1k.data());
  return written != 0xA4 ? written : b.SendAllDataChecksumCmd(0x400, kPage1k.data(), 1024);
}

int K55WriteAndReadBack(CCOMBase& b) {
  const int written = b.SendWritePageCmd(0x40, kPage1k.data());
  Bytes back(32);
  const int read = written != 0xA4 ? written : b.SendReadPageCmd(0x40, back.data());
  return read != 0xA4 ? read : (back == Bytes(kPage1k.begin(), kPage1k.begin() + 32) ? 0xA4 : 0);
}

const FaultCase kFaultCases[] = {
    {"GenericHealthy", Family::Generic, [](qv::sim::UartChip&) {}, WriteAndCheck, 0xA5},
    {"GenericCorruptPage", Family::Generic, [](qv::sim::UartChip& c) { c.CorruptPage(0x200); }, WriteAndCheck, 0xA6},
    {"GenericForcedStatus", Family::Generic, [](qv::sim::UartChip& c) { c.SetStatusFor(0x97, 0xA6); },
     WriteAndCheck, 0xA6},
    {"GenericSilent", Family::Generic, [](qv::sim::UartChip& c) { c.SetSilent(true); }, WriteAndCheck, -1},
    {"GenericGarbage", Family::Generic, [](qv::sim::UartChip& c) { c.SendGarbageBeforeNextReply({0x00}); },
     WriteAndCheck, -1},
    {"W24aHealthy", Family::W24A, [](qv::sim::UartChip&) {}, W24aWriteAndCrc, 0xA5},
    {"W24aCorruptPage", Family::W24A, [](qv::sim::UartChip& c) { c.CorruptPage(0x400); }, W24aWriteAndCrc, 0xA6},
    {"W24aForcedStatusIsRetriedToFailure", Family::W24A, [](qv::sim::UartChip& c) { c.SetStatusFor(0x13, 0xE1); },
     W24aWriteAndCrc, -1},
    // Noise before one reply costs a try, not the page.
    {"W24aGarbageCostsOneTry", Family::W24A,
     [](qv::sim::UartChip& c) { c.SendGarbageBeforeNextReply({0x00, 0x01}); }, W24aWriteAndCrc, 0xA5},
    {"K55Healthy", Family::K55, [](qv::sim::UartChip&) {}, K55WriteAndReadBack, 0xA4},
    {"K55CorruptPage", Family::K55, [](qv::sim::UartChip& c) { c.CorruptPage(0x40); }, K55WriteAndReadBack, 0},
    {"K55ForcedRefusal", Family::K55, [](qv::sim::UartChip& c) { c.SetStatusFor(0x96, 0x55); },
     K55WriteAndReadBack, -1},
    {"K55GarbageBeforeReadReply", Family::K55, [](qv::sim::UartChip& c) { c.SendGarbageBeforeNextReply({0x55}); },
     [](CCOMBase& b) {
       Bytes out(32);
       return b.SendReadPageCmd(0, out.data());
     },
     -1},
};

INSTANTIATE_TEST_SUITE_P(Uart, FaultTest, ::testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LockTest, ChipsRefuseProgrammingBeforeUnlock) {
  qv::ScopedVirtualClock clock;
  {
    qv::sim::UartW24aChip chip;
    Rig rig(Family::W24A);
    rig.Attach(chip);
    ASSERT_TRUE(rig.Backend().AutoBautRateDetect());
    EXPECT_EQ(rig.Backend().SendEraseCmd(0, 1024), -1);  // no 0x19 / 0x17 yet
  }
  {
    qv::sim::UartK55Chip chip;
    Rig rig(Family::K55);
    rig.Attach(chip);
    ASSERT_TRUE(rig.Backend().AutoBautRateDetect());
    const Bytes page(32, 0);
    EXPECT_EQ(rig.Backend().SendKeyinPasswordCmd(0x12345678), -1);
    EXPECT_EQ(rig.Backend().SendWritePageCmd(0, page.data()), -1);
    EXPECT_EQ(rig.Backend().SendEraseCmd(0, 0), 0xA4);  // the erase needs no password
    EXPECT_EQ(rig.Backend().SendCmd99(), 0xA4);
    EXPECT_EQ(chip.LeaveCount(), 1);
  }
}

// Bytes straight into a chip, its answers straight out: a frame that did not
// come through whole, and a command whose status is forced, each answered as
// the family answers (a bad-frame status, or no answer at all from K55).
TEST(ChipFrameTest, BrokenFramesAndForcedStatusesGetTheFamilysAnswer) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<qv::sim::UartChip>()> make;
    Bytes handshake;
    Bytes broken, brokenAnswer;
    BYTE command, forced;
    Bytes whole, forcedAnswer;
  };
  const Case cases[] = {
      {"generic", [] { return std::make_unique<qv::sim::UartGenericChip>(); }, {0x55, 0xA1},
       {0x55, 0xAA, 0x98, 0x04, 0x00, 0x01, 0x00, 0x80, 0xE3}, {0x55, 0xAA, 0x98, 0x01, 0xE1, 0x87},
       0x98, 0xA6,
       {0x55, 0xAA, 0x98, 0x04, 0x00, 0x01, 0x00, 0x80, 0xE2}, {0x55, 0xAA, 0x98, 0x01, 0xA6, 0xC0}},
      {"generic byte-sum form", [] { return std::make_unique<qv::sim::UartGenericChip>(1); }, {0x55, 0xA1},
       {0x55, 0xAA, 0x98, 0x04, 0x00, 0x01, 0x00, 0x80, 0xE2}, {0x55, 0xAA, 0x98, 0x01, 0xE1, 0x87},
       0x98, 0xA6,
       {0x55, 0xAA, 0x98, 0x04, 0x00, 0x01, 0x00, 0x80, 0x1D}, {0x55, 0xAA, 0x98, 0x01, 0xA6, 0xC0}},
      {"w24a", [] { return std::make_unique<qv::sim::UartW24aChip>(); }, {0x55, 0xA1},
       {0x55, 0xAA, 0x19, 0x00, 0xE7}, {0x55, 0xAA, 0x19, 0x01, 0xE1, 0x06},
       0x19, 0xA6,
       {0x55, 0xAA, 0x19, 0x00, 0xE6}, {0x55, 0xAA, 0x19, 0x01, 0xA6, 0x41}},
      {"k55", [] { return std::make_unique<qv::sim::UartK55Chip>(); }, {0x55},
       {0x55, 0xAA, 0x9A, 0x04, 0x3B, 0x8E, 0x61, 0xC4, 0xB4}, {},
       0x9A, 0x55,
       {0x55, 0xAA, 0x9A, 0x04, 0x3B, 0x8E, 0x61, 0xC4, 0xB5}, {0x55}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto chip = c.make();
    Bytes out;
    chip->SetSink([&out](const BYTE* data, std::size_t size) { out.insert(out.end(), data, data + size); });
    chip->Receive(c.handshake);
    ASSERT_TRUE(chip->Synced());
    out.clear();
    chip->Receive(c.broken);
    EXPECT_EQ(out, c.brokenAnswer);
    out.clear();
    chip->SetStatusFor(c.command, c.forced);
    chip->Receive(c.whole);
    EXPECT_EQ(out, c.forcedAnswer);
  }
}

TEST(FlashFileTest, SaveReplacesAndLoadFillsFromTheStart) {
  qv::TempProgramFolder folder;
  ASSERT_TRUE(folder.Ok());
  const std::string path = folder.Path() + "/flash.bin";
  std::vector<BYTE> flash = Page(256, 1);
  ASSERT_TRUE(qv::sim::SaveFlashFile(path, flash));
  ASSERT_TRUE(qv::sim::SaveFlashFile(path, flash));
  std::vector<BYTE> longer(512, 0xFF);
  ASSERT_TRUE(qv::sim::LoadFlashFile(path, longer));
  EXPECT_EQ(Bytes(longer.begin(), longer.begin() + 256), flash);
  EXPECT_EQ(Bytes(longer.begin() + 256, longer.end()), Bytes(256, 0xFF));
  std::vector<BYTE> shorter(16, 0);
  ASSERT_TRUE(qv::sim::LoadFlashFile(path, shorter));
  EXPECT_EQ(shorter, Bytes(flash.begin(), flash.begin() + 16));
  EXPECT_FALSE(qv::sim::LoadFlashFile(folder.Path() + "/missing.bin", shorter));
  EXPECT_FALSE(qv::sim::SaveFlashFile(folder.Path() + "/no/such/folder/flash.bin", flash));
}

}  // namespace
}  // namespace uart_test
