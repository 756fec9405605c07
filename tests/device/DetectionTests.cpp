#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/AdapterDetection.h"
#include "device/UsbWalk.h"
#include "sim/SimServices.h"
#include "sim/SimWorld.h"
#include "tests/support/SiblingLibraryFile.h"

namespace {

using testing_support::Library;
using testing_support::SiblingLibraryFile;

class Detection : public testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(world.OpenHandles(), 0);
        EXPECT_EQ(world.BadCloses(), 0);
        EXPECT_EQ(::GetModuleHandleA("Zelfilter.dll"), nullptr) << "the library stays loaded";
    }

    sim::SimWorld world;
    sim::SimPrompts prompts;
    platform::ScopedSeam<platform::IDeviceIo> deviceSeam{world};
    platform::ScopedSeam<platform::IPrompts> promptSeam{prompts};
};

std::string HubChain(sim::SimWorld& w, int hubs) {
    std::string hub = w.FirstRootHub();
    for (int i = 0; i < hubs; ++i)
        hub = w.bus.AddHub(hub, 2, 4);
    return hub;
}

TEST_F(Detection, UsbTreesGiveTheAdapterPresentOnlyWhereItReallyIs) {
    using Build = std::function<void(sim::SimWorld&)>;
    const sim::UsbDevice adapter = sim::SimWorld::AdapterDevice();
    struct Case {
        const char* tree;
        Build build;
        int present;
    } cases[] = {
        {"adapter on a root port", [](auto&) {}, 1},
        {"adapter behind one hub", [](auto& w) { w.PlaceAdapter(HubChain(w, 1), 4); }, 1},
        {"adapter behind five hubs", [](auto& w) { w.PlaceAdapter(HubChain(w, 5), 4); }, 1},
        {"adapter behind six hubs, deeper than USB allows",
         [](auto& w) { w.PlaceAdapter(HubChain(w, 6), 4); }, 0},
        {"adapter unplugged while its driver is installed", [](auto& w) { w.SetPlugged(false); },
         0},
        {"adapter plugged in but IsDeviceInstalled says 0",
         [](auto& w) { w.sibling.deviceInstalled = 0; }, 0},
        {"wrong vendor id",
         [&](auto& w) {
             w.bus.Port(w.FirstRootHub(), 1).device = sim::UsbDevice{
                 static_cast<std::uint16_t>(adapter.vendorId ^ 0x0100), adapter.productId};
         },
         0},
        {"right vendor, product high byte not accepted",
         [&](auto& w) {
             w.bus.Port(w.FirstRootHub(), 1).device = sim::UsbDevice{adapter.vendorId, 0x1201};
         },
         0},
        {"right vendor, another accepted high byte, any low byte",
         [&](auto& w) {
             w.bus.Port(w.FirstRootHub(), 1).device = sim::UsbDevice{adapter.vendorId, 0x20FF};
         },
         1},
        {"first controller cannot be opened, adapter on the second",
         [](auto& w) {
             w.bus.controllers[0].failOpen = true;
             w.PlaceAdapter(w.bus.controllers[1].rootHub, 1);
         },
         1},
        {"the adapter's controller cannot be opened",
         [](auto& w) { w.bus.controllers[0].failOpen = true; }, 0},
        {"root hub name request fails",
         [](auto& w) { w.bus.controllers[0].failRootHubName = true; }, 0},
        {"root hub name length smaller than its header",
         [](auto& w) { w.bus.hubs[w.FirstRootHub()].reportedNameLength = 3; }, 0},
        {"absurd root hub name length",
         [](auto& w) { w.bus.hubs[w.FirstRootHub()].reportedNameLength = 0x7FFFFFFF; }, 0},
        {"malformed name length of the hub above the adapter",
         [](auto& w) {
             const std::string hub = HubChain(w, 1);
             w.PlaceAdapter(hub, 4);
             w.bus.hubs[hub].reportedNameLength = 5;
         },
         0},
        {"hub above the adapter cannot be opened",
         [](auto& w) {
             const std::string hub = HubChain(w, 1);
             w.PlaceAdapter(hub, 4);
             w.bus.hubs[hub].failOpen = true;
         },
         0},
        {"port with failing connection information is skipped",
         [](auto& w) {
             w.bus.Port(w.FirstRootHub(), 2).failInfo = true;
             w.PlaceAdapter(w.FirstRootHub(), 3);
         },
         1},
        {"a hub that names itself, adapter on another controller",
         [](auto& w) {
             const std::string hub = HubChain(w, 1);
             w.bus.Port(hub, 1).hub = hub;
             w.PlaceAdapter(w.bus.controllers[1].rootHub, 1);
         },
         1},
        {"two hubs in a loop, no adapter",
         [](auto& w) {
             const std::string a = HubChain(w, 1);
             const std::string b = w.bus.AddHub(a, 1, 2);
             w.bus.Port(b, 1).hub = a;
             w.SetPlugged(false);
         },
         0},
        {"hub path of 255 characters",
         [](auto& w) {
             w.PlaceAdapter(w.bus.AddHub(w.FirstRootHub(), 2, 4, std::string(251, 'h')), 1);
         },
         1},
        {"hub path of 256 characters is skipped, not cut",
         [](auto& w) {
             w.PlaceAdapter(w.bus.AddHub(w.FirstRootHub(), 2, 4, std::string(252, 'h')), 1);
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tree);
        SiblingLibraryFile library(Library::Full);
        sim::SimWorld fresh;
        platform::ScopedSeam<platform::IDeviceIo> seam(fresh);
        c.build(fresh);
        EXPECT_EQ(device::CheckDevicePresent(), c.present);
        EXPECT_EQ(fresh.sibling.checks, 1) << "IsDeviceInstalled is always asked";
        EXPECT_EQ(fresh.OpenHandles(), 0);
        EXPECT_TRUE(prompts.shown.empty());
    }
}

TEST_F(Detection, TheWalkOpensControllersAndHubsForWritingOnly) {
    SiblingLibraryFile library(Library::Full);
    world.PlaceAdapter(HubChain(world, 1), 3);
    ASSERT_EQ(device::CheckDevicePresent(), 1);
    std::vector<std::string> paths;
    for (const sim::OpenCall& open : world.Opens()) {
        paths.push_back(open.path);
        EXPECT_EQ(open.access, static_cast<DWORD>(GENERIC_WRITE));
        EXPECT_EQ(open.share, static_cast<DWORD>(FILE_SHARE_WRITE));
        EXPECT_EQ(open.disposition, static_cast<DWORD>(OPEN_EXISTING));
        EXPECT_EQ(open.flags, 0u);
    }
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(paths[0], "\\\\.\\HCD0");
    EXPECT_EQ(paths[1], "\\\\.\\" + world.FirstRootHub());
}

TEST_F(Detection, HubsInALoopAreEachExaminedOnce) {
    SiblingLibraryFile library(Library::Full);
    const std::string a = HubChain(world, 1);
    const std::string b = world.bus.AddHub(a, 1, 2);
    world.bus.Port(b, 1).hub = a;
    world.bus.Port(a, 2).hub = a;
    world.SetPlugged(false);
    EXPECT_EQ(device::CheckDevicePresent(), 0);
    const auto opensOf = [&](const std::string& hub) {
        int count = 0;
        for (const sim::OpenCall& open : world.Opens())
            count += open.path == "\\\\.\\" + hub;
        return count;
    };
    EXPECT_EQ(opensOf(a), 1);
    EXPECT_EQ(opensOf(b), 1);
}

TEST(UsbIdentity, OnlyTheMaskedVendorAndTheAcceptedProductHighBytesMatch) {
    const auto vendor = static_cast<std::uint16_t>(usb::kMaskedVendorId ^ usb::kVendorMask);
    const struct {
        std::uint16_t vendor;
        std::uint16_t product;
        bool adapter;
    } cases[] = {
        {vendor, 0x1000, true},
        {vendor, 0x11AB, true},
        {vendor, 0x20FF, true},
        {vendor, 0x1200, false},
        {vendor, 0x0010, false},
        {usb::kMaskedVendorId, 0x1000, false},
        {static_cast<std::uint16_t>(vendor + 1), 0x1000, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(usb::IsAdapter(c.vendor, c.product), c.adapter)
            << std::hex << c.vendor << ":" << c.product;
    }
}

TEST_F(Detection, SiblingLibraryProblemsShowTheirWarningAndGiveTheirResult) {
    constexpr char kNotFound[] = "DLL-driver is not found.\nYou may need re-install it.";
    struct Case {
        const char* situation;
        Library library;
        DWORD failureId;  // 0: the installation succeeds
        int check;
        std::vector<std::string> checkMessages;
        int install;
        std::vector<std::string> installMessages;
    } cases[] = {
        {"library missing", Library::None, 0, 0, {kNotFound}, 0, {kNotFound}},
        {"library built for the other architecture",
         Library::OtherArchitecture,
         0,
         0,
         {kNotFound},
         0,
         {kNotFound}},
        {"IsDeviceInstalled missing", Library::WithoutCheck, 0, 0, {kNotFound}, 1, {}},
        {"AddUSBAudioFilter missing", Library::WithoutInstall, 0, 1, {}, 0, {kNotFound}},
        {"installation succeeds", Library::Full, 0, 1, {}, 1, {}},
        {"installation fails: re-plug",
         Library::Full,
         65334,
         1,
         {},
         1,
         {"Please re-plug the device or reboot your PC."}},
        {"installation fails: not plugged in",
         Library::Full,
         65335,
         1,
         {},
         1,
         {"Audio device is not found (Device is not pluged in)."}},
        {"installation fails: not installed",
         Library::Full,
         65336,
         1,
         {},
         1,
         {"Audio device is not installed at all."}},
        {"installation fails with high bits set in the last error",
         Library::Full,
         0x20000000 | 65336,
         1,
         {},
         1,
         {"Audio device is not installed at all."}},
        {"installation fails with an id that names no string",
         Library::Full,
         12345,
         1,
         {},
         1,
         {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        SiblingLibraryFile library(c.library);
        world.sibling.installSucceeds = c.failureId == 0;
        world.sibling.failureId = c.failureId;

        const auto expectMessages = [&](const std::vector<std::string>& texts) {
            ASSERT_EQ(prompts.shown.size(), texts.size());
            for (std::size_t i = 0; i < texts.size(); ++i) {
                EXPECT_EQ(prompts.shown[i].text, texts[i]);
                EXPECT_EQ(prompts.shown[i].caption, "Quorvel Dual: WARNING");
                EXPECT_EQ(prompts.shown[i].type, static_cast<UINT>(MB_ICONWARNING));
                EXPECT_EQ(prompts.shown[i].owner, nullptr);
            }
            prompts.shown.clear();
        };
        EXPECT_EQ(device::CheckDevicePresent(), c.check);
        expectMessages(c.checkMessages);
        EXPECT_EQ(device::InstallFilterDriver(), c.install);
        expectMessages(c.installMessages);
    }
}

// Why the product is 32-bit: the sibling library comes from the 32-bit world, and a process loads
// only libraries of its own architecture.
TEST_F(Detection, OnlyASiblingLibraryOfTheProgramsOwnArchitectureLoads) {
    const struct {
        Library library;
        bool loads;
    } cases[] = {{Library::Full, true}, {Library::OtherArchitecture, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.library));
        SiblingLibraryFile file(c.library);
        ::SetLastError(0);
        HMODULE module = ::LoadLibraryA(device::SiblingLibraryPath().c_str());
        const DWORD error = ::GetLastError();
        EXPECT_EQ(module != nullptr, c.loads);
        if (module) {
            ::FreeLibrary(module);
        } else {
            EXPECT_EQ(error, static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
        }
    }
}

}  // namespace
