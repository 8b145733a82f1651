// TrackPopupMenu: the popup menu as a top-level window of its own at its
// screen position, with a modal loop that ends on a choice, Esc or a click
// outside every open level.

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/win32/application.h"
#include "platform/win32/gdi/gdi_qt.h"
#include "platform/win32/menu/menu_object.h"
#include "platform/win32/system/system.h"
#include "platform/win32/window_object.h"

namespace qv::win32 {
namespace {

HMENU g_measuring = nullptr;

constexpr int kFrame = 3;         // the raised frame round the entries
constexpr int kCheckColumn = 17;  // room for a check mark before a string entry's text
constexpr int kArrowColumn = 14;  // room for the arrow of a popup entry
constexpr int kShortcutGap = 20;  // between a label and its shortcut text
constexpr int kSeparatorHeight = 8;

struct Loop {
  UINT chosen = 0;
  bool done = false;
  QEventLoop events;
  void End(UINT id) {
    if (done) return;
    chosen = id;
    done = true;
    events.quit();
  }
};

// One level of an open menu: its entries laid out top to bottom.
class PopupWindow : public QWidget {
 public:
  PopupWindow(HMENU menu, HWND owner, Loop& loop, PopupWindow* parentLevel)
      : QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint), menu_(menu), owner_(owner), loop_(loop),
        parentLevel_(parentLevel) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    Layout();
  }
  ~PopupWindow() override { CloseChild(); }

  // Shows the level with its top-left corner near (x, y), kept on the screen.
  void ShowAt(int x, int y, UINT align) {
    if (align & TPM_RIGHTALIGN) x -= width();
    else if (align & TPM_CENTERALIGN) x -= width() / 2;
    if (align & TPM_BOTTOMALIGN) y -= height();
    else if (align & TPM_VCENTERALIGN) y -= height() / 2;
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    x = std::clamp(x, 0, std::max(0, screenW - width()));
    y = std::clamp(y, 0, std::max(0, screenH - height()));
    move(x, y);
    show();
    activateWindow();
    setFocus();
  }

  // Keyboard: the innermost open level takes the keys.
  PopupWindow* Innermost() { return child_ ? child_->Innermost() : this; }
  int Hot() const { return hot_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    Render();
    QPainter p(this);
    p.drawImage(0, 0, image_);
  }

  void mouseMoveEvent(QMouseEvent* e) override {
    const QPoint global = e->globalPosition().toPoint();
    if (PopupWindow* level = LevelAt(global); level && level != this) {
      level->HoverAt(level->mapFromGlobal(global));
      return;
    }
    HoverAt(e->position().toPoint());
  }

  void mousePressEvent(QMouseEvent* e) override {
    // A press outside every open level ends the menu; it is not passed on.
    if (!LevelAt(e->globalPosition().toPoint())) loop_.End(0);
  }

  void mouseReleaseEvent(QMouseEvent* e) override {
    const QPoint global = e->globalPosition().toPoint();
    PopupWindow* level = LevelAt(global);
    if (!level) return;
    const int index = level->EntryAt(level->mapFromGlobal(global));
    if (index >= 0) level->Activate(index, false);
  }

  void keyPressEvent(QKeyEvent* e) override { Innermost()->Key(e); }

  void hideEvent(QHideEvent*) override {
    // Closed by the system (another window took the focus): the menu ends.
    if (!parentLevel_ && !closing_) loop_.End(0);
  }

 private:
  struct Item {
    MenuEntry entry;
    QRect rect;  // in the window
  };

  std::shared_ptr<MenuObject> Menu() const { return FindMenu(menu_); }

  bool Selectable(int i) const {
    return i >= 0 && i < static_cast<int>(items_.size()) && !(items_[static_cast<size_t>(i)].entry.flags & MF_SEPARATOR);
  }
  bool Enabled(int i) const {
    return Selectable(i) && !(items_[static_cast<size_t>(i)].entry.flags & (MF_GRAYED | MF_DISABLED));
  }

