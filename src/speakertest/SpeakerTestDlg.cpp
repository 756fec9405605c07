#include "speakertest/SpeakerTestDlg.h"

#include <memory>

#include "res/resource.h"
#include "speakertest/SpeakerTestPage.h"

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
    if (CSkinPage* page = m_tabs.AdoptPage(std::make_unique<CSpeakerTestPage>())) {
        page->Create(0, &m_tabs);
        page->ShowWindow(SW_SHOW);
    }
    m_tabs.ResetToFirstPage();
    return TRUE;
}

CSpeakerTestPage* CSpeakerTestDlg::Page() const {
    return static_cast<CSpeakerTestPage*>(m_tabs.Page(0));
}

void CSpeakerTestDlg::OnClose() {
    ShowSpeakerTest(SW_HIDE);
}

void CSpeakerTestDlg::ShowSpeakerTest(int command) {
    CSpeakerTestPage* page = Page();
    if (command == SW_SHOW) {
        if (page && !page->IsShown()) Show(*page);
    } else if (command == SW_HIDE) {
        ++m_hides;
        if (page && page->IsShown()) {
            page->CloseTestPage();
            if (!m_hWnd) return;  // the program ended while one of the page's boxes was open
            page->SetShown(false);
        }
        m_visible = 0;
        ShowWindow(SW_HIDE);
    }
}

// The page's boxes may let a removal, a hide or the exit in before the show completes: a release
// or the exit leaves the window as they left it, and a hide undoes the show at once.
void CSpeakerTestDlg::Show(CSpeakerTestPage& page) {
    const int closes = page.CloseCount();
    const int hides = m_hides;
    page.LoadTestSettings();
    page.OpenTestPage();
    if (!m_hWnd || page.CloseCount() != closes) return;
    page.SetShown(true);
    if (m_hides != hides) {
        page.CloseTestPage();
        return;
    }
    ShowWindow(SW_SHOW);
    m_visible = 1;
}

void CSpeakerTestDlg::ReleaseSpeakerTest() {
    if (CSpeakerTestPage* page = Page()) page->ReleaseTestSettings();
}
