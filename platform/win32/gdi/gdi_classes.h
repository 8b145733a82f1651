#pragma once
// The MFC drawing classes over the free functions. A wrapper owns the handle
// it created or attached; FromHandle gives a wrapper that lives as long as
// the handle itself (never delete it), like MFC's temporary objects.

#include "platform/core/cstring.h"
#include "platform/win32/gdi/gdi_api.h"
#include "platform/win32/system/system_colours.h"

class CDC;

class CGdiObject {
 public:
  CGdiObject() = default;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;
  virtual ~CGdiObject();

  HGDIOBJ m_hObject = nullptr;

  operator HGDIOBJ() const { return m_hObject; }  // NOLINT: MFC converts implicitly
  HGDIOBJ GetSafeHandle() const { return m_hObject; }
  BOOL Attach(HGDIOBJ h);
  HGDIOBJ Detach();
  BOOL DeleteObject();
  BOOL CreateStockObject(int which);
  int GetObject(int size, void* out) const { return ::GetObject(m_hObject, size, out); }
  UINT GetObjectType() const { return ::GetObjectType(m_hObject); }
  BOOL UnrealizeObject() { return m_hObject != nullptr; }
  static CGdiObject* FromHandle(HGDIOBJ h);
};

class CPen : public CGdiObject {
 public:
  CPen() = default;
  CPen(int style, int width, COLORREF colour) { CreatePen(style, width, colour); }
  BOOL CreatePen(int style, int width, COLORREF colour) {
    return Attach(::CreatePen(style, width, colour));
  }
  BOOL CreatePenIndirect(const LOGPEN* lp) { return Attach(::CreatePenIndirect(lp)); }
  int GetLogPen(LOGPEN* lp) const { return GetObject(sizeof(LOGPEN), lp); }
  static CPen* FromHandle(HPEN h);
};

class CBrush : public CGdiObject {
 public:
  CBrush() = default;
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
  BOOL CreateSolidBrush(COLORREF colour) { return Attach(::CreateSolidBrush(colour)); }
  BOOL CreateBrushIndirect(const LOGBRUSH* lb) { return Attach(::CreateBrushIndirect(lb)); }
  BOOL CreatePatternBrush(class CBitmap* bitmap);
  BOOL CreateSysColorBrush(int index) { return Attach(::CreateSolidBrush(::GetSysColor(index))); }
  int GetLogBrush(LOGBRUSH* lb) const { return GetObject(sizeof(LOGBRUSH), lb); }
  static CBrush* FromHandle(HBRUSH h);
};

class CFont : public CGdiObject {
 public:
  BOOL CreateFontIndirect(const LOGFONTA* lf) { return Attach(::CreateFontIndirectA(lf)); }
  BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                  BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                  BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, LPCSTR face) {
    return Attach(::CreateFontA(height, width, escapement, orientation, weight, italic, underline,
                                strikeOut, charSet, outPrecision, clipPrecision, quality,
                                pitchAndFamily, face));
  }
  // Tenths of a point at the DC's (or the screen's) 96 dpi.
  BOOL CreatePointFont(int pointSize10, LPCSTR face, CDC* dc = nullptr);
  BOOL CreatePointFontIndirect(const LOGFONTA* lf, CDC* dc = nullptr);
  int GetLogFont(LOGFONTA* lf) const { return GetObject(sizeof(LOGFONTA), lf); }
  static CFont* FromHandle(HFONT h);
};

class CBitmap : public CGdiObject {
 public:
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    return Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
  }
  BOOL CreateBitmapIndirect(const BITMAP* bm) { return Attach(::CreateBitmapIndirect(bm)); }
  // The bitmap resource of that id (qv::RegisterBitmapPixels/RegisterBitmapFile).
  BOOL LoadBitmap(UINT id);
  // A null DC stands for the screen.
  BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
  int GetBitmap(BITMAP* bm) const { return GetObject(sizeof(BITMAP), bm); }
  DWORD SetBitmapBits(DWORD size, const void* bits) {
    return static_cast<DWORD>(::SetBitmapBits(m_hObject, size, bits));
  }
  DWORD GetBitmapBits(DWORD size, void* bits) const {
    return static_cast<DWORD>(::GetBitmapBits(m_hObject, static_cast<LONG>(size), bits));
  }
  CSize GetBitmapDimension() const;
  static CBitmap* FromHandle(HBITMAP h);
};

