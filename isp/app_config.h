#pragma once
// The settings record: USB bridge settings kept for the whole run in
// g_AppConfig and stored as its raw 72 bytes (little-endian, no header) in
// Appconfig.dat. Fields named reserved have no reader but are kept and
// written back as they are.

#include <bit>
#include <cstddef>

#include "platform/core/wintypes.h"

struct APPCONFIG {
  u32 dwReserved0;
  u8 byChipSel;         // the main window's chip combo selection
  u8 bySlaveAddr;       // I2C slave address given to the bridge on opening
  u8 bSkipBridgeSetup;  // nonzero: no interface, delay, I2C or voltage set-up
  u8 byReserved7[5];
  u8 byVccCode;    // board supply voltage selector
  u8 byIoVccCode;  // board I/O voltage selector
  u8 byReserved14[10];
  u32 dwReserved24;
  u8 byReserved28[8];
  u16 wReserved36;
  u16 wReserved38;
  u8 byReserved40;
  u8 byReserved41;
  u16 wReserved42[3][5];
};

inline constexpr size_t kAppConfigSize = 72;

static_assert(std::endian::native == std::endian::little, "the record is stored as its raw bytes");
static_assert(sizeof(APPCONFIG) == kAppConfigSize);
static_assert(offsetof(APPCONFIG, byChipSel) == 4);
static_assert(offsetof(APPCONFIG, bySlaveAddr) == 5);
static_assert(offsetof(APPCONFIG, bSkipBridgeSetup) == 6);
static_assert(offsetof(APPCONFIG, byReserved7) == 7);
static_assert(offsetof(APPCONFIG, byVccCode) == 12);
static_assert(offsetof(APPCONFIG, byIoVccCode) == 13);
static_assert(offsetof(APPCONFIG, byReserved14) == 14);
static_assert(offsetof(APPCONFIG, dwReserved24) == 24);
static_assert(offsetof(APPCONFIG, byReserved28) == 28);
static_assert(offsetof(APPCONFIG, wReserved36) == 36);
static_assert(offsetof(APPCONFIG, wReserved38) == 38);
static_assert(offsetof(APPCONFIG, byReserved40) == 40);
static_assert(offsetof(APPCONFIG, byReserved41) == 41);
static_assert(offsetof(APPCONFIG, wReserved42) == 42);

// The record when no file was loaded.
inline constexpr APPCONFIG kAppConfigInitial = {
    .dwReserved0 = 0,
    .byChipSel = 2,
    .bySlaveAddr = 0x70,
    .bSkipBridgeSetup = 0,
    .byReserved7 = {0x04, 0xFF, 0x01, 0x00, 0x01},
    .byVccCode = 0,
    .byIoVccCode = 0,
    .byReserved14 = {},
    .dwReserved24 = 1,
    .byReserved28 = {},
    .wReserved36 = 11,
    .wReserved38 = 800,
    .byReserved40 = 0,
    .byReserved41 = 0x05,
    .wReserved42 = {},
};

// Written on the UI thread only (start-up load, combo selection); the
// workers only read it.
extern APPCONFIG g_AppConfig;
