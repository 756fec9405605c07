#include "ui/SkinPage.h"

#include "ui/Skin.h"

CSkinPage::CSkinPage(UINT templateId, int tabIndex)
    : CSkinDialog(templateId), m_tabIndex(tabIndex) {}

const fw::MessageMap* CSkinPage::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnSignal<&CSkinPage::OnPaint>(WM_PAINT),
        fw::OnMessage<&CSkinPage::OnPrintClient>(WM_PRINTCLIENT),
    };
    static const fw::MessageMap kMap{CSkinDialog::GetMessageMap(), kRows};
    return &kMap;
}

void CSkinPage::OpenPage() {}
void CSkinPage::ClosePage() {}

void CSkinPage::Paint(HDC dc) {
    ui::PaintPageGround(dc, GetClientRect(), m_tabIndex);
}

void CSkinPage::OnPaint() {
    fw::PaintDc paint(m_hWnd);
    Paint(paint.Get());
}

LRESULT CSkinPage::OnPrintClient(WPARAM wp, LPARAM) {
    Paint(reinterpret_cast<HDC>(wp));
    return 0;
}
