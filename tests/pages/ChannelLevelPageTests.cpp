#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "device/DeviceRecords.h"
#include "pages/ChannelLevelPage.h"
#include "pages/LevelScale.h"
#include "res/resource.h"
#include "tests/pages/PageTest.h"
#include "tests/support/Canvas.h"
#include "ui/Skin.h"

namespace {

using namespace device;
using testing_support::Bits;
using testing_support::StoredSetting;
using testing_support::StoreSetting;

// In the page's order.
constexpr const char* kSettings[] = {"VolumeL", "VolumeR",  "VolumeLFE",
                                     "VolumeC", "VolumeRL", "VolumeRR"};
constexpr int kSliders[] = {IDC_LEVEL_L, IDC_LEVEL_R,  IDC_LEVEL_LFE,
                            IDC_LEVEL_C, IDC_LEVEL_RL, IDC_LEVEL_RR};
constexpr int kResets[] = {IDC_RESET_L, IDC_RESET_R,  IDC_RESET_LFE,
                           IDC_RESET_C, IDC_RESET_RL, IDC_RESET_RR};
constexpr DWORD kRequests[] = {IOCTL_SET_GAIN_L, IOCTL_SET_GAIN_R,  IOCTL_SET_GAIN_LFE,
                               IOCTL_SET_GAIN_C, IOCTL_SET_GAIN_RL, IOCTL_SET_GAIN_RR};

class ChannelLevelPageTest : public testing_support::PageTest<CChannelLevelPage> {
  public:
    int Position(int channel) const {
        return static_cast<int>(::SendMessageA(Item(kSliders[channel]), TBM_GETPOS, 0, 0));
    }
    // The user moves a slider: the trackbar takes the position and tells its parent.
    void Move(int channel, int position, WORD code = TB_THUMBTRACK) const {
        HWND slider = Item(kSliders[channel]);
        ::SendMessageA(slider, TBM_SETPOS, TRUE, position);
        page->SendMessage(WM_VSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(slider));
    }
    // The bits of the gain in each request with this code.
    std::vector<DWORD> Sent(DWORD code) const {
        std::vector<DWORD> sent;
        for (const sim::DriverRequest& request : world.Requests()) {
            if (request.code != code || request.input.size() != 4) continue;
            DWORD bits = 0;
            std::memcpy(&bits, request.input.data(), 4);
            sent.push_back(bits);
        }
        return sent;
    }
};

TEST(LevelScale, PositionsAndGainsMeetAtTheirMarks) {
    EXPECT_EQ(levels::GainForPosition(0), 10.0f);
    EXPECT_EQ(levels::GainForPosition(20), 1.0f);
    EXPECT_EQ(levels::GainForPosition(40), static_cast<float>(std::pow(10.0, -1.0)));
    EXPECT_EQ(levels::GainForPosition(14), static_cast<float>(std::pow(10.0, 0.3)));
    const struct {
        float gain;
        int position;
    } cases[] = {
        {10.0f, 0},     {1.0f, 20},  {0.1f, 40},   {1000.0f, 0},
        {0.001f, 40},   {0.0f, 40},  {-2.0f, 40},  {std::numeric_limits<float>::max(), 0},
        {1.0e-44f, 40}, {1.06f, 19}, {0.944f, 21},
    };
    for (const auto& c : cases)
        EXPECT_EQ(levels::PositionForGain(c.gain), c.position) << c.gain;
}

TEST_F(ChannelLevelPageTest, AFreshInstallationShowsAndStoresZeroDecibelsAndSendsAllSix) {
    Create();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Position(i), 20) << i;
        EXPECT_EQ(StoredSetting(kSettings[i]), Bits(1.0f)) << i;
    }
    // Opened twice: the page's own handle, and a second one for the six requests.
    EXPECT_EQ(world.DriverOpenAttempts(), 2);
    EXPECT_EQ(world.OpenHandles(), 1);
    std::vector<DWORD> codes;
    for (const sim::DriverRequest& request : world.Requests())
        codes.push_back(request.code);
    EXPECT_EQ(codes,
              (std::vector<DWORD>{IOCTL_SET_GAIN_L, IOCTL_SET_GAIN_R, IOCTL_SET_GAIN_C,
                                  IOCTL_SET_GAIN_LFE, IOCTL_SET_GAIN_RL, IOCTL_SET_GAIN_RR}));
}

TEST_F(ChannelLevelPageTest, WithoutTheAdapterTheSlidersStayAtNineAndSendNothing) {
    world.SetPlugged(false);
    Create();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(Position(i), 9) << i;
    Move(0, 3);
    EXPECT_TRUE(world.Requests().empty());
    EXPECT_EQ(StoredSetting("VolumeL"), std::nullopt);
    EXPECT_TRUE(prompts.shown.empty()) << "the first failed open is silent";
    page->OpenPage();
    EXPECT_EQ(prompts.shown.size(), 1u);
    world.SetPlugged(true);
    page->OpenPage();
    page->ClosePage();
    world.SetPlugged(false);
    page->OpenPage();
    EXPECT_EQ(prompts.shown.size(), 2u) << "every later failure is shown, also after a success";
    EXPECT_EQ(prompts.shown[1].caption, "Quorvel Dual  : ERROR");
    EXPECT_EQ(prompts.shown[1].type, static_cast<UINT>(MB_ICONHAND));
}

