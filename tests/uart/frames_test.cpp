// Byte-exact host frames of the three UART back ends.

#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "isp/com_base_w24a.h"
#include "platform/core/clock.h"
#include "sim/uart_w24a_chip.h"
#include "tests/uart/uart_rig.h"

namespace uart_test {
namespace {

Bytes Ramp(std::size_t n, BYTE first = 0) {
  Bytes b(n);
  std::iota(b.begin(), b.end(), first);
  return b;
}

// The XOR-form checksum written out the long way: every byte from 0x55 on.
BYTE XorOfAll(const Bytes& frameWithoutChecksum) {
  BYTE x = 0;
  for (BYTE b : frameWithoutChecksum) x ^= b;
  return x;
}

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct FrameCase {
  const char* name;
  Family family;
  std::function<int(CCOMBase&)> call;
  std::vector<Bytes> replies;
  std::vector<Bytes> frames;
  int result;
};

class FrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameTest, SendsExactlyTheseFrames) {
  qv::ScopedVirtualClock clock;
  const FrameCase& c = GetParam();
  Rig rig(c.family);
  rig.Script(c.replies);
  EXPECT_EQ(c.call(rig.Backend()), c.result);
  EXPECT_EQ(rig.Frames(), c.frames);
}

const Bytes kPage128 = Ramp(128, 0x10);
const Bytes kPage32 = Ramp(32, 0x40);
const Bytes kPage1024 = Ramp(1024);

Bytes GenericWriteFrame() {
  Bytes f = Cat({0x55, 0xAA, 0x97, 0x82, 0x12, 0x80}, kPage128);
  f.push_back(XorOfAll(f));
  return f;
}

std::vector<Bytes> W24aWriteFrames(u32 address) {
  std::vector<Bytes> frames;
  for (u32 j = 0; j < 8; ++j) {
    const u32 a = address + 0x90000 + j * 128;
    Bytes f = {0x55, 0xAA, 0x13, 0x84, BYTE(a), BYTE(a >> 8), BYTE(a >> 16), BYTE(a >> 24)};
    f.insert(f.end(), kPage1024.begin() + j * 128, kPage1024.begin() + (j + 1) * 128);
    f.push_back(XorOfAll(f));
    frames.push_back(f);
  }
  return frames;
}

std::vector<Bytes> Repeat(const Bytes& b, int n) { return std::vector<Bytes>(static_cast<std::size_t>(n), b); }

const FrameCase kFrameCases[] = {
    {"GenericEraseMode0", Family::Generic, [](CCOMBase& b) { return b.SendEraseCmd(0, 0x400); },
     {Reply6(0x98, 0xA4)}, {{0x55, 0xAA, 0x98, 0x04, 0x00, 0x00, 0x04, 0x00, 0x67}}, 0xA4},
    {"GenericEraseFlipsToMode1", Family::Generic, [](CCOMBase& b) { return b.SendEraseCmd(0, 0x400); },
     {Reply6(0x98, 0xE1), Reply6(0x98, 0xA4)},
     {{0x55, 0xAA, 0x98, 0x04, 0x00, 0x00, 0x04, 0x00, 0x67},
      {0x55, 0xAA, 0x98, 0x04, 0x00, 0x00, 0x04, 0x00, 0xA0}},
     0xA4},
    {"GenericEraseSendsLow16Bits", Family::Generic,
     [](CCOMBase& b) { return b.SendEraseCmd(0x12345, 0x10010); }, {Reply6(0x98, 0xA4)},
     {{0x55, 0xAA, 0x98, 0x04, 0x23, 0x45, 0x00, 0x10, BYTE(0xFF ^ 0x98 ^ 0x04 ^ 0x23 ^ 0x45 ^ 0x10)}}, 0xA4},
    {"GenericWritePage", Family::Generic,
     [](CCOMBase& b) { return b.SendWritePageCmd(0x11280, kPage128.data()); }, {Reply6(0x97, 0xA4)},
     {GenericWriteFrame()}, 0xA4},
    {"GenericPageChecksum", Family::Generic, [](CCOMBase& b) { return b.SendPageChecksumCmd(0x0100, 1, 0x5A); },
     {Reply6(0x81, 0xA6)},
     {{0x55, 0xAA, 0x81, 0x04, 0x01, 0x00, 0x01, 0x5A, BYTE(0xFF ^ 0x81 ^ 0x04 ^ 0x01 ^ 0x01 ^ 0x5A)}}, 0xA6},
    {"W24aBeforeWrite", Family::W24A, [](CCOMBase& b) { return b.ProceseBeforeEraseAndWrite(); },
     {Reply6(0x19, 0x00), Reply6(0x17, 0xA4)},
     {{0x55, 0xAA, 0x19, 0x00, 0xE6}, {0x55, 0xAA, 0x17, 0x00, 0xE8}}, TRUE},
    {"W24aAfterWrite", Family::W24A, [](CCOMBase& b) { return b.ProcessAfterEraseAndWrite(); },
     {Reply6(0x18, 0xA4)}, {{0x55, 0xAA, 0x18, 0x00, 0xE7}}, TRUE},
    {"W24aEraseTwoPagesFor1025Bytes", Family::W24A, [](CCOMBase& b) { return b.SendEraseCmd(0, 1025); },
     {Reply6(0x12, 0xA4), Reply6(0x12, 0xA4)},
     {{0x55, 0xAA, 0x12, 0x04, 0x00, 0x00, 0x09, 0x00, BYTE(0xFF ^ 0x12 ^ 0x04 ^ 0x09)},
      {0x55, 0xAA, 0x12, 0x04, 0x00, 0x04, 0x09, 0x00, BYTE(0xFF ^ 0x12 ^ 0x04 ^ 0x04 ^ 0x09)}},
     0xA4},
    {"W24aEraseOfNothing", Family::W24A, [](CCOMBase& b) { return b.SendEraseCmd(0, 0); }, {}, {}, 0xA4},
    {"W24aWriteEightFrames", Family::W24A,
     [](CCOMBase& b) { return b.SendWritePageCmd(0x400, kPage1024.data()); }, Repeat(Reply6(0x13, 0xA4), 8),
     W24aWriteFrames(0x400), 0xA4},
    {"K55Erase", Family::K55, [](CCOMBase& b) { return b.SendEraseCmd(0x1000, 0x2000); }, {{0xAA}},
     {{0x55, 0xAA, 0x98, 0x00, 0xB5}}, 0xA4},
    {"K55WriteAtWordAddress", Family::K55,
     [](CCOMBase& b) { return b.SendWritePageCmd(0x1234, kPage32.data()); }, {{0xAA}},
     {Cat(Cat({0x55, 0xAA, 0x96, 0x22, 0x09, 0x1A}, kPage32), {0xB5})}, 0xA4},
    {"K55PasswordMostSignificantFirst", Family::K55,
     [](CCOMBase& b) { return b.SendKeyinPasswordCmd(0x3B8E61C4); }, {{0xAA}},
     {{0x55, 0xAA, 0x9A, 0x04, 0x3B, 0x8E, 0x61, 0xC4, 0xB5}}, 0xA4},
    {"K55Cmd99AwaitsNothing", Family::K55, [](CCOMBase& b) { return b.SendCmd99(); }, {},
     {{0x55, 0xAA, 0x99, 0x00, 0x71, 0xB5}}, 0xA4},
    {"K55ReadFrame", Family::K55,
     [](CCOMBase& b) {
       BYTE out[32];
       return b.SendReadPageCmd(0x1234, out);
     },
     {}, {{0x55, 0xAA, 0x83, 0x03, 0x09, 0x1A, 0x20, 0xB5}}, -1},
};

INSTANTIATE_TEST_SUITE_P(Uart, FrameTest, ::testing::ValuesIn(kFrameCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FrameTest, ModeFlippedByEraseHoldsForPageWrites) {
  qv::ScopedVirtualClock clock;
  Rig rig(Family::Generic);
  rig.Script({Reply6(0x98, 0xE1), Reply6(0x98, 0xA4), Reply6(0x97, 0xA4), Reply6(0x81, 0xA5)});
  ASSERT_EQ(rig.Backend().SendEraseCmd(0, 0x400), 0xA4);
  EXPECT_EQ(rig.Backend().GetChecksumMode(), 1u);
  ASSERT_EQ(rig.Backend().SendWritePageCmd(0, kPage128.data()), 0xA4);
  ASSERT_EQ(rig.Backend().SendPageChecksumCmd(0, 1, 0x33), 0xA5);
  const auto frames = rig.Frames();
  ASSERT_EQ(frames.size(), 4u);
  const BYTE pageSum = static_cast<BYTE>(std::accumulate(kPage128.begin(), kPage128.end(), 0x97 + 0x82));
  EXPECT_EQ(frames[2].back(), pageSum);
  EXPECT_EQ(frames[3].back(), BYTE(0x81 + 0x04 + 0x01 + 0x33));
}

// The answers that need no I/O: nothing is written and the output stays.
TEST(FrameTest, FixedAnswersTouchNothing) {
  struct Case {
    Family family;
    std::function<int(CCOMBase&, BYTE*)> call;
    int result;
  };
  const Case cases[] = {
      {Family::Generic, [](CCOMBase& b, BYTE* out) { return b.SendReadPageCmd(0, out); }, 0xA4},
      {Family::W24A, [](CCOMBase& b, BYTE* out) { return b.SendReadPageCmd(0, out); }, 0xA4},
      {Family::Generic, [](CCOMBase& b, BYTE* out) { return b.SendAllDataChecksumCmd(0, out, 32); }, 0xA5},
      {Family::K55, [](CCOMBase& b, BYTE* out) { return b.SendAllDataChecksumCmd(0, out, 32); }, 0xA5},
      {Family::W24A, [](CCOMBase& b, BYTE*) { return b.SendPageChecksumCmd(0, 1, 0); }, 0xA5},
      {Family::K55, [](CCOMBase& b, BYTE*) { return b.SendPageChecksumCmd(0, 1, 0); }, 0xA5},
      {Family::Generic, [](CCOMBase& b, BYTE*) { return b.SendCmd99(); }, 0xA4},
      {Family::W24A, [](CCOMBase& b, BYTE*) { return b.SendCmd99(); }, 0xA4},
  };
  for (const Case& c : cases) {
    Rig rig(c.family);
    Bytes out(32, 0x5C);
    EXPECT_EQ(c.call(rig.Backend(), out.data()), c.result);
    EXPECT_TRUE(rig.Frames().empty());
    EXPECT_EQ(out, Bytes(32, 0x5C));
  }
}

TEST(FrameTest, ConvertPageByteOrderReversesWholeGroupsOfTheLowByteCount) {
  struct Case {
    int length;
    std::size_t reversedBytes;
  };
  for (const Case c : {Case{6, 4}, Case{3, 0}, Case{128, 128}, Case{1024, 0}, Case{0x104, 4}}) {
    Bytes page = Ramp(1024);
    CCOMBase(std::make_unique<qv::FakeSerialPort>()).ConvertPageByteOrder(page.data(), c.length);
    for (std::size_t i = 0; i < page.size(); ++i) {
      const std::size_t from = i < c.reversedBytes ? i / 4 * 4 + 3 - i % 4 : i;
      ASSERT_EQ(page[i], BYTE(from)) << "length " << c.length << " byte " << i;
    }
  }
}

TEST(W24aCrcTest, Crc32Mpeg2OfTheCheckString) {
  const Bytes check = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(CCOMBaseW24A::Crc32Mpeg2(check.data(), 9), 0x0376E6E7u);
  EXPECT_EQ(qv::sim::UartW24aChip::Crc32(check.data(), 9), 0x0376E6E7u);
  EXPECT_EQ(CCOMBaseW24A::Crc32Mpeg2(check.data(), 0), 0xFFFFFFFFu);
}

// An image that ends inside a double word is padded with 0xFF to the next
// multiple of 8, and the end address names the last word of the padded range.
TEST(W24aCrcTest, ImageCrcFrameCoversPaddedLength) {
  struct Case {
    u32 size;
    u32 covered;
  };
  for (const Case c : {Case{1000, 1000}, Case{1001, 1008}, Case{8, 8}}) {
    qv::ScopedVirtualClock clock;
    Rig rig(Family::W24A);
    rig.Script({Reply6(0x16, 0xA6)});
    const Bytes image = Ramp(c.size, 7);
    Bytes covered(c.covered, 0xFF);
    std::copy(image.begin(), image.end(), covered.begin());
    const u32 crc = CCOMBaseW24A::Crc32Mpeg2(covered.data(), c.covered);
    const u32 start = 0x400;
    const u32 first = start + 0x90000;
    const u32 last = first + c.covered - 4;
    Bytes expected = {0x55, 0xAA, 0x16, 0x0C, BYTE(first), BYTE(first >> 8), BYTE(first >> 16), BYTE(first >> 24),
                      BYTE(last), BYTE(last >> 8), BYTE(last >> 16), BYTE(last >> 24), BYTE(crc), BYTE(crc >> 8),
                      BYTE(crc >> 16), BYTE(crc >> 24)};
    expected.push_back(XorOfAll(expected));
    EXPECT_EQ(rig.Backend().SendAllDataChecksumCmd(start, image.data(), c.size), 0xA6);
    EXPECT_EQ(rig.Frames(), std::vector<Bytes>{expected}) << "size " << c.size;
  }
}

}  // namespace
}  // namespace uart_test
