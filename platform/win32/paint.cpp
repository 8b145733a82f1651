// Painting: update regions, the backing bitmap, paint and client DCs.

#include <QPainter>
#include <cstring>
#include <utility>

#include "platform/win32/gdi/gdi_qt.h"
#include "platform/win32/host_widget.h"
#include "platform/win32/snapshot.h"
#include "platform/win32/window.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {
namespace {

QRegion ToQRegion(HRGN rgn) {
  QRegion out;
  const int n = GetRegionRects(rgn, nullptr, 0);
  std::vector<RECT> rects(static_cast<size_t>(n));
  GetRegionRects(rgn, rects.data(), n);
  for (const RECT& r : rects) out += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  return out;
}

HRGN ToHrgn(const QRegion& region) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  for (const QRect& r : region) {
    HRGN part = CreateRectRgn(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
    CombineRgn(rgn, rgn, part, RGN_OR);
    DeleteObject(part);
  }
  return rgn;
}

QRegion WholeClient(const WindowObject& w) { return QRegion(QRect(QPoint(0, 0), w.ClientArea().size())); }

HDC BackingDc(WindowObject& w) { return CreateSurfaceDC(w.backing); }

void Show(WindowObject& w) {
  if (w.host) w.host->update();
}

// A child's rectangle in its parent's client coordinates, and its client
// area's place there.
QPoint ClientOriginInParent(const WindowObject& child) { return child.rect.topLeft() + child.ClientArea().topLeft(); }

// What lies under a child: the parent's pixels within `region` (the child's
// client coordinates) become the child's, as on Windows, where a child that
// does not paint its background shows its parent.
void TakeParentPixels(WindowObject& child, const QRegion& region) {
  if (region.isEmpty() || !child.IsChild()) return;
  auto parent = Lookup(child.parent);
  if (!parent || parent->backing.isNull() || child.backing.isNull()) return;
  const QPoint at = ClientOriginInParent(child);
  QPainter p(&child.backing);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.setClipRegion(region);
  p.drawImage(QPoint(0, 0), parent->backing, QRect(at, child.backing.size()));
}

// A transparent child (WS_EX_TRANSPARENT) is painted over its parent: what the
// parent painted under it reaches it, and it paints itself again there.
void ShowThroughTransparentChildren(const WindowObject& w, const QRegion& painted) {
  for (HWND h : w.children) {
    auto c = Lookup(h);
    if (!c || !(c->exStyle & WS_EX_TRANSPARENT) || !(c->style & WS_VISIBLE)) continue;
    const QRegion under = painted.translated(-ClientOriginInParent(*c)) & QRect(QPoint(0, 0), c->ClientArea().size());
    if (under.isEmpty()) continue;
    TakeParentPixels(*c, under);
    Invalidate(*c, under, true);
  }
}

}  // namespace

void ResizeBacking(WindowObject& w) {
  const QSize size = w.ClientArea().size().expandedTo(QSize(1, 1));
  if (w.backing.size() == size) return;
  const QSize old = w.backing.isNull() ? QSize(0, 0) : w.backing.size();
  const UINT redraw = w.windowClass->style;
  const bool dropAll = ((redraw & CS_HREDRAW) && size.width() != old.width()) ||
                       ((redraw & CS_VREDRAW) && size.height() != old.height());
  QImage next(size, QImage::Format_RGB32);
  next.fill(Qt::white);
  const QRect all(QPoint(0, 0), size);
  const QRect kept = dropAll ? QRect() : all & QRect(QPoint(0, 0), old);
  for (int y = 0; y < kept.height(); ++y)
    std::memcpy(next.scanLine(y), w.backing.constScanLine(y), 4 * static_cast<size_t>(kept.width()));
  w.backing = next;
  w.exposedRegion = (w.exposedRegion & kept) + (QRegion(all) - kept);
}

LRESULT EraseWithClassBackground(WindowObject& w, WPARAM hdc) {
  if (!hdc) return 0;
  if (w.windowClass->backgroundSysColor == 0) {
    // No class brush: Windows erases nothing and the child shows what its
    // parent painted under it; a control with a hollow brush then draws its
    // text straight over the parent's pixels.
    if (w.painting) TakeParentPixels(w, w.paintedRegion);
    return 0;
  }
  const QSize size = w.ClientArea().size();
  const RECT all{0, 0, size.width(), size.height()};
  FillRect(reinterpret_cast<HDC>(hdc), &all,
           reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(w.windowClass->backgroundSysColor)));
  return TRUE;
}

void ValidatePaint(WindowObject& w) {
  if (w.painting) return;  // BeginPaint already took the region
  PAINTSTRUCT ps;
  BeginPaint(w.hwnd, &ps);
  EndPaint(w.hwnd, &ps);
}

void PaintNow(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w || w->updateRegion.isEmpty() || !ShownOnScreen(*w)) return;
  Dispatch(hwnd, WM_PAINT, 0, 0);
  // A painter that returned without BeginPaint still completes the request:
  // otherwise the same paint would come back for ever.
  if (auto still = Lookup(hwnd); still && !still->updateRegion.isEmpty()) {
    still->updateRegion = QRegion();
    still->eraseNeeded = false;
  }
}

}  // namespace qv::win32

