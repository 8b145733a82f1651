#pragma once
// The peers of the job suites: an engine context that records the run log, an
// owner that records what a job posts and calls, a program folder with a
// config.ini, and a serial back end on a fake port with a simulated chip.

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "isp/com_base.h"
#include "isp/engine.h"
#include "isp/job_owner.h"
#include "sim/uart_chip.h"
#include "tests/support/chip_on_fake_port.h"
#include "tests/support/fake_serial_port.h"
#include "tests/support/pattern.h"
#include "tests/support/pty_fixture.h"
#include "tests/support/recording_engine.h"

namespace jobs_test {

using Bytes = std::vector<BYTE>;
using Stage = std::pair<WPARAM, LPARAM>;
using Stages = std::vector<Stage>;

enum class Serial { kGeneric, kW24A, kK55 };
enum class I2c { kPage128, k7T0 };

// Installed as the engine context for its lifetime; m_szAppDir is the folder.
// Deletes the back ends it holds at the end, as the application does.
class RecordingEngine : public qv::RecordingEngine {
 public:
  explicit RecordingEngine(const std::string& folder);
  ~RecordingEngine() override;
};

class RecordingOwner : public CJobOwner {
 public:
  void PostProgress(WPARAM stage, LPARAM value) override;
  BOOL IsImageLoaded() override { return imageLoaded; }
  void EnableOwner() override;
  void RepaintViews() override;
  void ShowCloseButton() override;

  Stages Posts() const;
  int Enabled() const;
  int Repainted() const;
  int CloseShown() const;
  // Waits (bounded) until the owner has been enabled count times.
  bool WaitEnabled(int count) const;
  // Stage codes only.
  std::vector<WPARAM> Codes() const;

  BOOL imageLoaded = TRUE;
  // Called on the job's thread after each post (outside the owner's lock).
  std::function<void(WPARAM, LPARAM)> onPost;

 private:
  mutable std::mutex m_;
  mutable std::condition_variable cv_;
  Stages posts_;
  int enabled_ = 0;
  int repainted_ = 0;
  int closeShown_ = 0;
};

// A program folder with a config.ini holding one section per IC type below.
class ProgramFolder {
 public:
  ProgramFolder();
  const std::string& Path() const { return folder_.Path(); }
  std::string File(const std::string& name) const { return folder_.Path() + "/" + name; }
  // Writes bytes as a file of the folder; returns its path.
  std::string WriteFile(const std::string& name, const Bytes& bytes) const;
  void WriteConfig(const std::string& text) const;

 private:
  qv::TempProgramFolder folder_;
};

// The IC types of the suites' config.ini.
extern const char kConfigIni[];
const char* IcTypeOf(Serial family);
const char* IcTypeOf(I2c family);

// The percents a job posts between its 10 and its 100, figured by hand from
// trunc(i * 80 / pages + 10), each at least 2 above the last posted.
inline const std::vector<int> kTenPages = {18, 26, 34, 42, 50, 58, 66, 74, 82};
inline const std::vector<int> kFourPages = {30, 50, 70};
inline const std::vector<int> kTwoPages = {50};

using qv::Pattern;

std::unique_ptr<qv::sim::UartChip> MakeChip(Serial family);
CCOMBase* MakeBackEnd(Serial family, std::unique_ptr<qv::ISerialPort> port);
// The first n bytes (the chips keep the file's byte order in every family).
Bytes Head(const Bytes& bytes, std::size_t n);
// The image file of a family's job: the image and the trailer the family cuts.
Bytes ImageFile(Serial family, const Bytes& image);

using qv::Attach;

}  // namespace jobs_test
