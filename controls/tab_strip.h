#pragma once
// A strip of tabs that hosts page windows: every page is laid into the page
// area, the active tab's page is shown and the others hidden. The tab row is
// painted here, along the bottom edge (mode 0: trapezoid tabs with a drop
// shadow over a stretched bar) or the top edge (mode 1: gradient tabs with a
// slanted left edge), and scrolls 20 pixels a click with two arrow buttons.

#include <vector>

#include "platform/core/cstring.h"
#include "platform/win32/cwnd.h"

// Posted by the strip to itself to re-lay out into its parent's free area.
inline constexpr UINT WM_TABSTRIP_RECALC = WM_USER + 0x47;
// Sent to the parent after a click selected another tab: wParam the new index.
inline constexpr UINT WM_TABSTRIP_SELCHANGE = WM_USER + 0x48;
// A frame's layout asks its children for their room with this.
inline constexpr UINT WM_SIZEPARENT = 0x0361;

// The bitmaps of the strip: the two scroll buttons and the bar behind mode 0.
inline constexpr UINT IDB_TABSTRIP_LEFT = 195;
inline constexpr UINT IDB_TABSTRIP_RIGHT = 196;
inline constexpr UINT IDB_TABSTRIP_BACK = 198;

// One tab: its title, its page (not owned) and where the strip laid it out.
class CTabStripInfo {
 public:
  CTabStripInfo(const char* title, CWnd* page, int id) : m_strTitle(title), m_pPage(page), m_nId(id) {}
  virtual ~CTabStripInfo() = default;
  CTabStripInfo(const CTabStripInfo&) = delete;
  CTabStripInfo& operator=(const CTabStripInfo&) = delete;

  CString m_strTitle;
  CRect m_rect;
  BOOL m_bVisible = TRUE;
  CWnd* m_pPage;
  int m_nWidth = 0;
  int m_nId;
};

class CTabStrip : public CWnd {
  DECLARE_DYNAMIC(CTabStrip)

 public:
  CTabStrip() = default;
  ~CTabStrip() override;

  // Dynamic creation; nullptr when the allocation fails.
  static CTabStrip* CreateObject();

  void AddTab(CWnd* page, const char* title);
  BOOL SetActiveTab(int index);
  CWnd* GetActivePage() const;
  void RecalcLayout();
  void CalcTabRects();
  int GetVisibleTabCount() const;
  CRect GetFirstVisibleTabRect() const;
  CRect GetLastVisibleTabRect() const;
  // The parent for a point below the strip row that lies on no tab, else nullptr.
  CWnd* GetClickForwardWnd(CPoint point) const;
  int GetTabCount() const { return m_nTabCount; }
  const CTabStripInfo* GetTab(int index) const { return m_tabs[static_cast<size_t>(index)]; }

  void PaintTopStrip(CDC* pDC);
  void PaintBottomStrip(CDC* pDC);
  void DrawTab(CDC* pDC, CTabStripInfo* tab, BOOL active, BOOL previousActive, BOOL first);
  void DrawScrollButtons(CDC* pDC);
  void DrawScrollButton(CDC* pDC, BOOL left, CRect rect);

  // The owner sets these before Create; nothing changes them later.
  int m_nPosition = 0;  // 0 strip at the bottom, 1 at the top, other: no strip
  int m_nStripHeight = 20;
  CRect m_rcPageArea;
  CRect m_rcStrip;
  CRect m_rcScrollBand;
  int m_nTotalWidth = 0;
  COLORREF m_crInactiveText = 0x000000;
  COLORREF m_crActiveText = 0x602000;
  BOOL m_bHideInactivePages = TRUE;
  BOOL m_bClipToStrip = TRUE;
  BOOL m_bBusy = FALSE;

  static constexpr int kBandWidth = 50;
  static constexpr int kScrollStep = 20;
  static constexpr int kPageInset = 4;
  static constexpr COLORREF kNoTabColour = 0x5D5F5F;
  static constexpr COLORREF kFrameColour = 0xD0BFAF;
  static constexpr COLORREF kTopOutline = 0xCF743B;
  static constexpr COLORREF kBottomOutline = 0x602000;
  static constexpr COLORREF kTabColours[10] = {0xE6AE93, 0x85DFFF, 0xBDDDD2, 0xBDBDF4, 0xEBC6D2,
                                               0xCCD3BA, 0xA5CAF7, 0xC5B1DB, 0xEDC7B4, 0xBDBDF4};
  // The colour of tab i in mode 1; tabs beyond the table take the frame colour.
  static COLORREF TabColour(int index);

 protected:
  int OnCreate(LPCREATESTRUCT cs);
  void OnSize(UINT type, int cx, int cy);
  void OnPaint();
  BOOL OnEraseBkgnd(CDC* dc);
  void OnLButtonDown(UINT flags, CPoint point);
  void OnLButtonDblClk(UINT flags, CPoint point);
  void OnDestroy();
  LRESULT OnSizeParent(WPARAM, LPARAM);
  LRESULT OnTabStripRecalc(WPARAM, LPARAM);

  DECLARE_MESSAGE_MAP()

 private:
  // Page area, strip rect and scroll band from the page area's rectangle.
  void LayOutStrip();
  // The page area from the window rectangle, then LayOutStrip.
  void GeometryFromWindow();
  void DrawTabText(CDC* pDC, const CTabStripInfo* tab, BOOL active);
  void FillFrame(CDC* pDC, COLORREF colour) const;

  std::vector<CTabStripInfo*> m_tabs;  // owned; deleted by OnDestroy
  int m_nTabCount = 0;
  int m_nActiveTab = -1;
  int m_nNextId = 1;
};

// Soft shadow below and right of a mode 0 tab, darkening the pixels in place.
BOOL DrawDropShadow(CDC* pDC, int depth, const RECT* rect);
// Each of R, G, B times percent / 100 (integer division), at most 255.
COLORREF ScaleColorPercent(COLORREF colour, int percent);
