#include "mixer/RecordSourcePage.h"

#include "res/resource.h"

namespace {

constexpr DWORD kRecording = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
constexpr DWORD kMicrophone = MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE;
constexpr DWORD kLine = MIXERLINE_COMPONENTTYPE_SRC_LINE;
constexpr DWORD kVolume = MIXERCONTROL_CONTROLTYPE_VOLUME;
constexpr DWORD kMux = MIXERCONTROL_CONTROLTYPE_MUX;
using Mode = CMixerSlider::Mode;

}  // namespace

CRecordSourcePage::CRecordSourcePage() : CSkinPage(IDD_RECORD_SOURCE, 3) {}

const fw::MessageMap* CRecordSourcePage::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnCommand<&CRecordSourcePage::SelectMicrophone>(IDC_RECORD_MIC_SELECT),
        fw::OnCommand<&CRecordSourcePage::SelectLineIn>(IDC_RECORD_LINE_SELECT),
        fw::OnMessage<&CRecordSourcePage::OnMixerChange>(MM_MIXM_CONTROL_CHANGE),
        fw::OnSignal<&CRecordSourcePage::OnDestroy>(WM_DESTROY),
    };
    static const fw::MessageMap kMap{CSkinPage::GetMessageMap(), kRows};
    return &kMap;
}

BOOL CRecordSourcePage::OnInitDialog() {
    CSkinPage::OnInitDialog();
    m_micLevel.SubclassDlgItem(IDC_RECORD_MIC_LEVEL, this);
    m_lineLevel.SubclassDlgItem(IDC_RECORD_LINE_LEVEL, this);
    m_lineBalance.SubclassDlgItem(IDC_RECORD_LINE_BALANCE, this);
    m_lineBalance.SetHorizontalLook(true);
    m_micBalance.SubclassDlgItem(IDC_RECORD_MIC_BALANCE, this);
    m_micBalance.SetHorizontalLook(true);
    Bind();
    return TRUE;
}

void CRecordSourcePage::ShowItem(CMixerListItem& item, UINT checkBox) {
    DWORD state = 0;
    item.GetState(state);
    ::SendMessageA(GetDlgItem(static_cast<int>(checkBox)), BM_SETCHECK,
                   state ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CRecordSourcePage::Bind() {
    struct Level {
        CMixerSlider& slider;
        DWORD source;
        Mode mode;
        const char* name;
    };
    auto bindLevel = [](const Level& level) {
        level.slider.Close();
        return level.slider.Bind(kRecording, level.source, kVolume, level.mode, level.name);
    };
    if (bindLevel({m_micLevel, kMicrophone, Mode::Volume, "Microphone"})) {
        m_micLevel.SetBound(true);
        m_micLevel.EnableWindow(TRUE);
    }
    if (bindLevel({m_lineLevel, kLine, Mode::Volume, "Line In"})) {
        m_lineLevel.SetBound(true);
        m_lineLevel.EnableWindow(TRUE);
    }
    struct Item {
        CMixerListItem& item;
        DWORD type;
        const char* name;
        UINT checkBox;
    };
    for (const Item& i : {Item{m_micItem, kMicrophone, "Mic", IDC_RECORD_MIC_SELECT},
                          Item{m_lineItem, kLine, "Line In", IDC_RECORD_LINE_SELECT}}) {
        i.item.Close();
        if (i.item.Bind(kRecording, CMixerControl::kDestinationOnly, kMux, i.type, m_hWnd,
                        i.name) &&
            i.item.IsBound()) {
            ::EnableWindow(GetDlgItem(static_cast<int>(i.checkBox)), TRUE);
            ShowItem(i.item, i.checkBox);
        }
    }
    if (bindLevel({m_micBalance, kMicrophone, Mode::Balance, "Microphone"})) {
        m_micBalance.EnableWindow(TRUE);
    }
    if (bindLevel({m_lineBalance, kLine, Mode::Balance, "Line"})) {
        m_lineBalance.EnableWindow(TRUE);
    }
}

BOOL CRecordSourcePage::Release() {
    for (CMixerControl* control : std::initializer_list<CMixerControl*>{
             &m_micLevel, &m_lineLevel, &m_micItem, &m_lineItem, &m_micBalance, &m_lineBalance}) {
        control->Close();
    }
    for (UINT id : {IDC_RECORD_MIC_LEVEL, IDC_RECORD_LINE_LEVEL, IDC_RECORD_LINE_SELECT,
                    IDC_RECORD_MIC_SELECT, IDC_RECORD_MIC_BALANCE, IDC_RECORD_LINE_BALANCE}) {
        ::EnableWindow(GetDlgItem(static_cast<int>(id)), FALSE);
    }
    return TRUE;
}

// The box's own click has toggled it already; the page sets both boxes afterwards, so a click on
// the checked box leaves it checked and writes the same selection again.
void CRecordSourcePage::SelectMicrophone() {
    ::CheckDlgButton(m_hWnd, IDC_RECORD_MIC_SELECT, BST_CHECKED);
    ::CheckDlgButton(m_hWnd, IDC_RECORD_LINE_SELECT, BST_UNCHECKED);
    m_micItem.Select(1);
}

void CRecordSourcePage::SelectLineIn() {
    ::CheckDlgButton(m_hWnd, IDC_RECORD_MIC_SELECT, BST_UNCHECKED);
    ::CheckDlgButton(m_hWnd, IDC_RECORD_LINE_SELECT, BST_CHECKED);
    m_lineItem.Select(1);
}

BOOL CRecordSourcePage::CentreLevels() {
    if (m_micLevel.IsBound()) m_micLevel.CentreAndApply();
    if (m_lineLevel.IsBound()) m_lineLevel.CentreAndApply();
    return TRUE;
}

BOOL CRecordSourcePage::FirstLaunchSelect() {
    if (m_micLevel.IsBound()) SelectMicrophone();
    return TRUE;
}

LRESULT CRecordSourcePage::OnMixerChange(WPARAM, LPARAM controlId) {
    if (static_cast<DWORD>(controlId) != RecordingMuxId()) return 1;
    if (m_micItem.IsBound()) ShowItem(m_micItem, IDC_RECORD_MIC_SELECT);
    if (m_lineItem.IsBound()) ShowItem(m_lineItem, IDC_RECORD_LINE_SELECT);
    return 0;
}

// The list items notify this window: their handles go with it.
void CRecordSourcePage::OnDestroy() {
    m_micItem.Close();
    m_lineItem.Close();
    Default();
}
