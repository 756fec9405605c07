#include "sim/SimMixerPanel.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr UINT kRefreshMessage = WM_APP + 2;
constexpr int kScale = 100;  // the panel's sliders run 0..100

// Where the panel sits in the simulator window, in its dialog units.
constexpr RECT kPlace{379, 4, 579, 314};

DWORD Louder(const std::vector<DWORD>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

}  // namespace

CSimMixerPanel::CSimMixerPanel(sim::SimMixer& mixer) : CDialog(IDD_SIM_MIXER), m_mixer(mixer) {}

CSimMixerPanel::~CSimMixerPanel() {
    m_mixer.SetObserver(nullptr);
}

const fw::MessageMap* CSimMixerPanel::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnCommand<&CSimMixerPanel::OnButton<0>>(RowId(0, kButton)),
        fw::OnCommand<&CSimMixerPanel::OnButton<1>>(RowId(1, kButton)),
        fw::OnCommand<&CSimMixerPanel::OnButton<2>>(RowId(2, kButton)),
        fw::OnCommand<&CSimMixerPanel::OnButton<3>>(RowId(3, kButton)),
        fw::OnCommand<&CSimMixerPanel::OnButton<4>>(RowId(4, kButton)),
        fw::OnCommand<&CSimMixerPanel::OnButton<5>>(RowId(5, kButton)),
        fw::OnCommand<&CSimMixerPanel::OnButton<6>>(RowId(6, kButton)),
        fw::OnCommand<&CSimMixerPanel::OnButton<7>>(RowId(7, kButton)),
        fw::OnCommand<&CSimMixerPanel::OnButton<8>>(RowId(8, kButton)),
        fw::OnCommand<&CSimMixerPanel::OnButton<9>>(RowId(9, kButton)),
        fw::OnCommand<&CSimMixerPanel::OnFail>(IDC_SIM_MIXER_FAIL),
        fw::OnCommand<&CSimMixerPanel::OnLayout>(IDC_SIM_MIXER_LAYOUT),
        fw::OnScroll<&CSimMixerPanel::OnScroll>(WM_HSCROLL),
        fw::OnMessage<&CSimMixerPanel::OnRefresh>(kRefreshMessage),
    };
    static_assert(std::size(kRows) == kMaxRows + 4);
    static const fw::MessageMap kMap{CDialog::GetMessageMap(), kRows};
    return &kMap;
}

BOOL CSimMixerPanel::OnInitDialog() {
    CDialog::OnInitDialog();
    RECT place = kPlace;
    ::MapDialogRect(::GetParent(m_hWnd), &place);
    ::SetWindowPos(m_hWnd, nullptr, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);

    ::CheckDlgButton(m_hWnd, IDC_SIM_MIXER_LAYOUT, m_mixer.PerEndpoint() ? BST_CHECKED : 0);
    BuildRows();
    m_mixer.SetObserver([this] {
        if (m_hWnd && !m_refreshPosted) m_refreshPosted = PostMessage(kRefreshMessage) != FALSE;
    });
    OnRefresh(0, 0);
    return TRUE;
}

// The rows the system's panel would show for the adapter's mixer as it came: on older Windows
// each playback line and recording source of its one device; on Vista and later, per endpoint,
// the endpoint's own volume and the speakers' sources, whose volumes are the program's session.
void CSimMixerPanel::BuildRows() {
    for (int row = 0; row < kMaxRows; ++row) {
        for (int part = kLabel; part <= kButton; ++part)
            ::DestroyWindow(Item(row, part));
    }
    for (HWND header : m_headers)
        ::DestroyWindow(header);
    m_headers.clear();
    m_rows.clear();
    int top = 35;
    if (!m_mixer.PerEndpoint()) {
        const sim::SimMixerDevice model = sim::SimMixer::AdapterMixer();
        for (const sim::SimMixerLine& destination : model.destinations) {
            const bool recording = destination.componentType == MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
            AddHeader(recording ? "Recording" : "Playback", top);
            if (!recording) AddRow({destination.componentType, 0, destination.name, false}, top);
            for (const sim::SimMixerLine& source : destination.sources)
                AddRow({destination.componentType, source.componentType, source.name, recording},
                       top);
        }
        return;
    }
    const std::vector<sim::SimEndpoint>& endpoints = m_mixer.endpoints.endpoints;
    for (std::size_t d = 0; d < m_mixer.devices.size(); ++d) {
        const sim::SimMixerDevice& device = m_mixer.devices[d];
        if (!device.adapters || device.destinations.empty()) continue;
        const sim::SimMixerLine& destination = device.destinations[0];
        AddHeader(device.product, top);
        for (std::size_t e = 0; e < endpoints.size(); ++e) {
            if (endpoints[e].name != device.product) continue;
            AddRow({destination.componentType, 0, "Endpoint", false, d, static_cast<int>(e)}, top);
        }
        if (destination.componentType != MIXERLINE_COMPONENTTYPE_DST_SPEAKERS) continue;
        for (const sim::SimMixerLine& source : destination.sources)
            AddRow({destination.componentType, source.componentType, source.name + " (session)",
                    false, d},
                   top);
    }
}

