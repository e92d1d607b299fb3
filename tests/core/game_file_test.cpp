#include <gtest/gtest.h>

#include <algorithm>

#include "core/catalogue.h"
#include "core/factory_defaults.h"
#include "core/test_support.h"
#include "gamefile/reader.h"
#include "gamefile/writer.h"

namespace tavrel {
namespace {

// Facts of the file the game ships with, as catalogues of real installs give them.
constexpr std::size_t kShippedSize = 44048;
constexpr const char* kShippedMd5 = "43d68e55e66cff810535014371a31dae";
constexpr const char* kShippedSha256 =
    "b29ff61f3a8ebd2f8eb9d926fee332c9ea799e7c3480a82afb8ed1d3ff7c5fe4";

void put(ValueSet& values, SlotRef ref, std::int32_t v) {
    values[static_cast<std::size_t>(recordOf(ref) - 1)] = v;
}

std::vector<std::string> split(const std::string& text, std::string_view separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos;
         start = end + separator.size())
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

TEST(GameFileWriter, FactoryValuesGiveTheShippedFileByteForByte) {
    const std::string file = renderGameFile(factoryDefaults());
    EXPECT_EQ(file.size(), kShippedSize);
    EXPECT_EQ(countNumbers(file), 5200);
#ifndef _WIN32 // the digests come from coreutils
    EXPECT_EQ(test::digest("md5sum", file), kShippedMd5);
    EXPECT_EQ(test::digest("sha256sum", file), kShippedSha256);
#endif
}

TEST(GameFileWriter, EverySlotLandsInItsOwnRowAndColumn) {
    // A distinct marker per slot, found again by the row identifier and the column
    // heading of the written file's tables.
    ValueSet values{};
    for (int record = 1; record <= kSlotCount; ++record)
        values[static_cast<std::size_t>(record - 1)] = 100000 + record;
    std::vector<std::vector<std::string>> table;
    for (const auto& line : split(renderGameFile(values), "\r\n"))
        table.push_back(split(line, "\t"));
    auto startsWith = [](const std::string& s, std::string_view p) { return s.rfind(p, 0) == 0; };
    for (int record = 1; record <= kSlotCount; ++record) {
        const SlotInfo info = slotInfoOfRecord(record);
        std::size_t row = 0;
        while (row < table.size() && table[row][0] != info.row)
            ++row;
        ASSERT_LT(row, table.size()) << info.row;
        // The row's table heading is the nearest line above it that names columns.
        std::size_t header = row;
        while (!startsWith(table[header][0], "Description") &&
               !startsWith(table[header][0], "Data For Instances"))
            --header;
        const auto& heads = table[header];
        const auto it = std::find(heads.begin(), heads.end(), std::string(info.column));
        ASSERT_NE(it, heads.end()) << info.row << " has no column " << info.column;
        const auto column = static_cast<std::size_t>(it - heads.begin());
        EXPECT_EQ(table[row][column], std::to_string(100000 + record))
            << info.row << " / " << info.column;
    }
}

TEST(GameFileWriter, CopiesFollowTheirSourceValues) {
    ValueSet values = factoryDefaults();
    put(values, SlotRef::of(Category::Ability, 4), 12);
    put(values, SlotRef::of(Category::Ability, 3), 77);
    // Fly (19): no growing up, so column 41 stays 0; Thief (12) grows up.
    put(values, SlotRef::creature(19, 34), 4321);
    put(values, SlotRef::creature(12, 34), 1234);
    put(values, SlotRef::creature(12, 35), 1);
    const auto text = split(renderGameFile(values), "\r\n");
    auto rowOf = [&](std::string_view id) {
        for (const auto& line : text)
            if (line.rfind(std::string(id) + "\t", 0) == 0)
                return line;
        return std::string();
    };
    EXPECT_EQ(rowOf("INSTANCE_SWING_WEAPON_SWORD"),
              "INSTANCE_SWING_WEAPON_SWORD\t1\t8\t4\t12\t5\t2\t4\t100");
    EXPECT_EQ(rowOf("INSTANCE_SWING_WEAPON_FIST"),
              "INSTANCE_SWING_WEAPON_FIST\t2\t8\t4\t12\t5\t2\t4\t100");
    EXPECT_EQ(rowOf("INSTANCE_DIG"), "INSTANCE_DIG\t30\t8\t4\t1\t4\t2\t77\t0");
    EXPECT_EQ(rowOf("INSTANCE_FIRST_PERSON_DIG"),
              "INSTANCE_FIRST_PERSON_DIG\t39\t8\t4\t1\t4\t2\t77\t1");
    auto column41 = [&](std::string_view id) { return split(rowOf(id), "\t").at(41); };
    EXPECT_EQ(column41("CREATURE_FLY"), "0");
    EXPECT_EQ(column41("CREATURE_THIEF"), "1234");
}

} // namespace
} // namespace tavrel
