#pragma once
// Raw resources by type and name: FindResource, LoadResource, LockResource,
// SizeofResource. res/ registers its binary resources (menu templates) at
// start-up; the platform knows none of them itself. Dialog templates, strings
// and bitmaps have typed registries of their own in the dialog family.

#include <cstdint>

#include "platform/win32/gdi/gdi_api.h"

struct QvModule;
using HMODULE = QvModule*;
using HINSTANCE = HMODULE;
struct QvResourceInfo;
using HRSRC = QvResourceInfo*;
using HGLOBAL = void*;
using LPCTSTR = const char*;

constexpr bool IS_INTRESOURCE(LPCSTR name) { return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0; }
inline LPCSTR MAKEINTRESOURCEA(WORD id) { return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(id)); }
inline LPCSTR MAKEINTRESOURCE(WORD id) { return MAKEINTRESOURCEA(id); }
#define RT_MENU MAKEINTRESOURCEA(4)

// The framework's resource module. Resources live in one table for the whole
// process, so this and the executable (a null module) find the same ones.
HINSTANCE AfxGetResourceHandle();

// Names and types are integer ids (MAKEINTRESOURCE) or strings, compared
// without regard to case as Windows does. Null when absent.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
inline HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type) { return FindResourceA(module, name, type); }
HGLOBAL LoadResource(HMODULE module, HRSRC info);
// The resource's bytes; they stay valid for the life of the process.
void* LockResource(HGLOBAL data);
DWORD SizeofResource(HMODULE module, HRSRC info);

namespace qv {

// Adds (or replaces) one resource; the bytes are copied.
void RegisterResource(LPCSTR type, LPCSTR name, const void* data, DWORD size);

}  // namespace qv
