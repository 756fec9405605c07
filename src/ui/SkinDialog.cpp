#include "ui/SkinDialog.h"

#include "ui/Skin.h"

CSkinDialog::CSkinDialog(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_brush(::CreateSolidBrush(ui::kGround)) {}

const fw::MessageMap* CSkinDialog::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnCtlColor<&CSkinDialog::OnCtlColor>(),
    };
    static const fw::MessageMap kMap{CDialog::GetMessageMap(), kRows};
    return &kMap;
}

void CSkinDialog::OnCancel() {}

HBRUSH CSkinDialog::OnCtlColor(HDC dc, HWND) {
    Default();
    ::SetBkColor(dc, ui::kGround);
    return m_brush.Get();
}
