// Painting the entries of a COwnerDrawMenu: the classic and the XP look,
// check marks, lightened colours and disabled images.

#include <string>

#include "controls/owner_draw_menu.h"
#include "controls/owner_draw_menu_font.h"
#include "controls/owner_draw_menu_mem_dc.h"
#include "platform/win32/system/system.h"

namespace {

// What an entry shows, from its record and its state.
struct EntryLook {
  CImageList* images = nullptr;  // the list its image comes from
  int imageIndex = -1;
  bool hasImage = false;
  bool selected = false;
  bool grayed = false;
  bool checked = false;
  bool checkImage = false;  // a checked entry drawn with the menu's check images
  std::string label;        // before the last tab
  std::string shortcut;     // after the first tab
  bool hasTab = false;
};

EntryLook LookOf(const COwnerDrawMenu& menu, const DRAWITEMSTRUCT& dis, bool xp) {
  EntryLook look;
  const auto* item = reinterpret_cast<const COwnerDrawMenuData*>(dis.itemData);
  int imageId = -1;
  if (item) {
    imageId = item->m_ownImageId;
    look.images = item->m_ownImages.get();
    look.imageIndex = item->m_ownImageIndex;
    if (imageId < 0 && item->m_sharedImageIndex >= 0 && (!xp || item->m_ownImageIndex < 0)) {
      look.images = &COwnerDrawMenu::s_imageList;
      look.imageIndex = item->m_sharedImageIndex;
      imageId = 0;
    }
    const std::string caption = item->GetTextA().str();
    const size_t last = caption.rfind('\t');
    look.hasTab = last != std::string::npos;
    look.label = look.hasTab ? caption.substr(0, last) : caption;
    if (look.hasTab) look.shortcut = caption.substr(caption.find('\t') + 1);
  }
  look.hasImage = imageId >= 0;
  look.selected = (dis.itemState & ODS_SELECTED) != 0;
  look.grayed = (dis.itemState & ODS_GRAYED) != 0;
  look.checked = (dis.itemState & ODS_CHECKED) != 0;
  look.checkImage = look.checked && !look.hasImage && menu.m_checkImages &&
                    ((look.selected && menu.m_checkImageSelected >= 1) || menu.m_checkImageNormal >= 1);
  return look;
}

bool IsSeparator(const DRAWITEMSTRUCT& dis) {
  const auto* item = reinterpret_cast<const COwnerDrawMenuData*>(dis.itemData);
  return item && (item->m_flags & MF_SEPARATOR);
}

void FillWith(CDC* dc, const RECT& r, COLORREF colour) {
  CBrush brush(colour);
  dc->FillRect(&r, &brush);
}

// Whether the entry's radio-style check bitmap is set (the radio dot is drawn then).
BOOL HasRadioCheck(const DRAWITEMSTRUCT& dis) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof(info);
  info.fMask = MIIM_CHECKMARKS;
  ::GetMenuItemInfoA(reinterpret_cast<HMENU>(dis.hwndItem), dis.itemID, FALSE, &info);
  return info.hbmpChecked ? TRUE : FALSE;
}

void DrawImage(CImageList* list, int index, CDC* dc, int x, int y) {
  if (list) ImageList_Draw(*list, index, *dc, x, y, ILD_TRANSPARENT);
}

void DrawCaption(CDC* dc, const EntryLook& look, RECT r) {
  if (!look.label.empty()) dc->DrawText(look.label.c_str(), static_cast<int>(look.label.size()), &r, DT_SINGLELINE | DT_VCENTER);
  if (!look.shortcut.empty())
    dc->DrawText(look.shortcut.c_str(), static_cast<int>(look.shortcut.size()), &r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
}

bool XpLook() { return COwnerDrawMenu::s_shellType == 7 && !COwnerDrawMenu::IsWindowsClassicTheme(); }

}  // namespace

void COwnerDrawMenu::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (!dis) return;
  CDC* dc = CDC::FromHandle(dis->hDC);
  if (!dc) return;
  if ((::GetDeviceCaps(dc->m_hAttribDC, RASTERCAPS) & RC_PALETTE) || !XpLook())
    DrawItemClassic(dis);
  else
    DrawItemXP(dis);
}

BOOL COwnerDrawMenu::IsWindowsClassicTheme() {
  if (!s_themeProbed) {
    s_themeProbed = TRUE;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!\\Themes\\Current", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
      char value[260] = {};
      DWORD size = sizeof(value);
      if (RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS) {
        value[sizeof(value) - 1] = '\0';
        static const char kClassic[] = "Windows Classic.theme";
        const int length = lstrlenA(value);
        const int tail = lstrlenA(kClassic);
        if (length >= tail && lstrcmpiA(value + length - tail, kClassic) == 0) s_classicTheme = TRUE;
      }
      RegCloseKey(key);
    }
  }
  return s_classicTheme;
}

