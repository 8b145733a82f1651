// Menus from standard menu templates (MENUITEMTEMPLATEHEADER and entries).

#include <vector>

#include "platform/win32/menu/menu.h"
#include "platform/win32/menu/menu_template.h"
#include "platform/win32/system/system.h"

namespace qv::win32 {

bool MenuTemplateReader::Word(WORD& out) {
  if (pos_ > size_ || size_ - pos_ < 2) return false;
  out = static_cast<WORD>(data_[pos_] | (data_[pos_ + 1] << 8));
  pos_ += 2;
  return true;
}

bool MenuTemplateReader::Header() {
  WORD version = 0, offset = 0;
  if (!Word(version) || !Word(offset) || version != 0 || offset > size_ - pos_) return false;
  pos_ += offset;
  return true;
}

bool MenuTemplateReader::Caption(std::wstring& out) {
  out.clear();
  for (;;) {
    WORD unit = 0;
    if (!Word(unit)) return false;
    if (unit == 0) return true;
    if (unit >= 0xD800 && unit <= 0xDBFF && size_ - pos_ >= 2) {
      const WORD low = static_cast<WORD>(data_[pos_] | (data_[pos_ + 1] << 8));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        pos_ += 2;
        out += static_cast<WCHAR>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        continue;
      }
    }
    out += static_cast<WCHAR>(unit);
  }
}

}  // namespace qv::win32

namespace {

std::string Utf8(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

HMENU LoadMenuIndirectA(const void* menuTemplate, DWORD size) {
  if (!menuTemplate) return nullptr;
  qv::win32::MenuTemplateReader in(menuTemplate, size);
  if (!in.Header()) return nullptr;
  HMENU top = CreateMenu();
  // An empty template (a header alone) is an empty menu.
  if (in.AtEnd()) return top;
  std::vector<HMENU> open{top};
  while (!open.empty()) {
    WORD option = 0, id = 0;
    std::wstring wide;
    const bool ok = in.Word(option) && ((option & MF_POPUP) || in.Word(id)) && in.Caption(wide);
    if (!ok) {
      // Cut short, or its last entry lacks MF_END: no half-built menu.
      DestroyMenu(top);
      return nullptr;
    }
    const std::string caption = Utf8(wide);
    const UINT flags = option & ~MF_END;
    HMENU parent = open.back();
    if (option & MF_END) open.pop_back();
    if (option & MF_POPUP) {
      HMENU popup = CreatePopupMenu();
      AppendMenuA(parent, flags, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
      open.push_back(popup);
    } else {
      // Id 0 without a caption is a separator, as the resource compiler writes it.
      const UINT type = (id == 0 && caption.empty()) ? (flags | MF_SEPARATOR) : flags;
      AppendMenuA(parent, type, id, caption.c_str());
    }
  }
  return top;
}

HMENU LoadMenuA(HINSTANCE instance, LPCSTR name) {
  HRSRC info = FindResourceA(instance, name, RT_MENU);
  HGLOBAL data = info ? LoadResource(instance, info) : nullptr;
  if (!data) return nullptr;
  return LoadMenuIndirectA(LockResource(data), SizeofResource(instance, info));
}
