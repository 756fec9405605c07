#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "device/DeviceChannel.h"
#include "sim/SimWorld.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using device::Channel;

class DeviceChannelTest : public testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(world.OpenHandles(), 0);
        EXPECT_EQ(world.BadCloses(), 0);
    }

    sim::SimWorld world;
    platform::ScopedSeam<platform::IDeviceIo> seam{world};
};

TEST_F(DeviceChannelTest, OpensTheDriverPathSharedForReadAndWriteOnlyIfItExists) {
    CDeviceChannel channel;
    ASSERT_TRUE(channel.Open());
    ASSERT_EQ(world.Opens().size(), 1u);
    const sim::OpenCall& open = world.Opens()[0];
    EXPECT_EQ(open.path, "\\\\.\\Class#A7D2&5B19");
    EXPECT_EQ(open.access, static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE));
    EXPECT_EQ(open.share, static_cast<DWORD>(FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_EQ(open.disposition, static_cast<DWORD>(OPEN_EXISTING));
    EXPECT_EQ(open.flags, 0u);

    // Opening again replaces the handle instead of leaking it.
    ASSERT_TRUE(channel.Open());
    EXPECT_EQ(world.OpenHandles(), 1);
}

// The contract with the real driver: each request's code and the exact bytes it carries.
TEST_F(DeviceChannelTest, EveryRequestReachesTheDriverWithItsCodeAndInputBytes) {
    struct Case {
        const char* request;
        std::function<bool(CDeviceChannel&)> send;
        DWORD code;
        Bytes input;
    };
    const Case cases[] = {
        {"FILTER_ON", [](auto& c) { return c.Send(device::IOCTL_FILTER_ON); }, 0x223000, {}},
        {"FILTER_OFF", [](auto& c) { return c.Send(device::IOCTL_FILTER_OFF); }, 0x223004, {}},
        {"SPEAKER_51", [](auto& c) { return c.Send(device::IOCTL_SPEAKER_51); }, 0x223008, {}},
        {"SPEAKER_21", [](auto& c) { return c.Send(device::IOCTL_SPEAKER_21); }, 0x22300C, {}},
        {"SURROUND_START",
         [](auto& c) { return c.Send(device::IOCTL_SURROUND_START); },
         0x223010,
         {}},
        {"SURROUND_STOP",
         [](auto& c) { return c.Send(device::IOCTL_SURROUND_STOP); },
         0x223014,
         {}},
        {"SET_GAIN_LFE 0.5",
         [](auto& c) { return c.SetGain(Channel::LFE, 0.5f); },
         0x223018,
         {0x00, 0x00, 0x00, 0x3F}},
        {"SET_GAIN_L 1.0",
         [](auto& c) { return c.SetGain(Channel::L, 1.0f); },
         0x22301C,
         {0x00, 0x00, 0x80, 0x3F}},
        {"SET_GAIN_R 10.0",
         [](auto& c) { return c.SetGain(Channel::R, 10.0f); },
         0x223020,
         {0x00, 0x00, 0x20, 0x41}},
        {"SET_GAIN_C 0.1",
         [](auto& c) { return c.SetGain(Channel::C, 0.1f); },
         0x223024,
         {0xCD, 0xCC, 0xCC, 0x3D}},
        {"SET_GAIN_RL 2.0",
         [](auto& c) { return c.SetGain(Channel::RL, 2.0f); },
         0x223028,
         {0x00, 0x00, 0x00, 0x40}},
        {"SET_GAIN_RR 0.25",
         [](auto& c) { return c.SetGain(Channel::RR, 0.25f); },
         0x22302C,
         {0x00, 0x00, 0x80, 0x3E}},
        {"SET_BASS 120 Hz",
         [](auto& c) { return c.SetBass(0); },
         0x223030,
         {200, 0, 0, 0, 100, 0, 0, 0, 0x2C, 0x01, 0, 0}},
        {"SET_BASS 300 Hz",
         [](auto& c) { return c.SetBass(1); },
         0x223030,
         {60, 0, 0, 0, 40, 0, 0, 0, 100, 0, 0, 0}},
        {"SET_BASS 450 Hz",
         [](auto& c) { return c.SetBass(2); },
         0x223030,
         {40, 0, 0, 0, 27, 0, 0, 0, 67, 0, 0, 0}},
        {"SET_BASS other choice",
         [](auto& c) { return c.SetBass(3); },
         0x223030,
         {150, 0, 0, 0, 100, 0, 0, 0, 250, 0, 0, 0}},
        {"SET_BASS no choice",
         [](auto& c) { return c.SetBass(-1); },
         0x223030,
         {150, 0, 0, 0, 100, 0, 0, 0, 250, 0, 0, 0}},
        {"GET_STREAM_KIND",
         [](auto& c) {
             device::StreamRecord record{};
             return c.GetStreamKind(record);
         },
         0x223034,
         {}},
    };
    CDeviceChannel channel;
    ASSERT_TRUE(channel.Open());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        world.ClearLogs();
        EXPECT_TRUE(c.send(channel));
        ASSERT_EQ(world.Requests().size(), 1u);
        EXPECT_EQ(world.Requests()[0].code, c.code);
        EXPECT_EQ(world.Requests()[0].input, c.input);
    }
}

