#include "speakertest/SpeakerTestDlg.h"

#include "res/resource.h"

CSpeakerTestDlg::CSpeakerTestDlg()
    : CSkinWindow(IDD_SPEAKER_TEST, IDB_SPEAKER_TEST_BACKGROUND, IDC_SPEAKER_TEST_CLOSE) {}

const fw::MessageMap* CSpeakerTestDlg::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnCommand<&CSpeakerTestDlg::OnClose>(IDC_SPEAKER_TEST_CLOSE),
    };
    static const fw::MessageMap kMap{CSkinWindow::GetMessageMap(), kRows};
    return &kMap;
}

void CSpeakerTestDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_SPEAKER_TEST_TAB, m_tabs);
}

BOOL CSpeakerTestDlg::OnInitDialog() {
    CSkinWindow::OnInitDialog();
    m_tabs.InsertItem(0, "Quorvel Dual:Speaker Test");
    m_tabs.ResetToFirstPage();
    return TRUE;
}

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
