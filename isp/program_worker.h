#pragma once
// What both programming workers share: the polling loop, and the job chosen
// by the engine's interface (0 serial, 1 USB).

#include "isp/worker_thread.h"
#include "platform/core/wintypes.h"

class CProgramWorker : public CWorkerThread {
 public:
  void Run() override { ServeJobs(); }
  virtual BOOL UpdateOverCom() = 0;
  virtual BOOL UpdateOverUsb() = 0;

 protected:
  void RunJob() override;
};
