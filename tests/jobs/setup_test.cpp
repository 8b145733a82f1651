// The parts of a job that need no chip: the percent rule, the byte sum, the
// job setters' arithmetic and refusals, and the per-IC-type readers.

#include <gtest/gtest.h>

#include "isp/bridge_device.h"
#include "isp/com_base_k55.h"
#include "isp/com_base_w24a.h"
#include "isp/online_com_update_thread.h"
#include "isp/online_update_thread.h"
#include "isp/program_job.h"
#include "isp/qv_ic_7t0.h"
#include "isp/progress.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "platform/win32/winuser.h"
#include "tests/jobs/jobs_fixture.h"

namespace jobs_test {
namespace {

// The engine keeps its own number for the owners' message; it must stay the
// window layer's first user message.
static_assert(WM_ISP_PROGRESS == WM_USER + 1 && WM_ISP_PROGRESS == 0x401);

// The percents a job of pageCount pages posts with stage 2 between its 10 and its 100.
std::vector<int> PostedPercents(int pageCount) {
  std::vector<int> posted;
  CPercentRule rule;
  for (int i = 0; i < pageCount; ++i) {
    int p = 0;
    if (rule.Next(i, pageCount, &p)) posted.push_back(p);
  }
  return posted;
}

struct PercentCase {
  int pages;
  std::vector<int> expected;
};

class PercentRule : public ::testing::TestWithParam<PercentCase> {};

TEST_P(PercentRule, PostsOnlySteps) { EXPECT_EQ(PostedPercents(GetParam().pages), GetParam().expected); }

std::vector<int> Steps(int from, int to, int step) {
  std::vector<int> v;
  for (int p = from; p <= to; p += step) v.push_back(p);
  return v;
}

INSTANTIATE_TEST_SUITE_P(Cases, PercentRule,
                         ::testing::Values(PercentCase{1, {}}, PercentCase{2, {50}},
                                           PercentCase{10, Steps(18, 82, 8)},
                                           PercentCase{1000, Steps(12, 88, 2)}));

TEST(PercentRule, ThousandPagesStepAtEveryTwentyFifthPage) {
  EXPECT_EQ(PagePercent(24, 1000), 11);
  EXPECT_EQ(PagePercent(25, 1000), 12);
  EXPECT_EQ(PagePercent(50, 1000), 14);
  EXPECT_EQ(PagePercent(999, 1000), 89);
}

TEST(ByteSum, IsThe32BitSum) {
  const BYTE abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(GetByteSum(abc, 3), 294u);
  EXPECT_EQ(LOBYTE(GetByteSum(abc, 3)), 0x26);
  EXPECT_EQ(GetByteSum(abc, 0), 0u);
  const Bytes ff(0x10000, 0xFF);
  EXPECT_EQ(GetByteSum(ff.data(), static_cast<u32>(ff.size())), 0xFFu * 0x10000u);
}

class Setters : public ::testing::Test {
 protected:
  ProgramFolder folder_;
  RecordingEngine engine_{folder_.Path()};
  RecordingOwner owner_;
};

struct DownloadCase {
  const char* icType;
  std::size_t fileBytes;
  int mode;
  u32 start, end, skip;
  bool queued;
  int imageBytes, pages;
  std::size_t fileOffset;  // where the image starts in the file
};

class DownloadSetJob : public Setters, public ::testing::WithParamInterface<DownloadCase> {};

TEST_P(DownloadSetJob, CutsTheFileAndCountsPages) {
  const DownloadCase& c = GetParam();
  const Bytes file = Pattern(c.fileBytes);
  const std::string path = folder_.WriteFile("fw.bin", file);
  COnlineComUpdateThread worker(&owner_);
  worker.SetJob(c.icType, path.c_str(), c.mode, c.start, c.end, 115200, c.skip, 1);
  ASSERT_EQ(worker.GetJobFlag(), c.queued ? 1u : 0u);
  ASSERT_NE(engine_.m_pInterface, nullptr);  // the back end is made whatever follows
  if (!c.queued) return;
  const CJobImage& image = worker.Image();
  EXPECT_EQ(image.m_nImageSize, c.imageBytes);
  EXPECT_EQ(image.m_nPageCount, c.pages);
  EXPECT_EQ(image.m_nStartAddress, c.start);
  EXPECT_EQ(image.m_buffer, Bytes(file.begin() + static_cast<long>(c.fileOffset),
                                  file.begin() + static_cast<long>(c.fileOffset) + c.imageBytes));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadSetJob,
    ::testing::Values(
        // Mode 5: header 0, skip 16 of 4096 bytes; programmed from the start given.
        DownloadCase{"GEN", 4096, 5, 0x200, 0, 16, true, 4080, 32, 16},
        // K55 keeps the last 768 bytes of the file: 3328 bytes in 104 pages of 32.
        DownloadCase{"K55", 4096, 5, 0, 0, 0, true, 3328, 104, 0},
        // A remainder makes one more page.
        DownloadCase{"W24", 2500, 5, 0, 0, 0, true, 2500, 3, 0},
        // Mode 4: the start is also the file offset; the trailer does not apply.
        DownloadCase{"K55", 4096, 4, 0x100, 0x1FF, 0, true, 256, 8, 0x100},
        DownloadCase{"GEN", 4096, 4, 0xF00, 0xFFF, 0, true, 256, 2, 0xF00},
        // Refused: file shorter than trailer + skip, range outside the file,
        // a range that ends before it begins, a mode that loads nothing.
        DownloadCase{"K55", 700, 5, 0, 0, 0, false, 0, 0, 0},
        DownloadCase{"GEN", 100, 5, 0, 0, 101, false, 0, 0, 0},
        DownloadCase{"GEN", 4096, 4, 0xF00, 0x1000, 0, false, 0, 0, 0},
        DownloadCase{"GEN", 4096, 4, 0x200, 0x100, 0, false, 0, 0, 0},
        DownloadCase{"GEN", 4096, 4, 0, 0xFFFFFFFF, 0, false, 0, 0, 0},
        DownloadCase{"GEN", 4096, 3, 0, 0, 0, false, 0, 0, 0}));

TEST_F(Setters, DownloadSetJobWithoutTheFileQueuesNothing) {
  COnlineComUpdateThread worker(&owner_);
  worker.SetJob("GEN", folder_.File("missing.bin").c_str(), 5, 0, 0, 9600, 0, 0);
  EXPECT_EQ(worker.GetJobFlag(), 0u);
  worker.SetJob("GEN", folder_.Path().c_str(), 5, 0, 0, 9600, 0, 0);
  EXPECT_EQ(worker.GetJobFlag(), 0u);
  EXPECT_TRUE(owner_.Posts().empty());
  EXPECT_EQ(owner_.CloseShown(), 0);
}

struct BackEndCase {
  const char* section;
  const char* keys;  // the section's body
  u32 interface;
  const char* kind;
};

class BackEndChoice : public Setters, public ::testing::WithParamInterface<BackEndCase> {};

const char* KindOf(CCommonInterface* b) {
  if (dynamic_cast<CCOMBaseK55*>(b) != nullptr) return "K55";
  if (dynamic_cast<CCOMBaseW24A*>(b) != nullptr) return "W24A";
  if (dynamic_cast<CCOMBase*>(b) != nullptr) return "COM";
  if (dynamic_cast<CQvIc7T0*>(b) != nullptr) return "7T0";
  if (dynamic_cast<CQvIcBase*>(b) != nullptr) return "IC";
  return "none";
}

TEST_P(BackEndChoice, FollowsTheFlagsInOrder) {
  const BackEndCase& c = GetParam();
  folder_.WriteConfig(std::string("[") + c.section + "]\r\n" + c.keys);
  const std::string path = folder_.WriteFile("fw.bin", Pattern(1024));
  COnlineComUpdateThread worker(&owner_);
  worker.SetJob(c.section, path.c_str(), 5, 0, 0, 9600, 0, 0);
  EXPECT_EQ(engine_.m_nInterface, c.interface);
  EXPECT_STREQ(KindOf(engine_.m_pInterface), c.kind);
  if (c.interface == 0) {
    EXPECT_EQ(engine_.m_pInterface, engine_.m_pCOMBase);
    EXPECT_EQ(g_pIcBase, nullptr);
  } else {
    EXPECT_EQ(engine_.m_pInterface, g_pIcBase);
    EXPECT_EQ(engine_.m_pCOMBase, nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackEndChoice,
    ::testing::Values(BackEndCase{"A", "RAM=4\r\n", 0, "COM"},
                      BackEndCase{"A", "COM =TRUE\r\nUSE_W24A_UARTISP=TRUE\r\n", 0, "W24A"},
                      BackEndCase{"A", "USE_W24A_UARTISP=TRUE\r\nUSE_K55_UARTISP=TRUE\r\n", 0, "K55"},
                      BackEndCase{"A", "USE_K55_UARTISP=true\r\n", 0, "COM"},
                      BackEndCase{"A", "COM =true\r\n", 1, "IC"},
                      BackEndCase{"A", "COM =FALSE\r\nUSE_K55_UARTISP=TRUE\r\n", 1, "IC"},
                      BackEndCase{"A", "COM =FALSE\r\nUSE_QV7T0_USBISP =TRUE\r\n", 1, "7T0"}));

// The setter's chip may be made while a bridge is already open: a 7T0 type's
// chip hands it the type's address, the 128-byte family's chip nothing.
TEST_F(Setters, DownloadChipHandsAnOpenBridgeOnlyA7T0TypesAddress) {
  using Call = qv::sim::BoardCall;
  struct Case {
    const char* icType;
    std::vector<Call> calls;
  };
  const Case cases[] = {{"I2C128", {}}, {"T7T0", {{"QV_SetSlaveAddr", {0x5D}}}}};
  const std::string path = folder_.WriteFile("fw.bin", Pattern(1024));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.icType);
    ostrelusb::Configure({true, {qv::sim::ChipFamily::kPage128, 64, 0x70}});
    g_BridgeDevice.SetHandle(nullptr);
    ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
    ostrelusb::ClearLogs();
    COnlineComUpdateThread worker(&owner_);
    worker.SetJob(c.icType, path.c_str(), 5, 0, 0, 9600, 0, 0);
    EXPECT_EQ(ostrelusb::Calls(), c.calls);
  }
  g_BridgeDevice.SetHandle(nullptr);
  ostrelusb::Configure({});
}

TEST_F(Setters, SlaveAddressIsHexDigitsOnly) {
  folder_.WriteConfig("[A]\r\nSLAVE_ADDRESS=5D\r\n[B]\r\nRAM=1\r\n[C]\r\nSLAVE_ADDRESS=0x70\r\n");
  EXPECT_EQ(ReadSlaveAddress("A"), 0x5D);
  EXPECT_EQ(ReadSlaveAddress("B"), 0);  // the default "0X50" is not plain hex
  EXPECT_EQ(ReadSlaveAddress("C"), 0);
}

TEST_F(Setters, WriteSetJobCutsHeaderAndTrailerOfTheCurrentBackEnd) {
  CCOMBaseK55 k55(std::make_unique<qv::FakeSerialPort>());
  engine_.m_pInterface = &k55;
  COnlineUpdateThread worker(&owner_);
  const Bytes file = Pattern(0x300 + 100);
  EXPECT_TRUE(worker.SetJob(folder_.WriteFile("fw.bin", file).c_str(), 0, FALSE, 0));
  EXPECT_EQ(worker.GetJobFlag(), 1u);
  // Shorter than the trailer, or missing: refused, nothing queued.
  COnlineUpdateThread refusing(&owner_);
  EXPECT_FALSE(refusing.SetJob(folder_.WriteFile("short.bin", Pattern(0x2FF)).c_str(), 0, FALSE, 0));
  EXPECT_FALSE(refusing.SetJob(folder_.File("missing.bin").c_str(), 0, FALSE, 0));
  // A folder opens on Linux and reports an endless length: no image either.
  EXPECT_FALSE(refusing.SetJob(folder_.Path().c_str(), 0, FALSE, 0));
  EXPECT_EQ(refusing.GetJobFlag(), 0u);
  engine_.m_pInterface = nullptr;
}

// Files with no byte to program after header, trailer and skip: a job would
// erase the chip and report success, so both setters refuse it and log why.
struct EmptyCase {
  Serial family;
  std::size_t fileBytes;
  u32 skip;  // the download setter's only
};

class NothingToProgram : public Setters, public ::testing::WithParamInterface<EmptyCase> {};

TEST_P(NothingToProgram, IsRefusedByBothSettersBeforeAnyIo) {
  const EmptyCase& c = GetParam();
  const std::string path = folder_.WriteFile("fw.bin", Pattern(c.fileBytes));
  auto port = std::make_unique<qv::FakeSerialPort>();
  qv::FakeSerialPort& fake = *port;
  engine_.m_pCOMBase = MakeBackEnd(c.family, std::move(port));
  engine_.m_pInterface = engine_.m_pCOMBase;
  if (c.skip == 0) {
    COnlineUpdateThread worker(&owner_);
    EXPECT_FALSE(worker.SetJob(path.c_str(), 0, TRUE, 0));
    EXPECT_EQ(worker.GetJobFlag(), 0u);
    EXPECT_EQ(engine_.Entries(), std::vector<std::string>{"Image Size Fail! Nothing To Program"});
    EXPECT_TRUE(fake.OpenCalls().empty());
  }
  COnlineComUpdateThread download(&owner_);
  download.SetJob(IcTypeOf(c.family), path.c_str(), 5, 0, 0, 115200, c.skip, 0);
  EXPECT_EQ(download.GetJobFlag(), 0u);
  EXPECT_EQ(engine_.Entries().back(), "Image Size Fail! Nothing To Program");
  EXPECT_TRUE(owner_.Posts().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, NothingToProgram,
                         ::testing::Values(EmptyCase{Serial::kK55, 0x300, 0},  // all of it trailer
                                           EmptyCase{Serial::kK55, 0x200, 0},
                                           EmptyCase{Serial::kGeneric, 0, 0},
                                           EmptyCase{Serial::kW24A, 0, 0},
                                           EmptyCase{Serial::kK55, 0, 0},
                                           EmptyCase{Serial::kGeneric, 100, 100},
                                           EmptyCase{Serial::kK55, 0x300 + 32, 32}),
                         [](const auto& info) {
                           return std::string(IcTypeOf(info.param.family)) + "_" +
                                  std::to_string(info.param.fileBytes) + "_skip" + std::to_string(info.param.skip);
                         });

TEST_F(Setters, OneByteLeftIsAJob) {
  COnlineComUpdateThread worker(&owner_);
  worker.SetJob("K55", folder_.WriteFile("fw.bin", Pattern(0x300 + 33)).c_str(), 5, 0, 0, 115200, 32, 0);
  EXPECT_EQ(worker.GetJobFlag(), 1u);
  EXPECT_EQ(worker.Image().m_nImageSize, 1);
  EXPECT_EQ(worker.Image().m_nPageCount, 1);
  EXPECT_TRUE(engine_.Entries().empty());
}

TEST_F(Setters, WriteJobWithoutAnImageOnlyEndsTheJob) {
  owner_.imageLoaded = FALSE;
  COnlineUpdateThread worker(&owner_);
  EXPECT_TRUE(worker.SetJob(folder_.File("missing.bin").c_str(), 0, FALSE, 0));
  EXPECT_TRUE(worker.UpdateOverCom());
  EXPECT_TRUE(worker.UpdateOverUsb());
  EXPECT_TRUE(owner_.Posts().empty());
  EXPECT_EQ(owner_.Enabled(), 2);
  EXPECT_EQ(owner_.Repainted(), 2);
}

}  // namespace
}  // namespace jobs_test