class CRgn : public CGdiObject {
 public:
  BOOL CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
  BOOL CreateRectRgnIndirect(const RECT* r) { return Attach(::CreateRectRgnIndirect(r)); }
  int CombineRgn(const CRgn* a, const CRgn* b, int mode) {
    return ::CombineRgn(m_hObject, a ? a->m_hObject : nullptr, b ? b->m_hObject : nullptr, mode);
  }
  int CopyRgn(const CRgn* src) { return CombineRgn(src, nullptr, RGN_COPY); }
  void SetRectRgn(int l, int t, int r, int b) { ::SetRectRgn(m_hObject, l, t, r, b); }
  void SetRectRgn(const RECT* r) { ::SetRectRgn(m_hObject, r->left, r->top, r->right, r->bottom); }
  int OffsetRgn(int dx, int dy) { return ::OffsetRgn(m_hObject, dx, dy); }
  int OffsetRgn(POINT p) { return ::OffsetRgn(m_hObject, p.x, p.y); }
  int GetRgnBox(RECT* r) const { return ::GetRgnBox(m_hObject, r); }
  BOOL PtInRegion(int x, int y) const { return ::PtInRegion(m_hObject, x, y); }
  BOOL PtInRegion(POINT p) const { return ::PtInRegion(m_hObject, p.x, p.y); }
  BOOL RectInRegion(const RECT* r) const { return ::RectInRegion(m_hObject, r); }
  BOOL EqualRgn(const CRgn* o) const { return ::EqualRgn(m_hObject, o ? o->m_hObject : nullptr); }
  static CRgn* FromHandle(HRGN h);
};

class CDC {
 public:
  CDC() = default;
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;
  virtual ~CDC();  // deletes the attached DC, as MFC's CDC does

  HDC m_hDC = nullptr;
  HDC m_hAttribDC = nullptr;  // always the same DC as m_hDC

