// The "ComboBox" class on a QComboBox: CBS_DROPDOWNLIST and CBS_DROPDOWN.

#include "platform/win32/standard/combo_box.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/core/bounded_text.h"
#include "platform/win32/standard/qt_control.h"
#include "platform/win32/standard/standard_procs.h"

namespace qv::win32 {
namespace {

// Tells the window when its list drops down and closes. Enter and Esc in the
// open list are the window's keys (WM_KEYDOWN below), not Qt's shortcut
// handling, which would close the list before the key press reaches the
// dialog and so leave the press to the dialog's buttons.
class Combo : public QComboBox {
 public:
  explicit Combo(HWND hwnd) : hwnd_(hwnd) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == view() && event->type() == QEvent::ShortcutOverride) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->accept();
        return true;
      }
    }
    return QComboBox::eventFilter(watched, event);
  }
  void showPopup() override {
    if (Lookup(hwnd_)) NotifyParent(hwnd_, CBN_DROPDOWN);
    ApplyClassicStyle(view());
    QComboBox::showPopup();
    // Without a selection nothing is marked, and the first Down marks the
    // first item (Qt's list would start from it when it takes the focus).
    if (currentIndex() < 0) view()->setCurrentIndex(QModelIndex());
  }
  void hidePopup() override {
    QComboBox::hidePopup();
    if (Lookup(hwnd_)) NotifyParent(hwnd_, CBN_CLOSEUP);
  }

 private:
  HWND hwnd_;
};

struct ComboState {
  std::unique_ptr<QtControl> control;
  Combo* combo = nullptr;
  int droppedHeight = 0;  // the template's height: field and list together
  bool programmatic = false;
};

class Quiet {
 public:
  explicit Quiet(ComboState& s) : s_(s), was_(s.programmatic) { s_.programmatic = true; }
  ~Quiet() { s_.programmatic = was_; }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;

 private:
  ComboState& s_;
  bool was_;
};

bool Valid(const ComboState& s, WPARAM index) {
  return static_cast<std::intptr_t>(index) >= 0 && static_cast<std::intptr_t>(index) < s.combo->count();
}

bool IsDropDownList(HWND hwnd) { return (GetWindowStyle(hwnd) & 3) == CBS_DROPDOWNLIST; }

// The closed combo box is as high as its field, which the font decides (21
// pixels for the dialog font); the rest of the template's height is the list's.
void FitFieldHeight(HWND hwnd, ComboState& s) {
  TEXTMETRICA tm{};
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, s.control->Font() ? s.control->Font() : DefaultControlFont());
  GetTextMetricsA(dc, &tm);
  DeleteDC(dc);
  const int field = tm.tmHeight + 8;
  s.combo->setMaxVisibleItems(std::max(1, (s.droppedHeight - field) / std::max<int>(1, tm.tmHeight)));
  auto w = Lookup(hwnd);
  if (w && w->rect.height() != field) SetWindowPos(hwnd, nullptr, 0, 0, w->rect.width(), field, SWP_NOMOVE | SWP_NOZORDER);
}

bool Colour(HWND hwnd, const ComboState& s) {
  const UINT field = IsWindowEnabled(hwnd) ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC;
  bool changed = QtControl::ApplyLook(s.combo, QueryControlLook(hwnd, field));
  if (s.combo->lineEdit()) changed |= QtControl::ApplyLook(s.combo->lineEdit(), QueryControlLook(hwnd, field));
  changed |= QtControl::ApplyLook(s.combo->view(), QueryControlLook(hwnd, WM_CTLCOLORLISTBOX));
  return changed;
}

int FindExact(const ComboState& s, WPARAM after, const char* text) {
  const QString t = QString::fromUtf8(text ? text : "");
  const int count = s.combo->count();
  const int first = static_cast<int>(static_cast<std::intptr_t>(after)) + 1;
  for (int k = 0; k < count; ++k) {
    const int i = ((first < 0 ? 0 : first) + k) % count;
    if (QString::compare(s.combo->itemText(i), t, Qt::CaseInsensitive) == 0) return i;
  }
  return static_cast<int>(CB_ERR);
}

// Typing in the field selects the item of that text, or none: the selection
// never goes on naming an item that the field no longer shows. Quiet, as on
// Windows, where typing sends CBN_EDITCHANGE but no CBN_SELCHANGE.
void FollowField(ComboState& s, const QString& text) {
  const int match = FindExact(s, static_cast<WPARAM>(-1), text.toUtf8().constData());
  if (match == s.combo->currentIndex()) return;
  Quiet quiet(s);
  QLineEdit* field = s.combo->lineEdit();
  const int cursor = field->cursorPosition();
  s.combo->setCurrentIndex(match);
  field->setText(text);
  field->setCursorPosition(cursor);
}

