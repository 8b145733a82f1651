#pragma once
// Rectangles, points and sizes: the Win32 structures and their MFC wrappers.
// Rectangles are half-open: right and bottom lie just outside.

#include <algorithm>

#include "platform/core/wintypes.h"

struct POINT {
  LONG x;
  LONG y;
};
struct SIZE {
  LONG cx;
  LONG cy;
};
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
struct POINTS {
  short x;
  short y;
};

using LPPOINT = POINT*;
using LPSIZE = SIZE*;
using LPRECT = RECT*;
using LPCRECT = const RECT*;

inline BOOL SetRect(RECT* r, int l, int t, int rr, int b) {
  if (!r) return FALSE;
  *r = RECT{l, t, rr, b};
  return TRUE;
}
inline BOOL SetRectEmpty(RECT* r) { return SetRect(r, 0, 0, 0, 0); }
inline BOOL CopyRect(RECT* d, const RECT* s) {
  if (!d || !s) return FALSE;
  *d = *s;
  return TRUE;
}
inline BOOL IsRectEmpty(const RECT* r) { return !r || r->right <= r->left || r->bottom <= r->top; }
inline BOOL PtInRect(const RECT* r, POINT p) {
  return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
inline BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right &&
         a->bottom == b->bottom;
}
inline BOOL OffsetRect(RECT* r, int dx, int dy) {
  if (!r) return FALSE;
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
  return TRUE;
}
inline BOOL InflateRect(RECT* r, int dx, int dy) {
  if (!r) return FALSE;
  r->left -= dx;
  r->right += dx;
  r->top -= dy;
  r->bottom += dy;
  return TRUE;
}
// Empty result (all zero) and FALSE when the two do not overlap.
inline BOOL IntersectRect(RECT* d, const RECT* a, const RECT* b) {
  if (!d || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    *d = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *d = r;
  return TRUE;
}
// An empty operand does not count; FALSE when both are empty.
inline BOOL UnionRect(RECT* d, const RECT* a, const RECT* b) {
  if (!d || !a || !b) return FALSE;
  if (IsRectEmpty(a) && IsRectEmpty(b)) {
    *d = RECT{0, 0, 0, 0};
    return FALSE;
  }
  if (IsRectEmpty(a)) {
    *d = *b;
  } else if (IsRectEmpty(b)) {
    *d = *a;
  } else {
    *d = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
              std::max(a->bottom, b->bottom)};
  }
  return TRUE;
}

class CSize : public SIZE {
 public:
  CSize() : SIZE{0, 0} {}
  CSize(int cx_, int cy_) : SIZE{cx_, cy_} {}
  CSize(SIZE s) : SIZE(s) {}  // NOLINT: MFC converts implicitly
  bool operator==(SIZE o) const { return cx == o.cx && cy == o.cy; }
  bool operator!=(SIZE o) const { return !(*this == o); }
  CSize operator+(SIZE o) const { return CSize(cx + o.cx, cy + o.cy); }
  CSize operator-(SIZE o) const { return CSize(cx - o.cx, cy - o.cy); }
  CSize operator-() const { return CSize(-cx, -cy); }
  void operator+=(SIZE o) { cx += o.cx, cy += o.cy; }
  void operator-=(SIZE o) { cx -= o.cx, cy -= o.cy; }
};

class CPoint : public POINT {
 public:
  CPoint() : POINT{0, 0} {}
  CPoint(int x_, int y_) : POINT{x_, y_} {}
  CPoint(POINT p) : POINT(p) {}  // NOLINT: MFC converts implicitly
  explicit CPoint(SIZE s) : POINT{s.cx, s.cy} {}
  void Offset(int dx, int dy) { x += dx, y += dy; }
  void Offset(POINT p) { Offset(p.x, p.y); }
  void Offset(SIZE s) { Offset(s.cx, s.cy); }
  void SetPoint(int x_, int y_) { x = x_, y = y_; }
  bool operator==(POINT o) const { return x == o.x && y == o.y; }
  bool operator!=(POINT o) const { return !(*this == o); }
  void operator+=(SIZE s) { Offset(s); }
  void operator-=(SIZE s) { Offset(-s.cx, -s.cy); }
  void operator+=(POINT p) { Offset(p); }
  void operator-=(POINT p) { Offset(-p.x, -p.y); }
  CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
  CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
  CPoint operator+(POINT p) const { return CPoint(x + p.x, y + p.y); }
  CSize operator-(POINT p) const { return CSize(x - p.x, y - p.y); }
  CPoint operator-() const { return CPoint(-x, -y); }
};