COLORREF COwnerDrawMenu::BlendTowardWhite(COLORREF colour, double factor) {
  if (!(factor > 0 && factor <= 1)) return colour;
  auto blend = [factor](int c) { return static_cast<int>(c + (255 - c) * factor); };
  return RGB(blend(GetRValue(colour)), blend(GetGValue(colour)), blend(GetBValue(colour)));
}

void COwnerDrawMenu::DrawCheckTick(CDC* dc, int x, int y, COLORREF colour) {
  CPen pen(PS_SOLID, 0, colour);
  CPen* old = dc->SelectObject(&pen);
  const int tops[7] = {y + 2, y + 3, y + 4, y + 3, y + 2, y + 1, y};
  for (int i = 0; i < 7; ++i) {
    dc->MoveTo(x + i, tops[i]);
    dc->LineTo(x + i, tops[i] + 3);
  }
  dc->SelectObject(old);
}

void COwnerDrawMenu::DrawRadioMark(CDC* dc, int x, int y, COLORREF colour) {
  CBrush brush(colour);
  CPen pen(PS_SOLID, 0, colour);
  CBrush* oldBrush = dc->SelectObject(&brush);
  CPen* oldPen = dc->SelectObject(&pen);
  dc->Ellipse(x, y, x + 6, y + 6);
  dc->SelectObject(oldPen);
  dc->SelectObject(oldBrush);
}

void COwnerDrawMenu::DrawCheckClassic(CDC* dc, const RECT& box, BOOL selected, BOOL radio) {
  COLORREF fill = GetSysColor(XpLook() ? COLOR_BTNFACE : COLOR_MENU);
  if (!selected) fill = BlendTowardWhite(fill, 0.6);
  FillWith(dc, box, fill);
  RECT edge = box;
  if (s_shellType >= 2) dc->DrawEdge(&edge, BDR_SUNKENOUTER, BF_RECT);
  if (radio)
    DrawRadioMark(dc, box.left + 5, box.top + 4, GetSysColor(COLOR_MENUTEXT));
  else
    DrawCheckTick(dc, box.left + 4, box.top + 4, GetSysColor(COLOR_MENUTEXT));
}

void COwnerDrawMenu::DrawCheckXP(CDC* dc, const RECT& box, BOOL radio, const COLORREF& frame) {
  FillWith(dc, box, BlendTowardWhite(frame, 0.85));
  dc->Draw3dRect(&box, frame, frame);
  if (radio)
    DrawRadioMark(dc, box.left + 5, box.top + 4, GetSysColor(COLOR_MENUTEXT));
  else
    DrawCheckTick(dc, box.left + 5, box.top + 4, GetSysColor(COLOR_MENUTEXT));
}

