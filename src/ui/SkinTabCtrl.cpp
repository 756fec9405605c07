#include "ui/SkinTabCtrl.h"

#include "framework/ResString.h"
#include "res/resource.h"
#include "ui/Skin.h"
#include "ui/SkinPage.h"

RECT PageArea(const RECT& client, const RECT& firstTab) {
    const int x = firstTab.left - 1;
    const int y = firstTab.bottom - 2;
    return {x, y, x + (client.right - firstTab.left - 1), client.bottom - 1};
}

CSkinTabCtrl::CSkinTabCtrl() = default;
CSkinTabCtrl::~CSkinTabCtrl() = default;

const fw::MessageMap* CSkinTabCtrl::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnReflectNotify<&CSkinTabCtrl::OnSelChange>(TCN_SELCHANGE),
        fw::OnEraseBkgnd<&CSkinTabCtrl::OnEraseBkgnd>(),
    };
    static const fw::MessageMap kMap{CTabCtrl::GetMessageMap(), kRows};
    return &kMap;
}

CSkinPage* CSkinTabCtrl::AdoptPage(std::unique_ptr<CSkinPage> page, bool connects) {
    if (m_pageCount >= kMaxPages) return nullptr;
    const auto index = static_cast<std::size_t>(m_pageCount++);
    m_pages[index] = std::move(page);
    m_connects[index] = connects;
    return m_pages[index].get();
}

CSkinPage* CSkinTabCtrl::Page(int index) const {
    if (index < 0 || index >= m_pageCount) return nullptr;
    return m_pages[static_cast<std::size_t>(index)].get();
}

void CSkinTabCtrl::CreatePages(std::span<const TabPage> pages) {
    for (std::size_t i = 0; i < pages.size() && i < kMaxPages; ++i)
        InsertItem(static_cast<int>(i), pages[i].text);
    for (const TabPage& entry : pages)
        AdoptPage(entry.make(), entry.connects);
    for (int i = 0; i < m_pageCount; ++i) {
        CSkinPage* page = Page(i);
        page->Create(0, this);
        page->ShowWindow(i == 0 ? SW_SHOW : SW_HIDE);
    }
    m_currentPage = 0;
    LayoutPages();
}

void CSkinTabCtrl::LayoutPages() {
    RECT firstTab{};
    GetItemRect(0, &firstTab);
    const RECT area = PageArea(GetClientRect(), firstTab);
    for (int i = 0; i < m_pageCount; ++i) {
        ::SetWindowPos(Page(i)->GetSafeHwnd(), HWND_TOP, area.left, area.top,
                       area.right - area.left, area.bottom - area.top,
                       i == 0 ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    }
}

void CSkinTabCtrl::ResetToFirstPage() {
    m_currentPage = 0;
    LayoutPages();
}

void CSkinTabCtrl::OpenPages() {
    for (int i = 0; i < m_pageCount; ++i) {
        CSkinPage* page = Page(i);
        if (page && m_connects[static_cast<std::size_t>(i)]) page->OpenPage();
    }
}

BOOL CSkinTabCtrl::ClosePages() {
    for (int i = m_pageCount - 1; i >= 0; --i) {
        CSkinPage* page = Page(i);
        if (page && m_connects[static_cast<std::size_t>(i)]) page->ClosePage();
    }
    return TRUE;
}

LRESULT CSkinTabCtrl::OnSelChange(NMHDR*) {
    const int focused = GetCurFocus();
    if (focused == m_currentPage || !Page(focused)) return 0;
    if (CSkinPage* old = Page(m_currentPage)) old->ShowWindow(SW_HIDE);
    m_currentPage = focused;
    CSkinPage* page = Page(focused);
    page->ShowWindow(SW_SHOW);
    ::SetFocus(page->GetSafeHwnd());
    return 0;
}

BOOL CSkinTabCtrl::OnEraseBkgnd(HDC dc) {
    if (!m_background) {
        m_background.Reset(static_cast<HBITMAP>(
            ::LoadImageA(fw::ResourceModule(), MAKEINTRESOURCEA(IDB_TAB_BACKGROUND), IMAGE_BITMAP,
                         0, 0, LR_CREATEDIBSECTION)));
    }
    if (ui::PaintBitmap(dc, m_background.Get())) return TRUE;
    return static_cast<BOOL>(Default());
}