class CRect : public RECT {
 public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  CRect(const RECT& r) : RECT(r) {}  // NOLINT: MFC converts implicitly
  CRect(const RECT* r) : RECT(r ? *r : RECT{0, 0, 0, 0}) {}  // NOLINT
  CRect(POINT p, SIZE s) : RECT{p.x, p.y, p.x + s.cx, p.y + s.cy} {}
  CRect(POINT tl, POINT br) : RECT{tl.x, tl.y, br.x, br.y} {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
  CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
  CPoint TopLeft() const { return CPoint(left, top); }
  CPoint BottomRight() const { return CPoint(right, bottom); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  operator RECT*() { return this; }              // NOLINT: MFC's LPRECT conversion
  operator const RECT*() const { return this; }  // NOLINT: MFC's LPCRECT conversion

  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
  BOOL PtInRect(POINT p) const { return ::PtInRect(this, p); }
  void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
  void SetRect(POINT tl, POINT br) { ::SetRect(this, tl.x, tl.y, br.x, br.y); }
  void SetRectEmpty() { ::SetRectEmpty(this); }
  void CopyRect(const RECT* r) { ::CopyRect(this, r); }
  BOOL EqualRect(const RECT* r) const { return ::EqualRect(this, r); }
  void NormalizeRect() {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
  }
  void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
  void InflateRect(SIZE s) { ::InflateRect(this, s.cx, s.cy); }
  void InflateRect(const RECT* r) {
    left -= r->left, top -= r->top, right += r->right, bottom += r->bottom;
  }
  void InflateRect(int l, int t, int r, int b) { left -= l, top -= t, right += r, bottom += b; }
  void DeflateRect(int dx, int dy) { ::InflateRect(this, -dx, -dy); }
  void DeflateRect(SIZE s) { ::InflateRect(this, -s.cx, -s.cy); }
  void DeflateRect(const RECT* r) {
    left += r->left, top += r->top, right -= r->right, bottom -= r->bottom;
  }
  void DeflateRect(int l, int t, int r, int b) { left += l, top += t, right -= r, bottom -= b; }
  void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
  void OffsetRect(POINT p) { ::OffsetRect(this, p.x, p.y); }
  void OffsetRect(SIZE s) { ::OffsetRect(this, s.cx, s.cy); }
  void MoveToX(int x) { right = x + Width(), left = x; }
  void MoveToY(int y) { bottom = y + Height(), top = y; }
  void MoveToXY(int x, int y) { MoveToX(x), MoveToY(y); }
  void MoveToXY(POINT p) { MoveToXY(p.x, p.y); }
  BOOL IntersectRect(const RECT* a, const RECT* b) { return ::IntersectRect(this, a, b); }
  BOOL UnionRect(const RECT* a, const RECT* b) { return ::UnionRect(this, a, b); }

  bool operator==(const RECT& r) const { return ::EqualRect(this, &r) != FALSE; }
  bool operator!=(const RECT& r) const { return !(*this == r); }
  void operator+=(POINT p) { OffsetRect(p); }
  void operator-=(POINT p) { OffsetRect(-p.x, -p.y); }
  void operator+=(SIZE s) { OffsetRect(s); }
  void operator-=(SIZE s) { OffsetRect(-s.cx, -s.cy); }
  void operator&=(const RECT& r) { ::IntersectRect(this, this, &r); }
  void operator|=(const RECT& r) { ::UnionRect(this, this, &r); }
  CRect operator+(POINT p) const { CRect r(*this); r.OffsetRect(p); return r; }
  CRect operator-(POINT p) const { CRect r(*this); r.OffsetRect(-p.x, -p.y); return r; }
  CRect operator&(const RECT& o) const { CRect r; ::IntersectRect(&r, this, &o); return r; }
  CRect operator|(const RECT& o) const { CRect r; ::UnionRect(&r, this, &o); return r; }
};
