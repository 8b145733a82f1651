// Text: fonts from LOGFONT fields, metrics, TextOut and DrawText. Glyphs are
// rendered by Qt into a mask and put on the surface through the DC's clip.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#include <QFontMetrics>
#include <QHash>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "platform/core/bounded_text.h"
#include "platform/win32/gdi/gdi_internal.h"

namespace qv::gdi {
namespace {

// How a face the tool asks for is drawn here: the installed family, and the
// cell of the Windows face where ours differs (ascent and descent per pixel of
// character height; 0: the family's own). The dialog faces keep Windows' cell,
// 13 pixels at 8 points, so that templates lay out as there. Smooth faces are
// antialiased: the CJK face's thin strokes and its real bold need it at small
// sizes, where the Latin faces stay crisp as Windows draws them. Crisp bold
// dialog text below 16 pixels comes with one-pixel stems and reads as regular:
// it is struck twice, a pixel apart, as Windows emboldens.
struct FaceMap {
  const char* face;
  const char* family;
  double ascent = 0;
  double descent = 0;
  bool smooth = false;
  bool strikeBold = false;
};
constexpr double kDialogAscent = 1.0;     // Tahoma, behind "MS Shell Dlg"
constexpr double kDialogDescent = 0.207;
constexpr double kSongAscent = 0.859;     // "宋体"
constexpr double kSongDescent = 0.141;
constexpr const char* kCjkFamily = "Noto Sans CJK SC";
// "宋体" comes as UTF-8 or as its code page 936 bytes.
constexpr FaceMap kFaces[] = {
    {"\xE5\xAE\x8B\xE4\xBD\x93", kCjkFamily, kSongAscent, kSongDescent, true},
    {"\xCB\xCE\xCC\xE5", kCjkFamily, kSongAscent, kSongDescent, true},
    {"SimSun", kCjkFamily, kSongAscent, kSongDescent, true},
    {"Arial", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans", kDialogAscent, kDialogDescent, false, true},
    {"MS Shell Dlg", "Liberation Sans", kDialogAscent, kDialogDescent, false, true},
    {"MS Shell Dlg 2", "Liberation Sans", kDialogAscent, kDialogDescent, false, true},
    {"Microsoft Sans Serif", "Liberation Sans", kDialogAscent, kDialogDescent, false, true},
    {"Tahoma", "Liberation Sans", kDialogAscent, kDialogDescent, false, true},
    {"System", "Liberation Sans"},
    {"", "Liberation Sans"},
    {"Courier", "Liberation Mono"},
    {"Courier New", "Liberation Mono"},
    {"Terminal", "Liberation Mono"},
    {"Fixedsys", "Liberation Mono"},
    {"Times New Roman", "Liberation Serif"},
};

// Face names compare as Windows compares them: ASCII letters without regard to case.
bool SameFace(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(*a) != lower(*b)) return false;
  }
  return *a == *b;
}

const FaceMap* FindFace(const char* face) {
  for (const FaceMap& f : kFaces)
    if (SameFace(f.face, face)) return &f;
  return nullptr;
}

bool HaveGui() { return qGuiApp != nullptr; }

// Where a glyph of a crisp face puts ink, from its pen position: the first
// and last column (none for a blank), and its whole-pixel hinted advance.
struct GlyphInk {
  int left = 0, right = -1;
  int advance = 0;
  bool Blank() const { return right < left; }
};

// Drawn once per face and character: what the glyph covers as Render draws it.
GlyphInk InkOf(const QFont& font, bool strikeBold, const QString& glyph) {
  static std::mutex mutex;
  static QHash<QString, GlyphInk> cache;
  const QString key = font.key() + (strikeBold ? QStringLiteral("|b|") : QStringLiteral("|r|")) + glyph;
  {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = cache.constFind(key);
    if (it != cache.constEnd()) return *it;
  }
  GlyphInk ink;
  const QFontMetrics fm(font);
  ink.advance = fm.horizontalAdvance(glyph);
  const int pad = fm.height() + 4;
  QImage image(ink.advance + 2 * pad, fm.height() + 2 * pad, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QPoint(pad, pad + fm.ascent()), glyph);
    if (strikeBold) p.drawText(QPoint(pad + 1, pad + fm.ascent()), glyph);
  }
  for (int x = 0; x < image.width(); ++x)
    for (int y = 0; y < image.height(); ++y)
      if (qGreen(image.pixel(x, y)) < 128) {
        if (ink.Blank()) ink.left = x - pad;
        ink.right = x - pad;
        break;
      }
  std::lock_guard<std::mutex> lock(mutex);
  cache.insert(key, ink);
  return ink;
}