void CSimMixerPanel::AddHeader(const std::string& text, int& top) {
    HWND header = ::CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                    m_hWnd, nullptr, nullptr, nullptr);
    RECT at{7, top, 193, top + 9};
    ::MapDialogRect(m_hWnd, &at);
    ::MoveWindow(header, at.left, at.top, at.right - at.left, at.bottom - at.top, FALSE);
    ::SendMessageA(header, WM_SETFONT, SendMessage(WM_GETFONT), FALSE);
    m_headers.push_back(header);
    top += 10;
}

void CSimMixerPanel::AddRow(const Row& row, int& top) {
    if (static_cast<int>(m_rows.size()) >= kMaxRows) return;
    m_rows.push_back(row);
    const int index = static_cast<int>(m_rows.size()) - 1;
    const auto font = static_cast<WPARAM>(SendMessage(WM_GETFONT));
    auto make = [&](int part, const char* cls, const char* text, DWORD style, RECT at) {
        ::MapDialogRect(m_hWnd, &at);
        HWND item = ::CreateWindowExA(
            0, cls, text, WS_CHILD | WS_VISIBLE | style, at.left, at.top, at.right - at.left,
            at.bottom - at.top, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(RowId(index, part))), nullptr, nullptr);
        ::SendMessageA(item, WM_SETFONT, font, FALSE);
        return item;
    };
    make(kLabel, "STATIC", row.label.c_str(), SS_LEFTNOWORDWRAP, {7, top, 62, top + 9});
    make(kValues, "STATIC", "", SS_LEFTNOWORDWRAP, {64, top, 150, top + 9});
    make(kButton, "BUTTON", row.recording ? "Record" : "Mute",
         WS_TABSTOP | (row.recording ? BS_RADIOBUTTON : BS_CHECKBOX), {152, top - 1, 195, top + 9});
    HWND volume = make(kVolume, TRACKBAR_CLASSA, "", WS_TABSTOP | TBS_NOTICKS | TBS_BOTH,
                       {5, top + 10, 110, top + 23});
    HWND balance = make(kBalance, TRACKBAR_CLASSA, "", WS_TABSTOP | TBS_NOTICKS | TBS_BOTH,
                        {114, top + 10, 195, top + 23});
    for (HWND bar : {volume, balance}) {
        ::SendMessageA(bar, TBM_SETRANGE, FALSE, MAKELPARAM(0, kScale));
        ::SendMessageA(bar, TBM_SETPAGESIZE, 0, 10);
    }
    top += 25;
}

sim::SimMixerLine* CSimMixerPanel::LineOf(const Row& row) {
    if (row.device >= m_mixer.devices.size() || !m_mixer.devices[row.device].present) {
        return nullptr;
    }
    return m_mixer.FindLine(row.destination, row.source, row.device);
}

sim::SimMixerControl* CSimMixerPanel::ControlOf(const Row& row, DWORD type) {
    return m_mixer.FindControl(LineOf(row), type);
}

void CSimMixerPanel::OnScroll(UINT, UINT, HWND bar) {
    const int id = ::GetDlgCtrlID(bar);
    const int row = (id - RowId(0, 0)) / kRowIds;
    const int part = (id - RowId(0, 0)) % kRowIds;
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return;
    const auto position = static_cast<DWORD>(::SendMessageA(bar, TBM_GETPOS, 0, 0));
    if (m_rows[static_cast<std::size_t>(row)].endpoint >= 0) {
        ScrollEndpoint(m_rows[static_cast<std::size_t>(row)], part, static_cast<int>(position));
        return;
    }
    sim::SimMixerControl* volume =
        ControlOf(m_rows[static_cast<std::size_t>(row)], MIXERCONTROL_CONTROLTYPE_VOLUME);
    if (!volume || volume->values.empty()) return;
    const DWORD span = volume->maximum - volume->minimum;
    std::vector<DWORD> values = volume->values;
    const DWORD louder = Louder(values);
    if (part == kVolume) {
        // The louder channel follows the slider; the other keeps its share of it.
        const auto next =
            static_cast<DWORD>(static_cast<unsigned long long>(span) * position / kScale);
        for (DWORD& value : values) {
            value = louder
                        ? static_cast<DWORD>(static_cast<unsigned long long>(value) * next / louder)
                        : next;
        }
    } else if (part == kBalance && values.size() >= 2) {
        const unsigned long long level = louder;
        const DWORD half = kScale / 2;
        values[0] =
            position <= half ? louder : static_cast<DWORD>(level * (kScale - position) / half);
        values[1] = position >= half ? louder : static_cast<DWORD>(level * position / half);
    } else {
        return;
    }
    m_mixer.SetValues(*volume, values, m_rows[static_cast<std::size_t>(row)].device);
}

