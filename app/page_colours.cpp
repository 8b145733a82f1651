#include "app/page_colours.h"

HBRUSH PageCtlColor(CWnd& page, CDC* dc, UINT kind, CBrush& brush) {
  dc->SelectObject(&brush);
  if (kind == CTLCOLOR_DLG) {
    CRect client;
    page.GetClientRect(&client);
    dc->FillRect(&client, &brush);
  } else {
    dc->SetBkMode(TRANSPARENT);
  }
  return static_cast<HBRUSH>(brush.GetSafeHandle());
}
