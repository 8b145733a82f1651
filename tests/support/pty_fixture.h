#pragma once
// A real terminal for the serial suites: a throw-away program folder and a
// pseudo-terminal whose slave is linked there as ports/COMn, so that the port
// layer opens it by its COM number. The master side is the test's (or a
// simulated chip's) end of the line.

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/core/wintypes.h"
#include "tests/support/temp_folder.h"

namespace qv {

// An empty folder with a ports/ folder in it, made the program folder for its
// lifetime and removed with everything in it afterwards.
class TempProgramFolder {
 public:
  TempProgramFolder();
  ~TempProgramFolder();
  TempProgramFolder(const TempProgramFolder&) = delete;
  TempProgramFolder& operator=(const TempProgramFolder&) = delete;

  bool Ok() const { return !path_.empty(); }
  const std::string& Path() const { return path_; }
  std::string PortsPath() const { return path_ + "/ports"; }
  const TempFolder& Folder() const { return folder_; }

 private:
  TempFolder folder_;
  std::string path_;
};

// A raw pseudo-terminal pair. The slave stays open in the pair for its whole
// life, so that bytes written toward the port wait in the slave's queue even
// while the port layer has it closed.
class PtyPair {
 public:
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool Ok() const { return master_ >= 0 && slave_ >= 0; }
  int MasterFd() const { return master_; }
  int SlaveFd() const { return slave_; }
  const std::string& SlavePath() const { return slavePath_; }

  // Links the slave as <programFolder>/ports/COM<n>.
  bool LinkAsCom(const std::string& programFolder, u32 n) const;

  // Toward the port: all of bytes, or false.
  bool WriteToPort(const std::vector<BYTE>& bytes) const;
  // From the port: up to count bytes, waiting at most timeoutMs for them all.
  std::vector<BYTE> ReadFromPort(std::size_t count, u32 timeoutMs) const;
  // Bytes the port wrote that the test has not read yet.
  int QueuedFromPort() const;
  // Bytes waiting in the port's input queue.
  int QueuedAtPort() const;
  // Waits until at least count bytes wait at the port (the pty hands bytes
  // over asynchronously). False at the time-out.
  bool WaitQueuedAtPort(std::size_t count, u32 timeoutMs) const;
  // The far end hangs up, as an unplugged adapter does.
  void CloseMaster();

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

// A test with its own program folder and a pty linked there as COM<kCom>.
class PtyPortTest : public ::testing::Test {
 protected:
  static constexpr u32 kCom = 7;
  void SetUp() override;

  TempProgramFolder folder_;
  PtyPair pty_;
};

}  // namespace qv