TEST_F(DeviceChannelTest, StreamKindIsReadFromTheDriversFourBytes) {
    using device::StreamKind;
    const struct {
        device::StreamRecord record;
        StreamKind kind;
    } cases[] = {
        {{0, 0, 0, 0}, StreamKind::None},       {{1, 0, 0, 0}, StreamKind::FiveOne},
        {{0, 1, 0, 0}, StreamKind::TwoChannel}, {{1, 1, 0, 0}, StreamKind::FiveOne},
        {{0, 0, 1, 1}, StreamKind::None},       {{0, 0x80, 0, 0}, StreamKind::TwoChannel},
    };
    CDeviceChannel channel;
    ASSERT_TRUE(channel.Open());
    for (const auto& c : cases) {
        world.driver.stream = c.record;
        device::StreamRecord record{9, 9, 9, 9};
        ASSERT_TRUE(channel.GetStreamKind(record));
        EXPECT_EQ(record, c.record);
        EXPECT_EQ(device::DecodeStreamKind(record), c.kind);
    }
}

TEST_F(DeviceChannelTest, AfterAFailedOpenNothingIsSent) {
    const struct {
        const char* why;
        std::function<void(sim::SimWorld&)> arrange;
    } cases[] = {
        {"adapter unplugged", [](sim::SimWorld& w) { w.SetPlugged(false); }},
        {"every open fails", [](sim::SimWorld& w) { w.FailEveryOpen(true); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        sim::SimWorld fresh;
        platform::ScopedSeam<platform::IDeviceIo> freshSeam(fresh);
        c.arrange(fresh);
        CDeviceChannel channel;
        EXPECT_FALSE(channel.Open());
        EXPECT_FALSE(channel.IsOpen());
        device::StreamRecord record{};
        EXPECT_FALSE(channel.Send(device::IOCTL_FILTER_ON));
        EXPECT_FALSE(channel.SetGain(Channel::L, 1.0f));
        EXPECT_FALSE(channel.SetBass(0));
        EXPECT_FALSE(channel.GetStreamKind(record));
        EXPECT_TRUE(fresh.Requests().empty());
        EXPECT_EQ(fresh.OpenHandles(), 0);
    }
}

TEST_F(DeviceChannelTest, AFailedRequestIsReportedAsAFailure) {
    CDeviceChannel channel;
    ASSERT_TRUE(channel.Open());

    world.FailRequest(device::IOCTL_SPEAKER_21);
    EXPECT_FALSE(channel.Send(device::IOCTL_SPEAKER_21));
    EXPECT_TRUE(world.driver.speakers51) << "a failed request changes nothing";
    EXPECT_TRUE(channel.Send(device::IOCTL_SPEAKER_51));

    world.FailNextRequests(2);
    EXPECT_FALSE(channel.SetGain(Channel::C, 2.0f));
    EXPECT_FALSE(channel.SetBass(1));
    EXPECT_TRUE(channel.SetGain(Channel::C, 2.0f));
    EXPECT_EQ(world.driver.Gain(Channel::C), 2.0f);

    // A handle opened before the adapter was pulled out fails from then on.
    world.SetPlugged(false);
    EXPECT_FALSE(channel.Send(device::IOCTL_FILTER_ON));
}

}  // namespace
