#pragma once

#include <memory>

#include "app/TrayIcon.h"
#include "ui/SkinTabCtrl.h"
#include "ui/SkinWindow.h"

class CSpeakerTestDlg;

// The program's main window. Hidden, it anchors the tray icon, receives the tray menu's commands
// and the system's device notifications, and polls the adapter for the kind of stream playing;
// shown, it is the settings window with its tab strip. It owns the speaker test window.
class CMainDlg : public CSkinWindow {
  public:
    static constexpr UINT_PTR kPollTimer = 32769;
    static constexpr UINT kPollPeriod = 200;

    CMainDlg();
    ~CMainDlg() override;

    // The tray icon's current icon and menu resource ids.
    UINT TrayIconId() const { return m_trayIconId; }
    UINT TrayMenuId() const { return m_trayMenuId; }
    const CTrayIcon& TrayIcon() const { return m_tray; }
    bool IsDevicePresent() const { return m_devicePresent != 0; }
    CSpeakerTestDlg* SpeakerTest() const { return m_speakerTest.get(); }
    CSkinTabCtrl& Tabs() { return m_tabs; }

  protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    const fw::MessageMap* GetMessageMap() const override;

  private:
    void OnTimer(UINT_PTR id);
    LRESULT OnDeviceChange(WPARAM event, LPARAM data);
    LRESULT OnTrayCallback(WPARAM wp, LPARAM lp);
    LRESULT OnTaskbarCreated(WPARAM wp, LPARAM lp);
    void OnOpenSettings();
    void OnCloseSettings();
    void OnTestSpeaker();
    void OnExit();

    void HandleFirstLaunch();
    void InitDeviceState();
    void ConnectDevice();
    void DisconnectDevice();
    void ShowTrayState(UINT iconId, UINT menuId);
    void HideOwnedWindows();
    void AddTrayIcon(UINT iconId, UINT menuId);

    void Poll();
    void PlaySilence();
    void AskAboutFiveOneSource();
    // False when the notification ended the program.
    bool HandleArrival(int major, int minor);
    void HandleRemoval();

    // The mixer pages' defaults on the first start.
    void ApplyFirstLaunchDefaults();

    static UINT s_taskbarCreated;

    CTrayIcon m_tray;
    std::unique_ptr<CSpeakerTestDlg> m_speakerTest;
    std::unique_ptr<CSpeakerTestDlg> m_closedSpeakerTest;  // its window destroyed at exit
    CSkinTabCtrl m_tabs;
    HICON m_icon;
    int m_devicePresent = 0;
    int m_arrivals = 0;
    // Counts the arrivals and removals acted on, so a handler whose box let another one in sees it.
    unsigned m_deviceChanges = 0;
    int m_firstLaunch = 0;
    UINT m_trayIconId = 0;
    UINT m_trayMenuId = 0;
    // The pages hold the adapter and the poll runs, from a connect to the next disconnect.
    bool m_connected = false;
    // The 5.1 question is open.
    bool m_questionOpen = false;
};
