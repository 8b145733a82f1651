// The "ListBox" class on a QListWidget: single selection.

#include "platform/win32/standard/list_box.h"

#include <QListWidget>
#include <cstring>
#include <memory>

#include "platform/win32/standard/qt_control.h"
#include "platform/win32/standard/standard_procs.h"

namespace qv::win32 {
namespace {

// A Windows list box of one selection never loses it to a click: Ctrl+click
// or Ctrl+Space on the selected row, or a click below the last row, keeps it.
class List : public QListWidget {
 protected:
  QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override {
    const QItemSelectionModel::SelectionFlags flags = QListWidget::selectionCommand(index, event);
    if (!index.isValid()) return QItemSelectionModel::NoUpdate;
    if (flags & (QItemSelectionModel::Toggle | QItemSelectionModel::Deselect))
      return QItemSelectionModel::ClearAndSelect;
    return flags;
  }
};

struct ListBoxState {
  std::unique_ptr<QtControl> control;
  QListWidget* list = nullptr;
  bool programmatic = false;  // the change is ours, not the user's: no notification
  int notified = -1;          // the selected row when the parent last heard of it
};

// The selected row; -1 for none. Qt moves the current row and the selection
// one after the other, in either order: only the selection is what
// LB_GETCURSEL answers.
int SelectedRow(const ListBoxState& s) {
  const QModelIndexList rows = s.list->selectionModel()->selectedIndexes();
  return rows.isEmpty() ? -1 : rows.first().row();
}

// A change of ours: no notification, and the row it leaves selected is the
// one the parent knows (removing rows moves the selection without a signal).
class Quiet {
 public:
  explicit Quiet(ListBoxState& s) : s_(s), was_(s.programmatic) { s_.programmatic = true; }
  ~Quiet() {
    s_.programmatic = was_;
    s_.notified = SelectedRow(s_);
  }
  Quiet(const Quiet&) = delete;
  Quiet& operator=(const Quiet&) = delete;

