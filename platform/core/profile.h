#pragma once
// Profile (.ini) files as Win32 reads and writes them. Every call reads the
// file afresh; a write replaces the file through a temporary file and a rename.

#include "platform/core/wintypes.h"

// Copies the value (or lpDefault) into lpReturnedString, cut to nSize - 1
// characters and terminated; returns the count copied.
DWORD GetPrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                               const char* lpDefault, char* lpReturnedString, DWORD nSize,
                               const char* lpFileName);
// The value as a number with an optional sign, decimal or with a 0x, 0o or
// 0b prefix; nDefault when missing or empty.
UINT GetPrivateProfileIntA(const char* lpAppName, const char* lpKeyName, int nDefault,
                           const char* lpFileName);
// Creates the file, the section or the key as needed; FALSE when it cannot write.
BOOL WritePrivateProfileStringA(const char* lpAppName, const char* lpKeyName,
                                const char* lpString, const char* lpFileName);
