#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "framework/Button.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "tests/framework/framework_test_resource.h"

namespace {

constexpr UINT kThrowMessage = WM_APP + 7;

enum Kind { kCommand, kNotify, kScroll, kDrawItem, kCtlColor, kKinds };
constexpr const char* kKindNames[kKinds] = {"WM_COMMAND", "WM_NOTIFY", "WM_HSCROLL", "WM_DRAWITEM",
                                            "WM_CTLCOLORBTN"};

// A button that handles its own notifications when its parent reflects them to it.
class ReflectingButton : public CButton {
  public:
    int seen[kKinds] = {};
    void ResetCounts() { std::fill(std::begin(seen), std::end(seen), 0); }
    fw::Brush brush{::CreateSolidBrush(RGB(1, 2, 3))};

  protected:
    const fw::MessageMap* GetMessageMap() const override {
        static constexpr fw::MsgRow kRows[] = {
            fw::OnReflectCommand<&ReflectingButton::OnClicked>(BN_CLICKED),
            fw::OnReflectNotify<&ReflectingButton::OnClick>(NM_CLICK),
            fw::OnReflectScroll<&ReflectingButton::OnScrolled>(WM_HSCROLL),
            fw::OnReflectDrawItem<&ReflectingButton::OnDraw>(),
            fw::OnReflectCtlColor<&ReflectingButton::OnColor>(),
            fw::OnMessage<&ReflectingButton::OnThrow>(kThrowMessage),
        };
        static const fw::MessageMap kMap{CButton::GetMessageMap(), kRows};
        return &kMap;
    }

  private:
    void OnClicked() { ++seen[kCommand]; }
    LRESULT OnClick(NMHDR*) {
        ++seen[kNotify];
        return 0;
    }
    void OnScrolled(UINT, UINT) { ++seen[kScroll]; }
    void OnDraw(DRAWITEMSTRUCT&) { ++seen[kDrawItem]; }
    HBRUSH OnColor(HDC) {
        ++seen[kCtlColor];
        return brush.Get();
    }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
};

class TopDialog : public CDialog {
  public:
    TopDialog() : CDialog(IDD_TEST_TOP) {}

    int cancels = 0;
    int seen[kKinds] = {};
    void ResetCounts() { std::fill(std::begin(seen), std::end(seen), 0); }
    HBRUSH defaultBrush = nullptr;
    ReflectingButton reflecting;
    fw::Brush brush{::CreateSolidBrush(RGB(9, 9, 9))};

  protected:
    void OnCancel() override { ++cancels; }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_TOP_REFLECTING, reflecting);
    }
    const fw::MessageMap* GetMessageMap() const override {
        static constexpr fw::MsgRow kRows[] = {
            fw::OnCommand<&TopDialog::OnClicked>(IDC_TOP_REFLECTING),
            fw::OnCommand<&TopDialog::OnClicked>(IDC_TOP_PLAIN),
            fw::OnNotify<&TopDialog::OnClick>(IDC_TOP_REFLECTING, NM_CLICK),
            fw::OnNotify<&TopDialog::OnClick>(IDC_TOP_PLAIN, NM_CLICK),
            fw::OnScroll<&TopDialog::OnScrolled>(WM_HSCROLL),
            fw::OnDrawItem<&TopDialog::OnDraw>(),
            fw::OnCtlColor<&TopDialog::OnColor>(),
            fw::OnNcHitTest<&TopDialog::OnHitTest>(),
            fw::OnMessage<&TopDialog::OnThrow>(kThrowMessage),
        };
        static const fw::MessageMap kMap{CDialog::GetMessageMap(), kRows};
        return &kMap;
    }

  private:
    void OnClicked() { ++seen[kCommand]; }
    LRESULT OnClick(NMHDR*) {
        ++seen[kNotify];
        return 0;
    }
    void OnScrolled(UINT, UINT, HWND) { ++seen[kScroll]; }
    void OnDraw(UINT, DRAWITEMSTRUCT&) { ++seen[kDrawItem]; }
    HBRUSH OnColor(HDC, HWND) {
        ++seen[kCtlColor];
        defaultBrush = reinterpret_cast<HBRUSH>(Default());
        return brush.Get();
    }
    LRESULT OnHitTest(POINT) { return HTCAPTION; }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
};

class PageDialog : public CDialog {
  public:
    PageDialog() : CDialog(IDD_TEST_PAGE) {}

    int cancels = 0;
    int check = 0;
    int radio = -1;
    std::string text;

  protected:
    void OnCancel() override { ++cancels; }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Check(dx, IDC_CHECK, check);
        DDX_Radio(dx, IDC_RADIO_A, radio);
        DDX_Text(dx, IDC_EDIT, text);
    }
};