// A character with its low surrogate, if any: one glyph.
int GlyphLength(const QString& s, int i) {
  return i + 1 < s.size() && s[i].isHighSurrogate() && s[i + 1].isLowSurrogate() ? 2 : 1;
}

struct Layout {
  const QvGdiObject& object;
  QFont font;
  QFontMetrics fm;
  explicit Layout(QvDc& dc) : Layout(ResolvedFont(Object(dc.st.font, OBJ_FONT))) {}
  explicit Layout(const QvGdiObject& f) : object(f), font(*f.qfont), fm(font) {}
  // A crisp face places each glyph at a whole-pixel advance from its hinted
  // metrics, as GDI does, and two glyphs never share or touch a column: one
  // whose ink would reach the column next to its neighbour's moves right.
  bool PerGlyph() const { return !object.smooth; }
  // The pen position of each character (a low surrogate's is its pair's)
  // and, last, the width of the whole text.
  std::vector<int> Positions(const QString& s) const {
    std::vector<int> at(static_cast<size_t>(s.size()) + 1, 0);
    int x = 0;
    bool inked = false;
    int lastInk = 0;
    for (int i = 0; i < s.size();) {
      const int n = GlyphLength(s, i);
      const GlyphInk ink = InkOf(font, object.strikeBold, s.mid(i, n));
      if (!ink.Blank()) {
        if (inked && x + ink.left <= lastInk + 1) x = lastInk + 2 - ink.left;
        lastInk = x + ink.right;
        inked = true;
      }
      for (int k = 0; k < n; ++k) at[static_cast<size_t>(i + k)] = x;
      x += ink.advance;
      i += n;
    }
    at.back() = x;
    return at;
  }
  int Width(const QString& s) const { return PerGlyph() ? Positions(s).back() : fm.horizontalAdvance(s); }
  int Ascent() const { return object.ascent; }
  int Height() const { return object.ascent + object.descent; }
  // Draws the text with its baseline's start at `at`.
  void Draw(QPainter& p, QPoint at, const QString& text) const {
    if (!PerGlyph()) {
      p.drawText(at, text);
      return;
    }
    const std::vector<int> x = Positions(text);
    for (int i = 0; i < text.size();) {
      const int n = GlyphLength(text, i);
      const QString glyph = text.mid(i, n);
      if (glyph != QStringLiteral(" ")) {
        p.drawText(QPoint(at.x() + x[static_cast<size_t>(i)], at.y()), glyph);
        if (object.strikeBold) p.drawText(QPoint(at.x() + x[static_cast<size_t>(i)] + 1, at.y()), glyph);
      }
      i += n;
    }
  }
};

// a at `cover` (0-255) over b, both 0x00RRGGBB.
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, int cover) {
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int ca = static_cast<int>((a >> shift) & 0xFFu), cb = static_cast<int>((b >> shift) & 0xFFu);
    out |= static_cast<std::uint32_t>((ca * cover + cb * (255 - cover) + 127) / 255) << shift;
  }
  return out;
}

