// Regions as rectangle lists; combinations over the grid of all edges.

#include <algorithm>

#include "platform/win32/gdi/gdi_internal.h"

namespace qv::gdi {
namespace {

// Cells of the compressed grid that the region covers.
std::vector<char> Cover(const Region& r, const std::vector<LONG>& xs, const std::vector<LONG>& ys) {
  const std::size_t nx = xs.size() - 1;
  std::vector<char> grid(nx * (ys.size() - 1), 0);
  for (const RECT& rc : r.rects) {
    const auto x0 = static_cast<std::size_t>(std::lower_bound(xs.begin(), xs.end(), rc.left) - xs.begin());
    const auto x1 = static_cast<std::size_t>(std::lower_bound(xs.begin(), xs.end(), rc.right) - xs.begin());
    const auto y0 = static_cast<std::size_t>(std::lower_bound(ys.begin(), ys.end(), rc.top) - ys.begin());
    const auto y1 = static_cast<std::size_t>(std::lower_bound(ys.begin(), ys.end(), rc.bottom) - ys.begin());
    for (std::size_t y = y0; y < y1; ++y)
      for (std::size_t x = x0; x < x1; ++x) grid[y * nx + x] = 1;
  }
  return grid;
}

}  // namespace

Region Region::FromRect(const RECT& r) {
  Region g;
  if (!IsRectEmpty(&r)) g.rects.push_back(r);
  return g;
}

RECT Region::Box() const {
  if (rects.empty()) return RECT{0, 0, 0, 0};
  RECT b = rects.front();
  for (const RECT& r : rects) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

bool Region::Contains(int x, int y) const {
  for (const RECT& r : rects)
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
  return false;
}

void Region::Offset(int dx, int dy) {
  for (RECT& r : rects) OffsetRect(&r, dx, dy);
}

Region Region::Combine(const Region& a, const Region& b, int mode) {
  if (mode == RGN_COPY) return a;
  std::vector<LONG> xs, ys;
  for (const Region* g : {&a, &b})
    for (const RECT& r : g->rects) {
      xs.push_back(r.left), xs.push_back(r.right);
      ys.push_back(r.top), ys.push_back(r.bottom);
    }
  Region out;
  if (xs.empty()) return out;
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  if (xs.size() < 2 || ys.size() < 2) return out;
  const std::vector<char> ca = Cover(a, xs, ys), cb = Cover(b, xs, ys);
  const std::size_t nx = xs.size() - 1;
  // Spans of each grid row; a row equal to the one above extends its rectangles.
  std::vector<std::pair<LONG, LONG>> prev;
  std::vector<std::size_t> prevIndex;
  for (std::size_t y = 0; y + 1 < ys.size(); ++y) {
    std::vector<std::pair<LONG, LONG>> spans;
    for (std::size_t x = 0; x < nx; ++x) {
      const bool ia = ca[y * nx + x] != 0, ib = cb[y * nx + x] != 0;
      bool in = false;
      switch (mode) {
        case RGN_AND: in = ia && ib; break;
        case RGN_OR: in = ia || ib; break;
        case RGN_XOR: in = ia != ib; break;
        case RGN_DIFF: in = ia && !ib; break;
        default: break;
      }
      if (!in) continue;
      if (!spans.empty() && spans.back().second == xs[x]) {
        spans.back().second = xs[x + 1];
      } else {
        spans.emplace_back(xs[x], xs[x + 1]);
      }
    }
    if (!spans.empty() && spans == prev && out.rects[prevIndex.front()].bottom == ys[y]) {
      for (std::size_t i : prevIndex) out.rects[i].bottom = ys[y + 1];
      continue;
    }
    prevIndex.clear();
    for (const auto& s : spans) {
      prevIndex.push_back(out.rects.size());
      out.rects.push_back(RECT{s.first, ys[y], s.second, ys[y + 1]});
    }
    prev = std::move(spans);
  }
  return out;
}

}  // namespace qv::gdi

using namespace qv::gdi;

HRGN CreateRectRgn(int l, int t, int r, int b) {
  QvGdiObject* o = NewObject(OBJ_REGION);
  RECT rc{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
  o->region = Region::FromRect(rc);
  return o->handle;
}

HRGN CreateRectRgnIndirect(const RECT* r) {
  if (!r) return nullptr;
  return CreateRectRgn(r->left, r->top, r->right, r->bottom);
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
  QvGdiObject* d = Object(dest, OBJ_REGION);
  QvGdiObject* ra = Object(a, OBJ_REGION);
  QvGdiObject* rb = mode == RGN_COPY ? ra : Object(b, OBJ_REGION);
  if (!d || !ra || !rb || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  d->region = Region::Combine(ra->region, rb->region, mode);
  return d->region.Type();
}

BOOL SetRectRgn(HRGN rgn, int l, int t, int r, int b) {
  QvGdiObject* o = Object(rgn, OBJ_REGION);
  if (!o) return FALSE;
  o->region = Region::FromRect(RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)});
  return TRUE;
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
  QvGdiObject* o = Object(rgn, OBJ_REGION);
  if (!o) return ERROR;
  o->region.Offset(dx, dy);
  return o->region.Type();
}

int GetRgnBox(HRGN rgn, RECT* box) {
  QvGdiObject* o = Object(rgn, OBJ_REGION);
  if (!o || !box) return ERROR;
  *box = o->region.Box();
  return o->region.Type();
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
  QvGdiObject* o = Object(rgn, OBJ_REGION);
  return o && o->region.Contains(x, y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN rgn, const RECT* r) {
  QvGdiObject* o = Object(rgn, OBJ_REGION);
  if (!o || !r) return FALSE;
  RECT n{std::min(r->left, r->right), std::min(r->top, r->bottom), std::max(r->left, r->right),
         std::max(r->top, r->bottom)};
  RECT tmp;
  for (const RECT& rc : o->region.rects)
    if (IntersectRect(&tmp, &rc, &n)) return TRUE;
  return FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
  QvGdiObject* ra = Object(a, OBJ_REGION);
  QvGdiObject* rb = Object(b, OBJ_REGION);
  if (!ra || !rb) return FALSE;
  return Region::Combine(ra->region, rb->region, RGN_XOR).Empty() ? TRUE : FALSE;
}

int GetRegionRects(HRGN rgn, RECT* out, int capacity) {
  QvGdiObject* o = Object(rgn, OBJ_REGION);
  if (!o) return 0;
  const int n = static_cast<int>(o->region.rects.size());
  if (out)
    for (int i = 0; i < std::min(n, capacity); ++i) out[i] = o->region.rects[static_cast<std::size_t>(i)];
  return n;
}
