#pragma once

#include <array>

#include "device/DeviceChannel.h"
#include "device/SettingsKey.h"
#include "framework/Handles.h"
#include "speakertest/SpeakerTiles.h"
#include "ui/SkinPage.h"

// The speaker test window's page: the three test modes, the Test button, the six speaker tiles
// and the Dynamic panel. While its window is shown it holds its own handle on the adapter and
// keeps the output filter off, except during a Surround test.
//
// Its failure boxes run nested message loops in which the adapter can be pulled out (the page is
// then released and hidden) or the program can end (its window is destroyed; the object lives
// on until the main window goes). After each box a handler goes on only if neither happened.
class CSpeakerTestPage : public CSkinPage {
  public:
    static constexpr UINT_PTR kSequenceTimer = 32774;
    static constexpr UINT kSequencePeriod = 100;
    static constexpr UINT_PTR kSweepTimer = 32772;

    // Test modes and Test button states as the settings key stores them.
    static constexpr DWORD kModeAuto = 1;
    static constexpr DWORD kModeManual = 2;
    static constexpr DWORD kModeSurround = 3;
    static constexpr DWORD kButtonDisabled = 0;
    static constexpr DWORD kButtonIdle = 1;
    static constexpr DWORD kButtonRunning = 2;

    CSpeakerTestPage();
    ~CSpeakerTestPage() override;

    // Opens the settings key and sets the radios and the Test button from the stored mode and
    // button state.
    void LoadTestSettings();
    // Opens the adapter, switches the filter off, reads how to leave it at the close, and shows
    // the page. A failed open is reported and leaves the page without a handle.
    void OpenTestPage();
    // Stops a running test, puts the filter back as stored, lets go of the adapter, plays the
    // silence clip and hides the page.
    void CloseTestPage();
    // The close, then the settings key is closed too.
    void ReleaseTestSettings();

    void StartAutoTest();
    void StopAutoTest();
    void StartSurroundTest();
    void StopSurroundTest();
    void DrawSweepMarker(float a, float b);

    // Set by the window while it is shown and the test page is open.
    bool IsShown() const { return m_shown != 0; }
    void SetShown(bool shown) { m_shown = shown ? 1 : 0; }
    // Counts the closes, so that a caller can tell whether one ran while a box was open.
    int CloseCount() const { return m_closes; }

    DWORD TestMode() const { return m_testMode; }
    DWORD ButtonStatus() const { return m_buttonStatus; }
    bool CaptionShowsTest() const { return m_captionTest != 0; }
    bool HasDevice() const { return m_channel.IsOpen(); }
    bool SweepRunning() const { return m_sweepRunning; }
    int PressedSpeaker() const { return m_pressed; }
    const speakertest::AutoState& AutoSequence() const { return m_auto; }
    const speakertest::TileLayout& Layout() const { return m_layout; }
    HBITMAP TileImage(speakertest::Speaker speaker, bool pressed) const;

  protected:
    BOOL OnInitDialog() override;
    const fw::MessageMap* GetMessageMap() const override;

  private:
    struct TileBitmaps {
        fw::Bitmap normal;
        fw::Bitmap pressed;
    };

    void OnAuto();
    void OnManual();
    void OnSurround();
    void OnTest();
    void OnTimer(UINT_PTR id);
    LRESULT OnButtonDown(WPARAM wp, LPARAM lp);
    LRESULT OnButtonUp(WPARAM wp, LPARAM lp);
    LRESULT OnMouseMove(WPARAM wp, LPARAM lp);
    void OnDrawItem(UINT id, DRAWITEMSTRUCT& item);

    void LayOutTiles();
    void LoadTileBitmaps();
    void SequenceTick();
    void SweepTick();
    void EndSweep();
    void StopRunningTest();
    bool RestoreFilterAndLetGo();
    void PressSpeaker(speakertest::Speaker speaker);
    void ReleaseSpeaker();

    void ShowTile(speakertest::Speaker speaker, bool pressed) const;
    void PlayTone(speakertest::Speaker speaker) const;
    void PlaySweepSound() const;
    void RedrawTestButton() const;
    void EnableTestButton(bool enable) const;
    void EnableRadios(bool enable) const;
    void SetMode(DWORD mode);
    void SetStatus(DWORD status);
    // The stored value (a shorter one zero-extended); or the fallback, written back when the
    // value is missing or longer than four bytes (any other failed read leaves it alone).
    DWORD ReadOrWrite(const char* name, DWORD fallback) const;

    // Shows a failure box owned by the page; false when, while it was open, the page was closed
    // or its window destroyed, so the caller must not go on.
    bool Report(UINT text, UINT caption, UINT type);
    bool Overtaken(int closes) const { return !m_hWnd || m_closes != closes; }

    int m_shown = 0;
    CDeviceChannel m_channel;
    DWORD m_filterSetting = 1;
    DWORD m_testMode = kModeManual;
    DWORD m_buttonStatus = kButtonDisabled;
    CSettingsKey m_key;
    DWORD m_sweepStart = 0;
    bool m_sweepRunning = false;
    speakertest::TileLayout m_layout{};
    int m_pressed = 0;
    speakertest::AutoState m_auto;
    std::array<TileBitmaps, speakertest::kSpeakerCount> m_tiles;
    fw::Bitmap m_panelImage;  // the Dynamic panel's clean image once a sweep has wiped it
    int m_captionTest = 1;
    int m_closes = 0;
};

namespace speakertest {
// The owner-drawn Test button: grey face, one-pixel 3-D frame, the caption centred; disabled, a
// lighter face and "Test" engraved.
void DrawTestButton(const DRAWITEMSTRUCT& item, bool captionTest);
}  // namespace speakertest
