#pragma once
// The board's own thread: it watches the plug file of the program folder, so
// that a person or a script can plug and unplug the simulated board while a
// program runs.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace ostrelusb {

// The first word of the file: "plug" gives true, "unplug" false; any other
// word, an empty file, a missing one or one that is no regular file nothing.
std::optional<bool> ReadPlugFile(const std::string& path);

class PlugFileWatcher {
 public:
  PlugFileWatcher() = default;
  ~PlugFileWatcher() { Stop(); }
  PlugFileWatcher(const PlugFileWatcher&) = delete;
  PlugFileWatcher& operator=(const PlugFileWatcher&) = delete;

  // Once: looks at the file that path() names every periodMs and hands apply
  // each word it finds.
  void Start(std::function<std::string()> path, unsigned periodMs, std::function<void(bool plug)> apply);
  // Ends and joins the thread.
  void Stop();

 private:
  void Run(std::function<std::string()> path, unsigned periodMs, std::function<void(bool)> apply);

  std::mutex m_;
  std::condition_variable cv_;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace ostrelusb
