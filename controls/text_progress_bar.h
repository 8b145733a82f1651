#pragma once
// A progress bar that paints itself and writes a text over the bar: the
// percentage, or the status text its owner sets as the window text. It
// answers every progress-bar message from its own members.

#include "platform/core/cstring.h"
#include "platform/win32/standard/progress_ctrl.h"

inline constexpr UINT PBM_SETTEXTCOLOR = WM_USER + 100;
inline constexpr UINT PBM_SHOWPERCENT = WM_USER + 101;

class CTextProgressBar : public CProgressCtrl {
 public:
  CTextProgressBar() = default;
  ~CTextProgressBar() override = default;

  void SetBarColor(COLORREF c) { SetColor(m_crBarClr, c); }
  void SetBkColor(COLORREF c) { SetColor(m_crBkClr, c); }
  void SetTextColor(COLORREF c) { SetColor(m_crTextClr, c); }

 protected:
  BOOL OnEraseBkgnd(CDC* dc);
  void OnPaint();
  void OnSize(UINT type, int cx, int cy);
  LRESULT OnSetText(WPARAM, LPARAM lParam);
  LRESULT OnGetText(WPARAM size, LPARAM buffer);
  LRESULT OnSetRange(WPARAM, LPARAM range);
  LRESULT OnSetPos(WPARAM pos, LPARAM);
  LRESULT OnOffsetPos(WPARAM delta, LPARAM);
  LRESULT OnSetStep(WPARAM step, LPARAM);
  LRESULT OnStepIt(WPARAM, LPARAM);
  LRESULT OnSetRange32(WPARAM lower, LPARAM upper);
  LRESULT OnGetRange(WPARAM wantLower, LPARAM range);
  LRESULT OnGetPos(WPARAM, LPARAM);
  LRESULT OnSetBarColor(WPARAM, LPARAM colour);
  LRESULT OnSetBkColor(WPARAM, LPARAM colour);
  LRESULT OnSetTextColor(WPARAM, LPARAM colour);
  LRESULT OnShowPercent(WPARAM show, LPARAM);

  DECLARE_MESSAGE_MAP()

 private:
  // Invalidates the whole control with erase when its window exists, then stores.
  void SetColor(COLORREF& member, COLORREF c);
  COLORREF SwapColor(COLORREF& member, LPARAM c);
  LRESULT StoreRange(int lower, int upper);
  bool IsVertical() const { return (GetStyle() & PBS_VERTICAL) != 0; }

  COLORREF m_crTextClr = CLR_DEFAULT;
  int m_nPos = 0;
  int m_nStepSize = 1;
  int m_nMax = 100;
  int m_nMin = 0;
  CString m_strText;
  BOOL m_bShowPercent = TRUE;
  int m_nBarWidth = -1;
  COLORREF m_crBarClr = CLR_DEFAULT;
  COLORREF m_crBkClr = CLR_DEFAULT;
  UINT m_dwTextStyle = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
};
