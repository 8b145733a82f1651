// The "Edit" class on a QLineEdit.

#include "platform/win32/standard/edit.h"

#include <QLineEdit>
#include <QMenu>
#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/core/bounded_text.h"
#include "platform/win32/standard/qt_control.h"
#include "platform/win32/standard/standard_procs.h"

namespace qv::win32 {
namespace {

// Windows' limit of a single-line edit without EM_LIMITTEXT; 0 there means
// "as much as fits", which QLineEdit caps at its own maximum.
constexpr int kDefaultLimit = 30000;
constexpr int kLargestLimit = 0x7FFFFFFE;

struct EditState {
  std::unique_ptr<QtControl> control;
  QLineEdit* line = nullptr;
  int limit = kDefaultLimit;
};

UINT ColourMessage(HWND hwnd) {
  const DWORD style = GetWindowStyle(hwnd);
  // Read-only and disabled edits colour as statics do.
  return (style & ES_READONLY) || (style & WS_DISABLED) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
}

std::string TextOf(const EditState& s) { return s.line->text().toStdString(); }

void SetText(HWND hwnd, EditState& s, const char* text) {
  {
    const QSignalBlocker block(s.line);
    s.line->setText(QString::fromUtf8(text ? text : ""));
    s.line->setCursorPosition(0);
  }
  NotifyParent(hwnd, EN_CHANGE);
}

int CharsToBytes(const QString& text, int chars) {
  return static_cast<int>(text.left(std::clamp(chars, 0, static_cast<int>(text.size()))).toUtf8().size());
}
int BytesToChars(const QString& text, int bytes) {
  const QByteArray utf8 = text.toUtf8();
  return static_cast<int>(QString::fromUtf8(utf8.left(std::clamp(bytes, 0, static_cast<int>(utf8.size())))).size());
}

void Create(HWND hwnd) {
  auto w = Lookup(hwnd);
  EditState* s = MakeState<EditState>(hwnd);
  if (!w || !s) return;
  const DWORD style = w->style;
  auto* line = new QLineEdit;
  s->line = line;
  line->setFrame(false);
  line->setText(QString::fromStdString(w->text));
  line->setCursorPosition(0);
  line->setReadOnly((style & ES_READONLY) != 0);
  line->setMaxLength(s->limit);
  if (style & ES_PASSWORD) line->setEchoMode(QLineEdit::Password);
  if (style & ES_CENTER) line->setAlignment(Qt::AlignCenter);
  if (style & ES_RIGHT) line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  s->control = std::make_unique<QtControl>(
      hwnd, line, [hwnd, line] { return QtControl::ApplyLook(line, QueryControlLook(hwnd, ColourMessage(hwnd))); });
  ApplyClassicStyle(line);
  QObject::connect(line, &QLineEdit::textEdited, [hwnd] { NotifyParent(hwnd, EN_CHANGE); });
}

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    Create(hwnd);
    return 0;
  }
  EditState* s = StateOf<EditState>(hwnd);
  if (!s || !s->line) return DefWindowProc(hwnd, msg, wParam, lParam);
  LRESULT result = 0;
  switch (msg) {
    case WM_SETTEXT:
      SetText(hwnd, *s, reinterpret_cast<const char*>(lParam));
      return TRUE;
    case WM_GETTEXT:
      return static_cast<LRESULT>(qv::CopyBoundedText(TextOf(*s), reinterpret_cast<char*>(lParam), wParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(TextOf(*s).size());
    case WM_GETDLGCODE:
      return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_ENABLE:
      s->line->update();
      return 0;
    case EM_SETSEL: {
      const QString text = s->line->text();
      const int start = static_cast<int>(static_cast<std::intptr_t>(wParam));
      const int end = static_cast<int>(lParam);
      if (start == -1) {
        s->line->deselect();
        return 0;
      }
      const int length = static_cast<int>(text.size());
      const int from = std::clamp(BytesToChars(text, start), 0, length);
      const int to = end < 0 ? length : std::clamp(BytesToChars(text, end), 0, length);
      // The caret sits at the end given last, as on Windows.
      s->line->setSelection(from, to - from);
      if (from == to) s->line->setCursorPosition(to);
      return 0;
    }
    case EM_GETSEL: {
      const QString text = s->line->text();
      int from = s->line->cursorPosition(), to = from;
      if (s->line->hasSelectedText()) {
        from = s->line->selectionStart();
        to = s->line->selectionEnd();
      }
      const int a = CharsToBytes(text, from), b = CharsToBytes(text, to);
      if (wParam) *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(a);
      if (lParam) *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(b);
      return MAKELPARAM(a, b);
    }
    case EM_SCROLLCARET:
      // A QLineEdit keeps its cursor in view whenever the cursor or the
      // selection moves; moving it again here would drop the selection.
      s->line->update();
      return TRUE;
    case EM_REPLACESEL:
      s->line->insert(QString::fromUtf8(reinterpret_cast<const char*>(lParam)));
      NotifyParent(hwnd, EN_CHANGE);
      return 0;
    case EM_LIMITTEXT:
      s->limit = wParam == 0 ? kLargestLimit : static_cast<int>(std::min<WPARAM>(wParam, kLargestLimit));
      s->line->setMaxLength(s->limit);
      return 0;
    case EM_GETLIMITTEXT:
      return s->limit;
    case EM_SETREADONLY: {
      const DWORD style = GetWindowStyle(hwnd);
      SetWindowStyle(hwnd, wParam ? (style | ES_READONLY) : (style & ~ES_READONLY));
      s->line->setReadOnly(wParam != 0);
      s->line->update();
      return TRUE;
    }
    case EM_GETMODIFY:
      return s->line->isModified() ? TRUE : FALSE;
    case EM_SETMODIFY:
      s->line->setModified(wParam != 0);
      return 0;
    case EM_GETLINECOUNT:
      return 1;
    case WM_CONTEXTMENU: {
      // The edit's own menu, at the click or, from the keyboard (-1, -1), at the caret.
      QPoint at(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      if (at == QPoint(-1, -1)) at = s->line->mapToGlobal(s->line->inputMethodQuery(Qt::ImCursorRectangle).toRect().center());
      const std::unique_ptr<QMenu> menu(s->line->createStandardContextMenu());
      ApplyClassicStyle(menu.get());
      menu->exec(at);
      return 0;
    }
    default:
      if (s->control->Handle(msg, wParam, lParam, &result)) return result;
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

WNDPROC EditClassProc() { return EditProc; }

}  // namespace qv::win32

IMPLEMENT_DYNAMIC(CEdit, CWnd)

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(WC_EDIT, "", style, rect, parent, id);
}