// Draws `text` with the top-left of its cell at `offset` from the reference
// point `ref` (surface), turned counter-clockwise by `angle` degrees around
// ref; `limit` (surface) narrows the clip.
void Render(QvDc& dc, const Layout& lay, POINT ref, QPoint offset, const QString& text,
            int underlineAt, double angle, const RECT* limit) {
  Pixels* s = dc.Surface();
  if (!s || text.isEmpty()) return;
  Region clip = EffectiveClip(dc);
  if (limit) clip = Region::Combine(clip, Region::FromRect(*limit), RGN_AND);
  if (clip.Empty()) return;
  const int w = lay.Width(text), h = lay.Height();
  const double rad = angle * M_PI / 180.0, c = std::cos(rad), sn = std::sin(rad);
  double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
  // Italic glyphs and underlines may lean out of the cell: a margin of a few pixels.
  const int m = 2 + h / 4;
  for (const QPoint corner : {QPoint(-m, -m), QPoint(w + m, -m), QPoint(-m, h + m), QPoint(w + m, h + m)}) {
    const double u = offset.x() + corner.x(), v = offset.y() + corner.y();
    const double x = ref.x + u * c + v * sn, y = ref.y - u * sn + v * c;
    minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
  }
  RECT area{static_cast<LONG>(std::floor(minX)), static_cast<LONG>(std::floor(minY)),
            static_cast<LONG>(std::ceil(maxX)), static_cast<LONG>(std::ceil(maxY))};
  const RECT clipBox = clip.Box();
  if (!IntersectRect(&area, &area, &clipBox)) return;
  QImage mask(area.right - area.left, area.bottom - area.top, QImage::Format_ARGB32_Premultiplied);
  mask.fill(0);
  {
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, lay.object.smooth);
    p.translate(ref.x - area.left, ref.y - area.top);
    p.rotate(-angle);
    // Blue marks the opaque background, red the ink.
    if (dc.st.bkMode == OPAQUE) p.fillRect(QRect(offset.x(), offset.y(), w, h), QColor(0, 0, 255));
    p.setFont(lay.font);
    p.setPen(QColor(255, 0, 0));
    lay.Draw(p, QPoint(offset.x(), offset.y() + lay.Ascent()), text);
    if (!lay.PerGlyph() && lay.object.strikeBold)
      p.drawText(QPoint(offset.x() + 1, offset.y() + lay.Ascent()), text);
    if (underlineAt >= 0 && underlineAt < text.size()) {
      const int ux = offset.x() + lay.Width(text.left(underlineAt));
      const int uy = offset.y() + lay.Ascent() + std::max(1, lay.fm.underlinePos());
      const int uw = lay.Width(text.left(underlineAt + 1)) - (ux - offset.x());
      p.fillRect(QRect(ux, uy, uw, std::max(1, lay.fm.lineWidth())), QColor(255, 0, 0));
    }
  }
  const COLORREF ink = dc.st.text, paper = dc.st.bk;
  const std::uint32_t inkV = s->bpp == 1 ? s->MonoIndex(ink) : ToPixel(ink);
  const std::uint32_t paperV = s->bpp == 1 ? s->MonoIndex(paper) : ToPixel(paper);
  // Red is the ink's coverage: a smooth face mixes the ink into what lies
  // under it (the opaque box or the surface); 1-bit pixels take it or not.
  const bool blend = lay.object.smooth && s->bpp == 32;
  for (const RECT& r : clip.rects) {
    RECT i;
    if (!IntersectRect(&i, &r, &area)) continue;
    for (int y = i.top; y < i.bottom; ++y) {
      const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y - area.top));
      for (int x = i.left; x < i.right; ++x) {
        const QRgb v = line[x - area.left];
        const int cover = qRed(v);
        if (blend && cover > 0 && cover < 255) {
          const std::uint32_t under = qBlue(v) > 127 ? paperV : s->Get(x, y);
          s->Set(x, y, Mix(inkV, under, cover));
        } else if (cover > 127) {
          s->Set(x, y, inkV);
        } else if (qBlue(v) > 127) {
          s->Set(x, y, paperV);
        }
      }
    }
  }
}

RECT LogicalToSurface(const QvDc& dc, const RECT& r) {
  const POINT a = ToSurface(dc, r.left, r.top);
  return RECT{a.x, a.y, a.x + (r.right - r.left), a.y + (r.bottom - r.top)};
}

// '&' marks the next character as the mnemonic ("&&" is a plain '&').
QString StripPrefix(const QString& in, int* underlineAt) {
  QString out;
  *underlineAt = -1;
  for (int i = 0; i < in.size(); ++i) {
    if (in[i] == QLatin1Char('&') && i + 1 < in.size()) {
      ++i;
      if (in[i] != QLatin1Char('&')) *underlineAt = static_cast<int>(out.size());
    }
    out += in[i];
  }
  return out;
}

QString ExpandTabs(const QString& in) {
  QString out;
  for (const QChar ch : in) {
    if (ch == QLatin1Char('\t')) {
      do out += QLatin1Char(' ');
      while (out.size() % 8 != 0);
    } else {
      out += ch;
    }
  }
  return out;
}

struct Line {
  QString text;
  int underlineAt = -1;
};