 private:
  ListBoxState& s_;
  bool was_;
};

bool Valid(const ListBoxState& s, WPARAM index) {
  return static_cast<std::intptr_t>(index) >= 0 && static_cast<std::intptr_t>(index) < s.list->count();
}

// Where LBS_SORT puts a new item: before the first that compares greater,
// without regard to case.
int SortedPosition(const ListBoxState& s, const QString& text) {
  for (int i = 0; i < s.list->count(); ++i)
    if (QString::compare(s.list->item(i)->text(), text, Qt::CaseInsensitive) > 0) return i;
  return s.list->count();
}

LRESULT Insert(ListBoxState& s, int index, const char* text) {
  if (index < 0 || index > s.list->count()) index = s.list->count();
  Quiet quiet(s);
  s.list->insertItem(index, QString::fromUtf8(text ? text : ""));
  return index;
}

void Create(HWND hwnd) {
  auto w = Lookup(hwnd);
  ListBoxState* s = MakeState<ListBoxState>(hwnd);
  if (!w || !s) return;
  // The list scrolls itself: the window's own scroll bar would be a second one.
  w->bars[SB_VERT].visible = false;
  w->bars[SB_HORZ].visible = false;
  w->style = w->style & ~(WS_VSCROLL | WS_HSCROLL);
  auto* list = new List;
  s->list = list;
  list->setFrameShape(QFrame::NoFrame);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setUniformItemSizes(true);
  list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  s->control = std::make_unique<QtControl>(
      hwnd, list, [hwnd, list] { return QtControl::ApplyLook(list, QueryControlLook(hwnd, WM_CTLCOLORLISTBOX)); });
  ApplyClassicStyle(list);
  ListBoxState* state = s;
  // The parent hears of a change once the selection has moved, whichever way
  // the user moved it, so that LB_GETCURSEL in its handler answers the new row.
  QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, [hwnd, state] {
    if (!Lookup(hwnd)) return;
    const int row = SelectedRow(*state);
    if (state->programmatic || row == state->notified) return;
    state->notified = row;
    if (GetWindowStyle(hwnd) & LBS_NOTIFY) NotifyParent(hwnd, LBN_SELCHANGE);
  });
  QObject::connect(list, &QListWidget::itemDoubleClicked, [hwnd] {
    if (Lookup(hwnd) && (GetWindowStyle(hwnd) & LBS_NOTIFY)) NotifyParent(hwnd, LBN_DBLCLK);
  });
}

LRESULT CopyItemText(const ListBoxState& s, WPARAM index, LPARAM buffer) {
  if (!Valid(s, index) || !buffer) return LB_ERR;
  const QByteArray text = s.list->item(static_cast<int>(index))->text().toUtf8();
  std::memcpy(reinterpret_cast<char*>(buffer), text.constData(), static_cast<size_t>(text.size()) + 1);
  return text.size();
}

LRESULT ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    Create(hwnd);
    return 0;
  }
  ListBoxState* s = StateOf<ListBoxState>(hwnd);
  if (!s || !s->list) return DefWindowProc(hwnd, msg, wParam, lParam);
  LRESULT result = 0;
  switch (msg) {
    case LB_ADDSTRING: {
      const char* text = reinterpret_cast<const char*>(lParam);
      const int at = (GetWindowStyle(hwnd) & LBS_SORT) ? SortedPosition(*s, QString::fromUtf8(text ? text : ""))
                                                        : s->list->count();
      return Insert(*s, at, text);
    }
    case LB_INSERTSTRING:
      if (static_cast<std::intptr_t>(wParam) > s->list->count()) return LB_ERR;
      return Insert(*s, static_cast<int>(static_cast<std::intptr_t>(wParam)), reinterpret_cast<const char*>(lParam));
    case LB_DELETESTRING: {
      if (!Valid(*s, wParam)) return LB_ERR;
      Quiet quiet(*s);
      delete s->list->takeItem(static_cast<int>(wParam));
      return s->list->count();
    }
    case LB_RESETCONTENT: {
      Quiet quiet(*s);
      s->list->clear();
      return 0;
    }
    case LB_GETCOUNT:
      return s->list->count();
    case LB_GETCURSEL: {
      const int row = SelectedRow(*s);
      return row >= 0 ? row : LB_ERR;
    }
    case LB_SETCURSEL: {
      Quiet quiet(*s);
      if (!Valid(*s, wParam)) {
        s->list->setCurrentRow(-1);
        s->list->clearSelection();
        return static_cast<std::intptr_t>(wParam) == -1 ? 0 : LB_ERR;
      }
      s->list->setCurrentRow(static_cast<int>(wParam));
      s->list->scrollToItem(s->list->currentItem());
      return static_cast<LRESULT>(wParam);
    }
    case LB_GETTEXT:
      return CopyItemText(*s, wParam, lParam);
    case LB_GETTEXTLEN:
      return Valid(*s, wParam) ? s->list->item(static_cast<int>(wParam))->text().toUtf8().size() : LB_ERR;
    case LB_FINDSTRINGEXACT: {
      const QString text = QString::fromUtf8(reinterpret_cast<const char*>(lParam));
      const int count = s->list->count();
      const int first = static_cast<int>(static_cast<std::intptr_t>(wParam)) + 1;
      for (int k = 0; k < count; ++k) {
        const int i = ((first < 0 ? 0 : first) + k) % count;
        if (QString::compare(s->list->item(i)->text(), text, Qt::CaseInsensitive) == 0) return i;
      }
      return LB_ERR;
    }
    case LB_GETITEMDATA:
      return Valid(*s, wParam) ? s->list->item(static_cast<int>(wParam))->data(Qt::UserRole).toLongLong() : LB_ERR;
    case LB_SETITEMDATA:
      if (!Valid(*s, wParam)) return LB_ERR;
      s->list->item(static_cast<int>(wParam))->setData(Qt::UserRole, static_cast<qlonglong>(lParam));
      return LB_OKAY;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_ENABLE:
      s->list->viewport()->update();
      return 0;
    default:
      if (s->control->Handle(msg, wParam, lParam, &result)) return result;
      return DefWindowProc(hwnd, msg, wParam, lParam);
  }
}

}  // namespace

WNDPROC ListBoxClassProc() { return ListBoxProc; }

}  // namespace qv::win32

IMPLEMENT_DYNAMIC(CListBox, CWnd)

BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  return CWnd::Create(WC_LISTBOX, "", style, rect, parent, id);
}

void CListBox::GetText(int index, CString& text) const {
  const int length = GetTextLen(index);
  if (length < 0) {
    text.Empty();
    return;
  }
  std::string buffer(static_cast<size_t>(length) + 1, '\0');
  GetText(index, buffer.data());
  text = CString(buffer.c_str());
}
