#pragma once
// A child window that shows its own copy of a byte buffer as a hex dump, 16
// bytes a row led by the row's offset, scrolls in 10-pixel steps, and saves
// the bytes to a file.

#include <memory>

#include "platform/core/cstring.h"
#include "platform/win32/cwnd.h"

class CHexFileView : public CWnd {
  DECLARE_DYNAMIC(CHexFileView)

 public:
  CHexFileView() = default;
  ~CHexFileView() override;

  void SetData(const BYTE* data, int length);
  void ClearData();
  // Through a temporary file and a rename: FALSE leaves an old file whole.
  BOOL SaveToFile(CString path);
  // FALSE at once, touching nothing, when the view holds no bytes.
  BOOL SaveIfData(const CString& path);

  BOOL m_bDrawFrame = FALSE;

  // Layout of the dump, in pixels.
  static constexpr int kBytesPerRow = 16;
  static constexpr int kRowHeight = 20;
  static constexpr int kTop = 5;
  static constexpr int kOffsetX = 5;
  static constexpr int kFirstByteX = 55;
  static constexpr int kByteWidth = 25;
  static constexpr int kScrollUnit = 10;
  static constexpr int kFrameWidth = 4;
  static constexpr COLORREF kFrameColour = 0xE6AE93;
  static constexpr COLORREF kOffsetColour = 0x0000CE;

 protected:
  void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
  void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
  void OnPaint();
  void OnSize(UINT type, int cx, int cy);

  DECLARE_MESSAGE_MAP()

 private:
  void UpdateScrollBars();
  void ApplyScrollBars();
  // The scroll steps shared by both bars; the new offset in pixels, or -1 for
  // SB_ENDSCROLL, which changes nothing.
  int Scroll(int bar, UINT code, UINT thumb);
  void DrawFrame(CDC& dc) const;

  std::unique_ptr<BYTE[]> m_pData;
  int m_nLength = 0;
  int m_nRows = 0;
  CRect m_rcClient;
  int m_nVOffset = 0;
  int m_nHOffset = 0;
  bool m_bUpdatingBars = false;  // UpdateScrollBars is on the stack
};