// A shown top-level dialog with a child page dialog inside it, driven through the app's loop.
class Dialogs : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(top.Create());
        ASSERT_TRUE(page.Create(IDD_TEST_PAGE, &top));
        ::SetWindowPos(page.m_hWnd, nullptr, 0, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        top.ShowWindow(SW_SHOW);
        page.ShowWindow(SW_SHOW);
        ::SetForegroundWindow(top.m_hWnd);
        app.PumpPending();
        top.ResetCounts();
        top.reflecting.ResetCounts();
    }

    void PressKey(HWND target, UINT key) {
        ::PostMessageA(target, WM_KEYDOWN, key, 1);
        ::PostMessageA(target, WM_KEYUP, key, 0xC0000001);
        app.PumpPending();
    }

    LRESULT SendFrom(Kind kind, HWND child) {
        const int id = ::GetDlgCtrlID(child);
        const auto lp = reinterpret_cast<LPARAM>(child);
        switch (kind) {
            case kCommand:
                return top.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), lp);
            case kNotify: {
                NMHDR nm{child, static_cast<UINT_PTR>(id), static_cast<UINT>(NM_CLICK)};
                return top.SendMessage(WM_NOTIFY, static_cast<WPARAM>(id),
                                       reinterpret_cast<LPARAM>(&nm));
            }
            case kScroll:
                return top.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), lp);
            case kDrawItem: {
                DRAWITEMSTRUCT item{};
                item.CtlType = ODT_BUTTON;
                item.CtlID = static_cast<UINT>(id);
                item.hwndItem = child;
                item.hDC = memory.Get();
                return top.SendMessage(WM_DRAWITEM, static_cast<WPARAM>(id),
                                       reinterpret_cast<LPARAM>(&item));
            }
            default:
                return top.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(memory.Get()), lp);
        }
    }

    CWinApp app;
    TopDialog top;
    PageDialog page;
    fw::MemoryDc memory{::CreateCompatibleDC(nullptr)};
};

TEST_F(Dialogs, EscapeReachesTheInnermostDialogHoldingTheFocus) {
    struct Case {
        const char* where;
        CDialog* owner;
        int control;
        int pageCancels;
        int topCancels;
    } cases[] = {
        {"focus on a page's button", &page, IDC_PAGE_SECOND, 1, 0},
        {"focus on a page's edit", &page, IDC_EDIT, 1, 0},
        {"focus on the top-level window's own button", &top, IDC_TOP_BUTTON, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        page.cancels = top.cancels = 0;
        HWND target = c.owner->GetDlgItem(c.control);
        ::SetFocus(target);
        ASSERT_EQ(::GetFocus(), target);
        PressKey(target, VK_ESCAPE);
        EXPECT_EQ(page.cancels, c.pageCancels);
        EXPECT_EQ(top.cancels, c.topCancels);
    }
}

TEST_F(Dialogs, TabCyclesThroughThePageWithoutLeavingIt) {
    // Wine's tab order passes over a radio group in which nothing is checked.
    ::CheckRadioButton(page.m_hWnd, IDC_RADIO_A, IDC_RADIO_C, IDC_RADIO_A);
    const int order[] = {IDC_PAGE_SECOND, IDC_RADIO_A, IDC_CHECK, IDC_EDIT, IDC_PAGE_FIRST};
    ::SetFocus(page.GetDlgItem(IDC_PAGE_FIRST));
    for (int expected : order) {
        PressKey(::GetFocus(), VK_TAB);
        EXPECT_EQ(::GetDlgCtrlID(::GetFocus()), expected);
        EXPECT_TRUE(::IsChild(page.m_hWnd, ::GetFocus()));
    }
}

TEST_F(Dialogs, AReflectedNotificationHandledByTheChildIsNotSeenByTheParent) {
    HWND reflecting = top.GetDlgItem(IDC_TOP_REFLECTING);
    HWND plain = top.GetDlgItem(IDC_TOP_PLAIN);
    for (int k = 0; k < kKinds; ++k) {
        const Kind kind = static_cast<Kind>(k);
        SCOPED_TRACE(kKindNames[k]);

        const LRESULT fromChild = SendFrom(kind, reflecting);
        EXPECT_EQ(top.reflecting.seen[k], 1);
        EXPECT_EQ(top.seen[k], 0);
        if (kind == kCtlColor) {
            EXPECT_EQ(fromChild, reinterpret_cast<LRESULT>(top.reflecting.brush.Get()));
        }

        // A control that has no object of its own leaves the notification to the parent.
        SendFrom(kind, plain);
        EXPECT_EQ(top.reflecting.seen[k], 1);
        EXPECT_EQ(top.seen[k], 1);
    }
}

TEST_F(Dialogs, DialogProcedureReturnsResultsTheWayUser32ReadsThem) {
    // WM_CTLCOLOR* results come back directly, and the handler's call of the default handling
    // does not come back into the handler.
    const LRESULT brush = SendFrom(kCtlColor, top.GetDlgItem(IDC_TOP_PLAIN));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(top.brush.Get()));
    EXPECT_EQ(top.seen[kCtlColor], 1);
    EXPECT_NE(top.defaultBrush, nullptr);
    EXPECT_NE(top.defaultBrush, top.brush.Get());

    // Other results travel through DWLP_MSGRESULT.
    const RECT rc = top.GetWindowRect();
    const LPARAM inside = MAKELPARAM(rc.left + 5, rc.bottom - 5);
    EXPECT_EQ(top.SendMessage(WM_NCHITTEST, 0, inside), HTCAPTION);

    // A message no row takes gets the dialog's default handling.
    const RECT pageRc = page.GetWindowRect();
    EXPECT_EQ(page.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pageRc.left + 2, pageRc.top + 2)),
              HTCLIENT);
}

