#pragma once
// The IC types of config.ini as the IC type dialog lists them, and what a
// type's own section presets in that dialog.

#include <vector>

#include "platform/core/cstring.h"
#include "platform/core/wintypes.h"

// The items of the list text: while a comma follows at least one character,
// the text before it (trimmed) is an item; a non-empty rest is the last item,
// untrimmed. So a leading comma, or an empty name between two commas, makes
// the rest, commas and all, one item.
std::vector<CString> SplitIcTypeList(const CString& list);

// The list text of config.ini in the program folder ([ICTYPELIST] LIST), split.
std::vector<CString> ReadIcTypeList();

// What a type's section gives the dialog.
struct IcTypePreset {
  int ramSizeK = 0;
  int flashSizeK = 0;
  CString partNo;
  u32 k55 = 0;
  u32 w24a = 0;
  u32 interface = 0;  // 0 = COM, 1 = USB
  u32 qv7t0 = 0;
  // Read only for a USB type; a serial type keeps the address it is given.
  u8 slaveAddress = 0;
};

// The preset of the type (its section name, already trimmed) from config.ini
// in the program folder; previousSlaveAddress stays for a serial type.
IcTypePreset ReadIcTypePreset(const CString& icType, u8 previousSlaveAddress);
