#include "app/dlg_status.h"

#include "app/main_layout.h"
#include "app/page_colours.h"

namespace {

constexpr COLORREF kStripBack = 0x4F5555;
constexpr COLORREF kFieldText = 0xFFFFFF;
// "宋体" (SimSun), as the code page holds it.
constexpr char kFieldFace[] = "\xE5\xAE\x8B\xE4\xBD\x93";
constexpr int kFieldPoints = 16;

}  // namespace

IMPLEMENT_DYNAMIC(CDlgStatus, CDialog)

BEGIN_MESSAGE_MAP(CDlgStatus, CDialog)
  ON_WM_CTLCOLOR()
  ON_WM_SIZE()
END_MESSAGE_MAP()

CDlgStatus::CDlgStatus()
    : CDialog(IDD), m_brBack(kStripBack), m_strField1(kDeviceDisConnectedText), m_crField1(kDisconnectedColour) {}

CDlgStatus::~CDlgStatus() = default;

void CDlgStatus::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_STATUS_FIELD2, m_lblField2);
  DDX_Control(pDX, IDC_STATUS_FIELD1, m_lblField1);
  DDX_Control(pDX, IDC_STATUS_FIELD3, m_lblField3);
}

BOOL CDlgStatus::OnInitDialog() {
  CDialog::OnInitDialog();
  m_crField1 = kDisconnectedColour;
  m_lblField1.SetTextColor(m_crField1);
  LayoutLabels();
  return TRUE;
}

const CString& CDlgStatus::GetField(int index) const {
  return index == 1 ? m_strField1 : index == 2 ? m_strField2 : m_strField3;
}

void CDlgStatus::SetStatusText(int index, const CString& text) {
  if (!m_lblField1.IsWindow()) return;
  switch (index) {
    case 1:
      m_strField1 = text;
      m_lblField1.SetText(m_strField1);
      m_crField1 = IsConnectionUp() ? kConnectedColour : kDisconnectedColour;
      m_lblField1.SetTextColor(m_crField1);
      m_lblField1.Invalidate();
      break;
    case 2:
      m_strField2 = text;
      m_lblField2.SetText(m_strField2);
      m_lblField2.Invalidate();
      break;
    case 3:
      m_strField3 = text;
      m_lblField3.SetText(m_strField3);
      m_lblField3.Invalidate();
      break;
    default:
      return;
  }
  Invalidate();
}

void CDlgStatus::StyleLabel(CColorLabel& label, const CString& text) {
  label.SetFontSize(kFieldPoints).SetFontBold(TRUE);
  label.m_bKeepText = 1;
  label.SetTransparent(TRUE).SetFontName(kFieldFace).SetText(text);
  label.Invalidate();
}

void CDlgStatus::LayoutLabels() {
  StyleLabel(m_lblField1, m_strField1);
  m_lblField2.SetTextColor(kFieldText);
  StyleLabel(m_lblField2, m_strField2);
  m_lblField3.SetTextColor(kFieldText);
  StyleLabel(m_lblField3, m_strField3);
  CRect client;
  GetClientRect(&client);
  const CStatusLayout l = LayoutStatusStrip(client.Width(), client.Height());
  if (CWnd* picture = GetDlgItem(IDC_STATUS_PICTURE)) {
    picture->MoveWindow(l.picture.left, l.picture.top, l.picture.Width(), l.picture.Height());
  }
  m_lblField1.MoveWindow(l.field1.left, l.field1.top, l.field1.Width(), l.field1.Height());
  m_lblField2.MoveWindow(l.field2.left, l.field2.top, l.field2.Width(), l.field2.Height());
  m_lblField3.MoveWindow(l.field3.left, l.field3.top, l.field3.Width(), l.field3.Height());
  Invalidate();
}

HBRUSH CDlgStatus::OnCtlColor(CDC* dc, CWnd* control, UINT kind) {
  CDialog::OnCtlColor(dc, control, kind);
  return PageCtlColor(*this, dc, kind, m_brBack);
}

void CDlgStatus::OnSize(UINT type, int cx, int cy) {
  CDialog::OnSize(type, cx, cy);
  if (m_lblField1.IsWindow()) LayoutLabels();
}
