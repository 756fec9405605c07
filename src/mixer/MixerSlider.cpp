#include "mixer/MixerSlider.h"

#include <algorithm>

#include "framework/ResString.h"
#include "res/resource.h"
#include "ui/Skin.h"

using ui::LoadBitmapResource;

namespace {

constexpr COLORREF kKnobFace = RGB(100, 100, 100);
constexpr COLORREF kKnobLight = RGB(200, 200, 200);

bool IsFaderClass(DWORD controlType) {
    return (controlType & MIXERCONTROL_CT_CLASS_MASK) == MIXERCONTROL_CT_CLASS_FADER;
}

bool WritesOn(UINT code) {
    return code == TB_PAGEUP || code == TB_PAGEDOWN || code == TB_THUMBTRACK || code == TB_ENDTRACK;
}

void CopyBitmap(HDC target, HDC memory, HBITMAP bitmap, int x, int y, int width, int height,
                int sourceX) {
    if (!bitmap || width <= 0 || height <= 0) return;
    fw::SelectGuard select(memory, bitmap);
    ::BitBlt(target, x, y, width, height, memory, sourceX, 0, SRCCOPY);
}

// A one-pixel raised frame: light at top and left, black at bottom and right.
void FrameRaised(HDC dc, const RECT& r) {
    ui::FillSolid(dc, {r.left, r.top, r.right, r.top + 1}, kKnobLight);
    ui::FillSolid(dc, {r.left, r.top, r.left + 1, r.bottom}, kKnobLight);
    ui::FillSolid(dc, {r.left, r.bottom - 1, r.right, r.bottom}, RGB(0, 0, 0));
    ui::FillSolid(dc, {r.right - 1, r.top, r.right, r.bottom}, RGB(0, 0, 0));
}

}  // namespace

CMixerSlider::CMixerSlider()
    : m_track(LoadBitmapResource(IDB_TRACK)),
      m_knob(LoadBitmapResource(IDB_KNOB)),
      m_trackHorizontal(LoadBitmapResource(IDB_TRACK_HORIZONTAL)) {}

const fw::MessageMap* CMixerSlider::GetMessageMap() const {
    static constexpr fw::MsgRow kRows[] = {
        fw::OnMessage<&CMixerSlider::OnMixerChange>(MM_MIXM_CONTROL_CHANGE),
        fw::OnReflectScroll<&CMixerSlider::OnHScroll>(WM_HSCROLL),
        fw::OnReflectScroll<&CMixerSlider::OnVScroll>(WM_VSCROLL),
        fw::OnSignal<&CMixerSlider::OnPaint>(WM_PAINT),
        fw::OnEraseBkgnd<&CMixerSlider::OnEraseBkgnd>(),
        fw::OnMessage<&CMixerSlider::OnPrintClient>(WM_PRINTCLIENT),
        fw::OnMessage<&CMixerSlider::OnLButtonDown>(WM_LBUTTONDOWN),
        fw::OnMessage<&CMixerSlider::OnLButtonUp>(WM_LBUTTONUP),
        fw::OnMessage<&CMixerSlider::OnCaptureChanged>(WM_CAPTURECHANGED),
        fw::OnSignal<&CMixerSlider::OnDestroy>(WM_DESTROY),
        fw::OnMessage<&CMixerSlider::OnCentre>(WM_MIXSLIDER_CENTRE),
    };
    static const fw::MessageMap kMap{CSliderCtrl::GetMessageMap(), kRows};
    return &kMap;
}

bool CMixerSlider::IsVertical() const {
    return m_hWnd && (::GetWindowLongA(m_hWnd, GWL_STYLE) & TBS_VERT) != 0;
}

int CMixerSlider::Position() const {
    const int held = std::clamp(GetPos(), 0, mixer::kTopPosition);
    return IsVertical() ? mixer::kTopPosition - held : held;
}

void CMixerSlider::SetPosition(int position) const {
    const int p = std::clamp(position, 0, mixer::kTopPosition);
    SetPos(IsVertical() ? mixer::kTopPosition - p : p);
}

bool CMixerSlider::IsStereo() const {
    const MIXERLINEA& line = m_destinationOnly ? DestinationLine() : SourceLine();
    return line.cChannels >= 2 && ValueCount() >= 2;
}

bool CMixerSlider::Bind(DWORD destinationType, DWORD sourceType, DWORD controlType, Mode mode,
                        const char* sourceName) {
    if (!m_hWnd) return false;
    EnableWindow(FALSE);
    if (mode == Mode::Balance) SetPos((GetRangeMax() - GetRangeMin()) / 2);
    if (!IsFaderClass(controlType)) return false;
    m_mode = mode;
    if (!Open(destinationType, sourceType, controlType, m_hWnd, sourceName)) {
        SetRange(0, mixer::kTopPosition, TRUE);
        SetPos(mixer::kMiddlePosition);
        return false;
    }
    m_scale = mixer::ScaleOf(Control().Bounds.dwMinimum, Control().Bounds.dwMaximum);
    SetRange(0, mixer::kTopPosition, FALSE);
    // A trackbar of another range clamped the middle taken above; the middle of 0..18 it is.
    if (mode == Mode::Balance) SetPos(mixer::kMiddlePosition);
    m_destinationOnly = sourceType == kDestinationOnly ? 1 : 0;
    if (mode == Mode::Balance && !IsStereo()) {
        SetPos(mixer::kMiddlePosition);
        Close();
        return false;
    }
    if (!Values()) {
        Close();
        return false;
    }
    if (ReadValues()) {
        EnableWindow(TRUE);
        UpdateFromValues();
    }
    return true;
}