// The same on an endpoint's levels: the master scales every channel, the balance moves left and
// right against each other.
void CSimMixerPanel::ScrollEndpoint(const Row& row, int part, int position) {
    sim::SimEndpoints& endpoints = m_mixer.endpoints;
    const auto index = static_cast<std::size_t>(row.endpoint);
    if (index >= endpoints.endpoints.size() || !endpoints.endpoints[index].present) return;
    std::vector<float> levels = endpoints.endpoints[index].levels;
    const float master = endpoints.Master(index);
    const float level = static_cast<float>(position) / kScale;
    if (part == kVolume) {
        for (float& channel : levels)
            channel = master > 0.0f ? channel * level / master : level;
    } else if (part == kBalance && levels.size() >= 2) {
        levels[0] = position <= kScale / 2 ? master : master * (kScale - position) * 2 / kScale;
        levels[1] = position >= kScale / 2 ? master : master * position * 2 / kScale;
    } else {
        return;
    }
    endpoints.SetLevels(index, levels);
}

// Every request to the adapter's mixer fails from now on, as with a driver that stopped answering.
void CSimMixerPanel::OnFail() {
    const bool fail = ::IsDlgButtonChecked(m_hWnd, IDC_SIM_MIXER_FAIL) == BST_CHECKED;
    m_mixer.Adapter().faults = {fail, fail, fail, fail, fail, fail};
}

// A layout is a different system: it changes only while the adapter is out, and the program
// finds the new one when the adapter comes back.
void CSimMixerPanel::OnLayout() {
    m_mixer.UsePerEndpointLayout(::IsDlgButtonChecked(m_hWnd, IDC_SIM_MIXER_LAYOUT) == BST_CHECKED);
    BuildRows();
    OnRefresh(0, 0);
}

void CSimMixerPanel::Toggle(int index) {
    if (index >= static_cast<int>(m_rows.size())) return;
    const Row& row = m_rows[static_cast<std::size_t>(index)];
    if (row.endpoint >= 0) {
        const auto e = static_cast<std::size_t>(row.endpoint);
        if (e < m_mixer.endpoints.endpoints.size() && m_mixer.endpoints.endpoints[e].present) {
            m_mixer.endpoints.SetMuted(e, !m_mixer.endpoints.endpoints[e].muted);
        }
        return;
    }
    if (!row.recording) {
        sim::SimMixerControl* mute = ControlOf(row, MIXERCONTROL_CONTROLTYPE_MUTE);
        if (!mute || mute->values.empty()) return;
        const DWORD next = mute->values[0] ? 0 : 1;
        m_mixer.SetValues(*mute, std::vector<DWORD>(mute->values.size(), next), row.device);
        return;
    }
    sim::SimMixerLine* source = LineOf(row);
    sim::SimMixerControl* mux =
        m_mixer.FindControl(m_mixer.FindLine(row.destination, 0), MIXERCONTROL_CONTROLTYPE_MUX);
    if (!source || !mux) return;
    std::vector<DWORD> values(mux->values.size(), 0);
    for (std::size_t i = 0; i < mux->itemTexts.size() && i < values.size(); ++i)
        values[i] = mux->itemTexts[i] == source->name;
    m_mixer.SetValues(*mux, values);
}

LRESULT CSimMixerPanel::OnRefresh(WPARAM, LPARAM) {
    m_refreshPosted = false;
    const sim::SimMixerDevice& adapter = m_mixer.Adapter();
    std::string device = m_mixer.PerEndpoint() ? "USB endpoints" : adapter.product;
    device += std::string(adapter.present ? "" : " (unplugged)") + ", " +
              std::to_string(m_mixer.OpenHandles()) + " handles";
    if (m_mixer.PerEndpoint()) {
        device += ", " + std::to_string(m_mixer.endpoints.OpenVolumes()) + " volumes";
    }
    ::SetDlgItemTextA(m_hWnd, IDC_SIM_MIXER_DEVICE, device.c_str());
    ::EnableWindow(GetDlgItem(IDC_SIM_MIXER_LAYOUT), !adapter.present);
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row)
        ShowRow(row);
    return 0;
}

