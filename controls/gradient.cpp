#include "controls/gradient.h"

#include <algorithm>
#include <new>

namespace {

// The base-colour preparations step 30 below a channel; below 0 they stop at 0
// instead of wrapping round to huge unsigned values.
UINT Darker(int channel) { return static_cast<UINT>(std::max(channel - 30, 0)); }

// Channel of a band: truncated toward zero, low 8 bits.
int Channel(double v) { return static_cast<int>(static_cast<long long>(v) & 255); }

}  // namespace

CGradient::~CGradient() { Release(); }

void CGradient::Release() {
  if (!m_pMemDC) return;
  if (m_pOldBitmap) m_pMemDC->SelectObject(m_pOldBitmap);
  m_pOldBitmap = nullptr;
  m_bitmap.DeleteObject();
  delete m_pMemDC;
  m_pMemDC = nullptr;
}

bool CGradient::Begin(CDC* pDC) {
  Release();
  m_pMemDC = new (std::nothrow) CDC;
  if (!m_pMemDC) return false;
  if (!m_pMemDC->CreateCompatibleDC(pDC)) return false;
  m_pMemDC->SetMapMode(MM_TEXT);
  // A null DC stands for the screen here, so the bitmap is a colour one.
  if (!m_bitmap.CreateCompatibleBitmap(pDC, m_nWidth, m_nHeight)) return false;
  m_pOldBitmap = m_pMemDC->SelectObject(&m_bitmap);
  return true;
}

void CGradient::PaintBands(bool vertical, double r, double g, double b, double dr, double dg,
                           double db) {
  const double bandSize = (vertical ? m_nHeight : m_nWidth) * 0.00390625;
  for (int i = 0; i < 256; ++i) {
    const int from = static_cast<int>(i * bandSize), to = static_cast<int>((i + 1) * bandSize);
    const RECT band = vertical ? RECT{0, from, m_nWidth, to} : RECT{from, 0, to, m_nHeight};
    CBrush brush;
    if (brush.CreateSolidBrush(RGB(Channel(r), Channel(g), Channel(b))))
      m_pMemDC->FillRect(&band, &brush);
    r += dr;
    g += dg;
    b += db;
  }
}

void CGradient::PrepareVertical(CDC* pDC, UINT r1, UINT g1, UINT b1, UINT r2, UINT g2, UINT b2) {
  if (!Begin(pDC)) return;
  PaintBands(true, r1, g1, b1, (double(r2) - double(r1)) / 256, (double(g2) - double(g1)) / 256,
             (double(b2) - double(b1)) / 256);
}

void CGradient::PrepareHorizontal(CDC* pDC, UINT r1, UINT g1, UINT b1, UINT r2, UINT g2, UINT b2) {
  if (!Begin(pDC)) return;
  PaintBands(false, r2, g2, b2, (double(r1) - double(r2)) / 256, (double(g1) - double(g2)) / 256,
             (double(b1) - double(b2)) / 256);
}

void CGradient::PrepareVerticalFromBase(CDC* pDC, COLORREF base) {
  PrepareVertical(pDC, 250, 250, 249, Darker(GetRValue(base)), Darker(GetGValue(base)),
                  Darker(GetBValue(base)));
}

void CGradient::PrepareHorizontalLightToDark(CDC* pDC, COLORREF base) {
  const int r = (GetRValue(base) + 10) % 256, g = (GetGValue(base) + 10) % 256,
            b = (GetBValue(base) + 10) % 256;
  PrepareHorizontal(pDC, Darker(r), Darker(g), Darker(b), r, g, b);
}

void CGradient::PrepareHorizontalDarkToLight(CDC* pDC, COLORREF base) {
  const int r = (GetRValue(base) + 10) % 256, g = (GetGValue(base) + 10) % 256,
            b = (GetBValue(base) + 10) % 256;
  PrepareHorizontal(pDC, r, g, b, Darker(r), Darker(g), Darker(b));
}
