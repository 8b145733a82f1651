// The MFC drawing classes: handle ownership and the wrappers FromHandle gives.

#include "platform/win32/gdi/gdi_internal.h"

namespace qv::gdi {
namespace {

std::unique_ptr<CGdiObject> MakeWrapper(DWORD type) {
  switch (type) {
    case OBJ_PEN: return std::make_unique<CPen>();
    case OBJ_BRUSH: return std::make_unique<CBrush>();
    case OBJ_FONT: return std::make_unique<CFont>();
    case OBJ_BITMAP: return std::make_unique<CBitmap>();
    case OBJ_REGION: return std::make_unique<CRgn>();
    default: return std::make_unique<CGdiObject>();
  }
}

CGdiObject* Wrapper(HGDIOBJ h) {
  QvGdiObject* o = Object(h);
  if (!o) return nullptr;
  if (o->permanent) return o->permanent;
  if (!o->temporary) {
    o->temporary = MakeWrapper(o->type);
    o->temporary->m_hObject = h;
  }
  return o->temporary.get();
}

template <class T>
T* Typed(HGDIOBJ h, DWORD type) {
  return Object(h, type) ? static_cast<T*>(Wrapper(h)) : nullptr;
}

}  // namespace

void ClearWrappers(QvGdiObject* o) {
  if (o->permanent) o->permanent->m_hObject = nullptr;
  o->permanent = nullptr;
  if (o->temporary) o->temporary->m_hObject = nullptr;
  o->temporary.reset();
}

}  // namespace qv::gdi

using namespace qv::gdi;

CGdiObject::~CGdiObject() { DeleteObject(); }

BOOL CGdiObject::Attach(HGDIOBJ h) {
  QvGdiObject* o = Object(h);
  if (!o) return FALSE;
  if (m_hObject && m_hObject != h) DeleteObject();  // a second Create replaces the first
  m_hObject = h;
  if (!o->permanent) o->permanent = this;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ h = m_hObject;
  if (QvGdiObject* o = Object(h); o && o->permanent == this) o->permanent = nullptr;
  m_hObject = nullptr;
  return h;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int which) {
  HGDIOBJ h = ::GetStockObject(which);
  if (!h) return FALSE;
  DeleteObject();
  m_hObject = h;  // stock objects are never owned
  return TRUE;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) { return Wrapper(h); }
CPen* CPen::FromHandle(HPEN h) { return Typed<CPen>(h, OBJ_PEN); }
CBrush* CBrush::FromHandle(HBRUSH h) { return Typed<CBrush>(h, OBJ_BRUSH); }
CFont* CFont::FromHandle(HFONT h) { return Typed<CFont>(h, OBJ_FONT); }
CBitmap* CBitmap::FromHandle(HBITMAP h) { return Typed<CBitmap>(h, OBJ_BITMAP); }
CRgn* CRgn::FromHandle(HRGN h) { return Typed<CRgn>(h, OBJ_REGION); }

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
  return bitmap ? Attach(::CreatePatternBrush(bitmap->m_hObject)) : FALSE;
}

BOOL CFont::CreatePointFont(int pointSize10, LPCSTR face, CDC* dc) {
  LOGFONTA lf{};
  lf.lfHeight = pointSize10;
  lf.lfCharSet = DEFAULT_CHARSET;
  if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return CreatePointFontIndirect(&lf, dc);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONTA* lf, CDC* dc) {
  if (!lf) return FALSE;
  LOGFONTA copy = *lf;
  // Tenths of a point to pixels of character height, rounded as Windows does.
  const int dpi = ::GetDeviceCaps(dc ? dc->m_hDC : nullptr, LOGPIXELSY);
  copy.lfHeight = -std::abs(static_cast<int>((static_cast<long long>(lf->lfHeight) * dpi + 360) / 720));
  return CreateFontIndirect(&copy);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  return Attach(::CreateCompatibleBitmap(dc ? dc->m_hDC : nullptr, width, height));
}

CSize CBitmap::GetBitmapDimension() const {
  BITMAP bm{};
  if (!GetBitmap(&bm)) return CSize();
  return CSize(bm.bmWidth, bm.bmHeight);
}

// ---------------------------------------------------------------- CDC

CDC::~CDC() {
  if (m_hDC) ::DeleteDC(Detach());
}

BOOL CDC::Attach(HDC h) {
  QvDc* dc = Dc(h);
  if (!dc) return FALSE;
  if (m_hDC && m_hDC != h) DeleteDC();
  m_hDC = m_hAttribDC = h;
  if (!dc->permanent) dc->permanent = this;
  return TRUE;
}

HDC CDC::Detach() {
  HDC h = m_hDC;
  if (QvDc* dc = Dc(h); dc && dc->permanent == this) dc->permanent = nullptr;
  m_hDC = m_hAttribDC = nullptr;
  return h;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC) return FALSE;
  return ::DeleteDC(Detach());
}

