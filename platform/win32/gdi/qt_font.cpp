// The Qt font of a GDI font, for the controls that Qt widgets draw.

#include "platform/win32/gdi/gdi_internal.h"
#include "platform/win32/gdi/gdi_qt.h"

QFont qv::ToQFont(HFONT font) {
  QvGdiObject* f = qv::gdi::Object(font, OBJ_FONT);
  if (!f) f = qv::gdi::Object(GetStockObject(DEFAULT_GUI_FONT), OBJ_FONT);
  return *qv::gdi::ResolvedFont(f).qfont;
}