void Create(HWND hwnd) {
  auto w = Lookup(hwnd);
  ComboState* s = MakeState<ComboState>(hwnd);
  if (!w || !s) return;
  w->bars[SB_VERT].visible = false;
  w->bars[SB_HORZ].visible = false;
  w->style = w->style & ~(WS_VSCROLL | WS_HSCROLL);
  s->droppedHeight = w->rect.height();
  auto* combo = new Combo(hwnd);
  s->combo = combo;
  combo->setEditable(!IsDropDownList(hwnd));
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  combo->setMinimumSize(1, 1);
  ComboState* state = s;
  s->control = std::make_unique<QtControl>(hwnd, combo, [hwnd, state] { return Colour(hwnd, *state); });
  s->control->Watch(combo->view());
  combo->view()->installEventFilter(combo);
  if (combo->lineEdit()) {
    combo->lineEdit()->setText(QString::fromStdString(w->text));
    // The field completes nothing by itself, as on Windows.
    combo->setCompleter(nullptr);
    s->control->Watch(combo->lineEdit());
    QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, [hwnd, state](const QString& text) {
      if (!Lookup(hwnd)) return;
      FollowField(*state, text);
      NotifyParent(hwnd, CBN_EDITCHANGE);
    });
  }
  ApplyClassicStyle(combo);
  QObject::connect(combo, &QComboBox::currentIndexChanged, [hwnd, state](int) {
    if (!Lookup(hwnd) || state->programmatic) return;
    NotifyParent(hwnd, CBN_SELCHANGE);
  });
  FitFieldHeight(hwnd, *s);
}

LRESULT Insert(ComboState& s, int index, const char* text) {
  if (index < 0 || index > s.combo->count()) index = s.combo->count();
  Quiet quiet(s);
  const int before = s.combo->currentIndex();
  const QString field = s.combo->lineEdit() ? s.combo->lineEdit()->text() : QString();
  s.combo->insertItem(index, QString::fromUtf8(text ? text : ""));
  // A QComboBox selects its first item by itself; a Windows combo box keeps
  // no selection until one is made.
  if (before < 0) s.combo->setCurrentIndex(-1);
  if (s.combo->lineEdit()) s.combo->lineEdit()->setText(field);
  return index;
}

int SortedPosition(const ComboState& s, const QString& text) {
  for (int i = 0; i < s.combo->count(); ++i)
    if (QString::compare(s.combo->itemText(i), text, Qt::CaseInsensitive) > 0) return i;
  return s.combo->count();
}

// Enter takes the item that the arrows marked in the open list (a user's
// choice: CBN_SELCHANGE when it differs); Esc leaves the selection.
void CloseList(ComboState& s, bool take) {
  const QModelIndex marked = s.combo->view()->currentIndex();
  s.combo->hidePopup();
  if (take && marked.isValid() && marked.row() != s.combo->currentIndex()) s.combo->setCurrentIndex(marked.row());
}

std::string FieldText(const ComboState& s) {
  if (s.combo->lineEdit()) return s.combo->lineEdit()->text().toStdString();
  return s.combo->currentIndex() >= 0 ? s.combo->currentText().toStdString() : std::string();
}

