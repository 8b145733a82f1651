#include "platform/win32/frame.h"

#include <algorithm>

namespace qv::win32 {
namespace {

// Classic metrics at 96 dpi: caption buttons 16 x 14 in an 18-pixel bar.
constexpr int kCaptionBar = 18;
constexpr int kButtonWidth = 16;
constexpr int kButtonHeight = 14;

void Fill(HDC dc, RECT r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

// A ring `width` pixels wide just inside r.
void Ring(HDC dc, const RECT& r, int width, COLORREF colour) {
  Fill(dc, RECT{r.left, r.top, r.right, r.top + width}, colour);
  Fill(dc, RECT{r.left, r.bottom - width, r.right, r.bottom}, colour);
  Fill(dc, RECT{r.left, r.top, r.left + width, r.bottom}, colour);
  Fill(dc, RECT{r.right - width, r.top, r.right, r.bottom}, colour);
}

COLORREF Blend(COLORREF a, COLORREF b, int i, int n) {
  auto mix = [&](int x, int y) { return x + (y - x) * i / std::max(n, 1); };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

// The default application icon, small: a window with a blue title bar.
void DrawSmallIcon(HDC dc, int x, int y) {
  Fill(dc, RECT{x + 1, y + 2, x + 15, y + 14}, RGB(0, 0, 0));
  Fill(dc, RECT{x + 2, y + 3, x + 14, y + 13}, RGB(255, 255, 255));
  Fill(dc, RECT{x + 2, y + 3, x + 14, y + 5}, RGB(0, 0, 128));
}

enum class Box { Close, Maximize, Minimize };

void DrawCaptionButton(HDC dc, int x, int y, Box box) {
  RECT r{x, y, x + kButtonWidth, y + kButtonHeight};
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
  switch (box) {
    case Box::Close:  // an X of two-pixel strokes, 8 x 7
      for (int i = 0; i < 7; ++i) {
        SetPixel(dc, x + 4 + i, y + 3 + i, ink);
        SetPixel(dc, x + 5 + i, y + 3 + i, ink);
        SetPixel(dc, x + 10 - i, y + 3 + i, ink);
        SetPixel(dc, x + 11 - i, y + 3 + i, ink);
      }
      break;
    case Box::Maximize: {
      const RECT outline{x + 3, y + 2, x + 12, y + 11};
      HBRUSH brush = CreateSolidBrush(ink);
      FrameRect(dc, &outline, brush);
      DeleteObject(brush);
      Fill(dc, RECT{x + 3, y + 3, x + 12, y + 4}, ink);
      break;
    }
    case Box::Minimize: Fill(dc, RECT{x + 4, y + 9, x + 10, y + 11}, ink); break;
  }
}

void DrawCaption(HDC dc, RECT bar, const FrameLook& look) {
  const bool child = (look.style & WS_CHILD) != 0;
  const COLORREF from = GetSysColor(look.active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  const COLORREF to = GetSysColor(look.active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
  const int width = bar.right - bar.left;
  for (int i = 0; i < width; ++i)
    Fill(dc, RECT{bar.left + i, bar.top, bar.left + i + 1, bar.bottom}, Blend(from, to, i, width - 1));
  int textLeft = bar.left + 3;
  int textRight = bar.right - 2;
  if (look.style & WS_SYSMENU) {
    if (!(look.exStyle & WS_EX_DLGMODALFRAME)) {
      DrawSmallIcon(dc, bar.left + 1, bar.top + 1);
      textLeft = bar.left + 20;
    }
    int x = bar.right - 2 - kButtonWidth;
    const int y = bar.top + 2;
    DrawCaptionButton(dc, x, y, Box::Close);
    // Child windows use these bits as WS_GROUP and WS_TABSTOP.
    if (!child && (look.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
      x -= 2 + kButtonWidth;
      DrawCaptionButton(dc, x, y, Box::Maximize);
      x -= kButtonWidth;
      DrawCaptionButton(dc, x, y, Box::Minimize);
    }
    textRight = x - 2;
  }
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof(metrics);
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  HFONT font = CreateFontIndirectA(&metrics.lfCaptionFont);
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(look.active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
  RECT text{textLeft, bar.top, std::max(textLeft, textRight), bar.bottom};
  DrawTextA(dc, look.title.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
  DeleteObject(font);
}

}  // namespace

FrameLayout LayoutFrame(DWORD style, DWORD exStyle) {
  FrameLayout f;
  if (style & WS_THICKFRAME)
    f.outer = GetSystemMetrics(SM_CXFRAME);
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    f.outer = GetSystemMetrics(SM_CXDLGFRAME);
  else if (style & WS_BORDER)
    f.outer = GetSystemMetrics(SM_CXBORDER);
  if ((style & WS_CAPTION) == WS_CAPTION) f.caption = GetSystemMetrics(SM_CYCAPTION);
  if (exStyle & WS_EX_CLIENTEDGE) f.edge += GetSystemMetrics(SM_CXEDGE);
  if (exStyle & WS_EX_STATICEDGE) f.edge += GetSystemMetrics(SM_CXBORDER);
  return f;
}

bool FramedByWindowManager(DWORD style) { return !(style & WS_CHILD) && (style & WS_CAPTION) == WS_CAPTION; }

void DrawFrame(HDC dc, int width, int height, const FrameLook& look, bool outer) {
  const FrameLayout f = LayoutFrame(look.style, look.exStyle);
  RECT r{0, 0, width, height};
  if (outer) {
    if (f.outer >= 3) {
      DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
      const int rest = f.outer - 2;
      Ring(dc, r, rest,
           GetSysColor((look.style & WS_THICKFRAME) ? (look.active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER)
                                                   : COLOR_3DFACE));
      InflateRect(&r, -rest, -rest);
    } else if (f.outer > 0) {
      Ring(dc, r, f.outer, GetSysColor(COLOR_WINDOWFRAME));
      InflateRect(&r, -f.outer, -f.outer);
    }
    if (f.caption > 0) {
      DrawCaption(dc, RECT{r.left, r.top, r.right, r.top + kCaptionBar}, look);
      Fill(dc, RECT{r.left, r.top + kCaptionBar, r.right, r.top + f.caption}, GetSysColor(COLOR_3DFACE));
      r.top += f.caption;
    }
  }
  if (look.exStyle & WS_EX_CLIENTEDGE) DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  if (look.exStyle & WS_EX_STATICEDGE) DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
}

}  // namespace qv::win32