// Greedy breaks at blanks; a word wider than the width stays whole.
void Wrap(const Layout& lay, const QString& para, int underlineAt, int width, std::vector<Line>& out) {
  int start = 0;
  const int n = static_cast<int>(para.size());
  while (start <= n) {
    int end = start, lastBreak = -1;
    while (end < n) {
      if (para[end] == QLatin1Char(' ')) lastBreak = end;
      if (lay.Width(para.mid(start, end - start + 1)) > width && end > start) break;
      ++end;
    }
    int cut = end;
    int next = end;
    if (end < n) {
      if (lastBreak >= start && lastBreak < end) {
        cut = lastBreak;
        next = lastBreak + 1;
      } else {
        // No blank before the edge: the word runs on to its end.
        while (cut < n && para[cut] != QLatin1Char(' ')) ++cut;
        next = cut < n ? cut + 1 : cut;
      }
    }
    Line l{para.mid(start, cut - start), -1};
    if (underlineAt >= start && underlineAt < cut) l.underlineAt = underlineAt - start;
    out.push_back(l);
    if (next >= n) break;
    start = next;
  }
}

QString Ellipsis(const Layout& lay, const QString& s, int width) {
  if (lay.Width(s) <= width) return s;
  const QString dots = QStringLiteral("...");
  QString cut = s;
  while (!cut.isEmpty() && lay.Width(cut + dots) > width) cut.chop(1);
  return cut + dots;
}

int DrawTextQ(HDC h, const QString& raw, RECT* r, UINT format) {
  QvDc* dc = Dc(h);
  if (!dc || !r || !HaveGui()) return 0;
  Layout lay(*dc);
  QString text = raw;
  if (format & DT_EXPANDTABS) text = ExpandTabs(text);
  std::vector<QString> paras;
  if (format & DT_SINGLELINE) {
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    paras.push_back(text);
  } else if (!text.isEmpty()) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    paras = [&] {
      std::vector<QString> v;
      for (const QString& p : text.split(QLatin1Char('\n'))) v.push_back(p);
      return v;
    }();
  }
  const int width = r->right - r->left;
  std::vector<Line> lines;
  for (const QString& p : paras) {
    int underlineAt = -1;
    const QString shown = (format & DT_NOPREFIX) ? p : StripPrefix(p, &underlineAt);
    if (format & DT_HIDEPREFIX) underlineAt = -1;
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE)) {
      Wrap(lay, shown, underlineAt, width, lines);
    } else {
      lines.push_back(Line{shown, underlineAt});
    }
  }
  if (raw.isEmpty()) lines.clear();
  if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))
    for (Line& l : lines) {
      const QString cut = Ellipsis(lay, l.text, width);
      if (cut != l.text && l.underlineAt >= static_cast<int>(cut.size()) - 3) l.underlineAt = -1;
      l.text = cut;
    }
  const int lineH = lay.Height() + ((format & DT_EXTERNALLEADING) ? std::max(0, lay.fm.leading()) : 0);
  const int total = lineH * static_cast<int>(lines.size());
  if (format & DT_CALCRECT) {
    int maxW = 0;
    for (const Line& l : lines) maxW = std::max(maxW, lay.Width(l.text));
    r->right = r->left + maxW;
    r->bottom = r->top + total;
    return total;
  }
  int y = r->top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER) y = r->top + (r->bottom - r->top - lineH) / 2;
    else if (format & DT_BOTTOM) y = r->bottom - lineH;
  }
  const RECT limit = LogicalToSurface(*dc, *r);
  for (const Line& l : lines) {
    const int lw = lay.Width(l.text);
    int x = r->left;
    if (format & DT_CENTER) x = r->left + (width - lw) / 2;
    else if (format & DT_RIGHT) x = r->right - lw;
    Render(*dc, lay, ToSurface(*dc, x, y), QPoint(0, 0), l.text, l.underlineAt, 0.0,
           (format & DT_NOCLIP) ? nullptr : &limit);
    y += lineH;
  }
  if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) return y - r->top;
  return total;
}

BOOL TextOutQ(HDC h, int x, int y, const QString& text) {
  QvDc* dc = Dc(h);
  if (!dc || !HaveGui()) return FALSE;
  Layout lay(*dc);
  const int w = lay.Width(text), hgt = lay.Height();
  const UINT align = dc->st.textAlign;
  const bool updateCp = (align & TA_UPDATECP) != 0;
  const POINT at = updateCp ? dc->st.position : POINT{x, y};
  int ox = 0, oy = 0;
  switch (align & TA_CENTER) {
    case TA_RIGHT: ox = -w; break;
    case TA_CENTER: ox = -w / 2; break;
    default: break;
  }
  switch (align & TA_BASELINE) {
    case TA_BOTTOM: oy = -hgt; break;
    case TA_BASELINE: oy = -lay.Ascent(); break;
    default: break;
  }
  QvGdiObject* f = Object(dc->st.font, OBJ_FONT);
  const double angle = f ? f->font.lfEscapement / 10.0 : 0.0;
  Render(*dc, lay, ToSurface(*dc, at.x, at.y), QPoint(ox, oy), text, -1, angle, nullptr);
  if (updateCp) {
    if ((align & TA_CENTER) == TA_LEFT) dc->st.position.x += w;
    else if ((align & TA_CENTER) == TA_RIGHT) dc->st.position.x -= w;
  }
  return TRUE;
}

