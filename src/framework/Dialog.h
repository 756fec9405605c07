#pragma once

#include "framework/DataExchange.h"
#include "framework/Wnd.h"

// A modeless dialog from a template of the program's resources. Its dialog procedure finds the
// object through the pointer passed at creation; results of handled messages go back through
// DWLP_MSGRESULT except for the messages a dialog procedure returns itself.
class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the window. Without a parent, a dialog other than the application's main window is
    // owned by the main window.
    BOOL Create(UINT templateId = 0, CWnd* parent = nullptr);

    // Controls to values (save) or values to controls.
    BOOL UpdateData(BOOL save = TRUE);
    void EndDialog(int result) const;

    BOOL PreTranslateMessage(MSG* msg) override;

  protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* dx);

    const fw::MessageMap* GetMessageMap() const override;
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // The owner of a dialog created without a parent: the application's main window.
    virtual HWND DefaultOwner() const;

    UINT m_templateId;
    CWnd* m_parent;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR HandleInitDialog();
    INT_PTR HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void CenterIfTopLevel() const;

    // The message DefDlgProc is running the default handling for: the dialog procedure declines
    // it once so the default handling does not come back into the handler.
    UINT m_defaultMessage = 0;
    bool m_inDefault = false;
};
