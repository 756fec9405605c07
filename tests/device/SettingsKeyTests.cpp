#include <windows.h>

#include <bit>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "device/SettingsKey.h"
#include "sim/SimServices.h"

namespace {

using Bytes = std::vector<BYTE>;

constexpr char kParentPath[] = "SOFTWARE\\Harlowen";
constexpr char kKeyPath[] = "SOFTWARE\\Harlowen\\Quorvel Dual\\Filter";

struct RawValue {
    DWORD type;
    Bytes data;
    bool operator==(const RawValue&) const = default;
};

Bytes DwordBytes(DWORD value) {
    const auto* p = reinterpret_cast<const BYTE*>(&value);
    return Bytes(p, p + sizeof(value));
}

// Reads and writes the key directly, beside the program's own access, to see what it stored.
std::optional<RawValue> ReadRaw(const char* name) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RawValue value{0, Bytes(64)};
    DWORD size = static_cast<DWORD>(value.data.size());
    const LONG result =
        ::RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(), &size);
    ::RegCloseKey(key);
    if (result != ERROR_SUCCESS) return std::nullopt;
    value.data.resize(size);
    return value;
}

void WriteRaw(const char* name, DWORD type, const Bytes& data) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    ::RegCloseKey(key);
}

// Each test starts without the key, against Wine's real registry.
class SettingsKeyTest : public testing::Test {
  protected:
    void SetUp() override { ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kParentPath); }
    void TearDown() override {
        EXPECT_EQ(registry.OpenKeys(), 0);
        EXPECT_EQ(registry.BadCloses(), 0);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kParentPath);
    }

    sim::SimRegistry registry;
    platform::ScopedSeam<platform::IRegistry> seam{registry};
};

TEST_F(SettingsKeyTest, OpenCreatesTheMachineKeyFromTheStringTableWithItsClass) {
    CSettingsKey key;
    ASSERT_TRUE(key.Open());
    ASSERT_EQ(registry.creates.size(), 1u);
    const sim::CreateKeyCall& call = registry.creates[0];
    EXPECT_EQ(call.parent, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(call.subKey, "SOFTWARE\\Harlowen\\Quorvel Dual\\Filter\\");
    EXPECT_EQ(call.keyClass, "Tivon");
    EXPECT_EQ(call.options, static_cast<DWORD>(REG_OPTION_NON_VOLATILE));
    EXPECT_EQ(call.access, static_cast<REGSAM>(KEY_ALL_ACCESS));

    HKEY raw = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKeyPath, 0, KEY_READ, &raw), ERROR_SUCCESS);
    char keyClass[32] = {};
    DWORD classLength = sizeof(keyClass);
    ::RegQueryInfoKeyA(raw, keyClass, &classLength, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr);
    ::RegCloseKey(raw);
    EXPECT_STREQ(keyClass, "Tivon");

    // Reopening releases the first handle.
    ASSERT_TRUE(key.Open());
    EXPECT_EQ(registry.OpenKeys(), 1);
}

TEST_F(SettingsKeyTest, ReadOrCreateTakesAnyFourByteValueAndReplacesEverythingElse) {
    constexpr DWORD kDefault = 7;
    const RawValue defaultWritten{REG_DWORD, DwordBytes(kDefault)};
    struct Case {
        const char* stored;
        std::optional<RawValue> before;
        DWORD expected;
        std::optional<RawValue> after;  // nullopt: left as it was
    };
    const Case cases[] = {
        {"missing", std::nullopt, kDefault, defaultWritten},
        {"REG_DWORD 5", RawValue{REG_DWORD, DwordBytes(5)}, 5, std::nullopt},
        {"REG_DWORD 0", RawValue{REG_DWORD, DwordBytes(0)}, 0, std::nullopt},
        {"4-byte REG_BINARY", RawValue{REG_BINARY, {1, 2, 3, 4}}, 0x04030201, std::nullopt},
        {"4-byte REG_SZ \"abc\"", RawValue{REG_SZ, {'a', 'b', 'c', 0}}, 0x00636261, std::nullopt},
        {"8-byte REG_QWORD", RawValue{REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}}, kDefault,
         defaultWritten},
        {"long REG_SZ", RawValue{REG_SZ, {'1', '2', '3', '4', '5', 0}}, kDefault, defaultWritten},
        {"2-byte REG_BINARY", RawValue{REG_BINARY, {1, 0}}, kDefault, defaultWritten},
        {"empty REG_DWORD", RawValue{REG_DWORD, {}}, kDefault, defaultWritten},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kParentPath);
        if (c.before) WriteRaw(settings::kOutputMode, c.before->type, c.before->data);
        CSettingsKey key;
        ASSERT_TRUE(key.Open());
        EXPECT_EQ(key.ReadOrCreate(settings::kOutputMode, kDefault), c.expected);
        EXPECT_EQ(ReadRaw(settings::kOutputMode), c.after ? c.after : c.before);
    }
}