void COwnerDrawMenu::DrawItemClassic(LPDRAWITEMSTRUCT dis) {
  CDC* dc = CDC::FromHandle(dis->hDC);
  RECT r = dis->rcItem;
  const COLORREF b = GetSysColor(XpLook() ? COLOR_BTNFACE : COLOR_MENU);
  CBrush background(b);
  if (IsSeparator(*dis)) {
    dc->FillRect(&r, &background);
    r.top += (r.bottom - r.top) >> 1;
    dc->DrawEdge(&r, EDGE_ETCHED, BF_TOP);
    return;
  }
  COLORREF text = GetSysColor(COLOR_MENUTEXT);
  CPen pen(PS_SOLID, 0, b);
  CBrush highlight(GetSysColor(COLOR_HIGHLIGHT));
  const EntryLook look = LookOf(*this, *dis, false);

  CPen* oldPen = dc->SelectObject(&pen);
  if (!look.selected) {
    dc->FillRect(&r, &background);
    dc->Draw3dRect(&r, b, b);
  } else {
    RECT fill = r;
    // The image column keeps its own look.
    if (look.hasImage || look.checkImage || look.checked) fill.left = r.left + 5 + m_iconWidth;
    dc->FillRect(&fill, &highlight);
    text = GetSysColor(COLOR_HIGHLIGHTTEXT);
  }
  dc->SelectObject(oldPen);

  int dy = (r.bottom - m_iconHeight - r.top - 4) / 2;
  if (dy < 0) dy = 0;

  if (look.hasImage || look.checkImage) {
    const RECT inner{r.left + 1, r.top + dy + 1, r.left + m_iconWidth + 3, r.top + dy + m_iconHeight + 3};
    const RECT outer{r.left, r.top + dy, r.left + m_iconWidth + 4, r.top + dy + m_iconHeight + 4};
    const int x = r.left + 2, y = r.top + dy + 2;
    dc->Draw3dRect(&inner, b, b);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    if (look.checkImage) {
      dc->FillRect(&inner, &background);
      dc->Draw3dRect(&outer, b, b);
      DrawImage(m_checkImages, look.selected ? 1 : 0, dc, x, y);
    } else if (look.grayed) {
      CBitmap bitmap;
      ImageListIconToBitmap(dc, look.images, look.imageIndex, &bitmap);
      dc->Draw3dRect(&outer, b, b);
      if (m_embossDisabled)
        DrawEmbossedBitmap(dis->hDC, x, y, m_iconWidth, m_iconHeight, bitmap, b);
      else
        DrawDisabledBitmap(dc, x, y, m_iconWidth, m_iconHeight, &bitmap, b);
    } else if (look.selected) {
      dc->FillRect(&inner, &background);
      if (s_shellType >= 2) {
        if (look.checked)
          dc->Draw3dRect(&outer, shadow, light);
        else
          dc->Draw3dRect(&outer, light, shadow);
      }
      DrawImage(look.images, look.imageIndex, dc, x, y);
    } else if (!look.checked) {
      dc->FillRect(&inner, &background);
      dc->Draw3dRect(&outer, b, b);
      DrawImage(look.images, look.imageIndex, dc, x, y);
    } else {
      FillWith(dc, inner, BlendTowardWhite(b, 0.6));
      if (s_shellType >= 2) dc->Draw3dRect(&outer, shadow, light);
      DrawImage(look.images, look.imageIndex, dc, x, y);
    }
  } else if (look.checked) {
    const RECT box{r.left + 1, r.top + dy + 2, r.left + 1 + m_iconWidth, r.top + dy + 2 + m_iconHeight};
    DrawCheckClassic(dc, box, look.selected ? TRUE : FALSE, HasRadioCheck(*dis));
  }

  if (look.label.empty() && look.shortcut.empty()) return;
  RECT textRect{r.left + m_iconWidth + 9, r.top - 1, r.right, r.bottom - 1};
  if (look.hasTab) textRect.right -= m_iconWidth;
  const int oldMode = dc->SetBkMode(TRANSPARENT);
  if (!look.grayed) {
    dc->SetTextColor(text);
  } else if (!look.selected) {
    // Engraved: a highlight copy one pixel down and right, gray on top.
    dc->SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    RECT engraved = textRect;
    OffsetRect(&engraved, 1, 1);
    DrawCaption(dc, look, engraved);
    dc->SetTextColor(GetSysColor(COLOR_GRAYTEXT));
  } else {
    dc->SetTextColor(b);
  }
  DrawCaption(dc, look, textRect);
  dc->SetBkMode(oldMode);
}

