#pragma once
// A recording seam under the GDI's text calls, for the tests of one binary:
// while a TextRecorder lives, every DrawTextA and TextOutA that code of the
// binary makes is noted, with the font, text colour and background mode in
// force on that DC, before the call goes on to the GDI unchanged. The binary
// links with the two calls wrapped (see tests/controls/CMakeLists.txt).

#include <string>
#include <vector>

#include "platform/win32/gdi/gdi_api.h"

namespace qv::testing {

struct DrawnText {
  std::string text;
  bool drawText;  // DrawTextA; else TextOutA
  RECT rect;      // DrawTextA's rectangle as passed in
  UINT format;    // DrawTextA's flags
  POINT at;       // TextOutA's point
  LOGFONTA font;  // the font selected into the DC
  COLORREF colour;
  int bkMode;
  POINT viewport;  // the DC's viewport origin
  UINT align;      // its text alignment
};

class TextRecorder {
 public:
  TextRecorder();
  ~TextRecorder();
  TextRecorder(const TextRecorder&) = delete;
  TextRecorder& operator=(const TextRecorder&) = delete;

  const std::vector<DrawnText>& Texts() const { return texts_; }
  // The calls that drew (DrawTextA without DT_CALCRECT, and TextOutA).
  std::vector<DrawnText> Drawn() const;
  void Clear() { texts_.clear(); }

  // Called by the wrapped GDI calls.
  static void Note(HDC dc, DrawnText t);

 private:
  std::vector<DrawnText> texts_;
};

}  // namespace qv::testing
