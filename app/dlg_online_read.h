#pragma once
// The Read page: reads the chip's usable flash, or a range of it, on a reader
// thread of its own, shows the bytes in a hex view and saves them as a
// ".bin" file. One read at a time: Read is ignored while the reader reads,
// and the main window and the Write page ask IsReading before a write.

#include "controls/edit_ex.h"
#include "controls/flat_button.h"
#include "controls/hex_file_view.h"
#include "controls/text_progress_bar.h"
#include "isp/online_read_thread.h"
#include "platform/win32/dialog/dialog.h"
#include "platform/win32/standard/button.h"
#include "res/pages_ids.h"

class CDlgOnlineRead : public CDialogEx, public CReadOwner {
  DECLARE_DYNAMIC(CDlgOnlineRead)

 public:
  enum { IDD = IDD_ONLINE_READ };

  CDlgOnlineRead();
  ~CDlgOnlineRead() override;

  bool IsReading() const { return m_reader.IsReading(); }
  // CReadOwner, from the reader's thread: carried to the page's thread.
  void SendProgress(WPARAM stage, LPARAM value) override;

  const CHexFileView* GetHexView() const { return m_pHexView; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnSize(UINT type, int cx, int cy);
  void OnDestroy();
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind);
  void OnRead();
  void OnSave();
  LRESULT OnReadProgress(WPARAM code, LPARAM value);
  void OnReadAreaChanged();

  DECLARE_MESSAGE_MAP()

 private:
  void LoadReadOperateArea();
  void LayoutHexView();

  CFlatButton m_btnRead;
  CTextProgressBar m_progress;
  CButton m_rbCustomArea;
  CButton m_rbAllArea;
  CFlatButton m_btnSave;
  CEditEx m_editFrom;
  CEditEx m_editTo;
  CEditEx m_editPassword;
  CBrush m_brBack;
  CHexFileView* m_pHexView = nullptr;
  // TRUE once a read has reached the view: only then can a save fail.
  BOOL m_bHasReadData = FALSE;
  COnlineReadThread m_reader{this};
};
