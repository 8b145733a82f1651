#pragma once
// How much of the chip's flash an image may fill and a read may cover: all of
// it when the IC type's boot loader lives in ROM, else the flash less the
// boot-loader KB that the back end reserves.

#include "isp/common_interface.h"
#include "platform/core/wintypes.h"

// The IC type's "BootLoadInRom" in config.ini of the program folder, in any
// case; FALSE when absent.
BOOL IsBootLoadInRom(const char* icType);

// The usable flash of the chosen IC type (g_szIcType, g_nFlashSizeK) on this
// back end, in KB; below 0 when the back end reserves more than the flash has.
// Wide enough for any FLASH value, so that nothing wraps on the way.
long long UsableFlashKB(CCommonInterface& backEnd);