// Only a missing or oversized value is replaced: a read refused for another reason must not
// overwrite what the adapter last accepted.
TEST_F(SettingsKeyTest, AReadThatFailsForAnotherReasonGivesTheDefaultAndKeepsTheStoredValue) {
    const RawValue stored{REG_DWORD, DwordBytes(0x40000000)};
    for (const LONG error : {ERROR_ACCESS_DENIED, ERROR_KEY_DELETED, ERROR_NOT_ENOUGH_MEMORY}) {
        SCOPED_TRACE(error);
        WriteRaw(settings::kOutputMode, stored.type, stored.data);
        WriteRaw(settings::kVolumeL, stored.type, stored.data);
        CSettingsKey key;
        ASSERT_TRUE(key.Open());
        registry.queryError = error;
        EXPECT_EQ(key.ReadOrCreate(settings::kOutputMode, 1), 1u);
        EXPECT_EQ(key.ReadOrCreateGain(settings::kVolumeL, 1.0f), 1.0f);
        registry.queryError = ERROR_SUCCESS;
        EXPECT_EQ(ReadRaw(settings::kOutputMode), stored);
        EXPECT_EQ(ReadRaw(settings::kVolumeL), stored);
    }
}

TEST_F(SettingsKeyTest, GainsAreStoredAsTheBitsOfTheirSingle) {
    CSettingsKey key;
    ASSERT_TRUE(key.Open());
    EXPECT_EQ(key.ReadOrCreateGain(settings::kVolumeL, 1.0f), 1.0f);
    EXPECT_EQ(ReadRaw(settings::kVolumeL), (RawValue{REG_DWORD, DwordBytes(0x3F800000)}));

    key.WriteGain(settings::kVolumeRR, 0.1f);
    EXPECT_EQ(ReadRaw(settings::kVolumeRR), (RawValue{REG_DWORD, DwordBytes(0x3DCCCCCD)}));

    WriteRaw(settings::kVolumeC, REG_DWORD, DwordBytes(0x41200000));
    EXPECT_EQ(key.ReadOrCreateGain(settings::kVolumeC, 1.0f), 10.0f);
}

TEST_F(SettingsKeyTest, QueryReportsTheRegistryResultAndLeavesTheValueAloneOnFailure) {
    CSettingsKey key;
    ASSERT_TRUE(key.Open());
    DWORD value = 42;
    EXPECT_EQ(key.Query(settings::kFirstLaunched, value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value, 42u);

    key.Write(settings::kFirstLaunched, 1);
    EXPECT_EQ(key.Query(settings::kFirstLaunched, value), ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);

    // A short value reads zero-extended, never with stale bytes above it.
    WriteRaw(settings::kFirstLaunched, REG_BINARY, {1});
    value = 0xFFFFFFFF;
    EXPECT_EQ(key.Query(settings::kFirstLaunched, value), ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);

    WriteRaw(settings::kFirstLaunched, REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(key.Query(settings::kFirstLaunched, value), ERROR_MORE_DATA);
}

TEST_F(SettingsKeyTest, WithoutAccessToTheKeyEveryReaderGetsItsDefaultSilently) {
    registry.failCreate = true;
    CSettingsKey key;
    EXPECT_FALSE(key.Open());
    EXPECT_EQ(key.ReadOrCreate(settings::kEnableFilter, 1), 1u);
    EXPECT_EQ(key.ReadOrCreate(settings::kTestMode, 2), 2u);
    EXPECT_EQ(key.ReadOrCreateGain(settings::kVolumeLFE, 1.0f), 1.0f);
    key.Write(settings::kEnableFilter, 0);
    key.WriteGain(settings::kVolumeL, 2.0f);
    DWORD value = 5;
    EXPECT_NE(key.Query(settings::kFirstLaunched, value), ERROR_SUCCESS);
    EXPECT_EQ(value, 5u);
    EXPECT_EQ(ReadRaw(settings::kEnableFilter), std::nullopt);
}

}  // namespace
