// The scroll bars of a window (WS_VSCROLL, WS_HSCROLL): their range, page and
// position, and whether they show, which changes the client area.

#include "platform/win32/standard/scroll_bar.h"

#include <algorithm>

#include "platform/win32/host_widget.h"
#include "platform/win32/window.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {
namespace {

ScrollBarState* Bar(WindowObject& w, int bar) {
  return bar == SB_VERT || bar == SB_HORZ ? &w.bars[bar] : nullptr;
}

int ScrollLimit(const ScrollBarState& s) {
  return std::max(s.min, s.max - std::max(static_cast<int>(s.page) - 1, 0));
}

void SetBarVisible(WindowObject& w, int bar, bool show) {
  if (w.bars[bar].visible == show) return;
  w.bars[bar].visible = show;
  const DWORD bit = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
  w.style = show ? (w.style | bit) : (w.style & ~bit);
  ClientAreaChanged(w);
}

}  // namespace
}  // namespace qv::win32

using namespace qv::win32;

BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show) {
  auto w = Lookup(hwnd);
  if (!w) return FALSE;
  if (bar == SB_BOTH) {
    SetBarVisible(*w, SB_HORZ, show != FALSE);
    SetBarVisible(*w, SB_VERT, show != FALSE);
    return TRUE;
  }
  if (!Bar(*w, bar)) return FALSE;
  SetBarVisible(*w, bar, show != FALSE);
  return TRUE;
}

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL) {
  auto w = Lookup(hwnd);
  ScrollBarState* s = w ? Bar(*w, bar) : nullptr;
  if (!s || !info) return 0;
  if (info->fMask & SIF_RANGE) {
    s->min = info->nMin;
    s->max = std::max(info->nMin, info->nMax);
  }
  if (info->fMask & SIF_PAGE) s->page = std::min<UINT>(info->nPage, static_cast<UINT>(s->max - s->min + 1));
  if (info->fMask & SIF_POS) s->pos = info->nPos;
  s->pos = std::clamp(s->pos, s->min, ScrollLimit(*s));
  if (info->fMask & (SIF_RANGE | SIF_PAGE)) {
    // As on Windows, a bar whose page covers its whole range goes away.
    const bool needed = (info->fMask & SIF_DISABLENOSCROLL) ||
                        (s->max > s->min && s->page <= static_cast<UINT>(s->max - s->min));
    SetBarVisible(*w, bar, needed);
  }
  if (w->host) w->host->SyncScrollBar(bar, *w);
  return s->pos;
}

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
  auto w = Lookup(hwnd);
  ScrollBarState* s = w ? Bar(*w, bar) : nullptr;
  if (!s || !info) return FALSE;
  if (info->fMask & SIF_RANGE) info->nMin = s->min, info->nMax = s->max;
  if (info->fMask & SIF_PAGE) info->nPage = s->page;
  if (info->fMask & SIF_POS) info->nPos = s->pos;
  if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s->trackPos;
  return TRUE;
}

BOOL SetScrollRange(HWND hwnd, int bar, int min, int max, BOOL redraw) {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, min, max, 0, 0, 0};
  if (!IsWindow(hwnd) || (bar != SB_VERT && bar != SB_HORZ)) return FALSE;
  SetScrollInfo(hwnd, bar, &info, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* min, int* max) {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0};
  if (!GetScrollInfo(hwnd, bar, &info)) return FALSE;
  if (min) *min = info.nMin;
  if (max) *max = info.nMax;
  return TRUE;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  auto w = Lookup(hwnd);
  ScrollBarState* s = w ? Bar(*w, bar) : nullptr;
  if (!s) return 0;
  const int previous = s->pos;
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, pos, 0};
  SetScrollInfo(hwnd, bar, &info, redraw);
  return previous;
}

int GetScrollPos(HWND hwnd, int bar) {
  SCROLLINFO info{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
  return GetScrollInfo(hwnd, bar, &info) ? info.nPos : 0;
}
