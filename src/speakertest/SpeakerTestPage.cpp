#include "speakertest/SpeakerTestPage.h"

#include <windowsx.h>

#include "framework/ResString.h"
#include "platform/Seams.h"
#include "res/resource.h"
#include "speakertest/SurroundSweep.h"
#include "ui/Skin.h"

using ui::LoadBitmapResource;

using speakertest::Speaker;

namespace {

constexpr UINT kRadios[] = {IDC_TEST_AUTO, IDC_TEST_MANUAL, IDC_TEST_SURROUND};

void StopAllSounds() {
    platform::Sound().PlaySound(nullptr, nullptr, SND_PURGE);
}

}  // namespace

CSpeakerTestPage::CSpeakerTestPage() : CSkinPage(IDD_SPEAKER_TEST_PAGE, -1) {}

CSpeakerTestPage::~CSpeakerTestPage() = default;

const fw::MessageMap* CSpeakerTestPage::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnCommand<&CSpeakerTestPage::OnAuto>(IDC_TEST_AUTO),
        fw::OnCommand<&CSpeakerTestPage::OnManual>(IDC_TEST_MANUAL),
        fw::OnCommand<&CSpeakerTestPage::OnSurround>(IDC_TEST_SURROUND),
        fw::OnCommand<&CSpeakerTestPage::OnTest>(IDC_TEST_BUTTON),
        fw::OnTimer<&CSpeakerTestPage::OnTimer>(),
        fw::OnMessage<&CSpeakerTestPage::OnButtonDown>(WM_LBUTTONDOWN),
        fw::OnMessage<&CSpeakerTestPage::OnButtonUp>(WM_LBUTTONUP),
        fw::OnMessage<&CSpeakerTestPage::OnMouseMove>(WM_MOUSEMOVE),
        fw::OnDrawItem<&CSpeakerTestPage::OnDrawItem>(),
    };
    static const fw::MessageMap kMap{CSkinPage::GetMessageMap(), kRows};
    return &kMap;
}

BOOL CSpeakerTestPage::OnInitDialog() {
    CSkinPage::OnInitDialog();
    LayOutTiles();
    LoadTileBitmaps();
    LoadTestSettings();
    return TRUE;
}

void CSpeakerTestPage::LayOutTiles() {
    RECT group{};
    ::GetWindowRect(GetDlgItem(IDC_TILE_GROUP), &group);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&group), 2);
    m_layout = speakertest::LayOutTiles(group);
    for (int i = 0; i < speakertest::kSpeakerCount; ++i) {
        const Speaker speaker = speakertest::SpeakerAt(i);
        const RECT& tile = speakertest::TileRect(m_layout, speaker);
        ::MoveWindow(GetDlgItem(static_cast<int>(speakertest::Info(speaker).tile)), tile.left,
                     tile.top, speakertest::kTileWidth, speakertest::Info(speaker).height, TRUE);
    }
    const RECT& head = m_layout.listener;
    ::MoveWindow(GetDlgItem(IDC_TILE_LISTENER), head.left, head.top, head.right - head.left,
                 head.bottom - head.top, TRUE);
}

// Loaded once; the tiles swap between them by handle.
void CSpeakerTestPage::LoadTileBitmaps() {
    for (int i = 0; i < speakertest::kSpeakerCount; ++i) {
        const speakertest::SpeakerInfo& info = speakertest::Info(speakertest::SpeakerAt(i));
        TileBitmaps& tile = m_tiles[static_cast<std::size_t>(i)];
        tile.normal.Reset(LoadBitmapResource(info.normal));
        tile.pressed.Reset(LoadBitmapResource(info.pressed));
    }
}

HBITMAP CSpeakerTestPage::TileImage(Speaker speaker, bool pressed) const {
    const TileBitmaps& tile = m_tiles[static_cast<std::size_t>(speakertest::Index(speaker))];
    return pressed ? tile.pressed.Get() : tile.normal.Get();
}