  void Layout() {
    items_.clear();
    auto m = Menu();
    if (!m) return;
    HDC dc = GetDC(nullptr);
    HFONT font = MenuFont();
    HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const int textHeight = std::max<int>(tm.tmHeight + 4, GetSystemMetrics(SM_CYMENU) - 2);
    int width = 0, labelWidth = 0, shortcutWidth = 0;
    bool anyPopup = false;
    std::vector<int> heights;
    for (const MenuEntry& e : m->entries) {
      Item item{e, {}};
      int h = textHeight, w = 0;
      if (e.flags & MF_OWNERDRAW) {
        MEASUREITEMSTRUCT mis{ODT_MENU, 0, static_cast<UINT>(e.id), 0, 0, e.data};
        g_measuring = menu_;
        SendMessage(owner_, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
        g_measuring = nullptr;
        h = static_cast<int>(mis.itemHeight);
        w = static_cast<int>(mis.itemWidth);
      } else if (e.flags & MF_SEPARATOR) {
        h = kSeparatorHeight;
      } else {
        const auto tab = e.text.find('\t');
        const std::string label = e.text.substr(0, tab);
        RECT r{0, 0, 0, 0};
        DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &r, DT_CALCRECT | DT_SINGLELINE);
        labelWidth = std::max<int>(labelWidth, r.right);
        if (tab != std::string::npos) {
          const std::string shortcut = e.text.substr(tab + 1);
          RECT s{0, 0, 0, 0};
          DrawTextA(dc, shortcut.c_str(), static_cast<int>(shortcut.size()), &s, DT_CALCRECT | DT_SINGLELINE);
          shortcutWidth = std::max<int>(shortcutWidth, s.right);
        }
      }
      anyPopup = anyPopup || (e.flags & MF_POPUP);
      width = std::max(width, w);
      heights.push_back(h);
      items_.push_back(item);
    }
    const int textWidth = kCheckColumn + labelWidth + (shortcutWidth ? kShortcutGap + shortcutWidth : 0) + kCheckColumn;
    width = std::max(width, textWidth);
    if (anyPopup) width += kArrowColumn;
    int y = kFrame;
    for (size_t i = 0; i < items_.size(); ++i) {
      items_[i].rect = QRect(kFrame, y, width, heights[i]);
      y += heights[i];
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    resize(width + 2 * kFrame, std::max(y + kFrame, 2 * kFrame + 1));
    image_ = QImage(size(), QImage::Format_RGB32);
    dirty_ = true;
  }

  static HFONT MenuFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0);
    return CreateFontIndirectA(&metrics.lfMenuFont);
  }

  // Paints what changed into the window's pixels: everything the first time,
  // then the entries whose selection changed.
  void Render() {
    HDC dc = qv::CreateSurfaceDC(image_);
    HFONT font = MenuFont();
    HGDIOBJ oldFont = SelectObject(dc, font);
    if (dirty_) {
      RECT all{0, 0, width(), height()};
      FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
      DrawEdge(dc, &all, EDGE_RAISED, BF_RECT);
      for (size_t i = 0; i < items_.size(); ++i) DrawEntry(dc, static_cast<int>(i), ODA_DRAWENTIRE);
      dirty_ = false;
    } else {
      for (int i : changed_) DrawEntry(dc, i, ODA_SELECT);
    }
    changed_.clear();
    SelectObject(dc, oldFont);
    DeleteObject(font);
    DeleteDC(dc);
  }

  void DrawEntry(HDC dc, int index, UINT action) {
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    const Item& item = items_[static_cast<size_t>(index)];
    const MenuEntry& e = item.entry;
    const QRect& q = item.rect;
    RECT r{q.left(), q.top(), q.right() + 1, q.bottom() + 1};
    const bool selected = index == hot_;
    SetTextColor(dc, GetSysColor(COLOR_MENUTEXT));
    SetBkColor(dc, GetSysColor(COLOR_MENU));
    if (e.flags & MF_OWNERDRAW) {
      UINT state = 0;
      if (selected) state |= ODS_SELECTED;
      if (e.flags & MF_GRAYED) state |= ODS_GRAYED;
      if (e.flags & MF_DISABLED) state |= ODS_DISABLED;
      if (e.flags & MF_CHECKED) state |= ODS_CHECKED;
      DRAWITEMSTRUCT dis{ODT_MENU, 0, static_cast<UINT>(e.id), action, state, reinterpret_cast<HWND>(menu_), dc, r,
                         e.data};
      SendMessage(owner_, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    } else if (e.flags & MF_SEPARATOR) {
      FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
      RECT line{r.left + 1, (r.top + r.bottom) / 2 - 1, r.right - 1, r.bottom};
      DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    } else {
      DrawStringEntry(dc, e, r, selected);
    }
    if (e.flags & MF_POPUP) DrawArrow(dc, r, selected && !(e.flags & MF_OWNERDRAW));
  }

  static void DrawStringEntry(HDC dc, const MenuEntry& e, const RECT& r, bool selected) {
    const bool grayed = (e.flags & (MF_GRAYED | MF_DISABLED)) != 0;
    FillRect(dc, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
    const COLORREF ink = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    if (e.flags & MF_CHECKED) {
      const int x = r.left + 5, y = r.top + (r.bottom - r.top - 7) / 2;
      HPEN pen = CreatePen(PS_SOLID, 0, grayed ? GetSysColor(COLOR_GRAYTEXT) : ink);
      HGDIOBJ oldPen = SelectObject(dc, pen);
      if (e.flags & MFT_RADIOCHECK) {
        HBRUSH dot = CreateSolidBrush(grayed ? GetSysColor(COLOR_GRAYTEXT) : ink);
        HGDIOBJ oldBrush = SelectObject(dc, dot);
        Ellipse(dc, x + 1, y + 1, x + 6, y + 6);
        SelectObject(dc, oldBrush);
        DeleteObject(dot);
      } else {
        // The classic tick: seven columns of three pixels.
        static constexpr int kTops[7] = {2, 3, 4, 3, 2, 1, 0};
        for (int i = 0; i < 7; ++i) {
          MoveToEx(dc, x + i, y + kTops[i], nullptr);
          LineTo(dc, x + i, y + kTops[i] + 3);
        }
      }
      SelectObject(dc, oldPen);
      DeleteObject(pen);
    }
    const auto tab = e.text.find('\t');
    const std::string label = e.text.substr(0, tab);
    const std::string shortcut = tab == std::string::npos ? std::string() : e.text.substr(tab + 1);
    SetBkMode(dc, TRANSPARENT);
    RECT text{r.left + kCheckColumn, r.top, r.right - kCheckColumn, r.bottom};
    auto draw = [&](const RECT& at) {
      RECT a = at;
      DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &a, DT_SINGLELINE | DT_VCENTER);
      if (!shortcut.empty())
        DrawTextA(dc, shortcut.c_str(), static_cast<int>(shortcut.size()), &a, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    };
    if (grayed && !selected) {
      SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      RECT engraved = text;
      OffsetRect(&engraved, 1, 1);
      draw(engraved);
    }
    SetTextColor(dc, grayed ? GetSysColor(COLOR_GRAYTEXT) : ink);
    draw(text);
  }

  static void DrawArrow(HDC dc, const RECT& r, bool selected) {
    const int cx = r.right - 9, cy = (r.top + r.bottom) / 2;
    const POINT pts[3] = {{cx, cy - 3}, {cx + 3, cy}, {cx, cy + 3}};
    const COLORREF c = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
    HPEN pen = CreatePen(PS_SOLID, 0, c);
    HBRUSH brush = CreateSolidBrush(c);
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
    Polygon(dc, pts, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
  }

  int EntryAt(const QPoint& p) const {
    for (size_t i = 0; i < items_.size(); ++i)
      if (items_[i].rect.contains(p)) return static_cast<int>(i);
    return -1;
  }

  // The open level under a screen point, innermost first.
  PopupWindow* LevelAt(const QPoint& global) {
    PopupWindow* top = this;
    while (top->parentLevel_) top = top->parentLevel_;
    for (PopupWindow* level = top->Innermost(); level; level = level->parentLevel_)
      if (level->isVisible() && level->geometry().contains(global)) return level;
    return nullptr;
  }

  void SetHot(int index) {
    if (index == hot_) return;
    changed_.push_back(hot_);
    changed_.push_back(index);
    hot_ = index;
    update();
  }

  void HoverAt(const QPoint& p) {
    const int index = EntryAt(p);
    if (index < 0 || !Selectable(index)) return;
    SetHot(index);
    if (child_ && child_->menu_ != items_[static_cast<size_t>(index)].entry.SubMenu()) CloseChild();
    if (Enabled(index) && (items_[static_cast<size_t>(index)].entry.flags & MF_POPUP) && !child_) OpenChild(index, false);
  }

  // A command ends the menu with its id; a popup entry opens its level.
  void Activate(int index, bool fromKeyboard) {
    if (!Enabled(index)) return;
    const MenuEntry& e = items_[static_cast<size_t>(index)].entry;
    SetHot(index);
    if (e.flags & MF_POPUP) {
      if (!child_) OpenChild(index, fromKeyboard);
      return;
    }
    loop_.End(static_cast<UINT>(e.id));
  }

  void OpenChild(int index, bool selectFirst) {
    HMENU sub = items_[static_cast<size_t>(index)].entry.SubMenu();
    if (!FindMenu(sub)) return;
    SendMessage(owner_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), MAKELPARAM(index, FALSE));
    child_ = new PopupWindow(sub, owner_, loop_, this);
    const QRect& r = items_[static_cast<size_t>(index)].rect;
    QPoint at = mapToGlobal(QPoint(r.right() + 1 - kFrame, r.top() - kFrame));
    // Opens to the left when the right has no room.
    if (at.x() + child_->width() > GetSystemMetrics(SM_CXSCREEN))
      at.setX(std::max(0, mapToGlobal(QPoint(0, 0)).x() - child_->width() + kFrame));
    child_->ShowAt(at.x(), at.y(), 0);
    if (selectFirst) child_->Step(+1);
  }

  void CloseChild() {
    if (!child_) return;
    child_->closing_ = true;
    child_->hide();
    delete child_.data();
    child_ = nullptr;
    activateWindow();
    setFocus();
  }

  void Step(int direction) {
    const int n = static_cast<int>(items_.size());
    if (n == 0) return;
    int i = hot_;
    for (int k = 0; k < n; ++k) {
      i = (i < 0 ? (direction > 0 ? 0 : n - 1) : (i + direction + n) % n);
      if (Selectable(i)) {
        SetHot(i);
        return;
      }
    }
  }

  // The entries whose text holds "&" and the key, in order.
  std::vector<int> MnemonicMatches(char32_t key) const {
    std::vector<int> found;
    auto lower = [](char32_t c) { return c < 0x80 ? static_cast<char32_t>(std::tolower(static_cast<int>(c))) : c; };
    for (size_t i = 0; i < items_.size(); ++i) {
      const std::string& t = items_[i].entry.text;
      for (size_t p = 0; p + 1 < t.size(); ++p) {
        if (t[p] != '&') continue;
        if (t[p + 1] == '&') {
          ++p;
          continue;
        }
        if (lower(static_cast<unsigned char>(t[p + 1])) == lower(key)) found.push_back(static_cast<int>(i));
        break;
      }
    }
    return found;
  }

  void Character(const QString& text) {
    if (text.isEmpty() || !text[0].isPrint()) return;
    const char32_t key = text.toUcs4().value(0);
    const std::vector<int> matches = MnemonicMatches(key);
    if (matches.size() == 1) {
      Activate(matches[0], true);
      return;
    }
    if (matches.size() > 1) {
      // Several entries share the key: each press selects the next of them.
      auto next = std::upper_bound(matches.begin(), matches.end(), hot_);
      SetHot(next == matches.end() ? matches[0] : *next);
      return;
    }
    const LRESULT answer =
        SendMessage(owner_, WM_MENUCHAR, MAKEWPARAM(static_cast<int>(key & 0xFFFF), MF_POPUP), reinterpret_cast<LPARAM>(menu_));
    const int index = LOWORD(static_cast<std::uintptr_t>(answer));
    switch (HIWORD(static_cast<std::uintptr_t>(answer))) {
      case MNC_EXECUTE: Activate(index, true); break;
      case MNC_SELECT:
        if (Selectable(index)) SetHot(index);
        break;
      case MNC_CLOSE: loop_.End(0); break;
      default: MessageBeep(0); break;
    }
  }

  void Key(QKeyEvent* e) {
    switch (e->key()) {
      case Qt::Key_Down: Step(+1); break;
      case Qt::Key_Up: Step(-1); break;
      case Qt::Key_Right:
        if (Enabled(hot_) && (items_[static_cast<size_t>(hot_)].entry.flags & MF_POPUP)) OpenChild(hot_, true);
        break;
      case Qt::Key_Left:
        if (parentLevel_) parentLevel_->CloseChild();
        break;
      case Qt::Key_Escape:
        if (parentLevel_)
          parentLevel_->CloseChild();
        else
          loop_.End(0);
        break;
      case Qt::Key_Return:
      case Qt::Key_Enter:
        Activate(hot_, true);
        break;
      case Qt::Key_Alt:
      case Qt::Key_F10: loop_.End(0); break;
      default: Character(e->text()); break;
    }
  }

  HMENU menu_;
  HWND owner_;
  Loop& loop_;
  PopupWindow* parentLevel_;
  QPointer<PopupWindow> child_;
  std::vector<Item> items_;
  int hot_ = -1;
  QImage image_;
  bool dirty_ = true;
  std::vector<int> changed_;
  bool closing_ = false;  // being closed by its parent level
};

}  // namespace

HMENU MeasuringMenu() { return g_measuring; }

}  // namespace qv::win32

using namespace qv::win32;

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  // The popup lives on the owner's thread, and only that thread may show it.
  auto ownerWindow = Lookup(owner);
  if (!FindMenu(menu) || !ownerWindow || !ownerWindow->thread->IsCurrent()) return FALSE;
  qv::Application();
  SendMessage(owner, WM_ENTERMENULOOP, TRUE, 0);
  SendMessage(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, FALSE));
  Loop loop;
  UINT chosen = 0;
  {
    PopupWindow root(menu, owner, loop, nullptr);
    root.ShowAt(x, y, flags);
    if (!loop.done) loop.events.exec();
    chosen = loop.chosen;
    loop.done = true;  // the hide below is no news
    root.hide();
  }
  SendMessage(owner, WM_EXITMENULOOP, TRUE, 0);
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  if (chosen && !(flags & TPM_NONOTIFY)) PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<int>(chosen), 0), 0);
  return TRUE;
}
