#pragma once
// A static text that paints itself: own text colour and background, a font
// kept as a LOGFONT whose fields the setters change one at a time,
// transparency, a one-pixel 3-D copy of the text, rotated text, flashing,
// and link behaviour. Every setter returns the label, so calls chain.

#include "platform/core/cstring.h"
#include "platform/win32/icon/icon.h"
#include "platform/win32/standard/static.h"

// WM_NOTIFY code a link label sends its parent on a click.
inline constexpr UINT NM_LABELCLICK = 0x8200;

class CColorLabel : public CStatic {
 public:
  CColorLabel();
  ~CColorLabel() override;

  virtual CColorLabel& SetBkColor(COLORREF colour);
  virtual CColorLabel& SetTextColor(COLORREF colour);
  virtual CColorLabel& SetText(const CString& text);
  virtual CColorLabel& SetFontBold(BOOL bold);
  virtual CColorLabel& SetFontName(const CString& face);
  virtual CColorLabel& SetFontUnderline(BOOL underline);
  virtual CColorLabel& SetFontItalic(BOOL italic);
  virtual CColorLabel& SetFontSize(int points);
  virtual CColorLabel& SetSunken(BOOL sunken);
  virtual CColorLabel& SetBorder(BOOL border);
  virtual CColorLabel& SetTransparent(BOOL transparent);
  virtual CColorLabel& FlashText(BOOL flash);
  virtual CColorLabel& FlashBackground(BOOL flash);
  virtual CColorLabel& SetLink(BOOL link, BOOL openOnClick);
  virtual CColorLabel& SetLinkCursor(HCURSOR cursor);
  virtual CColorLabel& SetText3D(BOOL on, BOOL direction);
  virtual CColorLabel& SetRotation(int degrees, BOOL rotate);
  virtual CColorLabel& SetText3DColor(COLORREF colour);

  // 0: painting empties the window text after reading it.
  BOOL m_bKeepText = 0;

  const LOGFONTA& GetLogFont() const { return m_lf; }
  BOOL IsTransparent() const { return m_bTransparent; }
  int GetFlashMode() const { return m_nFlashMode; }
  BOOL GetFlashPhase() const { return m_bFlashPhase; }

 protected:
  void OnTimer(UINT_PTR id);
  void OnLButtonDown(UINT flags, CPoint point);
  BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
  void OnSysColorChange();
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc);

  DECLARE_MESSAGE_MAP()

 private:
  void RecreateFont();
  void Redraw();
  // Kills timer 1 when a flash was ever started.
  void StopFlashTimer();
  // Starts flashing in the mode (1 text, 2 background), or stops.
  CColorLabel& Flash(BOOL on, int mode);

  COLORREF m_crText;
  COLORREF m_cr3DText = 0xFFFFFF;
  HBRUSH m_hDefaultBrush;
  HBRUSH m_hBackBrush = nullptr;
  LOGFONTA m_lf{};
  CFont m_font;
  BOOL m_bFlashPhase = FALSE;
  BOOL m_bTimerStarted = FALSE;
  BOOL m_bTransparent = FALSE;
  BOOL m_bText3D = FALSE;
  BOOL m_bOpenOnClick = FALSE;
  BOOL m_bRotate = FALSE;
  int m_nFlashMode = 0;
  HCURSOR m_hLinkCursor = nullptr;
  BOOL m_b3DDirection = FALSE;
};