void CSimMixerPanel::ShowEndpointRow(int index, const sim::SimEndpoint& endpoint) {
    const std::vector<float>& levels = endpoint.levels;
    const float master = levels.empty() ? 0.0f : *std::max_element(levels.begin(), levels.end());
    char text[64] = "";
    if (levels.size() >= 2) {
        std::snprintf(text, sizeof(text), "L %.0f%%  R %.0f%%", levels[0] * 100.0,
                      levels[1] * 100.0);
    } else {
        std::snprintf(text, sizeof(text), "%.0f%%", master * 100.0);
    }
    ::SetDlgItemTextA(m_hWnd, RowId(index, kValues), text);
    int balance = kScale / 2;
    if (levels.size() >= 2 && master > 0.0f) {
        balance = static_cast<int>(((levels[1] - levels[0]) / master + 1.0f) * kScale / 2 + 0.5f);
    }
    const auto place = [](HWND bar, int position) {
        if (::GetCapture() != bar) ::SendMessageA(bar, TBM_SETPOS, TRUE, position);
    };
    place(Item(index, kVolume), static_cast<int>(master * kScale + 0.5f));
    place(Item(index, kBalance), balance);
    ::EnableWindow(Item(index, kVolume), endpoint.present);
    ::EnableWindow(Item(index, kBalance), endpoint.present && levels.size() >= 2);
    ::EnableWindow(Item(index, kButton), endpoint.present);
    ::SendMessageA(Item(index, kButton), BM_SETCHECK, endpoint.muted ? BST_CHECKED : 0, 0);
}

void CSimMixerPanel::ShowRow(int index) {
    const Row& row = m_rows[static_cast<std::size_t>(index)];
    if (row.endpoint >= 0) {
        const auto e = static_cast<std::size_t>(row.endpoint);
        if (e < m_mixer.endpoints.endpoints.size()) {
            ShowEndpointRow(index, m_mixer.endpoints.endpoints[e]);
        }
        return;
    }
    sim::SimMixerControl* volume = ControlOf(row, MIXERCONTROL_CONTROLTYPE_VOLUME);
    char text[64] = "";
    if (volume && volume->values.size() >= 2) {
        std::snprintf(text, sizeof(text), "L %lu  R %lu",
                      static_cast<unsigned long>(volume->values[0]),
                      static_cast<unsigned long>(volume->values[1]));
    } else if (volume && !volume->values.empty()) {
        std::snprintf(text, sizeof(text), "%lu", static_cast<unsigned long>(volume->values[0]));
    }
    ::SetDlgItemTextA(m_hWnd, RowId(index, kValues), text);

    const DWORD span = volume ? std::max<DWORD>(volume->maximum - volume->minimum, 1) : 1;
    const DWORD louder = volume ? Louder(volume->values) : 0;
    int balance = kScale / 2;
    if (volume && volume->values.size() >= 2 && louder) {
        const double ratio = (static_cast<double>(volume->values[1]) - volume->values[0]) / louder;
        balance = static_cast<int>((ratio + 1.0) * kScale / 2 + 0.5);
    }
    const auto place = [](HWND bar, int position) {
        if (::GetCapture() != bar) ::SendMessageA(bar, TBM_SETPOS, TRUE, position);
    };
    place(Item(index, kVolume),
          static_cast<int>(static_cast<unsigned long long>(louder) * kScale / span));
    place(Item(index, kBalance), balance);
    ::EnableWindow(Item(index, kVolume), volume != nullptr);
    ::EnableWindow(Item(index, kBalance), volume && volume->values.size() >= 2);

    bool on = false;
    bool available = false;
    if (!row.recording) {
        const sim::SimMixerControl* mute = ControlOf(row, MIXERCONTROL_CONTROLTYPE_MUTE);
        available = mute != nullptr;
        on = mute && !mute->values.empty() && mute->values[0];
    } else if (const sim::SimMixerLine* source = LineOf(row)) {
        const sim::SimMixerControl* mux =
            m_mixer.FindControl(m_mixer.FindLine(row.destination, 0), MIXERCONTROL_CONTROLTYPE_MUX);
        available = mux != nullptr;
        for (std::size_t i = 0; mux && i < mux->itemTexts.size() && i < mux->values.size(); ++i)
            on = on || (mux->itemTexts[i] == source->name && mux->values[i]);
    }
    ::EnableWindow(Item(index, kButton), available);
    ::SendMessageA(Item(index, kButton), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}
