// The time-outs and pauses of every command and handshake, as the fake port
// saw them on a virtual clock: the write time-out each frame was given, the
// moment each frame went out, the reply time-out of each wait, and the moment
// the call gave up. The figures are the protocols' own, written out.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <set>

#include "platform/core/clock.h"
#include "tests/uart/uart_rig.h"

namespace uart_test {
namespace {

constexpr std::uint64_t kUnchecked = ~std::uint64_t{0};

struct Wait {
  u32 count;
  u32 timeoutMs;
  std::uint64_t atMs;  // from the start of the call
  bool operator==(const Wait&) const = default;
};

struct Sent {
  BYTE command;  // byte 2 of a frame, or the lone byte of the handshakes
  u32 timeoutMs;
  std::uint64_t atMs;
  bool operator==(const Sent&) const = default;
};

void PrintTo(const Sent& s, std::ostream* os) {
  *os << "{" << int(s.command) << ", " << s.timeoutMs << ", " << s.atMs << "}";
}
void PrintTo(const Wait& w, std::ostream* os) { *os << "{" << w.count << ", " << w.timeoutMs << ", " << w.atMs << "}"; }

struct TimingCase {
  const char* name;
  Family family;
  std::function<int(CCOMBase&)> call;
  std::vector<Bytes> replies;  // one per frame that reaches the line
  std::set<int> refusedWrites;
  bool dribble;
  int result;
  std::vector<Sent> sent;
  std::vector<Wait> waits;
  std::uint64_t durationMs;  // kUnchecked where the protocol leaves it open
};

class Timing : public ::testing::TestWithParam<TimingCase> {};

TEST_P(Timing, TimeOutsAndPausesAreTheProtocols) {
  qv::ScopedVirtualClock clock;
  RecordingLog log;
  const TimingCase& c = GetParam();
  Rig rig(c.family);
  rig.Script(c.replies);
  rig.FailingWrites() = c.refusedWrites;
  rig.Dribble(c.dribble);
  const std::uint64_t start = clock.clock().NowMs();
  EXPECT_EQ(c.call(rig.Backend()), c.result);
  const std::uint64_t end = clock.clock().NowMs();

  std::vector<Sent> sent;
  for (const auto& w : rig.Port().Writes()) {
    sent.push_back({w.frame.size() == 1 ? w.frame[0] : w.frame[2], w.timeoutMs, w.atMs - start});
  }
  EXPECT_EQ(sent, c.sent);
  std::vector<Wait> waits;
  for (const auto& w : rig.Port().Waits()) waits.push_back({w.count, w.timeoutMs, w.atMs - start});
  EXPECT_EQ(waits, c.waits);
  if (c.durationMs != kUnchecked) {
    EXPECT_EQ(end - start, c.durationMs);
  }
}

const Bytes kPage(1024, 0x3C);

int Erase(CCOMBase& b) { return b.SendEraseCmd(0, 0x400); }
int WritePage(CCOMBase& b) { return b.SendWritePageCmd(0, kPage.data()); }
int CheckPage(CCOMBase& b) { return b.SendPageChecksumCmd(0, 1, 0x12); }
int Before(CCOMBase& b) { return b.ProceseBeforeEraseAndWrite(); }
int After(CCOMBase& b) { return b.ProcessAfterEraseAndWrite(); }
int ImageCrc(CCOMBase& b) { return b.SendAllDataChecksumCmd(0, kPage.data(), 8); }
int ReadPage(CCOMBase& b) {
  BYTE out[32];
  return b.SendReadPageCmd(0, out);
}
int Password(CCOMBase& b) { return b.SendKeyinPasswordCmd(0x3B8E61C4); }
int Cmd99(CCOMBase& b) { return b.SendCmd99(); }
int Handshake(CCOMBase& b) { return b.AutoBautRateDetect(); }

std::vector<Bytes> Times(const Bytes& b, int n) { return std::vector<Bytes>(static_cast<std::size_t>(n), b); }
std::vector<Sent> Spaced(BYTE command, u32 timeoutMs, int n, std::uint64_t firstAt, std::uint64_t step) {
  std::vector<Sent> s;
  for (int i = 0; i < n; ++i) s.push_back({command, timeoutMs, firstAt + step * static_cast<std::uint64_t>(i)});
  return s;
}

const Bytes kSilence;
const Bytes kA2 = {0xA2};
const Bytes kA3 = {0xA3};

const TimingCase kCommandCases[] = {
    // The generic protocol: every frame 300 ms to go out, 2500 ms for its 6-byte reply.
    {"GenericEraseAnswered", Family::Generic, Erase, {Reply6(0x98, 0xA4)}, {}, false, 0xA4, {{0x98, 300, 0}}, {}, 0},
    {"GenericEraseUnanswered", Family::Generic, Erase, {}, {}, false, -1, {{0x98, 300, 0}, {0x98, 300, 2500}},
     {{6, 2500, 0}, {6, 2500, 2500}}, 5000},
    {"GenericWritePageUnanswered", Family::Generic, WritePage, {}, {}, false, -1, {{0x97, 300, 0}}, {{6, 2500, 0}},
     2500},
    {"GenericPageChecksumUnanswered", Family::Generic, CheckPage, {}, {}, false, -1, {{0x81, 300, 0}},
     {{6, 2500, 0}}, 2500},
    // W24A: the bracket commands 500 ms; 100 ms before the second 0x19; the
    // second 0x17 at once.
    {"W24aBeforeWrite", Family::W24A, Before, {Reply6(0x19, 0x00), Reply6(0x17, 0xA4)}, {}, false, TRUE,
     {{0x19, 500, 0}, {0x17, 500, 0}}, {}, 0},
    {"W24aPrepareRefusedOnce", Family::W24A, Before, {Reply6(0x19, 0xA4), Reply6(0x19, 0x00), Reply6(0x17, 0xA4)},
     {}, false, TRUE, {{0x19, 500, 0}, {0x19, 500, 100}, {0x17, 500, 100}}, {}, 100},
    {"W24aPrepareUnansweredTwice", Family::W24A, Before, {}, {}, false, FALSE, {{0x19, 500, 0}, {0x19, 500, 2600}},
     {{6, 2500, 0}, {6, 2500, 2600}}, 5100},
    {"W24aUnlockUnansweredOnce", Family::W24A, Before, {Reply6(0x19, 0x00), kSilence, Reply6(0x17, 0xA4)}, {}, false,
     TRUE, {{0x19, 500, 0}, {0x17, 500, 0}, {0x17, 500, 2500}}, {{6, 2500, 0}}, 2500},
    {"W24aAfterWriteUnanswered", Family::W24A, After, {}, {}, false, FALSE, {{0x18, 500, 0}}, {{6, 2500, 0}}, 2500},
    // Erase frames 300 ms, write frames 500 ms; 10 ms after a failed try and
    // before a resend.
    {"W24aEraseTriesTenMillisecondsApart", Family::W24A, Erase, Times(Reply6(0x12, 0xA6), 8), {}, false, -1,
     Spaced(0x12, 300, 8, 0, 10), {}, kUnchecked},
    {"W24aEraseUnansweredTry", Family::W24A, Erase, {kSilence, Reply6(0x12, 0xA4)}, {}, false, 0xA4,
     {{0x12, 300, 0}, {0x12, 300, 2510}}, {{6, 2500, 0}}, 2510},
    {"W24aEraseResent", Family::W24A, Erase, {Reply6(0x12, 0xA4)}, {0}, false, 0xA4, {{0x12, 300, 10}}, {}, 10},
    {"W24aWriteResent", Family::W24A, WritePage, Times(Reply6(0x13, 0xA4), 8), {0}, false, 0xA4,
     Spaced(0x13, 500, 8, 10, 0), {}, 10},
    {"W24aImageCrcUnanswered", Family::W24A, ImageCrc, {}, {}, false, -1, {{0x16, 500, 0}}, {{6, 2500, 0}}, 2500},
    {"W24aImageCrcIsNotResent", Family::W24A, ImageCrc, {Reply6(0x16, 0xA5)}, {0}, false, -1, {}, {}, 0},
    // K55: the erase 300 ms, the others 500 ms; a 1-byte reply within 2500 ms,
    // the read-back's 37 bytes within 2000 ms.
    {"K55EraseUnansweredTwice", Family::K55, Erase, {}, {}, false, -1, {{0x98, 300, 0}, {0x98, 300, 2500}},
     {{1, 2500, 0}, {1, 2500, 2500}}, 5000},
    {"K55WritePageUnanswered", Family::K55, WritePage, {}, {}, false, -1, {{0x96, 500, 0}}, {{1, 2500, 0}}, 2500},
    {"K55ReadPageUnanswered", Family::K55, ReadPage, {}, {}, false, -1, {{0x83, 500, 0}}, {{37, 2000, 0}}, 2000},
    {"K55PasswordUnanswered", Family::K55, Password, {}, {}, false, -1, {{0x9A, 500, 0}}, {{1, 2500, 0}}, 2500},
    {"K55Cmd99", Family::K55, Cmd99, {}, {}, false, 0xA4, {{0x99, 500, 0}}, {}, 0},
};

INSTANTIATE_TEST_SUITE_P(Commands, Timing, ::testing::ValuesIn(kCommandCases),
                         [](const auto& info) { return std::string(info.param.name); });

const Bytes kFiveZeros(5, 0x00);

const TimingCase kHandshakeCases[] = {
    // Generic: 0x55 (300 ms), 50 ms, one byte at a time within 2000 ms with
    // 50 ms after each that is not 0xA2, 0xA1 (300 ms), 20 ms, then bursts
    // of 1 to 250 bytes within 800 ms with 50 ms between them.
    {"GenericAnswered", Family::Generic, Handshake, {kA2, kA3}, {}, false, TRUE, {{0x55, 300, 0}, {0xA1, 300, 50}},
     {}, 70},
    {"GenericSilent", Family::Generic, Handshake, {}, {}, false, FALSE, {{0x55, 300, 0}}, {{1, 2000, 50}}, 2050},
    {"GenericFiveOtherBytes", Family::Generic, Handshake, {kFiveZeros, kA3}, {}, false, TRUE,
     {{0x55, 300, 0}, {0xA1, 300, 300}}, {}, 320},
    {"GenericNoA3", Family::Generic, Handshake, {kA2}, {}, false, FALSE, {{0x55, 300, 0}, {0xA1, 300, 50}},
     {{1, 800, 70}}, 870},
    {"GenericFiveBurstsWithoutA3", Family::Generic, Handshake, {kA2, Bytes(5, 0x01)}, {}, true, FALSE,
     {{0x55, 300, 0}, {0xA1, 300, 50}}, {}, 320},
    // W24A: 0x55 before every read, none of them paused before; five bytes
    // other than 0xA2 end it.
    {"W24aAnswered", Family::W24A, Handshake, {kA2, kA3}, {}, false, TRUE, {{0x55, 300, 0}, {0xA1, 300, 0}}, {}, 20},
    {"W24aSilent", Family::W24A, Handshake, {}, {}, false, FALSE, {{0x55, 300, 0}}, {{1, 2000, 0}}, 2000},
    {"W24aFiveOtherBytes", Family::W24A, Handshake, {{0x01}, {0x02}, {0x03}, {0x04}, {0x05}}, {}, false, FALSE,
     Spaced(0x55, 300, 5, 0, 50), {}, 250},
    {"W24aThirdTry", Family::W24A, Handshake, {{0x01}, {0x02}, kA2, kA3}, {}, false, TRUE,
     {{0x55, 300, 0}, {0x55, 300, 50}, {0x55, 300, 100}, {0xA1, 300, 100}}, {}, 120},
    // K55: up to 3 loops of 0x55 (300 ms), 50 ms, up to 5 bursts within
    // 2000 ms each followed by 50 ms.
    {"K55Answered", Family::K55, Handshake, {{0xAA}}, {}, false, TRUE, {{0x55, 300, 0}}, {}, 50},
    {"K55Silent", Family::K55, Handshake, {}, {}, false, FALSE, {{0x55, 300, 0}}, {{1, 2000, 50}}, 2050},
    {"K55NeverAa", Family::K55, Handshake, {kFiveZeros, kFiveZeros, kFiveZeros}, {}, true, FALSE,
     Spaced(0x55, 300, 3, 0, 300), {}, 900},
    {"K55SecondLoop", Family::K55, Handshake, {kFiveZeros, {0xAA}}, {}, true, TRUE, {{0x55, 300, 0}, {0x55, 300, 300}},
     {}, 350},
    // What is left after a loop's five reads is drained before the next loop.
    {"K55DrainsBetweenLoops", Family::K55, Handshake, {Bytes(6, 0x00), {0xAA}}, {}, true, TRUE,
     {{0x55, 300, 0}, {0x55, 300, 300}}, {}, 350},
};

INSTANTIATE_TEST_SUITE_P(Handshakes, Timing, ::testing::ValuesIn(kHandshakeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A burst takes at most 250 bytes: a chip that answers 0xA1 with 260 bytes
// before its 0xA3 is read in two bursts, the second numbered from 1 again.
TEST(BurstTest, ABurstTakesAtMost250Bytes) {
  struct Case {
    Family family;
    std::vector<Bytes> replies;
    const char* last;
  };
  Bytes longAnswer(260, 0x01);
  longAnswer.push_back(0xA3);
  Bytes longK55(260, 0x01);
  longK55.push_back(0xAA);
  const Case cases[] = {
      {Family::Generic, {kA2, longAnswer}, "Index: 11 Recevied: 163"},
      {Family::W24A, {kA2, longAnswer}, "Index: 11 Recevied: 163"},
      {Family::K55, {longK55}, "Index: 11 Recevied: 170"},
  };
  for (const Case& c : cases) {
    qv::ScopedVirtualClock clock;
    RecordingLog log;
    Rig rig(c.family);
    rig.Script(c.replies);
    EXPECT_TRUE(rig.Backend().AutoBautRateDetect());
    const std::vector<std::string> entries = log.Entries();
    const std::size_t indexEntries = c.family == Family::K55 ? entries.size() - 1 : entries.size();
    ASSERT_EQ(indexEntries, 261u);
    EXPECT_EQ(entries[249], "Index: 250 Recevied: 01");
    EXPECT_EQ(entries[250], "Index: 1 Recevied: 01");
    EXPECT_EQ(entries[260], c.last);
  }
}

// The generic reply drains what follows it; K55's read-back leaves it queued.
TEST(Leftovers, WhatARepliesReaderLeavesQueued) {
  qv::ScopedVirtualClock clock;
  {
    Rig rig(Family::Generic);
    rig.Port().Feed({0x55, 0xAA, 0x98, 0x01, 0xA4, 0x00, 0x07, 0x08});
    EXPECT_EQ(rig.Backend().WaitCmdStatus(0x98), 0xA4);
    EXPECT_EQ(rig.Port().Pending(), 0u);
  }
  {
    Rig rig(Family::K55);
    Bytes reply = {0x55, 0xAA, 0x83, 0x20};
    reply.resize(37, 0x11);
    reply.push_back(0x07);
    reply.push_back(0x08);
    rig.Script({reply});
    BYTE out[32] = {};
    EXPECT_EQ(rig.Backend().SendReadPageCmd(0, out), 0xA4);
    EXPECT_EQ(rig.Port().Pending(), 2u);
  }
}

}  // namespace
}  // namespace uart_test