void CMixerSlider::UpdateFromValues() {
    const DWORD* values = Values();
    if (!values) return;
    const bool stereo = IsStereo();
    const DWORD left = values[0];
    const DWORD right = stereo ? values[1] : 0;
    const DWORD louder = mixer::Louder(left, right, stereo);
    if (stereo) mixer::BalanceRatio(left, right, m_ratio);
    if (m_mode == Mode::Volume) {
        SetPosition(mixer::VolumePosition(louder, m_scale));
    } else if (louder > 0) {
        SetPosition(mixer::BalancePosition(m_ratio));
    }
}

void CMixerSlider::Write() {
    if (!CanWrite()) return;
    DWORD* values = Values();
    const bool stereo = IsStereo();
    const int position = Position();
    const DWORD value = mixer::ThumbValue(position, m_scale);
    const mixer::Channels current{values[0], stereo ? values[1] : 0};
    const DWORD louder = mixer::Louder(current.left, current.right, stereo);
    const mixer::Channels next = m_mode == Mode::Volume
                                     ? mixer::VolumeWrite(value, m_ratio, current, stereo)
                                     : mixer::BalanceWrite(value, position, m_scale, louder);
    values[0] = next.left;
    if (stereo) values[1] = next.right;
    WriteValues();
}

void CMixerSlider::CentreAndApply() {
    SetPosition(mixer::kMiddlePosition);
    Invalidate(TRUE);
    Write();
}

LRESULT CMixerSlider::OnCentre(WPARAM, LPARAM) {
    CentreAndApply();
    return 1;
}

LRESULT CMixerSlider::OnMixerChange(WPARAM mixer, LPARAM controlId) {
    if (!CanWrite() || reinterpret_cast<HMIXER>(mixer) != MixerHandle() ||
        static_cast<DWORD>(controlId) != Control().dwControlID) {
        return 0;
    }
    if (ReadValues()) {
        UpdateFromValues();
        Invalidate(TRUE);
    }
    return 0;
}

void CMixerSlider::OnHScroll(UINT code, UINT) {
    if (!WritesOn(code)) return;
    Invalidate(TRUE);
    Write();
}

void CMixerSlider::OnVScroll(UINT code, UINT) {
    if (WritesOn(code)) Write();
}

void CMixerSlider::Paint(HDC dc) const {
    const RECT client = GetClientRect();
    fw::MemoryDc memory(::CreateCompatibleDC(nullptr));
    if (!memory) return;
    if (m_horizontalLook) {
        CopyBitmap(dc, memory.Get(), m_trackHorizontal.Get(), 3, 0, client.right - 6,
                   client.bottom + 3, 10);
    } else {
        CopyBitmap(dc, memory.Get(), m_track.Get(), 0, 2, client.right, client.bottom - 4, 0);
    }
    const SIZE knob = ui::BitmapSize(m_knob.Get());
    const RECT r = mixer::KnobRect(GetThumbRect(), IsVertical(), knob);
    if (m_horizontalLook) {
        const RECT face{r.left + 2, r.top + 1, r.right, r.bottom - 9};
        ui::FillSolid(dc, face, kKnobFace);
        FrameRaised(dc, face);
    } else {
        CopyBitmap(dc, memory.Get(), m_knob.Get(), r.left, r.top, r.right - r.left - 1,
                   r.bottom - r.top - 1, 0);
    }
}

void CMixerSlider::OnPaint() {
    fw::PaintDc paint(m_hWnd);
    Paint(paint.Get());
}

BOOL CMixerSlider::OnEraseBkgnd(HDC) {
    return FALSE;
}

LRESULT CMixerSlider::OnPrintClient(WPARAM wp, LPARAM) {
    Paint(reinterpret_cast<HDC>(wp));
    return 0;
}

LRESULT CMixerSlider::OnLButtonDown(WPARAM, LPARAM) {
    const LRESULT result = Default();
    m_pressed = 1;
    Invalidate(TRUE);
    return result;
}

LRESULT CMixerSlider::OnLButtonUp(WPARAM, LPARAM) {
    const LRESULT result = Default();
    m_pressed = 0;
    Invalidate(TRUE);
    return result;
}

LRESULT CMixerSlider::OnCaptureChanged(WPARAM, LPARAM) {
    if (m_pressed) {
        ::ReleaseCapture();
        Invalidate(TRUE);
    }
    return Default();
}

void CMixerSlider::OnDestroy() {
    Close();
    Default();
}
