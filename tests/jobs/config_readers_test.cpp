// The per-IC-type readers of the download job: each value is read into a
// 10-character buffer, so only its first 9 characters count.

#include <gtest/gtest.h>

#include "isp/online_com_update_thread.h"
#include "tests/jobs/jobs_fixture.h"

namespace jobs_test {
namespace {

TEST(ConfigReaders, ASlaveAddressCountsItsFirstNineCharacters) {
  ProgramFolder folder;
  RecordingEngine engine(folder.Path());
  struct Case {
    const char* text;
    BYTE address;
  };
  // "5D00000001" in full would be 0x5D00000001, whose low byte is 1; cut to
  // "5D0000000" its low byte is 0.
  for (const Case& c : {Case{"00000005D", 0x5D}, Case{"5D00000001", 0x00}, Case{"0000000051", 0x05}}) {
    folder.WriteConfig(std::string("[A]\r\nSLAVE_ADDRESS=") + c.text + "\r\n");
    EXPECT_EQ(ReadSlaveAddress("A"), c.address) << c.text;
  }
}

}  // namespace
}  // namespace jobs_test
