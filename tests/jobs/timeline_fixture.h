#pragma once
// The job suites' recorders with the virtual time of each record: the stage
// codes an owner was posted, the run-log entries, and a bridge board's line
// and transfers, each counted from the moment a test starts its job.

#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "platform/core/clock.h"
#include "tests/jobs/jobs_fixture.h"

namespace jobs_test {

struct TimedPost {
  WPARAM stage;
  LPARAM value;
  std::uint64_t atMs;
  bool operator==(const TimedPost&) const = default;
};

struct TimedEntry {
  std::string text;
  std::uint64_t atMs;
  bool operator==(const TimedEntry&) const = default;
};

inline void PrintTo(const TimedPost& p, std::ostream* os) {
  *os << "{" << p.stage << ", " << p.value << ", @" << p.atMs << "}";
}
inline void PrintTo(const TimedEntry& e, std::ostream* os) { *os << "{\"" << e.text << "\", @" << e.atMs << "}"; }

// Times are taken from the clock in force, less the origin the test sets
// just before it starts its job.
class TimedOwner : public RecordingOwner {
 public:
  void PostProgress(WPARAM stage, LPARAM value) override {
    {
      std::lock_guard<std::mutex> lock(m_);
      timed_.push_back({stage, value, qv::CurrentClock().NowMs() - origin_});
    }
    RecordingOwner::PostProgress(stage, value);
  }
  void SetOrigin(std::uint64_t origin) { origin_ = origin; }
  std::vector<TimedPost> TimedPosts() const {
    std::lock_guard<std::mutex> lock(m_);
    return timed_;
  }

 private:
  mutable std::mutex m_;
  std::uint64_t origin_ = 0;
  std::vector<TimedPost> timed_;
};

class TimedEngine : public RecordingEngine {
 public:
  using RecordingEngine::RecordingEngine;
  void WriteLog(CString text) override {
    {
      std::lock_guard<std::mutex> lock(m_);
      timed_.push_back({text.str(), qv::CurrentClock().NowMs() - origin_});
    }
    RecordingEngine::WriteLog(text);
  }
  void SetOrigin(std::uint64_t origin) { origin_ = origin; }
  std::vector<TimedEntry> TimedEntries() const {
    std::lock_guard<std::mutex> lock(m_);
    return timed_;
  }

 private:
  mutable std::mutex m_;
  std::uint64_t origin_ = 0;
  std::vector<TimedEntry> timed_;
};

// A serial job's peers on the virtual clock: its program folder, and an
// engine and an owner that stamp what they are told with the clock's time.
class TimedJobPeers {
 protected:
  qv::ScopedVirtualClock clock_;
  ProgramFolder folder_;
  TimedEngine engine_{folder_.Path()};
  TimedOwner owner_;
};

}  // namespace jobs_test
