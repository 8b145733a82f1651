// Every way a job fails, as tables: the stage codes it posts (codes 1 and 4
// only as its last), the run log's last entry, the owner re-enabled without a
// repaint; then a worker that failed takes its next job.

#include <gtest/gtest.h>

#include <functional>

#include "isp/bridge_device.h"
#include "isp/online_com_update_thread.h"
#include "isp/online_update_thread.h"
#include "isp/progress.h"
#include "isp/qv_ic_7t0.h"
#include "platform/core/clock.h"
#include "platform/ostrelusb/OstrelUsbSim.h"
#include "sim/uart_chip.h"
#include "tests/jobs/jobs_fixture.h"

namespace jobs_test {
namespace {

using Codes = std::vector<WPARAM>;
const Codes kUpToErase = {kProgressStart, kProgressEraseBegin};
const Codes kUpToPages = {kProgressStart, kProgressEraseBegin, kProgressEraseEnd, kProgressUpdating};

struct UartFailure {
  const char* name;
  Serial family;
  std::function<void(qv::sim::UartChip&, qv::FakeSerialPort&)> fault;
  Codes codesStart;  // the stage codes the job begins with
  WPARAM lastCode;   // the stage code posted last
  const char* lastLog;  // the run log's last entry, exactly
  u32 start = 0;
  u32 password = kDefaultPassword;
};

class UartFailures : public ::testing::TestWithParam<UartFailure> {
 protected:
  qv::ScopedVirtualClock clock_;  // the silent paths wait seconds
  ProgramFolder folder_;
  RecordingEngine engine_{folder_.Path()};
  RecordingOwner owner_;
};

TEST_P(UartFailures, EndTheJobWithTheirCodeAndLogText) {
  const UartFailure& c = GetParam();
  auto chip = MakeChip(c.family);
  auto port = std::make_unique<qv::FakeSerialPort>();
  qv::FakeSerialPort& fake = *port;
  Attach(fake, *chip);
  c.fault(*chip, fake);
  engine_.m_pCOMBase = MakeBackEnd(c.family, std::move(port));
  engine_.m_pInterface = engine_.m_pCOMBase;
  COnlineUpdateThread worker(&owner_);
  const Bytes image = Pattern(chip->PageSize() * 4);
  ASSERT_TRUE(worker.SetJob(folder_.WriteFile("fw.bin", ImageFile(c.family, image)).c_str(), c.start, FALSE,
                            c.password));
  EXPECT_FALSE(worker.UpdateOverCom());

  const Codes codes = owner_.Codes();
  ASSERT_GE(codes.size(), c.codesStart.size());
  EXPECT_EQ(Codes(codes.begin(), codes.begin() + static_cast<long>(c.codesStart.size())), c.codesStart);
  EXPECT_EQ(codes.back(), c.lastCode);
  EXPECT_NE(owner_.Posts().back(), Stage(kProgressUpdating, 100));
  const std::vector<std::string> log = engine_.Entries();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), c.lastLog);
  EXPECT_EQ(owner_.Enabled(), 1);
  EXPECT_EQ(owner_.Repainted(), 0);
}

