#include "speakertest/SpeakerTestDlg.h"

#include "res/resource.h"

CSpeakerTestDlg::CSpeakerTestDlg() : CDialog(IDD_SPEAKER_TEST) {}

const fw::MessageMap* CSpeakerTestDlg::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnCommand<&CSpeakerTestDlg::OnClose>(IDC_SPEAKER_TEST_CLOSE),
    };
    static const fw::MessageMap kMap{CDialog::GetMessageMap(), kRows};
    return &kMap;
}

void CSpeakerTestDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_SPEAKER_TEST_TAB, m_tabs);
}

// Esc never closes the window.
void CSpeakerTestDlg::OnCancel() {}

void CSpeakerTestDlg::OnClose() {
    ShowSpeakerTest(SW_HIDE);
}

void CSpeakerTestDlg::ShowSpeakerTest(int command) {
    if (command == SW_SHOW) {
        if (m_visible) return;
        ShowWindow(SW_SHOW);
        m_visible = 1;
    } else if (command == SW_HIDE) {
        m_visible = 0;
        ShowWindow(SW_HIDE);
    }
}

void CSpeakerTestDlg::ReleaseSpeakerTest() {}
