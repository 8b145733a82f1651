#pragma once
// Dialog templates as C++ data, and the table that finds them by id. The
// resource folder registers its templates (a DialogTemplateRegistrar per
// template file); the dialog manager reads them when a dialog is created.

#include <memory>
#include <vector>

#include "platform/win32/winuser.h"

// Dialog styles.
inline constexpr DWORD DS_ABSALIGN = 0x0001;
inline constexpr DWORD DS_SYSMODAL = 0x0002;
inline constexpr DWORD DS_3DLOOK = 0x0004;
inline constexpr DWORD DS_FIXEDSYS = 0x0008;
inline constexpr DWORD DS_NOFAILCREATE = 0x0010;
inline constexpr DWORD DS_LOCALEDIT = 0x0020;
inline constexpr DWORD DS_SETFONT = 0x0040;
inline constexpr DWORD DS_MODALFRAME = 0x0080;
inline constexpr DWORD DS_NOIDLEMSG = 0x0100;
inline constexpr DWORD DS_SETFOREGROUND = 0x0200;
inline constexpr DWORD DS_CONTROL = 0x0400;
inline constexpr DWORD DS_CENTER = 0x0800;
inline constexpr DWORD DS_CENTERMOUSE = 0x1000;
inline constexpr DWORD DS_CONTEXTHELP = 0x2000;
inline constexpr DWORD DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

namespace qv::win32 {

// One control of a template. The style is complete, as a compiled template
// holds it: WS_VISIBLE, WS_TABSTOP and WS_GROUP are given where they apply
// (the dialog manager adds only WS_CHILD).
struct DialogItemTemplate {
  int id = IDC_STATIC;
  // "Button", "Static", "Edit", "ListBox", "ComboBox", "msctls_progress32" or
  // a registered class; matched without regard to case.
  const char* className = "";
  // For a picture static (SS_BITMAP) "#n": the bitmap resource n.
  const char* caption = "";
  DWORD style = 0;
  DWORD exStyle = 0;
  // Dialog units.
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
};

struct DialogTemplate {
  int id = 0;
  const char* caption = "";
  DWORD style = 0;
  DWORD exStyle = 0;
  // With DS_SETFONT; a point size at 96 dpi. Without, the dialog uses the
  // system font.
  const char* fontFace = nullptr;
  int pointSize = 0;
  // Dialog units; a top-level dialog without DS_CENTER is placed at x, y of
  // its owner's client area (of the screen without one).
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  std::vector<DialogItemTemplate> items;  // in tab order
  int fontWeight = 400;  // FW_NORMAL
  bool fontItalic = false;
};

// Adds the template, replacing one of the same id. Thread-safe.
void RegisterDialogTemplate(DialogTemplate t);
// The template of that id, nullptr when none is registered.
std::shared_ptr<const DialogTemplate> FindDialogTemplate(int id);

// One per template in a data file: registers it when the program starts.
struct DialogTemplateRegistrar {
  explicit DialogTemplateRegistrar(DialogTemplate t) { RegisterDialogTemplate(std::move(t)); }
};

}  // namespace qv::win32