  operator HDC() const { return m_hDC; }  // NOLINT: MFC converts implicitly
  HDC GetSafeHdc() const { return m_hDC; }
  BOOL Attach(HDC dc);
  HDC Detach();
  BOOL DeleteDC();
  BOOL CreateCompatibleDC(CDC* dc) { return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr)); }
  static CDC* FromHandle(HDC dc);
  int SaveDC() { return ::SaveDC(m_hDC); }
  BOOL RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved); }
  int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }

  // Selection: each returns what it displaced (null on failure).
  CPen* SelectObject(CPen* pen);
  CBrush* SelectObject(CBrush* brush);
  CFont* SelectObject(CFont* font);
  CBitmap* SelectObject(CBitmap* bitmap);
  CGdiObject* SelectObject(CGdiObject* obj);
  int SelectObject(CRgn* rgn);  // the region type, as SelectClipRgn
  HGDIOBJ SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
  CGdiObject* SelectStockObject(int which);
  CPen* GetCurrentPen() const;
  CBrush* GetCurrentBrush() const;
  CFont* GetCurrentFont() const;
  CBitmap* GetCurrentBitmap() const;

  COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
  COLORREF GetBkColor() const { return ::GetBkColor(m_hDC); }
  int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
  int GetBkMode() const { return ::GetBkMode(m_hDC); }
  COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
  COLORREF GetTextColor() const { return ::GetTextColor(m_hDC); }
  int SetROP2(int mode) { return ::SetROP2(m_hDC, mode); }
  int GetROP2() const { return ::GetROP2(m_hDC); }
  int SetPolyFillMode(int mode) { return ::SetPolyFillMode(m_hDC, mode); }
  int SetStretchBltMode(int mode) { return ::SetStretchBltMode(m_hDC, mode); }
  UINT SetTextAlign(UINT align) { return ::SetTextAlign(m_hDC, align); }
  UINT GetTextAlign() const { return ::GetTextAlign(m_hDC); }

  int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
  int GetMapMode() const { return ::GetMapMode(m_hDC); }
  CPoint SetWindowOrg(int x, int y);
  CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
  CPoint GetWindowOrg() const;
  CPoint OffsetWindowOrg(int dx, int dy);
  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
  CPoint GetViewportOrg() const;
  CPoint OffsetViewportOrg(int dx, int dy);
  void LPtoDP(POINT* pts, int count = 1) const { ::LPtoDP(m_hDC, pts, count); }
  void LPtoDP(RECT* r) const { ::LPtoDP(m_hDC, reinterpret_cast<POINT*>(r), 2); }
  void DPtoLP(POINT* pts, int count = 1) const { ::DPtoLP(m_hDC, pts, count); }
  void DPtoLP(RECT* r) const { ::DPtoLP(m_hDC, reinterpret_cast<POINT*>(r), 2); }

  int SelectClipRgn(CRgn* rgn) { return ::SelectClipRgn(m_hDC, rgn ? rgn->m_hObject : nullptr); }
  int SelectClipRgn(CRgn* rgn, int mode) {
    return ::ExtSelectClipRgn(m_hDC, rgn ? rgn->m_hObject : nullptr, mode);
  }
  int GetClipBox(RECT* r) const { return ::GetClipBox(m_hDC, r); }
  int IntersectClipRect(int l, int t, int r, int b) { return ::IntersectClipRect(m_hDC, l, t, r, b); }
  int IntersectClipRect(const RECT* r) {
    return ::IntersectClipRect(m_hDC, r->left, r->top, r->right, r->bottom);
  }
  int ExcludeClipRect(int l, int t, int r, int b) { return ::ExcludeClipRect(m_hDC, l, t, r, b); }
  int ExcludeClipRect(const RECT* r) {
    return ::ExcludeClipRect(m_hDC, r->left, r->top, r->right, r->bottom);
  }
  int OffsetClipRgn(int dx, int dy) { return ::OffsetClipRgn(m_hDC, dx, dy); }
  BOOL PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
  BOOL RectVisible(const RECT* r) const { return ::RectVisible(m_hDC, r); }

  COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
  COLORREF GetPixel(POINT p) const { return ::GetPixel(m_hDC, p.x, p.y); }
  COLORREF SetPixel(int x, int y, COLORREF c) { return ::SetPixel(m_hDC, x, y, c); }
  COLORREF SetPixel(POINT p, COLORREF c) { return ::SetPixel(m_hDC, p.x, p.y, c); }
  BOOL SetPixelV(int x, int y, COLORREF c) { return ::SetPixelV(m_hDC, x, y, c); }

  void FillRect(const RECT* r, CBrush* brush) {
    ::FillRect(m_hDC, r, brush ? brush->m_hObject : nullptr);
  }
  void FrameRect(const RECT* r, CBrush* brush) {
    ::FrameRect(m_hDC, r, brush ? brush->m_hObject : nullptr);
  }
  void InvertRect(const RECT* r) { ::InvertRect(m_hDC, r); }
  // Sets the DC's background colour to c as a side effect, as MFC does.
  void FillSolidRect(const RECT* r, COLORREF c);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF c);
  // Leaves the background colour at the bottom-right colour, as MFC does.
  void Draw3dRect(const RECT* r, COLORREF topLeft, COLORREF bottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
  BOOL DrawEdge(RECT* r, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, r, edge, flags); }
  void DrawFocusRect(const RECT* r) { ::DrawFocusRect(m_hDC, r); }
  BOOL FillRgn(CRgn* rgn, CBrush* brush) {
    return ::FillRgn(m_hDC, rgn ? rgn->m_hObject : nullptr, brush ? brush->m_hObject : nullptr);
  }
  BOOL FrameRgn(CRgn* rgn, CBrush* brush, int w, int h) {
    return ::FrameRgn(m_hDC, rgn ? rgn->m_hObject : nullptr, brush ? brush->m_hObject : nullptr,
                      w, h);
  }

  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
  BOOL LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
  BOOL LineTo(POINT p) { return ::LineTo(m_hDC, p.x, p.y); }
  CPoint GetCurrentPosition() const;
  BOOL Polyline(const POINT* pts, int count) { return ::Polyline(m_hDC, pts, count); }
  BOOL Polygon(const POINT* pts, int count) { return ::Polygon(m_hDC, pts, count); }
  BOOL Rectangle(int l, int t, int r, int b) { return ::Rectangle(m_hDC, l, t, r, b); }
  BOOL Rectangle(const RECT* r) { return ::Rectangle(m_hDC, r->left, r->top, r->right, r->bottom); }
  BOOL Ellipse(int l, int t, int r, int b) { return ::Ellipse(m_hDC, l, t, r, b); }
  BOOL Ellipse(const RECT* r) { return ::Ellipse(m_hDC, r->left, r->top, r->right, r->bottom); }
  BOOL RoundRect(int l, int t, int r, int b, int w, int h) {
    return ::RoundRect(m_hDC, l, t, r, b, w, h);
  }

  BOOL BitBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, rop);
  }
  BOOL StretchBlt(int x, int y, int w, int h, CDC* src, int sx, int sy, int sw, int sh,
                  DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, sx, sy, sw, sh, rop);
  }
  BOOL PatBlt(int x, int y, int w, int h, DWORD rop) { return ::PatBlt(m_hDC, x, y, w, h, rop); }
  BOOL DrawState(CPoint pt, CSize size, CBitmap* bitmap, UINT flags, CBrush* brush = nullptr);
  BOOL DrawState(CPoint pt, CSize size, HBITMAP bitmap, UINT flags, HBRUSH brush = nullptr);

  BOOL GetTextMetrics(TEXTMETRICA* tm) const { return ::GetTextMetricsA(m_hDC, tm); }
  CSize GetTextExtent(LPCSTR s, int len) const;
  CSize GetTextExtent(const CString& s) const { return GetTextExtent(s, s.GetLength()); }
  CSize GetOutputTextExtent(LPCSTR s, int len) const { return GetTextExtent(s, len); }
  CSize GetOutputTextExtent(const CString& s) const { return GetTextExtent(s); }
  int GetTextFace(int size, LPSTR out) const { return ::GetTextFaceA(m_hDC, size, out); }
  BOOL TextOut(int x, int y, LPCSTR s, int len) { return ::TextOutA(m_hDC, x, y, s, len); }
  BOOL TextOut(int x, int y, const CString& s) {
    return ::TextOutA(m_hDC, x, y, s, s.GetLength());
  }
  BOOL ExtTextOut(int x, int y, UINT options, const RECT* r, LPCSTR s, UINT len, const int* dx) {
    return ::ExtTextOutA(m_hDC, x, y, options, r, s, len, dx);
  }
  int DrawText(LPCSTR s, int len, RECT* r, UINT format) { return ::DrawTextA(m_hDC, s, len, r, format); }
  int DrawText(const CString& s, RECT* r, UINT format) {
    return ::DrawTextA(m_hDC, s, s.GetLength(), r, format);
  }
};
