#pragma once
// The status strip along the main window's bottom edge: a picture and three
// text fields, the first for the connection (green when connected, red
// otherwise), the third for the interface. Escape never closes it.

#include "controls/color_label.h"
#include "platform/core/cstring.h"
#include "platform/win32/dialog/dialog.h"
#include "res/pages_ids.h"

class CDlgStatus : public CDialog {
  DECLARE_DYNAMIC(CDlgStatus)

 public:
  enum { IDD = IDD_STATUS };

  CDlgStatus();
  ~CDlgStatus() override;

  // Index 1 to 3; nothing before the labels have windows. The texts are kept
  // and written into the labels again by every re-layout.
  void SetStatusText(int index, const CString& text);
  void LayoutLabels();

  const CString& GetField(int index) const;
  COLORREF GetField1Colour() const { return m_crField1; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnCancel() override {}
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind);
  void OnSize(UINT type, int cx, int cy);

  DECLARE_MESSAGE_MAP()

 private:
  // The label's font and transparency, then its text.
  static void StyleLabel(CColorLabel& label, const CString& text);

  CBrush m_brBack;
  CString m_strField1;
  CString m_strField2;
  CString m_strField3;
  CColorLabel m_lblField2;
  CColorLabel m_lblField1;
  CColorLabel m_lblField3;
  COLORREF m_crField1;
};
