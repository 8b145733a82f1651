// The Qt font of a GDI font, for the controls that Qt widgets draw.

#include "platform/win32/gdi/gdi_internal.h"
#include "platform/win32/gdi/gdi_qt.h"

QFont qv::ToQFont(HFONT font) {
  QvGdiObject* f = qv::gdi::Object(font, OBJ_FONT);
  if (!f) f = qv::gdi::Object(GetStockObject(DEFAULT_GUI_FONT), OBJ_FONT);
  const QvGdiObject& resolved = qv::gdi::ResolvedFont(f);
  QFont q = *resolved.qfont;
  // Qt lays a widget's text out on the same whole-pixel advances, but cannot
  // move one glyph alone as the GDI text does (text.cpp): a crisp face gets a
  // pixel between every two glyphs, so that none touch ("10000" shows five
  // zeros). A struck bold face has that pixel already.
  if (!resolved.smooth && !resolved.strikeBold) q.setLetterSpacing(QFont::AbsoluteSpacing, 1);
  return q;
}
