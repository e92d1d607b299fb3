#include <gtest/gtest.h>

#include "core/factory_defaults.h"
#include "core/test_support.h"
#include "settingsfile/settings_file.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tavrel {
namespace {

std::string le(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
            static_cast<char>((u >> 16) & 0xFF), static_cast<char>((u >> 24) & 0xFF)};
}

TEST(SettingsFile, SavesTheRecordsInOrderLittleEndian) {
    ValueSet values = factoryDefaults();
    values[0] = -2;            // kind 1 field 1
    values[2249] = 0x01020304; // kind 30 field 75
    values[static_cast<std::size_t>(recordOf(SlotRef::of(Category::Misc, 28)) - 1)] = 400;
    test::TempDir dir;
    const std::string path = dir.file("Test.dks");
    ASSERT_TRUE(saveSettingsFile(path, values).ok);
    const std::string bytes = test::readBytes(path);
    ASSERT_EQ(bytes.size(), 10720u);
    EXPECT_EQ(bytes.substr(0, 4), le(-2));
    EXPECT_EQ(bytes.substr(4 * 2249, 4), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(bytes.substr(4 * 2679, 4), le(400));
    // Research follows magic, before traps and doors.
    EXPECT_EQ(bytes.substr(4 * 2496, 4), le(1000));
    EXPECT_EQ(bytes.substr(4 * 2525, 4), le(25000));
}

TEST(SettingsFile, LoadsBothLayouts) {
    const ValueSet values = test::variedValues(11);
    std::string legacy(342916, '\xee');
    for (std::size_t i = 0; i < values.size(); ++i)
        legacy.replace(128 * i, 4, le(values[i]));
    struct Case {
        std::string bytes;
        SettingsLayout layout;
    } cases[] = {{encodeSettings(values), SettingsLayout::Current},
                 {encodeSettings(values) + "trailing bytes", SettingsLayout::Current},
                 {legacy, SettingsLayout::Legacy}};
    test::TempDir dir;
    for (const auto& c : cases) {
        SettingsLayout layout{};
        const auto decoded = decodeSettings(c.bytes, &layout);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(layout, c.layout);
        EXPECT_EQ(*decoded, values);
        test::writeBytes(dir.file("x.dks"), c.bytes);
        SettingsStore store;
        ASSERT_TRUE(loadSettingsFile(dir.file("x.dks"), store).ok);
        EXPECT_EQ(store.values(), values);
    }
}

TEST(SettingsFile, RefusesShortFilesAndChangesNothing) {
    test::TempDir dir;
    SettingsStore store;
    store.restoreDefaults();
    for (std::size_t size :
         {std::size_t{0}, std::size_t{4}, std::size_t{10719}, std::size_t{342915}}) {
        const std::string bytes =
            size >= 10720 ? std::string(size, '\x01') : encodeSettings(ValueSet{}).substr(0, size);
        test::writeBytes(dir.file("short.dks"), bytes);
        const SettingsFileResult result = loadSettingsFile(dir.file("short.dks"), store);
        if (size < 10720) {
            EXPECT_FALSE(result.ok) << size;
            EXPECT_EQ(result.message, "Unable to load the file. It is too short to be a settings "
                                      "file, so no values have been changed.");
            EXPECT_EQ(store.values(), factoryDefaults());
        } else {
            EXPECT_TRUE(result.ok) << "longer than a settings file: its first records count";
        }
    }
}

TEST(SettingsFile, ReportsFileErrorsWithTheDialogsMessages) {
    test::TempDir dir;
    SettingsStore store;
    const auto missing = loadSettingsFile(dir.file("nothing.dks"), store);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.errorNumber, 53);
    EXPECT_EQ(missing.message, "This action has caused an unknown error. Error code:  53");
    const auto noFolder = saveSettingsFile(dir.file("no/such/folder/x.dks"), factoryDefaults());
    EXPECT_FALSE(noFolder.ok);
    EXPECT_EQ(noFolder.message, "The folder can't be found.");
#ifndef _WIN32
    // A pipe is named; a save whose folder sync (the last step) fails is in place: not "not saved".
    namespace fault = fileio::testing;
    ASSERT_EQ(::mkfifo(dir.file("pipe.dks").c_str(), 0600), 0);
    EXPECT_EQ(saveSettingsFile(dir.file("pipe.dks"), factoryDefaults()).message,
              "Unable to use pipe.dks: Is a named pipe, not a file.");
    fault::setFaultPlan(fault::FaultPlan{0});
    ASSERT_TRUE(saveSettingsFile(dir.file("a.dks"), ValueSet{}).ok);
    fault::setFaultPlan(fault::FaultPlan{fault::operationCount(), EIO});
    const auto unconfirmed = saveSettingsFile(dir.file("b.dks"), factoryDefaults());
    fault::setFaultPlan(std::nullopt);
    EXPECT_EQ(unconfirmed.message, "The settings have been written, but the system reported an "
                                   "error while making them permanent: Input/output error.");
    EXPECT_EQ(test::readBytes(dir.file("b.dks")), encodeSettings(factoryDefaults()));
#endif
}

} // namespace
} // namespace tavrel
