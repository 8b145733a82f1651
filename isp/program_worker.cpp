#include "isp/program_worker.h"

#include "isp/engine.h"

void CProgramWorker::RunJob() {
  if (Engine().m_nInterface == 0) {
    UpdateOverCom();
  } else if (Engine().m_nInterface == 1) {
    UpdateOverUsb();
  }
}
