#pragma once
// The Write page: picks a firmware image, checks its size against the chip,
// shows it in a hex view with its length and byte sum, and on Write checks
// the start address and password and hands the job to its worker, whose
// progress it shows on its bar.

#include <atomic>
#include <functional>

#include "controls/edit_ex.h"
#include "controls/flat_button.h"
#include "controls/hex_file_view.h"
#include "controls/tab_strip.h"
#include "controls/text_progress_bar.h"
#include "isp/job_owner.h"
#include "isp/online_update_thread.h"
#include "platform/win32/dialog/dialog.h"
#include "platform/win32/standard/button.h"
#include "platform/win32/standard/edit.h"
#include "res/pages_ids.h"

class CDlgOnlineUpdate : public CDialog, public CJobOwner {
  DECLARE_DYNAMIC(CDlgOnlineUpdate)

 public:
  enum { IDD = IDD_ONLINE_UPDATE };

  CDlgOnlineUpdate();
  ~CDlgOnlineUpdate() override;

  // The teardown: the worker stopped and joined, the brush, the views and
  // the tab strip gone, then the page's window.
  BOOL DestroyWindow() override;

  // Loads an image file: the size check (with its message), the hex view,
  // the length and the byte sum. FALSE, changing nothing, when it does not
  // open or is too large.
  BOOL LoadImageFile(const CString& path);

  // One operation at a time: Write is refused while busy() answers true
  // (the Read page's reader reads).
  void SetReaderBusy(std::function<bool()> busy) { m_readerBusy = std::move(busy); }

  // A write job is pending from the hand-over until the worker has finished it.
  bool IsWritePending() const { return m_pUpdateThread != nullptr && m_pUpdateThread->GetJobFlag() != 0; }
  COnlineUpdateThread* GetWorker() const { return m_pUpdateThread; }
  CHexFileView* GetAppBinView() const { return m_pAppBinView; }
  CHexFileView* GetFromChipView() const { return m_pFromChipView; }

  // CJobOwner, called from the worker's thread.
  void PostProgress(WPARAM stage, LPARAM value) override;
  BOOL IsImageLoaded() override { return m_bImageLoaded.load(std::memory_order_acquire); }
  void EnableOwner() override;
  void RepaintViews() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnBrowse();
  HBRUSH OnCtlColor(CDC* dc, CWnd* control, UINT kind);
  void OnWrite();
  void OnSize(UINT type, int cx, int cy);
  LRESULT OnUpdateProgress(WPARAM wParam, LPARAM lParam);
  void OnEraseCheck();
  void OnSave();
  void OnVerifyCheck();
  void OnClear();
  void OnRtsHigh();

  DECLARE_MESSAGE_MAP()

 private:
  void CreateHexViews();
  void LoadUserRecord();
  void UpdateOptionalControls();
  void ShowControl(int id, int show);

  CFlatButton m_btnBrowse;
  CFlatButton m_btnWrite;
  CFlatButton m_btnClear;
  CEditEx m_editByteSum;
  CEditEx m_editPath;
  CEditEx m_editLength;
  CTextProgressBar m_progress;
  CButton m_chkErase;
  CButton m_chkVerify;
  CButton m_chkWrite;
  CFlatButton m_btnSave;
  CTabStrip m_tabStrip;
  CEdit m_editAddress;
  CButton m_chkUpdatePart;
  CEditEx m_editPassword;
  CBrush m_brBack;
  CHexFileView* m_pAppBinView = nullptr;
  CHexFileView* m_pFromChipView = nullptr;
  COnlineUpdateThread* m_pUpdateThread = nullptr;
  std::atomic<BOOL> m_bImageLoaded{FALSE};
  // The file that was loaded and checked: the job gets it, not an edited path.
  CString m_strLoadedPath;
  std::function<bool()> m_readerBusy;
};
