#pragma once
// Off-screen drawing for one menu entry: callers draw in the target's
// coordinates over the covered rectangle; the destructor copies the picture
// to the target in one BitBlt.

#include "platform/win32/gdi/gdi.h"

class COwnerDrawMenuMemDC : public CDC {
 public:
  COwnerDrawMenuMemDC(CDC* target, const RECT* rect);
  ~COwnerDrawMenuMemDC() override;

  CBitmap m_bitmap;                 // as large as the covered rectangle
  CBitmap* m_oldBitmap = nullptr;   // what m_bitmap displaced
  CDC* m_targetDC;                  // receives the picture
  RECT m_rect;                      // the covered rectangle, target coordinates
  BOOL m_isMemDC = TRUE;            // our DCs never print: always off-screen
};
