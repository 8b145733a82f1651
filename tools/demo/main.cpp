// qv-demo: one download job, as the command-line mode runs it, with the
// progress texts printed on the console instead of a dialog. The program
// folder (config.ini, ports/, the run log) is the folder of the executable.
//
//   qv-demo -c ICTYPE -i IMAGE [-a START] [-p BAUD] [-b SKIP] [-pwd HEX]
//
// Exit status 0 when the job ran to its end, 1 when it failed or queued
// nothing, 2 for a bad command line.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "isp/engine.h"
#include "isp/online_com_update_thread.h"
#include "isp/progress.h"
#include "platform/core/program_folder.h"
#include "tools/demo/console_owner.h"

namespace {

class CConsoleEngine : public CEngineContext {
 public:
  void WriteLog(CString text) override { std::printf("log: %s\n", text.GetString()); }
};

struct Job {
  std::string icType;
  std::string image;
  u32 start = 0;
  u32 baud = 9600;
  u32 skip = 0;
  u32 password = kDefaultPassword;
};

bool Parse(int argc, char** argv, Job* job) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string sw = argv[i];
    const char* value = argv[i + 1];
    if (sw == "-c") {
      job->icType = value;
    } else if (sw == "-i") {
      job->image = value;
    } else if (sw == "-a") {
      job->start = static_cast<u32>(std::atoi(value));
    } else if (sw == "-p") {
      job->baud = static_cast<u32>(std::atoi(value));
    } else if (sw == "-b") {
      job->skip = static_cast<u32>(std::atoi(value));
    } else if (sw == "-pwd") {
      job->password = HexTextToInt(value);
    } else {
      return false;
    }
  }
  return argc % 2 == 1 && !job->icType.empty() && !job->image.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Job job;
  if (!Parse(argc, argv, &job)) {
    std::fprintf(stderr, "usage: qv-demo -c ICTYPE -i IMAGE [-a START] [-p BAUD] [-b SKIP] [-pwd HEX]\n");
    return 2;
  }
  CConsoleEngine engine;
  std::snprintf(engine.m_szAppDir, sizeof engine.m_szAppDir, "%s", qv::ProgramFolder().c_str());
  SetEngine(&engine);

  CConsoleOwner owner;
  int status = 1;
  {
    COnlineComUpdateThread worker(&owner);
    worker.Start(0, 0);
    worker.SetJob(job.icType.c_str(), job.image.c_str(), COnlineComUpdateThread::kModeWholeFile, job.start,
                  0, job.baud, job.skip, job.password);
    if (worker.GetJobFlag() == 0) {
      std::printf("no job: the image %s cannot be read for %s\n", job.image.c_str(), job.icType.c_str());
    } else {
      const auto last = owner.PrintUntilJobEnd();
      status = last.first == kProgressUpdating && last.second == 100 ? 0 : 1;
    }
    worker.Stop(true, 2000);
  }
  DeleteEngineBackEnds();
  SetEngine(nullptr);
  std::printf("job %s\n", status == 0 ? "completed" : "failed");
  return status;
}
