#pragma once
// Icons and cursors (HICON, HCURSOR), and image lists: strips of equal-sized
// images with a mask each, drawn transparently.
//
// An icon is a colour bitmap and a monochrome mask, combined as Windows does:
// destination AND mask, then XOR colour. Cursors are icons with a hot spot;
// the predefined cursors (LoadCursor with IDC_...) are shared and never
// destroyed.

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/resource/resource.h"

struct QvIcon;
using HICON = QvIcon*;
using HCURSOR = HICON;

struct ICONINFO {
  BOOL fIcon;  // FALSE: a cursor with the hot spot below
  DWORD xHotspot;
  DWORD yHotspot;
  HBITMAP hbmMask;   // monochrome; white where the icon is transparent
  HBITMAP hbmColor;  // black where the icon is transparent
};
using PICONINFO = ICONINFO*;

// The icon keeps copies of the two bitmaps; the caller still owns its own.
HICON CreateIconIndirect(ICONINFO* info);
// New copies of the icon's bitmaps, which the caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
BOOL DestroyIcon(HICON icon);
BOOL DestroyCursor(HCURSOR cursor);

inline constexpr UINT DI_MASK = 0x0001;
inline constexpr UINT DI_IMAGE = 0x0002;
inline constexpr UINT DI_NORMAL = 0x0003;
inline constexpr UINT DI_DEFAULTSIZE = 0x0008;
// cx or cy 0: the icon's own size. With a flicker-free brush the icon is first
// composed over that brush in a bitmap of the size, which is then copied.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flickerFree, UINT flags);

// Image lists.
struct QvImageList;
using HIMAGELIST = QvImageList*;
inline constexpr UINT ILC_MASK = 0x0001;
inline constexpr UINT ILC_COLOR = 0x0000;
inline constexpr UINT ILC_COLORDDB = 0x00FE;
inline constexpr UINT ILC_COLOR4 = 0x0004;
inline constexpr UINT ILC_COLOR8 = 0x0008;
inline constexpr UINT ILC_COLOR16 = 0x0010;
inline constexpr UINT ILC_COLOR24 = 0x0018;
inline constexpr UINT ILC_COLOR32 = 0x0020;
inline constexpr UINT ILD_NORMAL = 0x0000;
inline constexpr UINT ILD_TRANSPARENT = 0x0001;
inline constexpr UINT ILD_MASK = 0x0010;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
// Adds the bitmap cut into images of the list's width; the index of the first
// added image, -1 on failure. A null mask makes the images opaque.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// Pixels of the mask colour become transparent (and black in the image).
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask);
// index -1 appends; returns the image's index, -1 on failure.
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) { return ImageList_ReplaceIcon(list, -1, icon); }
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// ILD_NORMAL and ILD_TRANSPARENT draw the image through its mask; ILD_MASK
// draws the mask. FALSE (nothing drawn) for an index out of range.
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
// A new icon of one image; null for an index out of range.
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags);

class CImageList {
 public:
  CImageList() = default;
  virtual ~CImageList();
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  HIMAGELIST m_hImageList = nullptr;
  operator HIMAGELIST() const { return m_hImageList; }  // NOLINT: MFC converts implicitly
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }

  BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
  BOOL DeleteImageList();
  int Add(CBitmap* image, CBitmap* mask);
  int Add(CBitmap* image, COLORREF mask);
  int Add(HICON icon) { return ImageList_AddIcon(m_hImageList, icon); }
  int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
  BOOL Draw(CDC* dc, int index, POINT pt, UINT style) {
    return ImageList_Draw(m_hImageList, index, dc ? dc->m_hDC : nullptr, pt.x, pt.y, style);
  }
  HICON ExtractIcon(int index) { return ImageList_GetIcon(m_hImageList, index, ILD_NORMAL); }
};