QString FromAnsi(LPCSTR s, int len) {
  if (!s) return QString();
  return QString::fromUtf8(s, len < 0 ? static_cast<int>(std::strlen(s)) : len);
}
QString FromWide(LPCWSTR s, int len) {
  if (!s) return QString();
  if (len < 0) {
    len = 0;
    while (s[len]) ++len;
  }
  return QString::fromWCharArray(s, len);
}

}  // namespace

QString FaceFamily(const char* face) {
  if (const FaceMap* f = FindFace(face)) return QString::fromLatin1(f->family);
  return QString::fromUtf8(face);
}

QvGdiObject& ResolvedFont(QvGdiObject* obj) {
  static QvGdiObject* fallback = Object(GetStockObject(SYSTEM_FONT));
  if (!obj) obj = fallback;
  if (obj->qfont) return *obj;
  const LOGFONTA& lf = obj->font;
  const FaceMap* map = FindFace(lf.lfFaceName);
  QFont q(FaceFamily(lf.lfFaceName));
  obj->smooth = map && map->smooth && lf.lfQuality != NONANTIALIASED_QUALITY;
  q.setStyleStrategy(obj->smooth ? QFont::PreferAntialias : QFont::NoAntialias);
  // Crisp faces snap to the pixel grid as GDI's do: whole-pixel advances.
  if (!obj->smooth) q.setHintingPreference(QFont::PreferFullHinting);
  q.setKerning(false);
  q.setWeight(static_cast<QFont::Weight>(std::clamp<int>(lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight, 1, 1000)));
  q.setItalic(lf.lfItalic != 0);
  q.setUnderline(lf.lfUnderline != 0);
  q.setStrikeOut(lf.lfStrikeOut != 0);
  // The cell per pixel of character height: the Windows face's where given.
  const bool ownCell = map && map->ascent > 0;
  double ratio = ownCell ? map->ascent + map->descent : 0;
  if (!ownCell) {
    QFont probe = q;
    probe.setPixelSize(100);
    ratio = QFontMetricsF(probe).height() / 100.0;
  }
  if (ratio <= 0) ratio = 1.0;
  // A negative height is the character height, a positive one the cell; 0 asks
  // for the default cell of 16.
  const int cell = lf.lfHeight > 0 ? lf.lfHeight : lf.lfHeight == 0 ? 16 : 0;
  const int em = cell > 0 ? std::max(1, static_cast<int>(std::lround(cell / ratio))) : std::max(1, -lf.lfHeight);
  q.setPixelSize(em);
  obj->strikeBold = map && map->strikeBold && !obj->smooth && lf.lfWeight >= FW_SEMIBOLD && em < 16;
  if (obj->strikeBold) q.setLetterSpacing(QFont::AbsoluteSpacing, 1);  // each advance a pixel wider
  if (lf.lfWidth > 0) {
    const int avg = QFontMetrics(q).averageCharWidth();
    if (avg > 0) q.setStretch(std::clamp<int>(static_cast<int>(lf.lfWidth * 100 / avg), 1, 4000));
  }
  const QFontMetrics fm(q);
  if (ownCell) {
    obj->ascent = static_cast<int>(std::lround(em * map->ascent));
    obj->descent = static_cast<int>(std::lround(em * map->descent));
  } else {
    obj->ascent = fm.ascent();
    obj->descent = fm.descent();
  }
  if (cell > 0) obj->descent = std::max(0, cell - obj->ascent);
  obj->qfont = std::make_unique<QFont>(q);
  return *obj;
}

}  // namespace qv::gdi

using namespace qv::gdi;