void Silent(qv::sim::UartChip& chip, qv::FakeSerialPort&) { chip.SetSilent(true); }
std::function<void(qv::sim::UartChip&, qv::FakeSerialPort&)> Status(BYTE command, int status) {
  return [=](qv::sim::UartChip& chip, qv::FakeSerialPort&) { chip.SetStatusFor(command, status); };
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UartFailures,
    ::testing::Values(
        UartFailure{"SilentChip", Serial::kGeneric, Silent, kUpToErase, kProgressEraseBegin, "SendEraseCmd Fail!"},
        UartFailure{"PortDoesNotOpen", Serial::kGeneric,
                    [](qv::sim::UartChip&, qv::FakeSerialPort& p) { p.FailOpen(true); }, {kProgressStart},
                    kProgressStart, "m_pCOMBase::Init Fail!"},
        UartFailure{"EraseRefused", Serial::kGeneric, Status(0x98, 0x00), kUpToErase, kProgressEraseBegin,
                    "SendEraseCmd Fail!"},
        UartFailure{"WrongWriteStatus", Serial::kGeneric, Status(0x97, 0x00), kUpToPages, kProgressCommError,
                    "Page Index 1 Write Fail"},
        UartFailure{"PageCheckFails", Serial::kGeneric,
                    [](qv::sim::UartChip& chip, qv::FakeSerialPort&) { chip.CorruptPage(0x100); }, kUpToPages,
                    kProgressVerifyError, "Page Index 3 Write Checksum Fail"},
        UartFailure{"PageCheckUnanswered", Serial::kGeneric, Status(0x81, 0x00), kUpToPages, kProgressCommError,
                    "Page Index 1 Write Checksum Fail"},
        UartFailure{"WholeImageCrcFails", Serial::kW24A,
                    [](qv::sim::UartChip& chip, qv::FakeSerialPort&) { chip.CorruptPage(0x400); }, kUpToPages,
                    kProgressVerifyError, "Alll Data Checksum Fail"},
        UartFailure{"BeforeWriteStepFails", Serial::kW24A, Status(0x17, 0x00), kUpToErase, kProgressEraseBegin,
                    "ProceseBeforeEraseAndWrite Fail"},
        UartFailure{"AfterWriteStepFails", Serial::kW24A, Status(0x18, 0x00), kUpToPages, kProgressUpdating,
                    "ProcessAfterEraseAndWrite Fail"},
        UartFailure{"PasswordRejected", Serial::kK55, [](qv::sim::UartChip&, qv::FakeSerialPort&) {},
                    {kProgressStart, kProgressEraseBegin, kProgressEraseEnd}, kProgressEraseEnd,
                    "SendKeyinPasswordCmd Fail!", 0, 0x11111111},
        // 16-bit addresses: pages past 0xFFFF would wrap onto the start of the flash.
        UartFailure{"BeyondTheAddressSpace", Serial::kGeneric, [](qv::sim::UartChip&, qv::FakeSerialPort&) {},
                    {kProgressStart}, kProgressStart, "Address Range Fail! 0xFF00 + 0x200 > 0x10000", 0xFF00}),
    [](const auto& info) { return std::string(info.param.name); });

struct UsbFailure {
  const char* name;
  std::function<void(RecordingOwner&)> fault;
  Codes codesStart;
  WPARAM lastCode;
};

const Codes kUsbPages = {kProgressStart, kProgressEraseBegin, kProgressEraseEnd, kProgressUpdating};

class UsbFailures : public ::testing::TestWithParam<UsbFailure> {
 protected:
  void TearDown() override {
    g_BridgeDevice.SetHandle(nullptr);
    ostrelusb::Configure({});
  }
  qv::ScopedVirtualClock clock_;
  ProgramFolder folder_;
  RecordingEngine engine_{folder_.Path()};
  RecordingOwner owner_;
};