void COwnerDrawMenu::DrawItemXP(LPDRAWITEMSTRUCT dis) {
  CDC* itemDC = CDC::FromHandle(dis->hDC);
  const RECT r = dis->rcItem;
  const COLORREF w = GetSysColor(COLOR_WINDOW), g = GetSysColor(COLOR_BTNFACE);
  CBrush body(w), bar(g);
  const int barWidth = m_iconWidth + 7;

  // A disabled entry never shows the selection; it is composed off-screen.
  std::unique_ptr<COwnerDrawMenuMemDC> mem;
  CFont font;
  CFont* oldFont = nullptr;
  if (dis->itemState & ODS_GRAYED) {
    dis->itemState &= ~ODS_SELECTED;
    mem = std::make_unique<COwnerDrawMenuMemDC>(itemDC, &r);
    if (qv::controls::CreateMenuFont(font)) oldFont = mem->SelectObject(&font);
  }
  CDC* dc = mem ? static_cast<CDC*>(mem.get()) : itemDC;
  auto finish = [&] {
    if (oldFont) dc->SelectObject(oldFont);
    mem.reset();
  };
  const RECT barRect{r.left, r.top, r.left + barWidth, r.bottom};

  if (IsSeparator(*dis)) {
    dc->FillRect(&r, &body);
    RECT line = r;
    line.top += (r.bottom - r.top) / 2;
    line.left = barRect.right + 7;
    dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
    dc->FillRect(&barRect, &bar);
    dc->Draw3dRect(&barRect, g, g);
    finish();
    return;
  }

  const COLORREF text = GetSysColor(COLOR_MENUTEXT);
  const COLORREF h = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF s = BlendTowardWhite(h, 0.7);
  CBrush selection(s);
  const EntryLook look = LookOf(*this, *dis, true);

  // Three-image sets: the image, the one shown while not selected, the shadow
  // under the selected image.
  int images[3] = {look.imageIndex, look.imageIndex, look.imageIndex};
  bool triple = false;
  const auto* item = reinterpret_cast<const COwnerDrawMenuData*>(dis->itemData);
  if (item && look.images == item->m_ownImages.get() && item->m_ownImageIndex == 0 && item->m_ownImages &&
      item->m_ownImages->GetImageCount() > 2) {
    triple = true;
    images[0] = 0, images[1] = 1, images[2] = 2;
  } else if (look.images == &s_imageList && HasImageTriple(look.imageIndex)) {
    triple = true;
    images[1] = look.imageIndex + 1, images[2] = look.imageIndex + 2;
  }

  if (!look.selected) {
    dc->FillRect(&r, &body);
    dc->FillRect(&barRect, &bar);
    dc->Draw3dRect(&r, w, w);
    dc->Draw3dRect(&barRect, g, g);
  } else {
    dc->FillRect(&r, &selection);
    dc->Draw3dRect(&r, h, h);
  }

  int dy = static_cast<int>((r.bottom - m_iconHeight - r.top) * 0.5 + 0.5);
  int dx = static_cast<int>((barWidth - m_iconWidth) * 0.5 + 0.5);
  if (dy < 0) dy = 0;
  if (dx < 0) dx = 0;
  int x = r.left + dx, y = r.top + dy;

  if (look.hasImage || look.checkImage) {
    const RECT box{r.left + 1, r.top + 1, r.left + barWidth - 1, r.bottom - 1};
    if (look.checkImage) {
      dc->FillRect(&box, &bar);
      DrawImage(m_checkImages, look.selected ? 1 : 0, dc, x, y);
    } else if (look.grayed) {
      CBitmap bitmap;
      ImageListIconToBitmap(dc, look.images, images[0], &bitmap);
      if (m_embossDisabled)
        DrawEmbossedBitmap(dis->hDC, x, y, m_iconWidth, m_iconHeight, bitmap, g);
      else
        DrawDisabledBitmap(dc, x, y, m_iconWidth, m_iconHeight, &bitmap, g);
    } else if (look.selected) {
      dc->FillRect(&box, &selection);
      if (look.checked) {
        dc->Draw3dRect(&box, h, h);
        --x, --y;
      }
      if (triple && !look.checked) {
        DrawImage(look.images, images[2], dc, x + 1, y + 1);
        DrawImage(look.images, images[0], dc, x - 1, y - 1);
      } else {
        DrawImage(look.images, images[0], dc, x, y);
      }
    } else if (!look.checked) {
      dc->FillRect(&box, &bar);
      dc->Draw3dRect(&box, g, g);
      DrawImage(look.images, triple ? images[1] : images[0], dc, x, y);
    } else {
      FillWith(dc, box, BlendTowardWhite(h, 0.7));
      dc->Draw3dRect(&box, h, h);
      DrawImage(look.images, images[0], dc, x - 1, y - 1);
    }
  } else if (look.checked) {
    int left = static_cast<int>((barWidth - 16) * 0.5 + 0.5);
    int top = static_cast<int>((r.bottom - r.top - 16) * 0.5 + 0.5);
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    const RECT box{r.left + left, r.top + top, r.left + left + 16, r.top + top + 16};
    DrawCheckXP(dc, box, HasRadioCheck(*dis), h);
  }

  if (!look.label.empty() || !look.shortcut.empty()) {
    RECT textRect{r.left + barWidth + 8, r.top - 1, r.right, r.bottom - 1};
    if (look.hasTab) textRect.right -= m_iconWidth;
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(look.grayed ? GetSysColor(COLOR_GRAYTEXT) : text);
    DrawCaption(dc, look, textRect);
    dc->SetBkMode(oldMode);
  }
  finish();
}

BOOL COwnerDrawMenu::ImageListIconToBitmap(CDC* dc, CImageList* list, int index, CBitmap* out) const {
  HICON icon = ImageList_GetIcon(list ? list->m_hImageList : nullptr, index, ILD_NORMAL);
  CDC mem;
  mem.CreateCompatibleDC(dc);
  out->CreateCompatibleBitmap(dc, m_iconWidth, m_iconHeight);
  CBitmap* old = mem.SelectObject(out);
  DrawIconEx(mem, 0, 0, icon, m_iconWidth, m_iconHeight, 0, GetSysColorBrush(COLOR_BTNFACE), DI_NORMAL);
  mem.SelectObject(old);
  if (icon) DestroyIcon(icon);
  return TRUE;
}

