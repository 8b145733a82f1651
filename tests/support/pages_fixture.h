#pragma once
// The peers of the page suites: a program folder with a config.ini of a few
// IC types, installed as the engine's folder with the chosen type's sizes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "isp/engine.h"
#include "tests/support/pattern.h"
#include "tests/support/pty_fixture.h"
#include "tests/support/recording_engine.h"

namespace pages_test {

using Bytes = std::vector<BYTE>;

// K55 (trailer 768 bytes, nothing reserved), GEN (4 KB reserved) and ROM
// (GEN's back end with its boot loader in ROM, written in lower case).
inline constexpr char kConfigIni[] =
    "[K55]\r\nRAM=2\r\nFLASH=32\r\nUSE_K55_UARTISP=TRUE\r\n"
    "[GEN]\r\nRAM=4\r\nFLASH=16\r\n"
    "[ROM]\r\nRAM=4\r\nFLASH=16\r\nBootLoadInRom=true\r\n";

class PagesTest : public ::testing::Test {
 protected:
  PagesTest();
  ~PagesTest() override;

  // Makes type the chosen IC type with its flash size in KB.
  void Choose(const char* type, int flashK);
  std::string WriteFile(const std::string& name, const Bytes& bytes) const;
  std::string File(const std::string& name) const { return folder_.Path() + "/" + name; }
  std::string ReadConfig() const;

  qv::TempProgramFolder folder_;
  qv::RecordingEngine engine_;
};

using qv::Pattern;

}  // namespace pages_test
