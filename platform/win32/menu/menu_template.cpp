// Menus from standard menu templates (MENUITEMTEMPLATEHEADER and entries).

#include <vector>

#include "platform/win32/menu/menu.h"
#include "platform/win32/system/system.h"

namespace {

// Reads the template's little-endian words without ever passing its end.
class TemplateReader {
 public:
  TemplateReader(const unsigned char* data, DWORD size) : data_(data), size_(size) {}

  bool AtEnd() const { return pos_ >= size_; }
  bool Word(WORD& out) {
    if (size_ - pos_ < 2 || pos_ > size_) return false;
    out = static_cast<WORD>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
  }
  bool Skip(DWORD bytes) {
    if (bytes > size_ - pos_) return false;
    pos_ += bytes;
    return true;
  }
  // A zero-terminated UTF-16 string, as UTF-8; false when the terminator is missing.
  bool Caption(std::string& out) {
    std::wstring wide;
    for (;;) {
      WORD unit = 0;
      if (!Word(unit)) return false;
      if (unit == 0) break;
      if (unit >= 0xD800 && unit <= 0xDBFF && size_ - pos_ >= 2) {
        const WORD low = static_cast<WORD>(data_[pos_] | (data_[pos_ + 1] << 8));
        if (low >= 0xDC00 && low <= 0xDFFF) {
          pos_ += 2;
          wide += static_cast<WCHAR>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
          continue;
        }
      }
      wide += static_cast<WCHAR>(unit);
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    out.assign(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
    return true;
  }

 private:
  const unsigned char* data_;
  DWORD size_;
  DWORD pos_ = 0;
};

}  // namespace

HMENU LoadMenuIndirectA(const void* menuTemplate, DWORD size) {
  if (!menuTemplate) return nullptr;
  TemplateReader in(static_cast<const unsigned char*>(menuTemplate), size);
  WORD version = 0, offset = 0;
  if (!in.Word(version) || !in.Word(offset) || version != 0 || !in.Skip(offset)) return nullptr;
  HMENU top = CreateMenu();
  // An empty template (a header alone) is an empty menu.
  if (in.AtEnd()) return top;
  std::vector<HMENU> open{top};
  while (!open.empty()) {
    WORD option = 0, id = 0;
    std::string caption;
    const bool ok = in.Word(option) && ((option & MF_POPUP) || in.Word(id)) && in.Caption(caption);
    if (!ok) {
      // Cut short, or its last entry lacks MF_END: no half-built menu.
      DestroyMenu(top);
      return nullptr;
    }
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
