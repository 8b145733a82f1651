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

// What the IC type dialog yields: the last type selection's values and the
// last OK press's interface settings. Everything starts at 0.
struct IcTypeChoice {
  int ramSizeK = 0;
  int flashSizeK = 0;
  CString partNo;
  CString icType;  // trimmed; also the type's section
  u32 port = 0;    // 1-based
  u32 baudRate = 0;
  u32 interface = 0;    // 0 = COM, 1 = USB
  u32 entryMethod = 0;  // 1 = "Timeout Entry", 2 = "CheckPin Entry"
  u32 k55 = 0;
  u32 w24a = 0;
  u32 qv7t0 = 0;
  u8 slaveAddress = 0;
};

// Presets the choice from the type's section (its name, already trimmed) of
// config.ini in the program folder: sizes, part number, the family flags and
// the interface. The 7T0 flag and the slave address are read only for a USB
// type; a serial type clears the flag and keeps the address.
void ApplyIcTypePreset(const CString& icType, IcTypeChoice* choice);
