#include "controls/flat_button.h"

#include <cstring>

#include "platform/win32/input/keyboard.h"
#include "platform/win32/input/mouse.h"
#include "platform/win32/system/system.h"
#include "platform/win32/window_state_messages.h"
#include "platform/win32/window_tree.h"

namespace {

constexpr UINT kTypeMask = 0x1F;

}  // namespace

BEGIN_MESSAGE_MAP(CFlatButton, CButton)
  ON_WM_SETCURSOR()
  ON_WM_KILLFOCUS()
  ON_WM_MOUSEMOVE()
  ON_WM_SYSCOLORCHANGE()
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
  ON_WM_ACTIVATE()
  ON_WM_ENABLE()
  ON_WM_CANCELMODE()
  ON_WM_GETDLGCODE()
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_MENUCHAR()
  ON_WM_MEASUREITEM()
  ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
  ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
  ON_MESSAGE(BM_SETCHECK, OnSetCheck)
  ON_MESSAGE(BM_GETCHECK, OnGetCheck)
END_MESSAGE_MAP()

CFlatButton::CFlatButton() {
  m_crColors[kBackActive] = ::GetSysColor(COLOR_BTNFACE);
  m_crColors[kTextActive] = ::GetSysColor(COLOR_BTNTEXT);
  m_crColors[kBackNormal] = ::GetSysColor(COLOR_BTNFACE);
  m_crColors[kTextNormal] = ::GetSysColor(COLOR_BTNTEXT);
  m_crColors[kBackFocused] = ::GetSysColor(COLOR_BTNFACE);
  m_crColors[kTextFocused] = ::GetSysColor(COLOR_BTNTEXT);
}

CFlatButton::~CFlatButton() {
  if (m_dcBk.GetSafeHdc() && m_pbmpOldBk) m_dcBk.SelectObject(m_pbmpOldBk);
  ReleaseImages(TRUE);
  if (m_hCursor) ::DestroyCursor(m_hCursor);
  if (m_menuPopup.m_hMenu) m_menuPopup.DestroyMenuAndItems();
  DestroyWindow();
}

// ---------------------------------------------------------------- setters