void CSpeakerTestPage::ShowTile(Speaker speaker, bool pressed) const {
    ::SendDlgItemMessageA(m_hWnd, static_cast<int>(speakertest::Info(speaker).tile), STM_SETIMAGE,
                          IMAGE_BITMAP, reinterpret_cast<LPARAM>(TileImage(speaker, pressed)));
}

void CSpeakerTestPage::PlayTone(Speaker speaker) const {
    platform::Sound().PlaySound(MAKEINTRESOURCEA(speakertest::Info(speaker).tone),
                                fw::ResourceModule(), SND_RESOURCE | SND_ASYNC | SND_LOOP);
}

void CSpeakerTestPage::RedrawTestButton() const {
    ::RedrawWindow(GetDlgItem(IDC_TEST_BUTTON), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CSpeakerTestPage::EnableTestButton(bool enable) const {
    ::EnableWindow(GetDlgItem(IDC_TEST_BUTTON), enable);
}

void CSpeakerTestPage::EnableRadios(bool enable) const {
    for (UINT radio : kRadios)
        ::EnableWindow(GetDlgItem(static_cast<int>(radio)), enable);
}

// The member first, then the settings key; a failed write leaves the member as it is.
void CSpeakerTestPage::SetMode(DWORD mode) {
    m_testMode = mode;
    m_key.Write(settings::kTestMode, mode);
}

void CSpeakerTestPage::SetStatus(DWORD status) {
    m_buttonStatus = status;
    m_key.Write(settings::kTestBtnStatus, status);
}

DWORD CSpeakerTestPage::ReadOrWrite(const char* name, DWORD fallback) const {
    DWORD value = 0;
    const LONG result = m_key.Query(name, value);
    if (result == ERROR_SUCCESS) return value;
    if (CSettingsKey::NeedsDefault(result)) m_key.Write(name, fallback);
    return fallback;
}

bool CSpeakerTestPage::Report(UINT text, UINT caption, UINT type) {
    const int closes = m_closes;
    platform::Prompts().MessageBox(m_hWnd, fw::ResString(text).c_str(),
                                   fw::ResString(caption).c_str(), type);
    return !Overtaken(closes);
}

void CSpeakerTestPage::LoadTestSettings() {
    m_key.Close();
    m_key.Open();
    m_testMode = ReadOrWrite(settings::kTestMode, kModeManual);
    m_buttonStatus = ReadOrWrite(settings::kTestBtnStatus, kButtonDisabled);
    for (DWORD mode = kModeAuto; mode <= kModeSurround; ++mode) {
        ::CheckDlgButton(m_hWnd, static_cast<int>(kRadios[mode - 1]),
                         mode == m_testMode ? BST_CHECKED : BST_UNCHECKED);
    }
    if (m_buttonStatus != kButtonDisabled) {
        EnableTestButton(true);
        m_captionTest = 1;
    } else {
        EnableTestButton(false);
    }
    RedrawTestButton();
    m_pressed = 0;
    m_auto = {};
}

void CSpeakerTestPage::OpenTestPage() {
    if (!m_channel.Open()) {
        Report(IDS_DRIVER_NOT_LOADED, IDS_ERROR_CAPTION, MB_ICONERROR | MB_OK);
        return;
    }
    if (!m_channel.Send(device::IOCTL_FILTER_OFF) &&
        !Report(IDS_TRANSPORT_ERROR, IDS_IOCONTROL_ERROR, MB_OK)) {
        return;
    }
    m_filterSetting = ReadOrWrite(settings::kEnableFilter, 1);
    ShowWindow(SW_RESTORE);
}

void CSpeakerTestPage::CloseTestPage() {
    const int closes = ++m_closes;
    StopAllSounds();
    StopRunningTest();
    if (Overtaken(closes) || !RestoreFilterAndLetGo()) return;
    platform::Sound().PlaySound(MAKEINTRESOURCEA(IDW_SILENCE), fw::ResourceModule(),
                                SND_RESOURCE | SND_ASYNC);
    m_shown = 0;
    ShowWindow(SW_HIDE);
}

// The running test as the Test button's stop would end it, the idle state stored first.
void CSpeakerTestPage::StopRunningTest() {
    if (m_buttonStatus == kButtonRunning) {
        RedrawTestButton();
        m_captionTest = 1;
        EnableRadios(true);
        SetStatus(kButtonIdle);
        if (m_testMode == kModeAuto) {
            StopAutoTest();
        } else if (m_testMode == kModeManual) {
            StopAllSounds();
        } else if (m_testMode == kModeSurround) {
            StopSurroundTest();
        }
    }
    // A sweep whose stop could not switch the filter off runs on with the Test button idle; it
    // ends here, with the window, and not later on a hidden page.
    if (m_hWnd && m_sweepRunning) {
        platform::Sound().SndPlaySound(nullptr, 0);
        EndSweep();
    }
}

// The handle is taken out of the member first: a close that runs while the box below is open
// finds no handle, and the handle is closed whatever happens meanwhile. It is closed even when
// the page was not marked shown, which happens only when the close comes while the open's own
// box is up. False when the close was overtaken while the box was open.
bool CSpeakerTestPage::RestoreFilterAndLetGo() {
    CDeviceChannel channel = std::move(m_channel);
    if (m_shown && channel.IsOpen()) {
        const DWORD request = m_filterSetting ? device::IOCTL_FILTER_ON : device::IOCTL_FILTER_OFF;
        if (!channel.Send(request) && !Report(IDS_TRANSPORT_ERROR, IDS_IOCONTROL_ERROR, MB_OK)) {
            return false;
        }
    }
    return true;
}

void CSpeakerTestPage::ReleaseTestSettings() {
    CloseTestPage();
    m_key.Close();
}

void CSpeakerTestPage::OnAuto() {
    if (!m_channel.IsOpen()) return;
    EnableTestButton(true);
    m_captionTest = 1;
    RedrawTestButton();
    if (!m_channel.Send(device::IOCTL_FILTER_OFF)) {
        Report(IDS_TRANSPORT_ERROR, IDS_IOCONTROL_ERROR, MB_OK);
        return;
    }
    SetMode(kModeAuto);
    SetStatus(kButtonIdle);
}

void CSpeakerTestPage::OnManual() {
    if (!m_channel.IsOpen()) return;
    EnableTestButton(false);
    RedrawTestButton();
    if (!m_channel.Send(device::IOCTL_FILTER_OFF)) {
        Report(IDS_TRANSPORT_ERROR, IDS_IOCONTROL_ERROR, MB_OK);
        return;
    }
    SetMode(kModeManual);
    SetStatus(kButtonDisabled);
}

// Needs no handle: the surround test itself checks for one when it starts.
void CSpeakerTestPage::OnSurround() {
    EnableTestButton(true);
    RedrawTestButton();
    m_captionTest = 1;
    SetMode(kModeSurround);
    SetStatus(kButtonIdle);
}

// The stored mode and button state decide, not the radios; a failed read keeps what is held.
void CSpeakerTestPage::OnTest() {
    DWORD value = 0;
    if (m_key.Query(settings::kTestMode, value) == ERROR_SUCCESS) m_testMode = value;
    if (m_testMode == 0 || m_testMode == kModeManual) {
        EnableTestButton(false);
        m_captionTest = 1;
        SetStatus(kButtonDisabled);
        return;
    }
    if (m_key.Query(settings::kTestBtnStatus, value) == ERROR_SUCCESS) m_buttonStatus = value;
    if (m_buttonStatus == kButtonIdle) {
        m_captionTest = 0;
        RedrawTestButton();
        EnableRadios(false);
        SetStatus(kButtonRunning);
        if (m_testMode == kModeAuto) StartAutoTest();
        if (m_testMode == kModeSurround) StartSurroundTest();
    } else if (m_buttonStatus == kButtonRunning) {
        m_captionTest = 1;
        RedrawTestButton();
        EnableRadios(true);
        SetStatus(kButtonIdle);
        if (m_testMode == kModeAuto) StopAutoTest();
        if (m_testMode == kModeSurround) StopSurroundTest();
    }
}

void CSpeakerTestPage::StartAutoTest() {
    SetTimer(kSequenceTimer, kSequencePeriod);
    if (const auto current = speakertest::SpeakerOfStep(m_auto.step)) ShowTile(*current, false);
    m_auto = {1, 0};
}

void CSpeakerTestPage::StopAutoTest() {
    if (const auto current = speakertest::SpeakerOfStep(m_auto.step)) ShowTile(*current, false);
    m_auto.tick = 0;
    KillTimer(kSequenceTimer);
    m_auto.step = 0;
    StopAllSounds();
}

// A tick that was already queued when its timer was killed finds step 0 and does nothing.
void CSpeakerTestPage::SequenceTick() {
    const speakertest::AutoTick tick = speakertest::NextAutoTick(m_auto);
    for (int i = 0; i < tick.imageCount; ++i) {
        const speakertest::TileImage& image = tick.images[static_cast<std::size_t>(i)];
        ShowTile(image.speaker, image.pressed);
    }
    if (tick.tone) PlayTone(*tick.tone);
}

void CSpeakerTestPage::OnTimer(UINT_PTR id) {
    if (id == kSweepTimer) SweepTick();
    if (id == kSequenceTimer) SequenceTick();
    Default();
}

void CSpeakerTestPage::PlaySweepSound() const {
    HMODULE module = fw::ResourceModule();
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(IDW_SWEEP), "WAVE");
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* image = loaded ? ::LockResource(loaded) : nullptr;
    if (!image) return;
    platform::Sound().SndPlaySound(static_cast<const char*>(image),
                                   SND_ASYNC | SND_NODEFAULT | SND_MEMORY | SND_LOOP);
}

void CSpeakerTestPage::StartSurroundTest() {
    if (!m_channel.IsOpen()) return;
    if (!m_channel.Send(device::IOCTL_FILTER_ON)) {
        Report(IDS_TRANSPORT_ERROR, IDS_IOCONTROL_ERROR, MB_OK);
        return;
    }
    // Without the driver's sweep the sound and the marker still run; but not if the test was
    // stopped or the program ended while the box was open.
    if (!m_channel.Send(device::IOCTL_SURROUND_START) &&
        !Report(IDS_TRANSPORT_ERROR, IDS_IOCONTROL_ERROR, MB_OK)) {
        return;
    }
    PlaySweepSound();
    m_sweepStart = platform::System().TimeGetTime();
    SetTimer(kSweepTimer, 0);
    m_sweepRunning = true;
}

void CSpeakerTestPage::StopSurroundTest() {
    if (!m_channel.IsOpen()) return;
    // The sweep goes on when the filter cannot be switched off.
    if (!m_channel.Send(device::IOCTL_FILTER_OFF)) {
        Report(IDS_TRANSPORT_ERROR, IDS_IOCONTROL_ERROR, MB_OK);
        return;
    }
    StopAllSounds();
    platform::Sound().SndPlaySound(nullptr, 0);
    if (!m_channel.Send(device::IOCTL_SURROUND_STOP)) {
        Report(IDS_TRANSPORT_ERROR, IDS_IOCONTROL_ERROR, MB_OK);
        if (!m_hWnd) return;
    }
    EndSweep();
}

void CSpeakerTestPage::EndSweep() {
    KillTimer(kSweepTimer);
    m_sweepRunning = false;
    // A fresh image wipes the marker; the one it replaces is deleted unless it is the
    // template's own.
    fw::Bitmap fresh(LoadBitmapResource(IDB_DYNAMIC));
    ::SendDlgItemMessageA(m_hWnd, IDC_DYNAMIC_PANEL, STM_SETIMAGE, IMAGE_BITMAP,
                          reinterpret_cast<LPARAM>(fresh.Get()));
    m_panelImage = std::move(fresh);
}

// A tick that was already queued when the sweep stopped does nothing.
void CSpeakerTestPage::SweepTick() {
    if (!m_sweepRunning) return;
    const DWORD elapsed = platform::System().TimeGetTime() - m_sweepStart;
    const speakertest::SweepPoint point = speakertest::SweepAt(static_cast<double>(elapsed));
    if (point.resend && m_channel.IsOpen()) m_channel.Send(device::IOCTL_SURROUND_START);
    DrawSweepMarker(point.a, point.b);
}

void CSpeakerTestPage::DrawSweepMarker(float a, float b) {
    speakertest::DrawSweepMarker(m_hWnd, GetDlgItem(IDC_DYNAMIC_PANEL), a, b);
}

void CSpeakerTestPage::PressSpeaker(Speaker speaker) {
    ShowTile(speaker, true);
    m_pressed = speakertest::Index(speaker) + 1;
    PlayTone(speaker);
}

void CSpeakerTestPage::ReleaseSpeaker() {
    StopAllSounds();
    ShowTile(speakertest::SpeakerAt(m_pressed - 1), false);
    m_pressed = 0;
}

// Only in Manual mode; the page does not capture the mouse.
LRESULT CSpeakerTestPage::OnButtonDown(WPARAM, LPARAM lp) {
    if (m_testMode == kModeManual) {
        const POINT point{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        if (const auto speaker = speakertest::SpeakerPressedAt(m_layout, point)) {
            PressSpeaker(*speaker);
        }
    }
    return Default();
}

LRESULT CSpeakerTestPage::OnButtonUp(WPARAM, LPARAM) {
    if (m_pressed) ReleaseSpeaker();
    return Default();
}

LRESULT CSpeakerTestPage::OnMouseMove(WPARAM, LPARAM lp) {
    if (m_pressed) {
        const POINT point{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        const Speaker speaker = speakertest::SpeakerAt(m_pressed - 1);
        if (!speakertest::InTile(speakertest::TileRect(m_layout, speaker), point)) {
            ReleaseSpeaker();
        }
    }
    return Default();
}

void CSpeakerTestPage::OnDrawItem(UINT, DRAWITEMSTRUCT& item) {
    if (item.CtlType == ODT_BUTTON) speakertest::DrawTestButton(item, m_captionTest != 0);
}

namespace speakertest {

void DrawTestButton(const DRAWITEMSTRUCT& item, bool captionTest) {
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const RECT inner{rect.left + 1, rect.top + 4, rect.right - 1, rect.bottom - 1};
    fw::SaveDcGuard saved(dc);
    const int edge = ::GetSystemMetrics(SM_CYEDGE);
    rect.top += edge;
    ui::FrameButton(dc, rect, ui::ButtonLooksPressed(item));
    constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (item.itemState == ODS_DISABLED) {
        const std::string caption = fw::ResString(IDS_TEST);
        ui::FillSolid(dc, inner, ui::kDisabledFace);
        ::SetBkColor(dc, ui::kDisabledFace);
        ::SetTextColor(dc, RGB(255, 255, 255));
        rect.left += 1;
        rect.top += 1;
        ::DrawTextA(dc, caption.c_str(), -1, &rect, kCentred);
        rect = {rect.left - 1, rect.top - 1, rect.right - 1, rect.bottom - 1};
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ui::kEngraved);
        ::DrawTextA(dc, caption.c_str(), -1, &rect, kCentred);
    } else {
        const std::string caption = fw::ResString(captionTest ? IDS_TEST : IDS_STOP);
        ui::FillSolid(dc, inner, ui::kButtonFace);
        ::SetBkColor(dc, ui::kButtonFace);
        ::SetTextColor(dc, RGB(0, 0, 0));
        rect.top -= edge;
        ::DrawTextA(dc, caption.c_str(), -1, &rect, kCentred);
    }
}

}  // namespace speakertest
