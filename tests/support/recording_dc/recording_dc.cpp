#include "tests/support/recording_dc/recording_dc.h"

namespace qv::testing {
namespace {
TextRecorder* g_recorder = nullptr;  // UI thread only, as the painters are
}  // namespace

TextRecorder::TextRecorder() { g_recorder = this; }
TextRecorder::~TextRecorder() { g_recorder = nullptr; }

std::vector<DrawnText> TextRecorder::Drawn() const {
  std::vector<DrawnText> out;
  for (const DrawnText& t : texts_)
    if (!t.drawText || !(t.format & DT_CALCRECT)) out.push_back(t);
  return out;
}

void TextRecorder::Note(HDC dc, DrawnText t) {
  if (!g_recorder) return;
  t.font = LOGFONTA{};
  ::GetObject(::GetCurrentObject(dc, OBJ_FONT), sizeof(LOGFONTA), &t.font);
  t.colour = ::GetTextColor(dc);
  t.bkMode = ::GetBkMode(dc);
  t.viewport = POINT{0, 0};
  ::GetViewportOrgEx(dc, &t.viewport);
  t.align = ::GetTextAlign(dc);
  g_recorder->texts_.push_back(t);
}

}  // namespace qv::testing

// The linker sends the binary's calls of the two functions here (--wrap), and
// the __real_ names to the GDI's own definitions.
extern "C" {
int __real__Z9DrawTextAP10QvDcHandlePKciP4RECTj(HDC dc, LPCSTR s, int len, RECT* r, UINT format);
BOOL __real__Z8TextOutAP10QvDcHandleiiPKci(HDC dc, int x, int y, LPCSTR s, int len);

int __wrap__Z9DrawTextAP10QvDcHandlePKciP4RECTj(HDC dc, LPCSTR s, int len, RECT* r, UINT format) {
  if (s && r) {
    const std::string text = len < 0 ? std::string(s) : std::string(s, static_cast<size_t>(len));
    qv::testing::TextRecorder::Note(dc, {text, true, *r, format, POINT{0, 0}, {}, 0, 0, {}, 0});
  }
  return __real__Z9DrawTextAP10QvDcHandlePKciP4RECTj(dc, s, len, r, format);
}

BOOL __wrap__Z8TextOutAP10QvDcHandleiiPKci(HDC dc, int x, int y, LPCSTR s, int len) {
  if (s && len >= 0)
    qv::testing::TextRecorder::Note(dc, {std::string(s, static_cast<size_t>(len)), false, RECT{0, 0, 0, 0}, 0,
                                         POINT{x, y}, {}, 0, 0, {}, 0});
  return __real__Z8TextOutAP10QvDcHandleiiPKci(dc, x, y, s, len);
}
}
