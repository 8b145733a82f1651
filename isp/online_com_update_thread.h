#pragma once
// The command-line mode's worker: its job setter chooses and creates the back
// end from the IC type's section of config.ini; the serial job looks for the
// target on every present port, the USB job opens the bridge itself. The
// programming steps are the Write page's.

#include <functional>

#include "isp/job_image.h"
#include "isp/job_owner.h"
#include "isp/program_worker.h"
#include "platform/core/cstring.h"

// The IC type's flags in <m_szAppDir>/config.ini; only exactly "TRUE" is TRUE.
BOOL ReadComInterfaceFlag(const CString& section);  // "COM ", default "TRUE"
BOOL ReadUseK55UartIsp(const CString& section);     // "USE_K55_UARTISP", default "FALSE"
BOOL ReadUseW24AUartIsp(const CString& section);    // "USE_W24A_UARTISP", default "FALSE"
BOOL ReadUseQv7T0UsbIsp(const CString& section);    // "USE_QV7T0_USBISP ", default "FALSE"
// HexTextToInt of "SLAVE_ADDRESS" as a byte; the default "0X50" gives 0.
BYTE ReadSlaveAddress(const CString& section);

// Deletes the back ends that the engine's pointers and g_pIcBase hold (each
// once; m_pInterface is one of the others) and clears the pointers.
void DeleteEngineBackEnds();

// The password of a command line that gives none: the one the pages preset.
inline constexpr u32 kDefaultPassword = 0x3B8E61C4;

class COnlineComUpdateThread : public CProgramWorker {
 public:
  // Fills flags[i] = 1 for each present port COM(i+1); returns the count.
  using PortProbe = std::function<int(u32 flags[128])>;

  // Whole file after header and skip, or the address range start..end.
  static constexpr int kModeWholeFile = 5;
  static constexpr int kModeRange = 4;

  explicit COnlineComUpdateThread(CJobOwner* owner);
  ~COnlineComUpdateThread() override;

  // Creates the IC type's back end into the engine's pointers (an earlier one
  // is deleted), then loads the image and queues the job. Queues nothing when
  // the file does not open, leaves no byte after header, trailer and skip, the
  // range lies outside it, or the mode is neither 5 nor 4.
  void SetJob(const CString& section, const CString& path, int mode, u32 start, u32 end,
              u32 baudRate, u32 skip, u32 password);

  BOOL UpdateOverCom() override;
  BOOL UpdateOverUsb() override;

  // The port presence probe of the serial job; ProbeComPorts unless replaced.
  void SetPortProbe(PortProbe probe) { m_portProbe = std::move(probe); }

  // The job's fields, as the setter stored them.
  const CJobImage& Image() const { return m_image; }
  u32 Skip() const { return m_nSkip; }

 private:
  // Deletes the engine's back ends and makes the IC type's in their place.
  void InstallBackEnd(const CString& section);
  BOOL LoadImage(int mode, u32 start, u32 end, u32 skip);
  // The job flag lowered, the owner re-enabled and its Close button shown,
  // on every path.
  BOOL Finish(BOOL completed);
  // The bridge set-up of an opened bridge, with the slave address we choose.
  void SetUpBridge();

  CJobOwner* m_pOwner;
  PortProbe m_portProbe;
  CString m_strSection;
  CString m_strPath;
  CJobImage m_image;
  u32 m_nSkip = 0;
  u32 m_nPassword = 0;
  u32 m_nBaudRate = 0;
};