void COwnerDrawMenu::DrawDisabledBitmap(CDC* dc, int x, int y, int w, int h, CBitmap* bitmap, COLORREF background) {
  CDC mask, image;
  mask.CreateCompatibleDC(nullptr);
  image.CreateCompatibleDC(nullptr);
  CBitmap maskBitmap;
  maskBitmap.CreateCompatibleBitmap(&mask, w, h);  // a fresh memory DC's bitmap: monochrome
  CBitmap* oldMask = mask.SelectObject(&maskBitmap);
  CBitmap* oldImage = image.SelectObject(bitmap);
  mask.PatBlt(0, 0, w, h, WHITENESS);
  // The image's background and highlight pixels become white, all others black.
  image.SetBkColor(GetSysColor(COLOR_BTNFACE));
  mask.BitBlt(0, 0, w, h, &image, 0, 0, SRCCOPY);
  image.SetBkColor(GetSysColor(COLOR_BTNHIGHLIGHT));
  mask.BitBlt(0, 0, w, h, &image, 0, 0, SRCPAINT);
  image.FillSolidRect(0, 0, w, h, background);
  image.SetBkColor(RGB(0, 0, 0));
  image.SetTextColor(RGB(255, 255, 255));
  constexpr DWORD kDSPDxax = 0x00E20746;
  CBrush highlight(GetSysColor(COLOR_BTNHIGHLIGHT));
  CBrush* oldBrush = image.SelectObject(&highlight);
  image.BitBlt(0, 0, w, h, &mask, 0, 0, kDSPDxax);
  dc->BitBlt(x + 1, y + 1, w, h, &image, 0, 0, SRCCOPY);
  image.BitBlt(1, 1, w, h, &mask, 0, 0, kDSPDxax);
  CBrush shadow(GetSysColor(COLOR_BTNSHADOW));
  image.SelectObject(&shadow);
  image.BitBlt(0, 0, w, h, &mask, 0, 0, kDSPDxax);
  dc->BitBlt(x, y, w, h, &image, 0, 0, SRCCOPY);
  image.SelectObject(oldBrush);
  image.SelectObject(oldImage);
  mask.SelectObject(oldMask);
}

void COwnerDrawMenu::DrawEmbossedBitmap(HDC dc, int x, int y, int w, int h, HBITMAP bitmap, COLORREF background) {
  HDC source = CreateCompatibleDC(dc);
  HDC mono = CreateCompatibleDC(dc);
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } info{};
  info.header.biSize = 40;
  info.header.biWidth = w;
  info.header.biHeight = h;
  info.header.biPlanes = 1;
  info.header.biBitCount = 1;
  info.colours[1] = RGBQUAD{255, 255, 255, 0};
  void* bits = nullptr;
  HBITMAP dib = (source && mono) ? CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits,
                                                    nullptr, 0)
                                 : nullptr;
  if (!dib) {
    if (source) DeleteDC(source);
    if (mono) DeleteDC(mono);
    return;
  }
  HGDIOBJ oldSource = SelectObject(source, bitmap);
  HGDIOBJ oldMono = SelectObject(mono, dib);
  BitBlt(mono, 0, 0, w, h, source, 0, 0, SRCCOPY);
  // The background colour fills the place; reading it as a system colour
  // index would pick an unrelated colour.
  const RECT place{x, y, x + w, y + h};
  HBRUSH fill = CreateSolidBrush(background);
  FillRect(dc, &place, fill);
  DeleteObject(fill);
  // The monochrome source turns into these colours before the operation.
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
  constexpr DWORD kPSDPxax = 0x00B8074A;
  HBRUSH light = CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT));
  HGDIOBJ oldBrush = SelectObject(dc, light);
  BitBlt(dc, x + 1, y + 1, w, h, mono, 0, 0, kPSDPxax);
  HBRUSH dark = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
  SelectObject(dc, dark);
  BitBlt(dc, x, y, w, h, mono, 0, 0, kPSDPxax);
  SelectObject(dc, oldBrush);
  DeleteObject(light);
  DeleteObject(dark);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBk);
  SelectObject(source, oldSource);
  SelectObject(mono, oldMono);
  DeleteObject(dib);
  DeleteDC(source);
  DeleteDC(mono);
}
