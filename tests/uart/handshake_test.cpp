// The auto-baud handshakes and their log entries, against the simulated
// chips and against scripted lines.

#include <gtest/gtest.h>

#include "platform/core/clock.h"
#include "sim/uart_generic_chip.h"
#include "sim/uart_k55_chip.h"
#include "sim/uart_w24a_chip.h"
#include "tests/uart/uart_rig.h"

namespace uart_test {
namespace {

using Log = std::vector<std::string>;

struct ChipCase {
  const char* name;
  Family family;
  Bytes chatter;  // what the chip says before each handshake answer
  std::vector<Bytes> frames;
  Log log;
};

class ChipHandshakeTest : public ::testing::TestWithParam<ChipCase> {};

TEST_P(ChipHandshakeTest, SyncsAndLogs) {
  qv::ScopedVirtualClock clock;
  RecordingLog log;
  const ChipCase& c = GetParam();
  auto chip = MakeChip(c.family);
  chip->SetHandshakeChatter(c.chatter);
  Rig rig(c.family);
  rig.Attach(*chip);
  EXPECT_EQ(rig.Backend().AutoBautRateDetect(), TRUE);
  EXPECT_TRUE(chip->Synced());
  EXPECT_EQ(rig.Frames(), c.frames);
  EXPECT_EQ(log.Entries(), c.log);
}

const ChipCase kChipCases[] = {
    {"Generic", Family::Generic, {}, {{0x55}, {0xA1}}, {"Index: 1 Recevied: 163"}},
    {"GenericTalkative", Family::Generic, {0x11}, {{0x55}, {0xA1}},
     {"Index: 1 Recevied: 17", "Index: 2 Recevied: 163"}},
    {"W24a", Family::W24A, {}, {{0x55}, {0xA1}}, {"Index: 1 Recevied: 163"}},
    // The chatter byte is taken for the first stage's answer, so a second 0x55 goes.
    {"W24aTalkative", Family::W24A, {0x05}, {{0x55}, {0x55}, {0xA1}},
     {"Index: 1 Recevied: 05", "Index: 2 Recevied: 163"}},
    {"K55", Family::K55, {}, {{0x55}}, {"Index: 1 Recevied: 170", "Loop 1: Got 0xAA"}},
    {"K55Talkative", Family::K55, {0x05, 0x11}, {{0x55}},
     {"Index: 1 Recevied: 05", "Index: 2 Recevied: 17", "Index: 3 Recevied: 170", "Loop 1: Got 0xAA"}},
};

INSTANTIATE_TEST_SUITE_P(Uart, ChipHandshakeTest, ::testing::ValuesIn(kChipCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ScriptCase {
  const char* name;
  Family family;
  std::vector<Bytes> replies;  // one per write
  bool dribble;
  BOOL result;
  std::vector<Bytes> frames;
  Log log;
};

class ScriptedHandshakeTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptedHandshakeTest, FollowsTheLine) {
  qv::ScopedVirtualClock clock;
  RecordingLog log;
  const ScriptCase& c = GetParam();
  Rig rig(c.family);
  rig.Script(c.replies);
  rig.Dribble(c.dribble);
  EXPECT_EQ(rig.Backend().AutoBautRateDetect(), c.result);
  EXPECT_EQ(rig.Frames(), c.frames);
  EXPECT_EQ(log.Entries(), c.log);
}

Log Repeated(const Log& part, int times) {
  Log all;
  for (int i = 0; i < times; ++i) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const Bytes kFiveZeros(5, 0x00);
const Log kFiveOnes = {"Index: 1 Recevied: 01", "Index: 1 Recevied: 01", "Index: 1 Recevied: 01",
                       "Index: 1 Recevied: 01", "Index: 1 Recevied: 01"};

const ScriptCase kScriptCases[] = {
    {"GenericGoesOnWithoutA2", Family::Generic, {kFiveZeros, {0x11, 0xA3}}, false, TRUE, {{0x55}, {0xA1}},
     {"Index: 1 Recevied: 17", "Index: 2 Recevied: 163"}},
    {"GenericSilentAtFirst", Family::Generic, {}, false, FALSE, {{0x55}}, {}},
    {"GenericNoAnswerToA1", Family::Generic, {{0xA2}}, false, FALSE, {{0x55}, {0xA1}},
     {"DoReadDataBlockFromCOM Fail"}},
    {"GenericDrainsBeforeA1", Family::Generic, {{0xA2, 0xA3, 0xA3}, {0x07, 0xA3}}, false, TRUE, {{0x55}, {0xA1}},
     {"Index: 1 Recevied: 07", "Index: 2 Recevied: 163"}},
    {"GenericFiveBurstsWithoutA3", Family::Generic, {{0xA2}, Bytes(5, 0x01)}, true, FALSE, {{0x55}, {0xA1}},
     kFiveOnes},
    {"W24aFiveWrongBytesFailBeforeA1", Family::W24A, {{0x01}, {0x02}, {0x03}, {0x04}, {0x05}}, false, FALSE,
     std::vector<Bytes>(5, Bytes{0x55}), {}},
    {"W24aSyncOnTheThirdTry", Family::W24A, {{0x01}, {0x02}, {0xA2}, {0xA3}}, false, TRUE,
     {{0x55}, {0x55}, {0x55}, {0xA1}}, {"Index: 1 Recevied: 163"}},
    {"K55NeverAa", Family::K55, {kFiveZeros, kFiveZeros, kFiveZeros}, true, FALSE,
     std::vector<Bytes>(3, Bytes{0x55}), Repeated({"Index: 1 Recevied: 00"}, 15)},
    {"K55SecondLoop", Family::K55, {kFiveZeros, {0xAA}}, true, TRUE, {{0x55}, {0x55}},
     [] {
       Log l = Repeated({"Index: 1 Recevied: 00"}, 5);
       l.push_back("Index: 1 Recevied: 170");
       l.push_back("Loop 2: Got 0xAA");
       return l;
     }()},
    {"K55Silent", Family::K55, {}, false, FALSE, {{0x55}}, {"Loop 1: Wait for 0xAA Fail, no data received"}},
    {"K55QuietAfterTwoBytes", Family::K55, {{0x01, 0x02}}, false, FALSE, {{0x55}},
     {"Index: 1 Recevied: 01", "Index: 2 Recevied: 02", "Loop 1: Wait for 0xAA Fail, no data received"}},
};

INSTANTIATE_TEST_SUITE_P(Uart, ScriptedHandshakeTest, ::testing::ValuesIn(kScriptCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HandshakeTest, K55FailedWriteIsLoggedWithItsLoop) {
  qv::ScopedVirtualClock clock;
  RecordingLog log;
  Rig rig(Family::K55);
  rig.FailingWrites() = {0};
  EXPECT_EQ(rig.Backend().AutoBautRateDetect(), FALSE);
  EXPECT_EQ(log.Entries(), Log{"Loop 1: Send 0x55 Fail"});
}

TEST(HandshakeTest, FailedFirstWriteEndsEveryHandshake) {
  for (Family family : {Family::Generic, Family::W24A}) {
    qv::ScopedVirtualClock clock;
    Rig rig(family);
    rig.FailingWrites() = {0};
    EXPECT_EQ(rig.Backend().AutoBautRateDetect(), FALSE);
    EXPECT_TRUE(rig.Frames().empty());
  }
}

// After its handshake a chip takes a lone 0x55 on a quiet line as a new one,
// so a job may handshake again without a reset line.
TEST(HandshakeTest, ChipsHandshakeAgainAfterSync) {
  for (Family family : {Family::Generic, Family::W24A, Family::K55}) {
    qv::ScopedVirtualClock clock;
    auto chip = MakeChip(family);
    Rig rig(family);
    rig.Attach(*chip);
    EXPECT_EQ(rig.Backend().AutoBautRateDetect(), TRUE);
    EXPECT_EQ(rig.Backend().AutoBautRateDetect(), TRUE);
  }
}

}  // namespace
}  // namespace uart_test
