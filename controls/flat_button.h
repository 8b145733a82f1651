#pragma once
// An owner-drawn push button: colours for its normal, hovered or pressed, and
// focused states, a hover highlight for flat buttons, an optional icon or
// masked bitmap beside the caption, and three optional click behaviours (a
// check-box toggle, a drop-down menu, opening a URL).

#include "controls/owner_draw_menu.h"
#include "platform/win32/icon/icon.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/tooltip/tooltip.h"

class CFlatButton : public CButton {
 public:
  CFlatButton();
  ~CFlatButton() override;

  // The scheme of the tool's dialogs: grey-green normal, green hovered or
  // pressed, black focused; the image above the caption.
  void SetColorScheme();

  // Colour indexes.
  enum : int {
    kBackActive = 0,   // background when hovered or pressed
    kTextActive = 1,   // caption when hovered or pressed
    kBackNormal = 2,   // background in the normal state
    kTextNormal = 3,   // caption in the normal state
    kBackFocused = 4,
    kTextFocused = 5,
    kColourCount = 6,
  };
  COLORREF GetColor(int index) const { return m_crColors[index]; }
  void SetColor(int index, COLORREF colour, BOOL repaint = TRUE);

  // FALSE: the classic 3-D button.
  void SetFlat(BOOL flat = TRUE, BOOL repaint = TRUE);
  void SetAlign(BYTE align, BOOL repaint = TRUE);
  void SetDrawBorder(BOOL enable = TRUE, BOOL repaint = TRUE);
  void SetDrawFlatFocus(BOOL enable, BOOL repaint = TRUE);
  // Shows the parent's pixels under the button instead of a background colour.
  void SetTransparent(BOOL repaint = FALSE);
  void SetAlwaysTrack(BOOL always = TRUE) { m_bAlwaysTrack = always; }
  // Icons: `in` for hovered or pressed, `out` (may be null) for the normal state.
  void SetIcon(HICON in, HICON out = nullptr);
  // Bitmaps with the colour `transparent` masked out.
  void SetBitmaps(HBITMAP in, COLORREF transparentIn, HBITMAP out = nullptr, COLORREF transparentOut = 0);
  void SetMenu(UINT menuId, HWND target);
  void SetURL(const char* url);
  // The cursor over the button; the button destroys it.
  void SetButtonCursor(HCURSOR cursor);
  void SetTooltipText(const char* text, BOOL activate = TRUE);
  void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
  int GetCheck() const { return static_cast<int>(::SendMessage(m_hWnd, BM_GETCHECK, 0, 0)); }
  BOOL IsHovered() const { return m_bMouseOnButton; }
  BOOL IsDefaultButton() const { return m_bIsDefault; }
  BOOL IsCheckBox() const { return m_bIsCheckBox; }
  BYTE GetAlign() const { return m_byAlign; }
  const CToolTipCtrl& GetToolTip() const { return m_ToolTip; }

  BOOL PreTranslateMessage(MSG* msg) override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;
  LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

 protected:
  void PreSubclassWindow() override;
  virtual DWORD PaintBackground(CDC* dc, const CRect* rect);
  virtual DWORD PaintBorder(CDC* dc, const CRect* rect);

  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnKillFocus(CWnd* newWnd);
  void OnMouseMove(UINT flags, CPoint point);
  void OnSysColorChange();
  BOOL OnClicked();
  void OnActivate(UINT state, CWnd* other, BOOL minimized);
  void OnEnable(BOOL enable);
  void OnCancelMode();
  UINT OnGetDlgCode();
  HBRUSH CtlColor(CDC* dc, UINT kind);
  LRESULT OnMenuChar(UINT ch, UINT flags, CMenu* menu);
  void OnMeasureItem(int id, LPMEASUREITEMSTRUCT mis);
  LRESULT OnSetStyle(WPARAM wParam, LPARAM lParam);
  LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
  LRESULT OnSetCheck(WPARAM wParam, LPARAM lParam);
  LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);

  DECLARE_MESSAGE_MAP()

 private:
  struct IconImage {
    HICON hIcon = nullptr;
    DWORD width = 0;
    DWORD height = 0;
  };
  struct BitmapImage {
    HBITMAP hBitmap = nullptr;
    DWORD width = 0;
    DWORD height = 0;
    HBITMAP hMask = nullptr;
  };

  void CancelHover();
  void ReleaseImages(BOOL destroy);
  void CaptureParentBackground(CDC* dc);
  // Which of the two images the state shows: 1 for the normal-state image.
  int ImageIndex(bool haveSecond) const;
  void CalcImageRect(BOOL hasCaption, const RECT* item, CRect* caption, BOOL pressed, DWORD width,
                     DWORD height, CRect* image) const;
  void DrawIconImage(CDC* dc, BOOL hasCaption, const RECT* item, CRect* caption, BOOL pressed, BOOL disabled);
  void DrawBitmapImage(CDC* dc, BOOL hasCaption, const RECT* item, CRect* caption, BOOL pressed, BOOL disabled);
  void DrawCaption(CDC* dc, const CString& caption, CRect rect) const;

  BOOL m_bGreyDisabled = TRUE;
  BOOL m_bIsFlat = TRUE;
  BOOL m_bMouseOnButton = FALSE;
  BOOL m_bDrawTransparent = FALSE;
  BOOL m_bIsPressed = FALSE;
  BOOL m_bIsFocused = FALSE;
  BOOL m_bIsDisabled = FALSE;
  BOOL m_bIsDefault = FALSE;
  BOOL m_bIsCheckBox = FALSE;
  BYTE m_byAlign = 0;
  BOOL m_bDrawBorder = TRUE;
  BOOL m_bDrawFlatFocus = FALSE;
  COLORREF m_crColors[kColourCount];
  HWND m_hParentWndMenu = nullptr;
  BOOL m_bMenuDisplayed = FALSE;
  COwnerDrawMenu m_menuPopup;
  HCURSOR m_hCursor = nullptr;
  CToolTipCtrl m_ToolTip;
  CDC m_dcBk;
  CBitmap m_bmpBk;
  CBitmap* m_pbmpOldBk = nullptr;
  BOOL m_bAlwaysTrack = TRUE;
  int m_nCheck = 0;
  char m_szURL[260] = {};
  IconImage m_csIcons[2];
  BitmapImage m_csBitmaps[2];
};
