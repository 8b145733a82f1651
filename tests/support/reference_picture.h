#pragma once
// The picture a control ought to show, drawn by the GDI itself from a test's
// own figures (rectangles, colours, fonts, texts), to compare with what the
// control drew. Text goes through the same GDI as the control's, at test time,
// so a change in how glyphs are rendered changes both sides alike.

#include <QImage>
#include <QRect>
#include <string>

#include "platform/win32/gdi/gdi.h"
#include "platform/win32/gdi/gdi_qt.h"

namespace qv::testing {

// A font as a control asks for it: height, weight, face; every other field
// as the controls pass it (ANSI, TrueType precision, variable pitch, Swiss).
struct FontSpec {
  int height;
  int weight;
  const char* face;
};

class ReferencePicture {
 public:
  ReferencePicture(int width, int height, COLORREF fill) : image_(width, height, QImage::Format_RGB32) {
    image_.fill(qRgb(GetRValue(fill), GetGValue(fill), GetBValue(fill)));
    dc_.Attach(qv::CreateSurfaceDC(image_));
    dc_.SetBkMode(TRANSPARENT);
  }
  ~ReferencePicture() {
    if (HDC h = dc_.Detach()) ::DeleteDC(h);
  }
  ReferencePicture(const ReferencePicture&) = delete;
  ReferencePicture& operator=(const ReferencePicture&) = delete;

  void Fill(const RECT& r, COLORREF c) { dc_.FillSolidRect(&r, c); }

  // Text at (x, y) in the DC's default font, as a control that selects none draws it.
  void TextAt(int x, int y, const std::string& text, COLORREF colour) {
    dc_.SetTextColor(colour);
    dc_.TextOut(x, y, text.c_str(), static_cast<int>(text.size()));
  }

  // Text laid into `box` with DrawText `format`, in `font`, only inside `clip`
  // (the whole picture when empty).
  void TextIn(const RECT& box, UINT format, const FontSpec& font, const std::string& text, COLORREF colour,
              const RECT& clip = RECT{0, 0, 0, 0}) {
    CFont f;
    f.CreateFont(font.height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, font.face);
    CFont* old = dc_.SelectObject(&f);
    CRgn region;
    if (!::IsRectEmpty(&clip)) {
      region.CreateRectRgnIndirect(&clip);
      dc_.SelectClipRgn(&region);
    }
    dc_.SetTextColor(colour);
    RECT r = box;
    dc_.DrawText(text.c_str(), static_cast<int>(text.size()), &r, format);
    dc_.SelectClipRgn(nullptr);
    dc_.SelectObject(old);
  }

  CDC& dc() { return dc_; }
  const QImage& image() const { return image_; }

 private:
  QImage image_;
  CDC dc_;
};

// Pixels of `area` (of `shown`) that differ from the reference at the same
// place, the reference's own (0, 0) lying at `area`'s top-left corner.
inline int PixelsDiffering(const QImage& shown, const QImage& reference, QRect area = {}) {
  if (area.isNull()) area = reference.rect();
  int n = 0;
  for (int y = 0; y < area.height(); ++y)
    for (int x = 0; x < area.width(); ++x) {
      const QPoint s = area.topLeft() + QPoint(x, y);
      if (!shown.valid(s) || !reference.valid(x, y) ||
          (shown.pixel(s) & 0xFFFFFF) != (reference.pixel(x, y) & 0xFFFFFF))
        ++n;
    }
  return n;
}

}  // namespace qv::testing
