// The checks of the start address, the password and the read area.

#include <gtest/gtest.h>

#include <memory>

#include "app/request_checks.h"
#include "isp/com_base.h"
#include "isp/com_base_k55.h"
#include "isp/qv_ic_base.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/recording_engine.h"

namespace {

struct WriteCase {
  bool k55;  // else the generic back end: 128-byte pages, no password
  BOOL updatePart;
  const char* address;
  const char* password;
  WriteCheck check;
  u32 start;
  u32 passwordValue;
};

TEST(CheckWriteRequest, AddressAndPassword) {
  CCOMBaseK55 k55(std::make_unique<qv::FakeSerialPort>());
  CCOMBase generic(std::make_unique<qv::FakeSerialPort>());
  const WriteCase cases[] = {
      // Without Update Part the edit is not looked at.
      {false, FALSE, "123", "", WriteCheck::kOk, 0, 0},
      {false, FALSE, "xyz", "", WriteCheck::kOk, 0, 0},
      {false, TRUE, "100", "", WriteCheck::kOk, 0x100, 0},
      {false, TRUE, "0", "", WriteCheck::kOk, 0, 0},
      {false, TRUE, "ff80", "", WriteCheck::kOk, 0xFF80, 0},
      {false, TRUE, "140", "", WriteCheck::kAddressNotOnPage, 0x140, 0},
      // Not hex: refused instead of becoming address 0.
      {false, TRUE, "0x100", "", WriteCheck::kAddressNotHex, 0, 0},
      {false, TRUE, "", "", WriteCheck::kAddressNotHex, 0, 0},
      {false, TRUE, "10 ", "", WriteCheck::kAddressNotHex, 0, 0},
      // A back end without password ignores the edit.
      {false, FALSE, "", "zz", WriteCheck::kOk, 0, 0},
      {true, FALSE, "", "3B8E61C4", WriteCheck::kOk, 0, 0x3B8E61C4},
      {true, FALSE, "", "", WriteCheck::kOk, 0, 0},  // empty: handed over as 0
      {true, FALSE, "", "0", WriteCheck::kBadPassword, 0, 0},
      {true, FALSE, "", "0000", WriteCheck::kBadPassword, 0, 0},
      {true, FALSE, "", "12G4", WriteCheck::kBadPassword, 0, 0},
      // The address is checked first.
      {true, TRUE, "21", "0", WriteCheck::kAddressNotOnPage, 0x21, 0},
  };
  for (const WriteCase& c : cases) {
    CWriteRequest request;
    CCommonInterface& backEnd = c.k55 ? static_cast<CCommonInterface&>(k55) : generic;
    SCOPED_TRACE(std::string(c.address) + " / " + c.password);
    EXPECT_EQ(CheckWriteRequest(c.updatePart, c.address, c.password, backEnd, &request), c.check);
    if (c.check == WriteCheck::kOk) {
      EXPECT_EQ(request.start, c.start);
      EXPECT_EQ(request.password, c.passwordValue);
    }
  }
}

TEST(CheckWriteRequest, MessagesAndCaptions) {
  EXPECT_EQ(WriteCheckText(WriteCheck::kAddressNotOnPage, 128).str(), "Adddress must can be multiple of 128 !");
  EXPECT_STREQ(WriteCheckCaption(WriteCheck::kAddressNotOnPage), "Warn");
  EXPECT_EQ(WriteCheckText(WriteCheck::kBadPassword, 128).str(), "Input Password is invalid!");
  EXPECT_STREQ(WriteCheckCaption(WriteCheck::kBadPassword), "");
  EXPECT_EQ(WriteCheckText(WriteCheck::kAddressNotHex, 128).str(), "Write Begin Address must be hex digits!");
  EXPECT_STREQ(WriteCheckCaption(WriteCheck::kAddressNotHex), "Warn");
}

// The K55's 16-bit word addresses reach 128 KB.
constexpr unsigned long long kK55Reach = 0x20000;

struct ReadCase {
  ReadArea area;
  const char* from;
  const char* to;
  const char* password;
  ReadCheck check;
  u32 start;
  int size;
  int pages;
};

TEST(CheckReadRequest, AreasRangesAndPassword) {
  CCOMBaseK55 k55(std::make_unique<qv::FakeSerialPort>());
  const long long usable = 32 * 1024;
  const ReadCase cases[] = {
      {ReadArea::kAll, "", "", "", ReadCheck::kOk, 0, 32768, 1024},
      // All Area ignores the range.
      {ReadArea::kAll, "7FFF", "0", "", ReadCheck::kOk, 0, 32768, 1024},
      {ReadArea::kCustom, "0", "7FFF", "", ReadCheck::kOk, 0, 32768, 1024},
      {ReadArea::kCustom, "0", "8000", "", ReadCheck::kTooBig, 0, 0, 0},
      {ReadArea::kCustom, "100", "100", "", ReadCheck::kOk, 0x100, 1, 1},
      {ReadArea::kCustom, "100", "150", "", ReadCheck::kOk, 0x100, 0x51, 3},
      {ReadArea::kCustom, "100", "FF", "", ReadCheck::kEndBeforeStart, 0, 0, 0},
      {ReadArea::kCustom, "100", "0", "", ReadCheck::kEndBeforeStart, 0, 0, 0},
      // A prefix is not hex: From counts as 0.
      {ReadArea::kCustom, "0x10", "1F", "", ReadCheck::kOk, 0, 0x20, 1},
      // The whole 32-bit range is too big, not a wrapped-round size of 0.
      {ReadArea::kCustom, "0", "FFFFFFFF", "", ReadCheck::kTooBig, 0, 0, 0},
      {ReadArea::kNone, "0", "1F", "", ReadCheck::kNoArea, 0, 0, 0},
      {ReadArea::kAll, "", "", "3B8E61C4", ReadCheck::kOk, 0, 32768, 1024},
      {ReadArea::kAll, "", "", "0", ReadCheck::kBadPassword, 0, 0, 0},
      {ReadArea::kAll, "", "", "hello", ReadCheck::kBadPassword, 0, 0, 0},
  };
  for (const ReadCase& c : cases) {
    CReadRequest request;
    SCOPED_TRACE(std::string(c.from) + ".." + c.to + " / " + c.password);
    EXPECT_EQ(CheckReadRequest(c.area, c.from, c.to, c.password, usable, kK55Reach, k55, &request), c.check);
    if (c.check == ReadCheck::kOk) {
      EXPECT_EQ(request.start, c.start);
      EXPECT_EQ(request.size, c.size);
      EXPECT_EQ(request.pages, c.pages);
      EXPECT_EQ(request.password.str(), c.password);
    }
  }
}

TEST(CheckReadRequest, NoUsableFlashLeavesNothingToRead) {
  CCOMBaseK55 k55(std::make_unique<qv::FakeSerialPort>());
  CReadRequest request;
  EXPECT_EQ(CheckReadRequest(ReadArea::kAll, "", "", "", 0, kK55Reach, k55, &request), ReadCheck::kTooBig);
  EXPECT_EQ(CheckReadRequest(ReadArea::kAll, "", "", "", -4096, kK55Reach, k55, &request), ReadCheck::kTooBig);
}

// A size that the read's 32-bit count cannot hold, or addresses that the
// back end's frames cannot reach, are too big as well: they would wrap round
// into a read of something else (FLASH=4194305 had read 1024 bytes and
// reported 100%).
TEST(CheckReadRequest, WhatDoesNotFitItsTypeOrTheAddressesIsTooBig) {
  CCOMBaseK55 k55(std::make_unique<qv::FakeSerialPort>());
  struct Case {
    const char* what;
    ReadArea area;
    const char* from;
    const char* to;
    long long usable;
    unsigned long long reach;
    ReadCheck check;
  };
  const Case cases[] = {
      {"FLASH=4194305", ReadArea::kAll, "", "", 4194305LL * 1024, 1ull << 32, ReadCheck::kTooBig},
      {"FLASH=99999999", ReadArea::kAll, "", "", 99999999LL * 1024, 1ull << 32, ReadCheck::kTooBig},
      {"2147483647 bytes, the largest count", ReadArea::kAll, "", "", 2147483647LL, 1ull << 32, ReadCheck::kOk},
      {"FLASH=2097152", ReadArea::kAll, "", "", 2097152LL * 1024, 1ull << 32, ReadCheck::kTooBig},
      {"all of the words", ReadArea::kAll, "", "", 0x20000, kK55Reach, ReadCheck::kOk},
      {"a word beyond them", ReadArea::kAll, "", "", 0x20000 + 32, kK55Reach, ReadCheck::kTooBig},
      {"the last words", ReadArea::kCustom, "1FFE0", "1FFFF", 0x40000, kK55Reach, ReadCheck::kOk},
      {"across the end", ReadArea::kCustom, "1FFE0", "2001F", 0x40000, kK55Reach, ReadCheck::kTooBig},
      {"beyond the end", ReadArea::kCustom, "20000", "2001F", 0x40000, kK55Reach, ReadCheck::kTooBig},
      {"a huge flash, a small range", ReadArea::kCustom, "0", "FF", 99999999LL * 1024, kK55Reach, ReadCheck::kOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CReadRequest request;
    EXPECT_EQ(CheckReadRequest(c.area, c.from, c.to, "", c.usable, c.reach, k55, &request), c.check);
  }
}

// What the reader's back end reaches: the K55's 16-bit word addresses, the
// generic chip's 16-bit byte addresses, the bridge's 16-bit read window that
// starts 0x1000 above the address; nothing without a back end.
TEST(ReadAddressLimit, IsWhatTheReadersFramesCanAddress) {
  qv::RecordingEngine engine;
  CCOMBaseK55 k55(std::make_unique<qv::FakeSerialPort>());
  CCOMBase generic(std::make_unique<qv::FakeSerialPort>());
  CQvIcBase ic;
  struct Case {
    const char* what;
    u32 interface;
    CCOMBase* com;
    CQvIcBase* bridge;
    unsigned long long reach;
  };
  const Case cases[] = {
      {"K55", 0, &k55, nullptr, 0x20000},
      {"generic", 0, &generic, nullptr, 0x10000},
      {"no serial back end", 0, nullptr, &ic, 0},
      {"over the bridge", 1, &k55, &ic, 0xF000},
      {"no bridge back end", 1, &k55, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    engine.m_nInterface = c.interface;
    engine.m_pCOMBase = c.com;
    g_pIcBase = c.bridge;
    EXPECT_EQ(ReadAddressLimit(), c.reach);
  }
  g_pIcBase = nullptr;
}

TEST(CheckReadRequest, Messages) {
  EXPECT_EQ(ReadCheckText(ReadCheck::kTooBig).str(), "Can not read such a big size!");
  EXPECT_EQ(ReadCheckText(ReadCheck::kBadPassword).str(), "Input Password is invalid!");
  EXPECT_FALSE(ReadCheckText(ReadCheck::kNoArea).IsEmpty());
  EXPECT_FALSE(ReadCheckText(ReadCheck::kEndBeforeStart).IsEmpty());
}

}  // namespace
