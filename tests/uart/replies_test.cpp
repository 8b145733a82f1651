// Replies as they really come: malformed, missing, late, in pieces, after
// noise; and the try and resend rules that depend on them.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/core/clock.h"
#include "tests/uart/uart_rig.h"

namespace uart_test {
namespace {

struct ReplyCase {
  const char* name;
  Bytes input;
  int status;
  std::size_t left;  // bytes still queued afterwards
};

class GenericReplyTest : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(GenericReplyTest, JudgesTheSixByteReply) {
  qv::ScopedVirtualClock clock;
  const ReplyCase& c = GetParam();
  Rig rig(Family::Generic);
  rig.Port().Feed(c.input);
  const std::uint64_t before = clock.clock().NowMs();
  EXPECT_EQ(rig.Backend().WaitCmdStatus(0x98), c.status);
  EXPECT_EQ(rig.Port().Pending(), c.left);
  if (c.input.size() < 6) {
    EXPECT_GE(clock.clock().NowMs() - before, 2500u);  // waited out the whole reply time
  }
}

const ReplyCase kGenericReplies[] = {
    {"Accepted", {0x55, 0xAA, 0x98, 0x01, 0xA4, 0x00}, 0xA4, 0},
    {"StatusIsPassedThrough", {0x55, 0xAA, 0x98, 0x01, 0x37, 0x00}, 0x37, 0},
    {"TrailingBytesAreDrained", {0x55, 0xAA, 0x98, 0x01, 0xA6, 0x00, 0x12, 0x34, 0x56}, 0xA6, 0},
    {"WrongHeader", {0x55, 0xAB, 0x98, 0x01, 0xA4, 0x00}, -1, 0},
    {"WrongCommandByte", {0x55, 0xAA, 0x97, 0x01, 0xA4, 0x00}, -1, 0},
    {"ByteThreeNotOne", {0x55, 0xAA, 0x98, 0x02, 0xA4, 0x00}, -1, 0},
    {"MalformedLeavesTheRest", {0x00, 0x55, 0xAA, 0x98, 0x01, 0xA4, 0x00}, -1, 1},
    {"FiveBytesOnly", {0x55, 0xAA, 0x98, 0x01, 0xA4}, -1, 5},
    {"Silence", {}, -1, 0},
};

INSTANTIATE_TEST_SUITE_P(Uart, GenericReplyTest, ::testing::ValuesIn(kGenericReplies),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ReplyTest, ReplySplitOverSeveralReadsIsAssembled) {
  Rig rig(Family::Generic);
  std::thread device([&rig] {
    for (const Bytes& piece : {Bytes{0x55}, Bytes{0xAA, 0x81}, Bytes{0x01, 0xA5, 0x00}}) {
      std::this_thread::sleep_for(std::chrono::milliseconds(15));
      rig.Port().Feed(piece);
    }
  });
  EXPECT_EQ(rig.Backend().WaitCmdStatus(0x81), 0xA5);
  device.join();
}

TEST(ReplyTest, K55OneByteReply) {
  struct Case {
    Bytes input;
    int status;
  };
  for (const Case& c : {Case{{0xAA, 0x01, 0x02}, 0xA4}, Case{{0x55}, -1}, Case{{0xA4}, -1}, Case{{}, -1}}) {
    qv::ScopedVirtualClock clock;
    Rig rig(Family::K55);
    rig.Port().Feed(c.input);
    EXPECT_EQ(rig.Backend().WaitCmdStatus(0x96), c.status);
    if (c.status == 0xA4) {
      EXPECT_EQ(rig.Port().Pending(), 0u);
    }
  }
}

TEST(ReplyTest, K55ReadReplyIsCheckedBeforeAnythingIsCopied) {
  Bytes good = {0x55, 0xAA, 0x83, 0x20};
  for (int i = 0; i < 32; ++i) good.push_back(BYTE(0x80 + i));
  good.push_back(0x99);  // not examined
  struct Case {
    const char* name;
    Bytes reply;
    int status;
  };
  Bytes fourth = good;
  fourth[3] = 0x1F;
  Bytes header = good;
  header[1] = 0xA5;
  Bytes command = good;
  command[2] = 0x96;
  const Case cases[] = {
      {"good", good, 0xA4},
      {"fourth byte not 0x20", fourth, -1},
      {"wrong header", header, -1},
      {"wrong command", command, -1},
      {"36 bytes", Bytes(good.begin(), good.end() - 1), -1},
      {"silence", {}, -1},
  };
  for (const Case& c : cases) {
    qv::ScopedVirtualClock clock;
    Rig rig(Family::K55);
    rig.Script({c.reply});
    Bytes out(32, 0x5C);
    EXPECT_EQ(rig.Backend().SendReadPageCmd(0x40, out.data()), c.status) << c.name;
    EXPECT_EQ(out, c.status == 0xA4 ? Bytes(good.begin() + 4, good.begin() + 36) : Bytes(32, 0x5C)) << c.name;
  }
}

// The status of a sequence of replies, and what it leaves behind.
struct TryCase {
  const char* name;
  Family family;
  std::vector<Bytes> replies;
  std::set<int> failingWrites;
  int result;
  std::size_t frames;   // frames that reached the line
  u32 modeAfter;        // checksum mode afterwards
};

class TryTest : public ::testing::TestWithParam<TryCase> {};

const Bytes kNoReply;

TEST_P(TryTest, EraseFollowsItsTryRules) {
  qv::ScopedVirtualClock clock;
  const TryCase& c = GetParam();
  Rig rig(c.family);
  rig.Script(c.replies);
  rig.FailingWrites() = c.failingWrites;
  EXPECT_EQ(rig.Backend().SendEraseCmd(0, 0x400), c.result);
  EXPECT_EQ(rig.Frames().size(), c.frames);
  EXPECT_EQ(rig.Backend().GetChecksumMode(), c.modeAfter);
}

std::vector<Bytes> Times(const Bytes& b, int n) { return std::vector<Bytes>(static_cast<std::size_t>(n), b); }

std::vector<Bytes> ThenAck(std::vector<Bytes> replies, const Bytes& ack) {
  replies.push_back(ack);
  return replies;
}

const TryCase kTryCases[] = {
    {"GenericAck", Family::Generic, {Reply6(0x98, 0xA4)}, {}, 0xA4, 1, 0},
    {"GenericMismatchEndsAtOnce", Family::Generic, {Reply6(0x98, 0xA6)}, {}, 0xA6, 1, 0},
    {"GenericFrameErrorThenAck", Family::Generic, {Reply6(0x98, 0xE1), Reply6(0x98, 0xA4)}, {}, 0xA4, 2, 1},
    {"GenericByteThreeNotOneThenAck", Family::Generic,
     {{0x55, 0xAA, 0x98, 0x02, 0xA4, 0x00}, Reply6(0x98, 0xA4)}, {}, 0xA4, 2, 1},
    {"GenericSilentTwiceRestoresMode", Family::Generic, {}, {}, -1, 2, 0},
    {"GenericFrameErrorTwice", Family::Generic, {Reply6(0x98, 0xE1), Reply6(0x98, 0xE1)}, {}, -1, 2, 0},
    {"GenericFailedWriteEndsAtOnce", Family::Generic, {Reply6(0x98, 0xA4)}, {0}, -1, 0, 0},
    {"GenericFailedSecondWriteKeepsTheFirstFlip", Family::Generic, {Reply6(0x98, 0xE1), Reply6(0x98, 0xA4)}, {1},
     -1, 1, 1},
    {"W24aSevenFailuresThenAck", Family::W24A, ThenAck(Times(Reply6(0x12, 0xA6), 7), Reply6(0x12, 0xA4)), {},
     0xA4, 8, 0},
    {"W24aEightFailures", Family::W24A, Times(Reply6(0x12, 0xE1), 9), {}, -1, 8, 0},
    {"W24aResendCountsAsOneTry", Family::W24A, {Reply6(0x12, 0xA4)}, {0}, 0xA4, 1, 0},
    {"W24aTwoFailedWritesAreOneTry", Family::W24A, {Reply6(0x12, 0xA4)}, {0, 1}, 0xA4, 1, 0},
    {"K55Ack", Family::K55, {{0xAA}}, {}, 0xA4, 1, 0},
    {"K55SilenceThenAck", Family::K55, {kNoReply, {0xAA}}, {}, 0xA4, 2, 0},
    {"K55WrongByteTwice", Family::K55, {{0x55}, {0xA4}}, {}, -1, 2, 0},
    {"K55FailedWriteEndsAtOnce", Family::K55, {{0xAA}}, {0}, -1, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Uart, TryTest, ::testing::ValuesIn(kTryCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TryTest, W24aWritePageStopsAtTheFirstFrameThatFailsEightTries) {
  qv::ScopedVirtualClock clock;
  Rig rig(Family::W24A);
  // Frame 0 goes through, frame 1 never does.
  std::vector<Bytes> replies = Times(Reply6(0x13, 0xA6), 9);
  replies[0] = Reply6(0x13, 0xA4);
  rig.Script(replies);
  const Bytes page(1024, 0x11);
  EXPECT_EQ(rig.Backend().SendWritePageCmd(0, page.data()), -1);
  EXPECT_EQ(rig.Frames().size(), 9u);
}

TEST(TryTest, W24aBracketCommands) {
  struct Case {
    const char* name;
    bool before;
    std::vector<Bytes> replies;
    BOOL result;
    std::size_t frames;
  };
  const Case cases[] = {
      {"prepared and unlocked", true, {Reply6(0x19, 0x00), Reply6(0x17, 0xA4)}, TRUE, 2},
      {"0xA4 is not the awaited 0x00", true, {Reply6(0x19, 0xA4), Reply6(0x19, 0x00), Reply6(0x17, 0xA4)}, TRUE, 3},
      {"prepare refused twice", true, {Reply6(0x19, 0xA4), Reply6(0x19, 0xA4)}, FALSE, 2},
      {"unlock on the second try", true, {Reply6(0x19, 0x00), Reply6(0x17, 0xE1), Reply6(0x17, 0xA4)}, TRUE, 3},
      {"unlock refused twice", true, {Reply6(0x19, 0x00), kNoReply, Reply6(0x17, 0xA6)}, FALSE, 3},
      {"finish", false, {Reply6(0x18, 0xA4)}, TRUE, 1},
      {"finish has no second try", false, {Reply6(0x18, 0xE1), Reply6(0x18, 0xA4)}, FALSE, 1},
  };
  for (const Case& c : cases) {
    qv::ScopedVirtualClock clock;
    Rig rig(Family::W24A);
    rig.Script(c.replies);
    const std::uint64_t before = clock.clock().NowMs();
    const BOOL result = c.before ? rig.Backend().ProceseBeforeEraseAndWrite() : rig.Backend().ProcessAfterEraseAndWrite();
    EXPECT_EQ(result, c.result) << c.name;
    EXPECT_EQ(rig.Frames().size(), c.frames) << c.name;
    if (std::string(c.name) == "0xA4 is not the awaited 0x00") {
      EXPECT_GE(clock.clock().NowMs() - before, 100u);  // the pause before the second 0x19
    }
  }
}

}  // namespace
}  // namespace uart_test