void CFlatButton::SetColorScheme() {
  const struct {
    int index;
    COLORREF colour;
  } scheme[] = {{kBackNormal, 0x4F5554}, {kBackActive, 0x99CC33}, {kTextActive, 0x000000},
                {kTextNormal, 0xFFFFFF}, {kBackFocused, 0x000000}, {kTextFocused, 0xFFFFFF}};
  for (const auto& s : scheme) {
    m_crColors[s.index] = s.colour;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
  }
  m_byAlign = 1;
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CFlatButton::SetColor(int index, COLORREF colour, BOOL repaint) {
  if (index < 0 || index >= kColourCount) return;
  m_crColors[index] = colour;
  if (repaint) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CFlatButton::SetFlat(BOOL flat, BOOL repaint) {
  m_bIsFlat = flat;
  if (repaint) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CFlatButton::SetAlign(BYTE align, BOOL repaint) {
  m_byAlign = align;
  if (repaint) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CFlatButton::SetDrawBorder(BOOL enable, BOOL repaint) {
  m_bDrawBorder = enable;
  if (repaint) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CFlatButton::SetDrawFlatFocus(BOOL enable, BOOL repaint) {
  m_bDrawFlatFocus = enable;
  if (repaint) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CFlatButton::SetTransparent(BOOL repaint) {
  m_bDrawTransparent = TRUE;
  if (repaint) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CFlatButton::ReleaseImages(BOOL destroy) {
  for (IconImage& icon : m_csIcons) {
    if (destroy && icon.hIcon) ::DestroyIcon(icon.hIcon);
    icon = IconImage{};
  }
  for (BitmapImage& bitmap : m_csBitmaps) {
    if (destroy) {
      if (bitmap.hBitmap) ::DeleteObject(bitmap.hBitmap);
      if (bitmap.hMask) ::DeleteObject(bitmap.hMask);
    }
    bitmap = BitmapImage{};
  }
}

void CFlatButton::SetIcon(HICON in, HICON out) {
  ReleaseImages(TRUE);
  HICON icons[2] = {in, out};
  for (int i = 0; i < 2; ++i) {
    ICONINFO info{};
    if (!icons[i] || !::GetIconInfo(icons[i], &info)) continue;
    BITMAP bm{};
    ::GetObject(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
    m_csIcons[i] = IconImage{icons[i], static_cast<DWORD>(bm.bmWidth),
                             static_cast<DWORD>(info.hbmColor ? bm.bmHeight : bm.bmHeight / 2)};
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
  }
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

namespace {

// A 1-bit mask with 1 where the bitmap has the transparent colour, and the
// bitmap with black there, so that mask SRCAND then bitmap SRCPAINT draws it.
HBITMAP MakeMask(HBITMAP bitmap, COLORREF transparent) {
  BITMAP bm{};
  if (!::GetObject(bitmap, sizeof(bm), &bm)) return nullptr;
  HBITMAP mask = ::CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr);
  HDC src = ::CreateCompatibleDC(nullptr);
  HDC dst = ::CreateCompatibleDC(nullptr);
  HGDIOBJ oldSrc = ::SelectObject(src, bitmap);
  HGDIOBJ oldDst = ::SelectObject(dst, mask);
  ::SetBkColor(src, transparent);
  ::BitBlt(dst, 0, 0, bm.bmWidth, bm.bmHeight, src, 0, 0, SRCCOPY);
  // Mask bits 1 become the bitmap DC's background (black), 0 its text colour.
  ::SetTextColor(src, 0xFFFFFF);
  ::SetBkColor(src, 0x000000);
  ::BitBlt(src, 0, 0, bm.bmWidth, bm.bmHeight, dst, 0, 0, SRCAND);
  ::SelectObject(src, oldSrc);
  ::SelectObject(dst, oldDst);
  ::DeleteDC(src);
  ::DeleteDC(dst);
  return mask;
}

}  // namespace

void CFlatButton::SetBitmaps(HBITMAP in, COLORREF transparentIn, HBITMAP out, COLORREF transparentOut) {
  ReleaseImages(TRUE);
  const HBITMAP bitmaps[2] = {in, out};
  const COLORREF keys[2] = {transparentIn, transparentOut};
  for (int i = 0; i < 2; ++i) {
    BITMAP bm{};
    if (!bitmaps[i] || !::GetObject(bitmaps[i], sizeof(bm), &bm)) continue;
    m_csBitmaps[i] = BitmapImage{bitmaps[i], static_cast<DWORD>(bm.bmWidth), static_cast<DWORD>(bm.bmHeight),
                                 MakeMask(bitmaps[i], keys[i])};
  }
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CFlatButton::SetMenu(UINT menuId, HWND target) {
  if (m_menuPopup.m_hMenu) m_menuPopup.DestroyMenuAndItems();
  m_hParentWndMenu = target;
  if (menuId) m_menuPopup.LoadMenuById(menuId);
}

void CFlatButton::SetURL(const char* url) {
  const size_t n = url ? std::min(std::strlen(url), sizeof(m_szURL) - 1) : 0;
  if (n) std::memcpy(m_szURL, url, n);
  m_szURL[n] = '\0';
}

void CFlatButton::SetButtonCursor(HCURSOR cursor) {
  if (m_hCursor) ::DestroyCursor(m_hCursor);
  m_hCursor = cursor;
}

void CFlatButton::SetTooltipText(const char* text, BOOL activate) {
  if (!text || !m_hWnd) return;
  if (!m_ToolTip.m_hWnd) {
    if (!m_ToolTip.Create(this, 0)) return;
    m_ToolTip.SendMessage(TTM_SETMAXTIPWIDTH, 0, 400);
  }
  if (m_ToolTip.GetToolCount() == 0) {
    CRect client;
    GetClientRect(&client);
    m_ToolTip.AddTool(this, text, &client, 1);
  }
  m_ToolTip.UpdateTipText(text, this, 1);
  m_ToolTip.Activate(activate);
}

// ---------------------------------------------------------------- window

void CFlatButton::PreSubclassWindow() {
  const UINT style = GetStyle() & 0xFFFF;
  if (style & 0x2) m_bIsCheckBox = TRUE;
  if ((style & kTypeMask) == BS_DEFPUSHBUTTON) m_bIsDefault = TRUE;
  ModifyStyle(kTypeMask, BS_OWNERDRAW, SWP_FRAMECHANGED);
  CButton::PreSubclassWindow();
}

BOOL CFlatButton::PreTranslateMessage(MSG* msg) {
  if (!m_ToolTip.m_hWnd && m_ToolTip.Create(this, 0)) {
    m_ToolTip.SendMessage(TTM_ACTIVATE, FALSE, 0);
    m_ToolTip.SendMessage(TTM_SETMAXTIPWIDTH, 0, 400);
  }
  if (m_ToolTip.m_hWnd) m_ToolTip.SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
  return CButton::PreTranslateMessage(msg);
}

LRESULT CFlatButton::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  // A double click is a second click.
  if (msg == WM_LBUTTONDBLCLK) msg = WM_LBUTTONDOWN;
  return CButton::DefWindowProc(msg, wParam, lParam);
}

void CFlatButton::CancelHover() {
  if (!m_bIsFlat || !m_bMouseOnButton) return;
  m_bMouseOnButton = FALSE;
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

BOOL CFlatButton::OnSetCursor(CWnd*, UINT, UINT) {
  if (!m_hCursor) return static_cast<BOOL>(Default());
  ::SetCursor(m_hCursor);
  return TRUE;
}

void CFlatButton::OnKillFocus(CWnd*) {
  Default();
  CancelHover();
}

void CFlatButton::OnMouseMove(UINT flags, CPoint point) {
  Default();
  POINT screen = point;
  ClientToScreen(&screen);
  const HWND under = ::WindowFromPoint(screen);
  // A drag never starts a hover.
  if ((flags & MK_LBUTTON) && !m_bMouseOnButton) return;
  if (!m_bIsFlat) return;
  const bool active = m_bAlwaysTrack || ::GetActiveWindow() != nullptr;
  if (under == m_hWnd && active) {
    if (m_bMouseOnButton) return;
    m_bMouseOnButton = TRUE;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
    ::_TrackMouseEvent(&tme);
  } else {
    CancelHover();
  }
}

void CFlatButton::OnSysColorChange() {
  Default();
  // Captured again at the next paint.
  if (m_dcBk.GetSafeHdc() && m_pbmpOldBk) m_dcBk.SelectObject(m_pbmpOldBk);
  m_pbmpOldBk = nullptr;
  m_dcBk.DeleteDC();
  m_bmpBk.DeleteObject();
}

BOOL CFlatButton::OnClicked() {
  SetFocus();
  if (m_bIsCheckBox) {
    m_nCheck = !m_nCheck;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return FALSE;
  }
  if (m_menuPopup.m_hMenu) {
    CRect window;
    GetWindowRect(&window);
    m_bMenuDisplayed = TRUE;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    const HMENU sub = ::GetSubMenu(m_menuPopup.m_hMenu, 0);
    const UINT command = static_cast<UINT>(::TrackPopupMenu(sub, TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD,
                                                             window.left, window.bottom, 0, m_hWnd, nullptr));
    m_bMenuDisplayed = FALSE;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    if (command) ::PostMessage(m_hParentWndMenu, WM_COMMAND, LOWORD(command), 0);
    return FALSE;
  }
  if (m_szURL[0]) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = 60;
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = m_szURL;
    info.nShow = SW_SHOWMAXIMIZED;
    ::ShellExecuteExA(&info);
  }
  return FALSE;
}

void CFlatButton::OnActivate(UINT state, CWnd*, BOOL) {
  Default();
  if (state == WA_INACTIVE) CancelHover();
}

void CFlatButton::OnEnable(BOOL enable) {
  Default();
  if (!enable) {
    // The focus leaves a disabled button, wherever it was.
    CWnd* parent = GetParent();
    if (parent) {
      CWnd* next = parent->GetNextDlgTabItem(this, FALSE);
      if (next)
        next->SetFocus();
      else
        parent->SetFocus();
    }
  }
  CancelHover();
}

void CFlatButton::OnCancelMode() {
  Default();
  CancelHover();
}

UINT CFlatButton::OnGetDlgCode() {
  const UINT code = static_cast<UINT>(Default());
  return code | (m_bIsDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

HBRUSH CFlatButton::CtlColor(CDC*, UINT) { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

LRESULT CFlatButton::OnMenuChar(UINT ch, UINT flags, CMenu* menu) {
  if (menu && COwnerDrawMenu::IsKnownSubMenu(menu->m_hMenu))
    return COwnerDrawMenu::MatchMenuChar(ch, flags, menu);
  return Default();
}

void CFlatButton::OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis) {
  if (mis && mis->CtlType == ODT_MENU) {
    const HMENU menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(mis->itemID));
    if (::IsMenu(menu) && COwnerDrawMenu::IsKnownSubMenu(menu)) {
      m_menuPopup.MeasureItem(mis);
      return;
    }
  }
  CButton::OnMeasureItem(id, mis);
}

LRESULT CFlatButton::OnSetStyle(WPARAM wParam, LPARAM lParam) {
  const UINT type = static_cast<UINT>(wParam) & kTypeMask;
  if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) m_bIsDefault = type == BS_DEFPUSHBUTTON;
  // The button stays owner-drawn when the dialog moves the default button.
  return DefWindowProc(BM_SETSTYLE, (wParam & ~static_cast<WPARAM>(kTypeMask)) | BS_OWNERDRAW, lParam);
}

LRESULT CFlatButton::OnMouseLeave(WPARAM, LPARAM) {
  CancelHover();
  return 0;
}

LRESULT CFlatButton::OnSetCheck(WPARAM wParam, LPARAM) {
  if (!m_bIsCheckBox) return 0;
  m_nCheck = wParam == BST_CHECKED || wParam == BST_INDETERMINATE ? 1 : 0;
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
  return 0;
}

LRESULT CFlatButton::OnGetCheck(WPARAM, LPARAM) { return m_nCheck; }

// ---------------------------------------------------------------- drawing

DWORD CFlatButton::PaintBackground(CDC* dc, const CRect* rect) {
  const int index = m_bMouseOnButton || m_bIsPressed ? kBackActive : m_bIsFocused ? kBackFocused : kBackNormal;
  CBrush brush(m_crColors[index]);
  dc->FillRect(rect, &brush);
  return 0;
}

DWORD CFlatButton::PaintBorder(CDC* dc, const CRect* rect) {
  if (m_bIsPressed)
    dc->Draw3dRect(rect, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHILIGHT));
  else
    dc->Draw3dRect(rect, ::GetSysColor(COLOR_BTNHILIGHT), ::GetSysColor(COLOR_BTNSHADOW));
  return 0;
}

void CFlatButton::CaptureParentBackground(CDC* dc) {
  CWnd* parent = GetParent();
  if (!parent) return;
  CClientDC parentDC(parent);
  CRect client, window;
  GetClientRect(&client);
  GetWindowRect(&window);
  parent->ScreenToClient(&window);
  if (!m_dcBk.GetSafeHdc()) {
    m_dcBk.CreateCompatibleDC(&parentDC);
    if (!m_bmpBk.CreateCompatibleBitmap(&parentDC, client.Width(), client.Height())) {
      m_dcBk.DeleteDC();
      return;
    }
    m_pbmpOldBk = m_dcBk.SelectObject(&m_bmpBk);
    m_dcBk.BitBlt(0, 0, client.Width(), client.Height(), &parentDC, window.left, window.top, SRCCOPY);
  }
  dc->BitBlt(0, 0, client.Width(), client.Height(), &m_dcBk, 0, 0, SRCCOPY);
}

int CFlatButton::ImageIndex(bool haveSecond) const {
  return haveSecond && !m_bIsPressed && (m_bIsCheckBox || !m_bMouseOnButton) ? 1 : 0;
}

void CFlatButton::CalcImageRect(BOOL hasCaption, const RECT* item, CRect* caption, BOOL pressed, DWORD width,
                                DWORD height, CRect* image) const {
  const int w = static_cast<int>(width), h = static_cast<int>(height);
  CRect r(item);
  const int itemWidth = r.Width(), itemHeight = r.Height();
  switch (m_byAlign) {
    case 0:
      if (hasCaption) {
        r.left += 3;
        caption->left += w + 3;
      } else {
        r.left += (itemWidth - w) / 2;
      }
      r.top += (itemHeight - h) / 2;
      break;
    case 1:
      r.left += (itemWidth - w) / 2;
      if (hasCaption) {
        r.top = 3;
        caption->top += h;
      } else {
        r.top += (itemHeight - h) / 2;
      }
      break;
    case 2:
      if (hasCaption) {
        caption->right = caption->right - caption->left - w - 3;
        caption->left = 3;
        CRect client;
        GetClientRect(&client);
        r.left = client.Width() - w - 3;
        r.top += (itemHeight - h) / 2;
      } else {
        r.left += (itemWidth - w) / 2;
      }
      break;
    default:
      break;
  }
  if (pressed && !m_bIsCheckBox) r.OffsetRect(1, 1);
  image->SetRect(r.left, r.top, r.left + w, r.top + h);
}

void CFlatButton::DrawIconImage(CDC* dc, BOOL hasCaption, const RECT* item, CRect* caption, BOOL pressed,
                                BOOL disabled) {
  const IconImage& icon = m_csIcons[ImageIndex(m_csIcons[1].hIcon != nullptr)];
  CRect place;
  CalcImageRect(hasCaption, item, caption, pressed, icon.width, icon.height, &place);
  ::DrawStateA(*dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.hIcon), 0, place.left, place.top,
               place.Width(), place.Height(), DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
}

void CFlatButton::DrawBitmapImage(CDC* dc, BOOL hasCaption, const RECT* item, CRect* caption, BOOL pressed,
                                  BOOL disabled) {
  const BitmapImage& bitmap = m_csBitmaps[ImageIndex(m_csBitmaps[1].hBitmap != nullptr)];
  CRect place;
  CalcImageRect(hasCaption, item, caption, pressed, bitmap.width, bitmap.height, &place);
  const int w = place.Width(), h = place.Height();
  CDC src;
  src.CreateCompatibleDC(dc);
  HGDIOBJ old = ::SelectObject(src, bitmap.hMask);
  if (disabled && m_bGreyDisabled) {
    // Composed on white first, then drawn embossed.
    CDC composed;
    composed.CreateCompatibleDC(dc);
    CBitmap picture;
    picture.CreateCompatibleBitmap(dc, w, h);
    CBitmap* oldPicture = composed.SelectObject(&picture);
    composed.FillSolidRect(0, 0, w, h, 0xFFFFFF);
    composed.BitBlt(0, 0, w, h, &src, 0, 0, SRCAND);
    ::SelectObject(src, bitmap.hBitmap);
    composed.BitBlt(0, 0, w, h, &src, 0, 0, SRCPAINT);
    composed.SelectObject(oldPicture);
    ::DrawStateA(*dc, nullptr, nullptr, reinterpret_cast<LPARAM>(picture.GetSafeHandle()), 0, place.left,
                 place.top, w, h, DST_BITMAP | DSS_DISABLED);
  } else {
    dc->BitBlt(place.left, place.top, w, h, &src, 0, 0, SRCAND);
    ::SelectObject(src, bitmap.hBitmap);
    dc->BitBlt(place.left, place.top, w, h, &src, 0, 0, SRCPAINT);
  }
  ::SelectObject(src, old);
}

void CFlatButton::DrawItem(LPDRAWITEMSTRUCT dis) {
  CDC* dc = CDC::FromHandle(dis->hDC);
  m_bIsPressed = m_bIsCheckBox ? ((dis->itemState & ODS_SELECTED) || m_nCheck == 1)
                               : ((dis->itemState & ODS_SELECTED) || (m_bMenuDisplayed && m_menuPopup.m_hMenu));
  m_bIsFocused = (dis->itemState & ODS_FOCUS) != 0;
  m_bIsDisabled = (dis->itemState & ODS_DISABLED) != 0;

  CRect item = dis->rcItem;
  dc->SetBkMode(TRANSPARENT);
  if (!m_bIsFlat && (m_bIsFocused || m_bIsDefault)) {
    CBrush black(RGB(0, 0, 0));
    dc->FrameRect(&item, &black);
    item.DeflateRect(1, 1);
  }

  if (m_bDrawTransparent)
    CaptureParentBackground(dc);
  else
    PaintBackground(dc, &item);

  if (m_bIsPressed) {
    if (m_bIsFlat) {
      if (m_bDrawBorder) PaintBorder(dc, &item);
    } else {
      CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
      dc->FrameRect(&item, &shadow);
    }
  } else if (m_bIsFlat) {
    if (m_bMouseOnButton && m_bDrawBorder) PaintBorder(dc, &item);
  } else {
    CPen highlight(PS_SOLID, 0, ::GetSysColor(COLOR_BTNHILIGHT));
    CPen light(PS_SOLID, 0, ::GetSysColor(COLOR_3DLIGHT));
    CPen dark(PS_SOLID, 0, ::GetSysColor(COLOR_3DDKSHADOW));
    CPen shadow(PS_SOLID, 0, ::GetSysColor(COLOR_BTNSHADOW));
    CPen* old = dc->SelectObject(&highlight);
    dc->MoveTo(item.left, item.bottom - 1);
    dc->LineTo(item.left, item.top);
    dc->LineTo(item.right, item.top);
    dc->SelectObject(&light);
    dc->MoveTo(item.left + 1, item.bottom - 1);
    dc->LineTo(item.left + 1, item.top + 1);
    dc->LineTo(item.right, item.top + 1);
    dc->SelectObject(&dark);
    dc->MoveTo(item.left, item.bottom - 1);
    dc->LineTo(item.right - 1, item.bottom - 1);
    dc->LineTo(item.right - 1, item.top - 1);
    dc->SelectObject(&shadow);
    dc->MoveTo(item.left + 1, item.bottom - 2);
    dc->LineTo(item.right - 2, item.bottom - 2);
    dc->LineTo(item.right - 2, item.top);
    dc->SelectObject(old);
  }

  CString caption;
  GetWindowText(caption);
  CRect captionRect = dis->rcItem;
  const BOOL hasCaption = !caption.IsEmpty();
  if (m_csIcons[0].hIcon)
    DrawIconImage(dc, hasCaption, &dis->rcItem, &captionRect, m_bIsPressed, m_bIsDisabled);
  if (m_csBitmaps[0].hBitmap) {
    dc->SetBkColor(0xFFFFFF);
    DrawBitmapImage(dc, hasCaption, &dis->rcItem, &captionRect, m_bIsPressed, m_bIsDisabled);
  }
  if (hasCaption) DrawCaption(dc, caption, captionRect);

  if (m_bIsFocused && (!m_bIsFlat || m_bDrawFlatFocus)) {
    CRect focus = item;
    focus.DeflateRect(3, 3);
    dc->DrawFocusRect(&focus);
  }
}

void CFlatButton::DrawCaption(CDC* dc, const CString& caption, CRect rect) const {
  if (m_bIsPressed && !m_bIsCheckBox) rect.OffsetRect(1, 1);
  CRect measured = rect;
  dc->DrawText(caption, -1, &measured, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
  measured.OffsetRect((rect.Width() - measured.Width()) / 2, (rect.Height() - measured.Height()) / 2);
  dc->SetBkMode(TRANSPARENT);
  if (m_bIsDisabled) {
    // Embossed: the highlight one pixel off, the shadow on top.
    measured.OffsetRect(1, 1);
    dc->SetTextColor(::GetSysColor(COLOR_BTNHILIGHT));
    dc->DrawText(caption, -1, &measured, DT_WORDBREAK | DT_CENTER);
    measured.OffsetRect(-1, -1);
    dc->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
    dc->DrawText(caption, -1, &measured, DT_WORDBREAK | DT_CENTER);
    return;
  }
  int text = kTextNormal, back = kBackNormal;
  if (m_bMouseOnButton || m_bIsPressed) {
    text = kTextActive;
    back = kBackActive;
  } else if (m_bIsFocused) {
    text = kTextFocused;
    back = kBackFocused;
  }
  dc->SetTextColor(m_crColors[text]);
  dc->SetBkColor(m_crColors[back]);
  dc->DrawText(caption, -1, &measured, DT_WORDBREAK | DT_CENTER);
}