LRESULT ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    Create(hwnd);
    return 0;
  }
  ComboState* s = StateOf<ComboState>(hwnd);
  if (!s || !s->combo) return DefWindowProc(hwnd, msg, wParam, lParam);
  LRESULT result = 0;
  switch (msg) {
    case CB_ADDSTRING: {
      const char* text = reinterpret_cast<const char*>(lParam);
      const int at = (GetWindowStyle(hwnd) & CBS_SORT) ? SortedPosition(*s, QString::fromUtf8(text ? text : ""))
                                                        : s->combo->count();
      return Insert(*s, at, text);
    }
    case CB_INSERTSTRING:
      if (static_cast<std::intptr_t>(wParam) > s->combo->count()) return CB_ERR;
      return Insert(*s, static_cast<int>(static_cast<std::intptr_t>(wParam)), reinterpret_cast<const char*>(lParam));
    case CB_DELETESTRING: {
      if (!Valid(*s, wParam)) return CB_ERR;
      Quiet quiet(*s);
      s->combo->removeItem(static_cast<int>(wParam));
      return s->combo->count();
    }
    case CB_RESETCONTENT: {
      Quiet quiet(*s);
      s->combo->clear();
      if (s->combo->lineEdit()) s->combo->lineEdit()->clear();
      return CB_OKAY;
    }
    case CB_GETCOUNT:
      return s->combo->count();
    case CB_GETCURSEL:
      return s->combo->currentIndex() >= 0 ? s->combo->currentIndex() : CB_ERR;
    case CB_SETCURSEL: {
      Quiet quiet(*s);
      if (!Valid(*s, wParam)) {
        s->combo->setCurrentIndex(-1);
        if (s->combo->lineEdit()) s->combo->lineEdit()->clear();
        return CB_ERR;
      }
      s->combo->setCurrentIndex(static_cast<int>(wParam));
      return static_cast<LRESULT>(wParam);
    }
    case CB_GETLBTEXT: {
      if (!Valid(*s, wParam) || !lParam) return CB_ERR;
      const QByteArray text = s->combo->itemText(static_cast<int>(wParam)).toUtf8();
      std::memcpy(reinterpret_cast<char*>(lParam), text.constData(), static_cast<size_t>(text.size()) + 1);
      return text.size();
    }
    case CB_GETLBTEXTLEN:
      return Valid(*s, wParam) ? s->combo->itemText(static_cast<int>(wParam)).toUtf8().size() : CB_ERR;
    case CB_FINDSTRINGEXACT:
      return FindExact(*s, wParam, reinterpret_cast<const char*>(lParam));
    case CB_GETITEMDATA:
      return Valid(*s, wParam) ? s->combo->itemData(static_cast<int>(wParam)).toLongLong() : CB_ERR;
    case CB_SETITEMDATA:
      if (!Valid(*s, wParam)) return CB_ERR;
      s->combo->setItemData(static_cast<int>(wParam), static_cast<qlonglong>(lParam));
      return CB_OKAY;
    case CB_SHOWDROPDOWN:
      if (wParam)
        s->combo->showPopup();
      else
        s->combo->hidePopup();
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return s->combo->view()->isVisible() ? TRUE : FALSE;
    case CB_LIMITTEXT:
      if (!s->combo->lineEdit()) return CB_ERR;
      s->combo->lineEdit()->setMaxLength(wParam == 0 ? 32767 : static_cast<int>(std::min<WPARAM>(wParam, 32767)));
      return TRUE;
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      if (s->combo->lineEdit()) {
        s->combo->lineEdit()->setText(QString::fromUtf8(text ? text : ""));
        return TRUE;
      }
      // A drop-down list shows only its items: the text selects one.
      const int i = FindExact(*s, static_cast<WPARAM>(-1), text);
      if (i < 0) return CB_ERR;
      Quiet quiet(*s);
      s->combo->setCurrentIndex(i);
      return TRUE;
    }
    case WM_GETTEXT:
      return static_cast<LRESULT>(qv::CopyBoundedText(FieldText(*s), reinterpret_cast<char*>(lParam), wParam));
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(FieldText(*s).size());
    case WM_GETDLGCODE: {
      // An open list takes Enter and Esc for itself: they close it (taking
      // the marked item or not) instead of pressing the dialog's buttons.
      const MSG* m = reinterpret_cast<const MSG*>(lParam);
      const bool closesList = m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_ESCAPE);
      return DLGC_WANTARROWS | DLGC_WANTCHARS | (closesList && s->combo->view()->isVisible() ? DLGC_WANTMESSAGE : 0);
    }
    case WM_SETFONT:
      s->control->Handle(msg, wParam, lParam, &result);
      s->combo->view()->setFont(s->combo->font());
      FitFieldHeight(hwnd, *s);
      return 0;
    case WM_ENABLE:
      s->combo->update();
      return 0;
    case WM_KEYDOWN:
      if ((wParam == VK_RETURN || wParam == VK_ESCAPE) && s->combo->view()->isVisible()) {
        CloseList(*s, wParam == VK_RETURN);
        return 0;
      }
      break;
    case WM_CHAR:
      // Enter and Esc type nothing into a combo box.
      if (wParam == '\r' || wParam == 0x1B) return 0;
      break;
    default:
      break;
  }
  if (s->control->Handle(msg, wParam, lParam, &result)) return result;
  return DefWindowProc(hwnd, msg, wParam, lParam);
}

}  // namespace

WNDPROC ComboBoxClassProc() { return ComboBoxProc; }

}  // namespace qv::win32

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(WC_COMBOBOX, "", style, rect, parent, id);
}

void CComboBox::GetLBText(int index, CString& text) const {
  const int length = GetLBTextLen(index);
  if (length < 0) {
    text.Empty();
    return;
  }
  std::string buffer(static_cast<size_t>(length) + 1, '\0');
  GetLBText(index, buffer.data());
  text = CString(buffer.c_str());
}