// Every position through the slider, the driver, the registry and a new start of the page.
TEST_F(ChannelLevelPageTest, EveryPositionComesBackAfterARestart) {
    for (int position = 0; position <= 40; ++position) {
        SCOPED_TRACE(position);
        const int channel = position % 6;
        Create();
        world.ClearLogs();
        Move(channel, position);
        const DWORD bits = Bits(levels::GainForPosition(position));
        EXPECT_EQ(Sent(kRequests[channel]), std::vector<DWORD>{bits});
        EXPECT_EQ(StoredSetting(kSettings[channel]), bits);
        Destroy();

        world.ClearLogs();
        Create();
        EXPECT_EQ(Position(channel), position);
        EXPECT_EQ(Sent(kRequests[channel]), std::vector<DWORD>{bits}) << "sent again at open";
        Destroy();
    }
}

TEST_F(ChannelLevelPageTest, StoredGainsOffTheScaleAreSentAsTheyAreAndNonNumbersAsZeroDecibels) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    const struct {
        const char* what;
        float stored;
        int position;
        float sent;
        float storedAfter;
    } cases[] = {
        {"above 10", 31.6f, 0, 31.6f, 31.6f},
        {"between 0 and 0.1", 0.05f, 40, 0.05f, 0.05f},
        {"zero", 0.0f, 40, 0.0f, 0.0f},
        {"negative", -1.0f, 40, -1.0f, -1.0f},
        {"NaN", nan, 20, 1.0f, 1.0f},
        {"infinity", infinity, 20, 1.0f, 1.0f},
        {"minus infinity", -infinity, 20, 1.0f, 1.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        world.ClearLogs();
        StoreSetting("VolumeC", Bits(c.stored));
        Create();
        EXPECT_EQ(Position(3), c.position);
        EXPECT_EQ(Sent(IOCTL_SET_GAIN_C), std::vector<DWORD>{Bits(c.sent)});
        EXPECT_EQ(StoredSetting("VolumeC"), Bits(c.storedAfter));
        Destroy();
    }
}

TEST_F(ChannelLevelPageTest, ResetSendsAndStoresZeroDecibelsEvenWhenTheSliderShowsThem) {
    Create();
    // Changed behind the page's back: the reset writes the value again.
    StoreSetting("VolumeRL", Bits(2.0f));
    world.ClearLogs();
    Click(kResets[4]);
    EXPECT_EQ(Sent(IOCTL_SET_GAIN_RL), std::vector<DWORD>{Bits(1.0f)});
    EXPECT_EQ(StoredSetting("VolumeRL"), Bits(1.0f));
    EXPECT_EQ(Position(4), 20);

    Move(1, 5);
    world.ClearLogs();
    world.FailRequest(IOCTL_SET_GAIN_R);
    Click(kResets[1]);
    EXPECT_EQ(Sent(IOCTL_SET_GAIN_R), std::vector<DWORD>{Bits(1.0f)});
    EXPECT_EQ(Position(1), 5) << "a refused reset leaves the slider";
    EXPECT_EQ(StoredSetting("VolumeR"), Bits(levels::GainForPosition(5)));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, "DATA TRANSPORT ERROR,TRY AGAIN.");
    EXPECT_EQ(prompts.shown[0].caption, "IOCONTROL ERROR");

    world.FailRequest(IOCTL_SET_GAIN_R, false);
    Click(kResets[1]);
    EXPECT_EQ(Position(1), 20);
    EXPECT_EQ(StoredSetting("VolumeR"), Bits(1.0f));
}

TEST_F(ChannelLevelPageTest, ADragOverAFailingAdapterShowsOneBoxPerNotification) {
    Create();
    Move(0, 15, TB_THUMBPOSITION);
    world.FailRequest(IOCTL_SET_GAIN_L);
    world.ClearLogs();
    for (const int position : {14, 13, 12})
        Move(0, position);
    Move(0, 12, TB_ENDTRACK);
    EXPECT_EQ(Sent(IOCTL_SET_GAIN_L).size(), 4u) << "every scroll code sends";
    EXPECT_EQ(prompts.shown.size(), 4u);
    EXPECT_EQ(StoredSetting("VolumeL"), Bits(levels::GainForPosition(15)))
        << "the store keeps the last gain the adapter accepted";
    EXPECT_EQ(page->Gain(0), levels::GainForPosition(12)) << "nothing is rolled back";
}

TEST_F(ChannelLevelPageTest, TheResetButtonsAreGreyWithTheirCaption) {
    Create();
    for (const int id : kResets) {
        const testing_support::Canvas button(Item(id));
        EXPECT_EQ(button.At(2, button.Height() / 2), ui::kButtonFace) << id;
        int black = 0;
        for (int y = 3; y < button.Height() - 2; ++y) {
            for (int x = 3; x < button.Width() - 2; ++x)
                black += button.At(x, y) == RGB(0, 0, 0);
        }
        EXPECT_GT(black, 10) << "the caption";
    }
}

}  // namespace
