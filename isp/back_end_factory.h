#pragma once
// The back end of an IC type, made from the family flags of its section of
// config.ini: for a serial type K55 before W24A before the generic protocol,
// for a USB type 7T0 before the 128-byte family. Start-up takes the flags
// from the IC type dialog, the download job from config.ini itself.

#include "platform/core/wintypes.h"

class CCommonInterface;
class CCOMBase;
class CQvIcBase;

struct CBackEndChoice {
  BOOL serial = TRUE;  // the "COM " flag: the serial port, else the bridge
  BOOL k55 = FALSE;
  BOOL w24a = FALSE;
  BOOL qv7t0 = FALSE;
  // The slave address a USB type's chip is made with. Without one the
  // 128-byte family's chip hands the bridge nothing (the download job sets
  // the address itself once the bridge is open); a 7T0 chip always gets it.
  u8 slaveAddress = 0;
  BOOL plainChipTakesAddress = TRUE;
};

// Which of the engine's pointers a new back end goes to; the other is null.
struct CBackEnd {
  CCOMBase* com = nullptr;
  CQvIcBase* ic = nullptr;
  CCommonInterface* Interface() const;
};

// A new back end for the choice, owned by the caller.
CBackEnd CreateBackEnd(const CBackEndChoice& choice);
