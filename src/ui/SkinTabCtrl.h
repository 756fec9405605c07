#pragma once

#include <array>
#include <memory>
#include <span>

#include "framework/Handles.h"
#include "framework/TabCtrl.h"

class CSkinPage;

// A tab control that hosts child dialogs as its pages and paints a brushed-metal background. Its
// owner draws the tab items. In the settings window it creates and owns the settings pages its
// owner names and passes connect and disconnect on to them in a fixed order.
class CSkinTabCtrl : public CTabCtrl {
  public:
    static constexpr int kMaxPages = 6;

    // One page of the strip: its tab's text, how to make it, and whether it takes part in
    // connecting to the adapter.
    struct TabPage {
        const char* text;
        std::unique_ptr<CSkinPage> (*make)();
        bool connects;
    };

    CSkinTabCtrl();
    ~CSkinTabCtrl() override;

    // One tab and one page per entry, in this order, each page created as a child of this
    // control.
    void CreatePages(std::span<const TabPage> pages);
    // Page 0 shown in the display area, the others hidden there; the tab selection is untouched.
    void LayoutPages();
    void ResetToFirstPage();
    // The pages that connect, opened in tab order and closed in the reverse order.
    void OpenPages();
    BOOL ClosePages();

    // Puts a page into the next entry of the page table; the strip owns it from then on. A page
    // that connects takes part in OpenPages and ClosePages.
    CSkinPage* AdoptPage(std::unique_ptr<CSkinPage> page, bool connects = false);
    CSkinPage* Page(int index) const;
    int PageCount() const { return m_pageCount; }
    int CurrentPage() const { return m_currentPage; }

  protected:
    const fw::MessageMap* GetMessageMap() const override;

  private:
    LRESULT OnSelChange(NMHDR* header);
    BOOL OnEraseBkgnd(HDC dc);

    std::array<std::unique_ptr<CSkinPage>, kMaxPages> m_pages;
    std::array<bool, kMaxPages> m_connects{};
    int m_currentPage = 0;
    int m_pageCount = 0;
    fw::Bitmap m_background;  // loaded when first painted, kept for every later erase
};

// Where the pages go: from one pixel left of the first tab's left edge and two pixels above its
// bottom, to one pixel inside the client area's right and bottom edges.
RECT PageArea(const RECT& client, const RECT& firstTab);