TEST_F(Dialogs, DataExchangeOfCheckBoxRadioGroupAndEdit) {
    page.radio = 5;
    page.UpdateData(TRUE);
    EXPECT_EQ(page.radio, -1) << "nothing checked";
    EXPECT_EQ(page.check, 0);
    EXPECT_EQ(page.text, "");

    page.radio = 1;
    page.check = 1;
    page.text = "5.1-channel data";
    page.UpdateData(FALSE);
    EXPECT_EQ(::IsDlgButtonChecked(page.m_hWnd, IDC_RADIO_A), BST_UNCHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(page.m_hWnd, IDC_RADIO_B), BST_CHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(page.m_hWnd, IDC_RADIO_C), BST_UNCHECKED);
    EXPECT_EQ(::IsDlgButtonChecked(page.m_hWnd, IDC_CHECK), BST_CHECKED);
    char text[64] = {};
    ::GetDlgItemTextA(page.m_hWnd, IDC_EDIT, text, sizeof(text));
    EXPECT_STREQ(text, "5.1-channel data");
    // The same text is not set again (setting an edit's text clears its modified flag).
    HWND edit = ::GetDlgItem(page.m_hWnd, IDC_EDIT);
    ::SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
    page.UpdateData(FALSE);
    EXPECT_TRUE(::SendMessageA(edit, EM_GETMODIFY, 0, 0));

    ::CheckRadioButton(page.m_hWnd, IDC_RADIO_A, IDC_RADIO_C, IDC_RADIO_C);
    ::CheckDlgButton(page.m_hWnd, IDC_CHECK, BST_UNCHECKED);
    ::SetDlgItemTextA(page.m_hWnd, IDC_EDIT, "2-channel data");
    page.UpdateData(TRUE);
    EXPECT_EQ(page.radio, 2);
    EXPECT_EQ(page.check, 0);
    EXPECT_EQ(page.text, "2-channel data");
}

TEST_F(Dialogs, AnExceptionFromAHandlerEndsTheLoopInsteadOfUnwindingThroughUser32) {
    const struct {
        const char* where;
        HWND window;
    } cases[] = {
        {"dialog procedure", top.m_hWnd},
        {"subclassed control", top.GetDlgItem(IDC_TOP_REFLECTING)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(::SendMessageA(c.window, kThrowMessage, 0, 0), 0);
        int code = -1;
        EXPECT_FALSE(app.PumpPending(&code));
        EXPECT_EQ(code, fw::kExitDispatchException);
    }
}

TEST(Subclassing, TheOriginalWindowProcedureComesBack) {
    TopDialog top;
    ASSERT_TRUE(top.Create());
    HWND plain = top.GetDlgItem(IDC_TOP_PLAIN);
    const LONG_PTR original = ::GetWindowLongPtrA(plain, GWLP_WNDPROC);
    {
        CButton button;
        ASSERT_TRUE(button.SubclassDlgItem(IDC_TOP_PLAIN, &top));
        EXPECT_NE(::GetWindowLongPtrA(plain, GWLP_WNDPROC), original);
        EXPECT_EQ(CWnd::FromHandlePermanent(plain), &button);
        CButton second;
        EXPECT_FALSE(second.SubclassDlgItem(IDC_TOP_PLAIN, &top)) << "one object per window";
        // The old procedure still does the default work.
        button.SetWindowText("Renamed");
        EXPECT_EQ(button.GetWindowText(), "Renamed");
    }
    EXPECT_EQ(::GetWindowLongPtrA(plain, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);

    // When the window goes first, the object lets go of it.
    CButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_TOP_PLAIN, &top));
    top.DestroyWindow();
    EXPECT_EQ(button.m_hWnd, nullptr);
    EXPECT_EQ(top.reflecting.m_hWnd, nullptr);
}

TEST(MainWindow, OwnsUnparentedDialogsAndItsDestructionEndsTheLoop) {
    CWinApp app;
    TopDialog main;
    ASSERT_TRUE(main.Create());
    app.m_pMainWnd = &main;

    TopDialog other;
    ASSERT_TRUE(other.Create());
    EXPECT_EQ(::GetWindow(other.m_hWnd, GW_OWNER), main.m_hWnd);

    main.DestroyWindow();
    int code = -1;
    EXPECT_FALSE(app.PumpPending(&code));
    EXPECT_EQ(code, 0);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
}

}  // namespace
