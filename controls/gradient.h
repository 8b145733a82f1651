#pragma once
// A two-colour linear gradient of a fixed size in 256 bands, prepared once
// into an owned memory DC and then copied from it (BitBlt, SRCCOPY, source
// origin (0, 0)) as often as needed.

#include "platform/win32/gdi/gdi.h"

class CGradient {
 public:
  CGradient(int width, int height) : m_nWidth(width), m_nHeight(height) {}
  CGradient(const CGradient&) = delete;
  CGradient& operator=(const CGradient&) = delete;
  virtual ~CGradient();

  // Top (r1, g1, b1) to bottom, towards (r2, g2, b2).
  virtual void PrepareVertical(CDC* pDC, UINT r1, UINT g1, UINT b1, UINT r2, UINT g2, UINT b2);
  virtual void PrepareVerticalFromBase(CDC* pDC, COLORREF base);
  virtual void PrepareHorizontalLightToDark(CDC* pDC, COLORREF base);
  virtual void PrepareHorizontalDarkToLight(CDC* pDC, COLORREF base);
  // Left (r2, g2, b2) to right, towards (r1, g1, b1).
  void PrepareHorizontal(CDC* pDC, UINT r1, UINT g1, UINT b1, UINT r2, UINT g2, UINT b2);

  // The prepared picture at (0, 0, width, height); null before the first
  // preparation or after one that failed.
  CDC* GetMemDC() const { return m_pMemDC; }
  int GetWidth() const { return m_nWidth; }
  int GetHeight() const { return m_nHeight; }

 private:
  bool Begin(CDC* pDC);
  void Release();
  void PaintBands(bool vertical, double r, double g, double b, double dr, double dg, double db);

  CDC* m_pMemDC = nullptr;
  int m_nWidth;
  int m_nHeight;
  CBitmap m_bitmap;
  CGdiObject* m_pOldBitmap = nullptr;
};