BOOL GetTextMetricsA(HDC h, TEXTMETRICA* tm) {
  QvDc* dc = Dc(h);
  if (!dc || !tm || !HaveGui()) return FALSE;
  QvGdiObject* f = &ResolvedFont(Object(dc->st.font, OBJ_FONT));
  const QFont& font = *f->qfont;
  const QFontMetrics fm(font);
  *tm = TEXTMETRICA{};
  tm->tmHeight = f->ascent + f->descent;
  tm->tmAscent = f->ascent;
  tm->tmDescent = f->descent;
  tm->tmInternalLeading = std::max(0, tm->tmHeight - font.pixelSize());
  tm->tmExternalLeading = std::max(0, fm.leading());
  tm->tmAveCharWidth = fm.averageCharWidth();
  tm->tmMaxCharWidth = fm.maxWidth();
  tm->tmWeight = f->font.lfWeight == 0 ? FW_NORMAL : f->font.lfWeight;
  tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = 96;
  tm->tmFirstChar = 0x20;
  tm->tmLastChar = 0xFF;
  tm->tmDefaultChar = 0x1F;
  tm->tmBreakChar = 0x20;
  tm->tmItalic = f->font.lfItalic;
  tm->tmUnderlined = f->font.lfUnderline;
  tm->tmStruckOut = f->font.lfStrikeOut;
  // As Windows: the low bit set means a variable pitch; 4 marks an outline font.
  const bool fixed = (f->font.lfPitchAndFamily & 0x3) == FIXED_PITCH || QFontInfo(font).fixedPitch();
  tm->tmPitchAndFamily = static_cast<BYTE>((fixed ? 0 : 1) | 4 | (f->font.lfPitchAndFamily & 0xF0));
  tm->tmCharSet = f->font.lfCharSet;
  return TRUE;
}

BOOL GetTextExtentPoint32A(HDC h, LPCSTR s, int len, SIZE* size) {
  QvDc* dc = Dc(h);
  if (!dc || !size || !HaveGui() || (!s && len > 0)) return FALSE;
  const QvGdiObject& f = ResolvedFont(Object(dc->st.font, OBJ_FONT));
  *size = SIZE{Layout(f).Width(FromAnsi(s, std::max(len, 0))), f.ascent + f.descent};
  return TRUE;
}

BOOL GetTextExtentPoint32W(HDC h, LPCWSTR s, int len, SIZE* size) {
  QvDc* dc = Dc(h);
  if (!dc || !size || !HaveGui() || (!s && len > 0)) return FALSE;
  const QvGdiObject& f = ResolvedFont(Object(dc->st.font, OBJ_FONT));
  *size = SIZE{Layout(f).Width(FromWide(s, std::max(len, 0))), f.ascent + f.descent};
  return TRUE;
}

int GetTextFaceA(HDC h, int size, LPSTR out) {
  QvDc* dc = Dc(h);
  QvGdiObject* f = dc ? Object(dc->st.font, OBJ_FONT) : nullptr;
  if (!f) return 0;
  const int n = static_cast<int>(std::strlen(f->font.lfFaceName));
  if (!out) return n + 1;
  if (size <= 0) return 0;
  return static_cast<int>(qv::CopyBoundedText(f->font.lfFaceName, out, static_cast<std::size_t>(size)));
}

BOOL TextOutA(HDC h, int x, int y, LPCSTR s, int len) {
  if (len < 0 || (!s && len > 0)) return FALSE;
  return TextOutQ(h, x, y, FromAnsi(s, len));
}

BOOL TextOutW(HDC h, int x, int y, LPCWSTR s, int len) {
  if (len < 0 || (!s && len > 0)) return FALSE;
  return TextOutQ(h, x, y, FromWide(s, len));
}

BOOL ExtTextOutA(HDC h, int x, int y, UINT options, const RECT* r, LPCSTR s, UINT len, const int*) {
  QvDc* dc = Dc(h);
  if (!dc) return FALSE;
  if ((options & ETO_OPAQUE) && r) FillSolid(*dc, *r, dc->st.bk);
  if (len == 0 || !s) return TRUE;
  if (!(options & ETO_CLIPPED) || !r) return TextOutA(h, x, y, s, static_cast<int>(len));
  const int saved = SaveDC(h);
  IntersectClipRect(h, r->left, r->top, r->right, r->bottom);
  const BOOL ok = TextOutA(h, x, y, s, static_cast<int>(len));
  RestoreDC(h, saved);
  return ok;
}

int DrawTextA(HDC h, LPCSTR s, int len, RECT* r, UINT format) {
  if (!s) return 0;
  return DrawTextQ(h, FromAnsi(s, len), r, format);
}

int DrawTextW(HDC h, LPCWSTR s, int len, RECT* r, UINT format) {
  if (!s) return 0;
  return DrawTextQ(h, FromWide(s, len), r, format);
}
