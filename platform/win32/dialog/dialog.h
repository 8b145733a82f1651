#pragma once
// The dialog manager: dialogs created from templates, the modal loop, the
// default dialog procedure with IsDialogMessage (Tab, arrows in a group,
// Enter, Esc, mnemonics), the default push button; and the framework's
// CDialog, CDialogEx and data exchange over it.

#include "platform/win32/cwnd.h"
#include "platform/win32/dialog/dialog_template.h"

// The window class of dialogs.
inline constexpr const char* WC_DIALOG = "#32770";

inline constexpr UINT DM_GETDEFID = WM_USER + 0;
inline constexpr UINT DM_SETDEFID = WM_USER + 1;
inline constexpr UINT DM_REPOSITION = WM_USER + 2;
inline constexpr WORD DC_HASDEFID = 0x534B;

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// A dialog from the registered template, created hidden or shown as its style
// says: WM_SETFONT to every control, then WM_INITDIALOG (wParam the control
// that gets the focus; a nonzero answer gives it the focus). `proc` may be
// null when a CWnd bound to the dialog handles its messages. A WS_CHILD
// template is created inside parent; a popup is a top-level window owned by
// parent. nullptr when the template is missing or a control fails.
HWND CreateDialogParamA(int templateId, HWND parent, DLGPROC proc, LPARAM initParam);
// Runs the dialog modally: the owner is disabled, posts and sends are served,
// and the call returns EndDialog's result once the dialog is destroyed; -1
// when it could not be created.
INT_PTR DialogBoxParamA(int templateId, HWND owner, DLGPROC proc, LPARAM initParam);
// Ends a modal dialog (its loop returns `result`) or hides a modeless one.
// Safe from a handler of any message, and from another thread (carried to
// the dialog's); FALSE for a window that is no dialog.
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
// TRUE when msg was a dialog's key (Tab, arrows, Enter, Esc, a mnemonic) and
// is handled; the caller must then not dispatch it.
BOOL IsDialogMessage(HWND dialog, MSG* msg);

// Dialog units: the template font's average character width (the 52 Latin
// letters) and height, as Windows measures them; x * base.cx / 4, y * base.cy / 8.
BOOL MapDialogRect(HWND dialog, RECT* rect);
// The base units of a font on the screen ("MS Shell Dlg" 8 gives 6 x 13).
SIZE GetDialogBaseUnitsOf(HFONT font);

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL SetDlgItemTextA(HWND dialog, int id, const char* text);
UINT GetDlgItemTextA(HWND dialog, int id, char* buffer, int size);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
// Checks checkId and unchecks the other buttons from firstId to lastId.
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);

class CDialog;

// Data exchange: m_bSaveAndValidate is TRUE from the controls to the members.
class CDataExchange {
 public:
  CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  // Set by a DDX_ function that could not bind its control.
  BOOL m_bFailed = FALSE;
};

// Binds the member object to the template control of that id (its messages
// then go through the object's map first). Done once: a later exchange only
// checks the binding.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  CDialog() = default;
  explicit CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}
  ~CDialog() override;

  // A modeless dialog (a page: a WS_CHILD template inside parent).
  virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
  using CWnd::Create;
  // Runs the dialog modally; IDOK, IDCANCEL or EndDialog's value; -1 when the
  // template is missing.
  virtual INT_PTR DoModal();
  void EndDialog(int result);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  // Calls DoDataExchange; FALSE when an exchange failed.
  BOOL UpdateData(BOOL saveAndValidate = TRUE);

  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;
  void GotoDlgCtrl(CWnd* control);
  void SetDefID(UINT id);
  DWORD GetDefID() const;
  void MapDialogRect(RECT* rect) const { ::MapDialogRect(m_hWnd, rect); }

  // IsDialogMessage for the dialog's keys.
  BOOL PreTranslateMessage(MSG* msg) override;
  // WM_INITDIALOG to OnInitDialog; WM_COMMAND IDOK and IDCANCEL that the map
  // does not take to OnOK and OnCancel.
  LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  UINT m_nIDTemplate = 0;
  UINT m_nIDHelp = 0;
  CWnd* m_pParentWnd = nullptr;

 protected:
  // The binding of member objects to controls and value exchange; called by
  // UpdateData (FALSE from OnInitDialog).
  virtual void DoDataExchange(CDataExchange*) {}
};

// The framework's extended dialog; what the tool's dialogs derive from.
class CDialogEx : public CDialog {
  DECLARE_DYNAMIC(CDialogEx)

 public:
  CDialogEx() = default;
  explicit CDialogEx(UINT templateId, CWnd* parent = nullptr) : CDialog(templateId, parent) {}
};
