#pragma once
// An engine context that keeps every run-log entry in memory, installed as
// the engine's context for its lifetime, so that a test can read what the
// back ends and jobs logged.

#include <mutex>
#include <string>
#include <vector>

#include "isp/engine.h"

namespace qv {

class RecordingEngine : public CEngineContext {
 public:
  RecordingEngine() { SetEngine(this); }
  ~RecordingEngine() override { SetEngine(nullptr); }
  RecordingEngine(const RecordingEngine&) = delete;
  RecordingEngine& operator=(const RecordingEngine&) = delete;

  void WriteLog(CString text) override {
    std::lock_guard<std::mutex> lock(m_);
    entries_.push_back(text.str());
  }
  std::vector<std::string> Entries() const {
    std::lock_guard<std::mutex> lock(m_);
    return entries_;
  }
  bool Logged(const std::string& text) const {
    std::lock_guard<std::mutex> lock(m_);
    for (const std::string& e : entries_) {
      if (e == text) return true;
    }
    return false;
  }

 private:
  mutable std::mutex m_;
  std::vector<std::string> entries_;
};

}  // namespace qv