TEST_P(UsbFailures, EndTheJobWithTheirCode) {
  ostrelusb::Configure({true, {qv::sim::ChipFamily::k7T0, 64, 0x70}});
  g_BridgeDevice.SetHandle(nullptr);
  ASSERT_EQ(g_BridgeDevice.Open(), QV_OK);
  ASSERT_EQ(g_BridgeDevice.SetSlaveAddr(0x70), QV_OK);
  engine_.m_nInterface = 1;
  g_pIcBase = new CQvIc7T0(0x70);
  engine_.m_pInterface = g_pIcBase;
  GetParam().fault(owner_);
  COnlineUpdateThread worker(&owner_);
  ASSERT_TRUE(worker.SetJob(folder_.WriteFile("fw.bin", Pattern(1024 * 8)).c_str(), 0, TRUE, 0));
  EXPECT_FALSE(worker.UpdateOverUsb());
  const Codes codes = owner_.Codes();
  const Codes& start = GetParam().codesStart;
  ASSERT_GE(codes.size(), start.size());
  EXPECT_EQ(Codes(codes.begin(), codes.begin() + static_cast<long>(start.size())), start);
  EXPECT_EQ(codes.back(), GetParam().lastCode);
  EXPECT_EQ(owner_.Enabled(), 1);
  EXPECT_EQ(owner_.Repainted(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UsbFailures,
    ::testing::Values(
        UsbFailure{"BridgeAbsent", [](RecordingOwner&) { g_BridgeDevice.SetHandle(nullptr); },
                   {kProgressStart, kProgressCommError}, kProgressCommError},
        // Pulled between a page's write and its verify: the verify fails.
        UsbFailure{"UnpluggedMidJob",
                   [](RecordingOwner& owner) {
                     owner.onPost = [](WPARAM stage, LPARAM value) {
                       if (stage == kProgressUpdating && value > 10) ostrelusb::Unplug();
                     };
                   },
                   kUsbPages, kProgressVerifyError},
        UsbFailure{"EraseFails",
                   [](RecordingOwner&) {
                     // The chip ID's write goes first, the erase second.
                     ostrelusb::InjectFault({qv::sim::FaultTarget::kWriteTransfer, 1, 1});
                   },
                   {kProgressStart, kProgressEraseBegin, kProgressCommError}, kProgressCommError},
        UsbFailure{"PageWriteFailsTwice",
                   [](RecordingOwner&) { ostrelusb::InjectFault({qv::sim::FaultTarget::kWriteTransfer, 2, -1}); },
                   kUsbPages, kProgressCommError},
        UsbFailure{"NegativeBridgeResult",
                   [](RecordingOwner&) {
                     ostrelusb::InjectFault({qv::sim::FaultTarget::kWriteTransfer, 2, -1, -7});
                   },
                   kUsbPages, kProgressCommError},
        UsbFailure{"VerifyFails", [](RecordingOwner&) { ostrelusb::InjectWrongSum(-1); }, kUsbPages,
                   kProgressVerifyError},
        // Late failure: posts nothing after the update-finished code.
        UsbFailure{"FinalResetFails",
                   [](RecordingOwner&) { ostrelusb::InjectFault({qv::sim::FaultTarget::kBoardIo, 2, -1}); },
                   kUsbPages, kProgressUpdateFinished}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DownloadFailures, ABridgeThatDoesNotOpenIsACommunicationError) {
  qv::ScopedVirtualClock clock;
  ProgramFolder folder;
  RecordingEngine engine(folder.Path());
  RecordingOwner owner;
  ostrelusb::Configure({false, {}});
  g_BridgeDevice.SetHandle(nullptr);
  g_bBridgeConnected.store(0);
  COnlineComUpdateThread worker(&owner);
  worker.SetJob("T7T0", folder.WriteFile("fw.bin", Pattern(2048)).c_str(), 5, 0, 0, 9600, 0, 0);
  EXPECT_FALSE(worker.UpdateOverUsb());
  EXPECT_EQ(owner.Codes(), (Codes{kProgressStart, kProgressCommError}));
  EXPECT_EQ(g_bBridgeConnected.load(), 0u);
  EXPECT_EQ(owner.CloseShown(), 1);
  ostrelusb::Configure({});
}

// A back end whose page the jobs' buffer cannot hold fails the job.
class HugePages : public CCOMBase {
 public:
  using CCOMBase::CCOMBase;
  int GetPageSize() override { return 2048; }
};

TEST(WorkerAfterFailure, TakesItsNextJob) {
  ProgramFolder folder;
  RecordingEngine engine(folder.Path());
  RecordingOwner owner;
  auto chip = MakeChip(Serial::kGeneric);
  auto port = std::make_unique<qv::FakeSerialPort>();
  Attach(*port, *chip);
  engine.m_pCOMBase = MakeBackEnd(Serial::kGeneric, std::move(port));
  engine.m_pInterface = engine.m_pCOMBase;
  chip->SetStatusFor(0x97, 0x00);
  const Bytes image = Pattern(512, 4);
  const std::string path = folder.WriteFile("fw.bin", image);
  COnlineUpdateThread worker(&owner);
  ASSERT_TRUE(worker.Start(0, 0));
  ASSERT_TRUE(worker.SetJob(path.c_str(), 0, FALSE, 0));
  ASSERT_TRUE(owner.WaitEnabled(1));
  EXPECT_EQ(owner.Codes().back(), kProgressCommError);
  while (worker.GetJobFlag() != 0) std::this_thread::yield();

  chip->SetStatusFor(0x97, -1);
  ASSERT_TRUE(worker.SetJob(path.c_str(), 0, FALSE, 0));
  ASSERT_TRUE(owner.WaitEnabled(2));
  worker.Stop(true, 2000);
  EXPECT_EQ(owner.Posts().back(), Stage(kProgressUpdating, 100));
  EXPECT_EQ(owner.Repainted(), 1);
  EXPECT_EQ(Head(chip->Flash(), image.size()), image);

  // A page larger than the job's buffer: refused before any I/O.
  HugePages huge(std::make_unique<qv::FakeSerialPort>());
  delete engine.m_pCOMBase;
  engine.m_pCOMBase = &huge;
  engine.m_pInterface = &huge;
  COnlineUpdateThread other(&owner);
  ASSERT_TRUE(other.SetJob(path.c_str(), 0, FALSE, 0));
  EXPECT_FALSE(other.UpdateOverCom());
  EXPECT_EQ(engine.Entries().back(), "Page Size 2048 Not Supported");
  EXPECT_EQ(owner.Enabled(), 3);
  engine.m_pCOMBase = nullptr;
  engine.m_pInterface = nullptr;
  delete chip.release();
}

// Each family's address space, as far as its frames reach: a job whose last
// page ends at its edge gets past the check (and fails later, at a port that
// does not open or a bridge that is not there), one a byte further fails
// before any I/O with the range in the run log.
TEST(AddressSpace, EachFamilyRefusesAJobPastItsLastAddress) {
  struct Case {
    const char* name;
    std::function<CCommonInterface*(RecordingEngine&)> install;
    std::size_t fileBytes;  // one page, and the trailer of a K55 file
    u32 start;
    const char* firstLog;  // "" for none
  };
  const auto serial = [](Serial family) {
    return [family](RecordingEngine& engine) -> CCommonInterface* {
      auto port = std::make_unique<qv::FakeSerialPort>();
      port->FailOpen(true);
      engine.m_nInterface = 0;
      engine.m_pCOMBase = MakeBackEnd(family, std::move(port));
      return engine.m_pCOMBase;
    };
  };
  const auto bridge = [](bool qv7t0) {
    return [qv7t0](RecordingEngine& engine) -> CCommonInterface* {
      engine.m_nInterface = 1;
      g_pIcBase = qv7t0 ? new CQvIc7T0(0x70) : new CQvIcBase(0x70);
      return g_pIcBase;
    };
  };
  const Case cases[] = {
      {"generic at its edge", serial(Serial::kGeneric), 128, 0xFF80, "m_pCOMBase::Init Fail!"},
      {"generic past it", serial(Serial::kGeneric), 128, 0xFF81, "Address Range Fail! 0xFF81 + 0x80 > 0x10000"},
      {"K55 at its edge", serial(Serial::kK55), 0x300 + 32, 0x1FFE0, "m_pCOMBase::Init Fail!"},
      {"K55 past it", serial(Serial::kK55), 0x300 + 32, 0x1FFE1,
       "Address Range Fail! 0x1FFE1 + 0x20 > 0x20000"},
      {"W24A at its edge", serial(Serial::kW24A), 1024, 0xFFFFFC00, "m_pCOMBase::Init Fail!"},
      {"W24A past it", serial(Serial::kW24A), 1024, 0xFFFFFC01,
       "Address Range Fail! 0xFFFFFC01 + 0x400 > 0x100000000"},
      {"128-byte I2C at its edge", bridge(false), 128, 0xFF80, ""},
      {"128-byte I2C past it", bridge(false), 128, 0xFF81, "Address Range Fail! 0xFF81 + 0x80 > 0x10000"},
      {"7T0 at its edge", bridge(true), 1024, 0xF6FC00, ""},
      {"7T0 past it", bridge(true), 1024, 0xF6FC01, "Address Range Fail! 0xF6FC01 + 0x400 > 0xF70000"},
  };
  qv::ScopedVirtualClock clock;
  ProgramFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingEngine engine(folder.Path());
    RecordingOwner owner;
    engine.m_pInterface = c.install(engine);
    const std::string path = folder.WriteFile("fw.bin", Pattern(c.fileBytes));
    COnlineUpdateThread worker(&owner);
    ASSERT_TRUE(worker.SetJob(path.c_str(), c.start, FALSE, 0));
    EXPECT_FALSE(engine.m_nInterface == 0 ? worker.UpdateOverCom() : worker.UpdateOverUsb());
    const std::vector<std::string> log = engine.Entries();
    EXPECT_EQ(log.empty() ? std::string() : log.front(), c.firstLog);
  }
}

}  // namespace
}  // namespace jobs_test
