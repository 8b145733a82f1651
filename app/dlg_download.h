#pragma once
// The download dialog of the command-line mode: the image's name and size,
// the job's progress texts, and a Close button that shows when the job ends.
// It owns the download worker, which posts its progress here and, at the
// job's end, re-enables the dialog and shows Close.

#include "controls/text_progress_bar.h"
#include "isp/job_owner.h"
#include "isp/online_com_update_thread.h"
#include "platform/core/cstring.h"
#include "platform/win32/dialog/dialog.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/combo_box.h"
#include "platform/win32/standard/edit.h"
#include "platform/win32/standard/list_box.h"
#include "platform/win32/standard/static.h"

class CDlgDownload : public CDialogEx, public CJobOwner {
 public:
  enum { IDD = 230 };

  CDlgDownload(const CString& icType, const CString& imagePath, u32 startAddress, u32 baudRate,
               u32 skip, u32 password, CWnd* parent = nullptr);
  ~CDlgDownload() override;

  // CJobOwner, called from the worker's thread.
  void PostProgress(WPARAM stage, LPARAM value) override;
  void EnableOwner() override;
  void ShowCloseButton() override;

  COnlineComUpdateThread* GetWorker() const { return m_pUpdateThread; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // Enter and Esc end the dialog only while no job is pending or running:
  // closing under a running job would cut it off half-programmed.
  void OnOK() override;
  void OnCancel() override;
  void OnDestroy();
  LRESULT OnUpdateProgress(WPARAM wParam, LPARAM lParam);
  void OnCloseButton();

  DECLARE_MESSAGE_MAP()

 private:
  BOOL IsJobRunning() const;

  CStatic m_stcName;
  CStatic m_stcSize;
  CTextProgressBar m_progress;
  CString m_strImagePath;
  u32 m_nBaudRate;
  u32 m_nStartAddress;
  u32 m_nSkip;
  u32 m_nPassword;
  CString m_strIcType;
  COnlineComUpdateThread* m_pUpdateThread = nullptr;
  CButton m_btnClose;
};