using namespace qv::win32;

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  auto w = Lookup(hwnd);
  if (!w || !ps || w->backing.isNull()) return nullptr;
  *ps = PAINTSTRUCT{};
  const QRegion region = w->updateRegion;
  w->updateRegion = QRegion();
  // Under what the window paints now lies what its parent has there, not
  // pixels from before a resize (a painter that erases nothing shows them).
  const QRegion exposed = w->exposedRegion & region;
  TakeParentPixels(*w, exposed);
  w->exposedRegion -= exposed;
  w->painting = true;
  w->paintedRegion = region;
  HDC dc = BackingDc(*w);
  // The update region is the DC's visible region, as on Windows: no clip
  // region of the painter's own, and none can reach beyond it.
  HRGN visible = ToHrgn(region);
  qv::SetSurfaceClip(dc, visible);
  DeleteObject(visible);
  if (w->eraseNeeded) {
    w->eraseNeeded = false;
    ps->fErase = Dispatch(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
  }
  const QRect box = region.boundingRect();
  ps->hdc = dc;
  ps->rcPaint = region.isEmpty() ? RECT{0, 0, 0, 0} : RECT{box.left(), box.top(), box.right() + 1, box.bottom() + 1};
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  auto w = Lookup(hwnd);
  if (ps && ps->hdc) DeleteDC(ps->hdc);
  if (!w) return FALSE;
  w->painting = false;
  ShowThroughTransparentChildren(*w, std::exchange(w->paintedRegion, QRegion()));
  Show(*w);
  return TRUE;
}

HDC GetDC(HWND hwnd) {
  // The desktop's DC: the screen's format, for measuring text and making
  // compatible bitmaps; nothing drawn into it is shown.
  if (!hwnd) return CreateCompatibleDC(nullptr);
  auto w = Lookup(hwnd);
  return w && !w->backing.isNull() ? BackingDc(*w) : nullptr;
}

int ReleaseDC(HWND hwnd, HDC dc) {
  if (!dc) return 0;
  DeleteDC(dc);
  if (auto w = Lookup(hwnd)) Show(*w);
  return 1;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  auto w = Lookup(hwnd);
  if (!w) return FALSE;
  const QRegion area = rect ? QRegion(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top))
                            : QRegion(QRect(-0x4000, -0x4000, 0x8000, 0x8000));
  if (w->thread->IsCurrent()) {
    Invalidate(*w, area, erase != FALSE);
  } else {
    // From a worker: the region belongs to the window's thread.
    w->thread->PostCall(hwnd, [hwnd, area, erase] {
      if (auto target = Lookup(hwnd)) Invalidate(*target, area, erase != FALSE);
    });
  }
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  auto w = Lookup(hwnd);
  if (!w || !w->thread->IsCurrent()) return FALSE;
  if (rect)
    w->updateRegion -= QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
  else
    w->updateRegion = QRegion();
  if (w->updateRegion.isEmpty()) w->eraseNeeded = false;
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL) {
  auto w = Lookup(hwnd);
  if (!w) return FALSE;
  const QRect box = w->updateRegion.boundingRect();
  if (rect)
    *rect = w->updateRegion.isEmpty() ? RECT{0, 0, 0, 0}
                                      : RECT{box.left(), box.top(), box.right() + 1, box.bottom() + 1};
  return w->updateRegion.isEmpty() ? FALSE : TRUE;
}

BOOL UpdateWindow(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w || !w->thread->IsCurrent()) return FALSE;
  PaintNow(hwnd);
  return TRUE;
}

BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
  auto w = Lookup(hwnd);
  if (!w || !w->thread->IsCurrent()) return FALSE;
  QRegion area = WholeClient(*w);
  if (region)
    area = ToQRegion(region);
  else if (rect)
    area = QRegion(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top));
  if (flags & RDW_INVALIDATE) Invalidate(*w, area, (flags & RDW_ERASE) != 0);
  if (flags & RDW_VALIDATE) {
    w->updateRegion -= area;
    if (flags & RDW_NOERASE) w->eraseNeeded = false;
  }
  if (flags & RDW_ALLCHILDREN)
    for (HWND child : w->children) RedrawWindow(child, nullptr, nullptr, flags);
  if (flags & RDW_UPDATENOW) PaintNow(hwnd);
  return TRUE;
}

QImage qv::WindowSnapshot(HWND hwnd) {
  auto w = Lookup(hwnd);
  return w ? w->backing.copy() : QImage();
}

QImage qv::CompositeSnapshot(HWND hwnd) {
  auto w = Lookup(hwnd);
  if (!w) return QImage();
  QImage image(w->rect.size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image.fill(Qt::white);
  if (FramedByWindowManager(w->style))
    if (HDC dc = CreateSurfaceDC(image)) {
      DrawFrame(dc, w->rect.width(), w->rect.height(), LookOf(*w), true);
      DeleteDC(dc);
    }
  if (w->host) {
    QPainter p(&image);
    w->host->render(&p, w->HostArea().topLeft(), QRegion(), QWidget::DrawChildren);
  }
  return image;
}
