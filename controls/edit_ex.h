#pragma once
// An edit control with its own text and background colours, an optional
// bold font, an optional filter that refuses typed characters with a beep,
// and an optional context menu of its own.

#include "platform/win32/standard/edit.h"

// Decides which typed characters an edit takes.
class CCharValidator {
 public:
  virtual ~CCharValidator() = default;
  // Nonzero to accept the character code of a WM_CHAR.
  virtual BOOL Accept(UINT ch) = 0;
};

class CEditEx : public CEdit {
  DECLARE_DYNAMIC(CEditEx)

 public:
  CEditEx();
  ~CEditEx() override;

  static CEditEx* CreateObject();

  // The height of a new bold "MS Sans Serif"; the other three are not used.
  void SetBoldFont(int height, int = 0, int = 0, int = 0);
  void SetTextColor(COLORREF colour) {
    m_crText = colour;
    InvalidateRect(nullptr, TRUE);
  }
  // Not owned; nullptr takes every character.
  void SetCharValidator(CCharValidator* validator) { m_pValidator = validator; }
  // A menu resource whose first sub-menu is the context menu; 0 for the edit's own.
  void SetContextMenuId(UINT id) { m_nContextMenuId = id; }
  virtual void RecreateBkBrush();

  COLORREF GetTextColor() const { return m_crText; }
  COLORREF GetBkColor() const { return m_crBk; }
  CFont* GetBoldFont() const { return m_pBoldFont; }

 protected:
  void OnChar(UINT ch, UINT repeat, UINT flags);
  void OnContextMenu(CWnd* wnd, CPoint point);
  HBRUSH CtlColor(CDC* dc, UINT kind);

  DECLARE_MESSAGE_MAP()

 private:
  CBrush m_brBk;
  COLORREF m_crBk;
  COLORREF m_crText;
  CCharValidator* m_pValidator = nullptr;
  CFont* m_pBoldFont = nullptr;
  UINT m_nContextMenuId = 0;
};
