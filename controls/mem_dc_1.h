#pragma once
// Off-screen drawing context for flicker-free painting: covers the target's
// clip box with a bitmap, takes the target's coordinates, and copies the
// picture to the target in one BitBlt when it goes out of scope.

#include "platform/win32/gdi/gdi.h"

class CMemDC_1 : public CDC {
 public:
  explicit CMemDC_1(CDC* pDC);
  ~CMemDC_1() override;

 private:
  CDC* m_pDC;                       // target, copied to at the end
  CBitmap m_bitmap;                 // off-screen picture of the area
  CBitmap* m_pOldBitmap = nullptr;  // selected back before the bitmap goes
  CRect m_rect;                     // the target's clip box, logical
};