CDC* CDC::FromHandle(HDC h) {
  QvDc* dc = Dc(h);
  if (!dc) return nullptr;
  if (dc->permanent) return dc->permanent;
  if (!dc->temporary) {
    dc->temporary = std::make_unique<CDC>();
    dc->temporary->m_hDC = dc->temporary->m_hAttribDC = h;
  }
  return dc->temporary.get();
}

CPen* CDC::SelectObject(CPen* pen) {
  return pen ? CPen::FromHandle(::SelectObject(m_hDC, pen->m_hObject)) : nullptr;
}
CBrush* CDC::SelectObject(CBrush* brush) {
  return brush ? CBrush::FromHandle(::SelectObject(m_hDC, brush->m_hObject)) : nullptr;
}
CFont* CDC::SelectObject(CFont* font) {
  return font ? CFont::FromHandle(::SelectObject(m_hDC, font->m_hObject)) : nullptr;
}
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
  return bitmap ? CBitmap::FromHandle(::SelectObject(m_hDC, bitmap->m_hObject)) : nullptr;
}
CGdiObject* CDC::SelectObject(CGdiObject* obj) {
  if (!obj) return nullptr;
  if (::GetObjectType(obj->m_hObject) == OBJ_REGION) return nullptr;
  return CGdiObject::FromHandle(::SelectObject(m_hDC, obj->m_hObject));
}
int CDC::SelectObject(CRgn* rgn) { return ::SelectClipRgn(m_hDC, rgn ? rgn->m_hObject : nullptr); }
CGdiObject* CDC::SelectStockObject(int which) {
  HGDIOBJ stock = ::GetStockObject(which);
  return stock ? CGdiObject::FromHandle(::SelectObject(m_hDC, stock)) : nullptr;
}
CPen* CDC::GetCurrentPen() const { return CPen::FromHandle(::GetCurrentObject(m_hDC, OBJ_PEN)); }
CBrush* CDC::GetCurrentBrush() const {
  return CBrush::FromHandle(::GetCurrentObject(m_hDC, OBJ_BRUSH));
}
CFont* CDC::GetCurrentFont() const { return CFont::FromHandle(::GetCurrentObject(m_hDC, OBJ_FONT)); }
CBitmap* CDC::GetCurrentBitmap() const {
  return CBitmap::FromHandle(::GetCurrentObject(m_hDC, OBJ_BITMAP));
}

CPoint CDC::SetWindowOrg(int x, int y) {
  POINT old{0, 0};
  ::SetWindowOrgEx(m_hDC, x, y, &old);
  return old;
}
CPoint CDC::GetWindowOrg() const {
  POINT p{0, 0};
  ::GetWindowOrgEx(m_hDC, &p);
  return p;
}
CPoint CDC::OffsetWindowOrg(int dx, int dy) {
  POINT old{0, 0};
  ::OffsetWindowOrgEx(m_hDC, dx, dy, &old);
  return old;
}
CPoint CDC::SetViewportOrg(int x, int y) {
  POINT old{0, 0};
  ::SetViewportOrgEx(m_hDC, x, y, &old);
  return old;
}
CPoint CDC::GetViewportOrg() const {
  POINT p{0, 0};
  ::GetViewportOrgEx(m_hDC, &p);
  return p;
}
CPoint CDC::OffsetViewportOrg(int dx, int dy) {
  POINT old{0, 0};
  ::OffsetViewportOrgEx(m_hDC, dx, dy, &old);
  return old;
}

void CDC::FillSolidRect(const RECT* r, COLORREF c) {
  if (!r) return;
  ::SetBkColor(m_hDC, c);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, r, nullptr, 0, nullptr);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF c) {
  const RECT r{x, y, x + cx, y + cy};
  FillSolidRect(&r, c);
}

void CDC::Draw3dRect(const RECT* r, COLORREF topLeft, COLORREF bottomRight) {
  if (!r) return;
  Draw3dRect(r->left, r->top, r->right - r->left, r->bottom - r->top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
  FillSolidRect(x, y, cx - 1, 1, topLeft);
  FillSolidRect(x, y, 1, cy - 1, topLeft);
  FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
  FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

CPoint CDC::MoveTo(int x, int y) {
  POINT old{0, 0};
  ::MoveToEx(m_hDC, x, y, &old);
  return old;
}

CPoint CDC::GetCurrentPosition() const {
  POINT p{0, 0};
  ::GetCurrentPositionEx(m_hDC, &p);
  return p;
}

BOOL CDC::DrawState(CPoint pt, CSize size, CBitmap* bitmap, UINT flags, CBrush* brush) {
  return DrawState(pt, size, bitmap ? bitmap->m_hObject : nullptr, flags,
                   brush ? brush->m_hObject : nullptr);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP bitmap, UINT flags, HBRUSH brush) {
  return ::DrawStateA(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, pt.x, pt.y,
                      size.cx, size.cy, (flags & ~0xFu) | DST_BITMAP);
}

CSize CDC::GetTextExtent(LPCSTR s, int len) const {
  SIZE sz{0, 0};
  ::GetTextExtentPoint32A(m_hDC, s, len, &sz);
  return sz;
}
