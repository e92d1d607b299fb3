#include "editing/creature_grid.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <tuple>

#include "core/bounds.h"
#include "core/catalogue.h"
#include "core/editor_state.h"
#include "editing/ability_codes.h"
#include "editing/creature_choices.h"
#include "editing/typed_input.h"

namespace tavrel {

namespace {

constexpr int kFirstLevelRow = 22; // row 22 + i is the level of ability i
constexpr int kFirstSizeRow = 36;  // row 36 + n is the size of entrance room n
constexpr int kFirstTrainingRow = 13;

constexpr std::array<CreatureFlag, 5> kFlags = {
    CreatureFlag::ImmuneToGas, CreatureFlag::NotBlownByWind, CreatureFlag::SeeInvisible,
    CreatureFlag::LockedDoors, CreatureFlag::CanBecomeAngry};

std::optional<CreatureFlag> flagOfField(int field) {
    for (CreatureFlag flag : kFlags)
        if (flagInfo(flag).field == field)
            return flag;
    return std::nullopt;
}

std::string_view trimmed(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool sameName(std::string_view a, std::string_view b) {
    a = trimmed(a);
    b = trimmed(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string lowered(std::string_view text) {
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

// What item 0 of a creature list is called: no creature to become, or none hated.
std::string_view noCreature(int field) {
    return field == kFieldGrowUp ? "No Change" : "None";
}

template <std::size_t N>
std::string jobNames(std::int32_t jobs, const std::array<std::string_view, N>& captions) {
    if (jobs == 0)
        return "None";
    // Bits beyond the list have no name: the digits keep them.
    if (jobs < 0 || (static_cast<std::uint32_t>(jobs) >> N) != 0)
        return std::to_string(jobs);
    std::string text;
    for (std::size_t item = 0; item < N; ++item)
        if (jobChecked(jobs, static_cast<int>(item)))
            text.append(text.empty() ? "" : ", ").append(captions[item]);
    return text;
}

template <std::size_t N>
std::optional<std::int32_t> jobsOfNames(std::string_view text,
                                        const std::array<std::string_view, N>& captions) {
    if (sameName(text, "None"))
        return 0;
    std::int32_t jobs = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view name = text.substr(0, comma);
        const auto found =
            std::find_if(captions.begin(), captions.end(),
                         [&](std::string_view caption) { return sameName(caption, name); });
        if (found == captions.end())
            return std::nullopt;
        jobs = jobsAfterCheck(jobs, static_cast<int>(found - captions.begin()), true);
        if (comma == std::string_view::npos)
            return jobs;
        text.remove_prefix(comma + 1);
    }
}

std::optional<std::int32_t> valueOfName(int kind, int field, std::string_view text) {
    switch (cellKindOf(field)) {
    case CellKind::Number:
        return std::nullopt;
    case CellKind::Jobs:
        return jobsOfNames(text, jobCaptions());
    case CellKind::AngryJobs:
        return jobsOfNames(text, angryJobCaptions());
    case CellKind::Creature:
        if (sameName(text, noCreature(field)) || sameName(text, "None"))
            return 0;
        for (int each = 1; each <= kCreatureKinds; ++each)
            if (sameName(text, creatureKind(each).screenName))
                return each;
        return std::nullopt;
    case CellKind::Room:
        for (const EntryRoom& room : entryRoomList())
            if (sameName(text, room.caption))
                return room.code;
        return std::nullopt;
    case CellKind::Ability:
        for (std::int32_t code : abilityStepOrder())
            if (sameName(text, abilityScreenName(code)) || sameName(text, *abilityPickerName(code)))
                return code;
        return std::nullopt;
    case CellKind::Flag:
        for (const bool checked : {true, false})
            if (sameName(text, checked ? "Yes" : "No"))
                return flagValue(*flagOfField(field), checked, kind);
        return std::nullopt;
    case CellKind::Attack:
        for (const std::int32_t choice : {1, 2})
            if (sameName(text, attackCaption(choice)))
                return choice;
        return std::nullopt;
    }
    return std::nullopt;
}

std::size_t at(int kind, int field) {
    return static_cast<std::size_t>(recordOf(SlotRef::creature(kind, field)) - 1);
}

// How a cell sorts: named cells by their names, before cells that show digits, which
// sort by value.
std::tuple<int, std::string, std::int32_t> sortKey(int kind, int field, std::int32_t value) {
    if (cellKindOf(field) == CellKind::Number)
        return {0, {}, value};
    std::string text = cellText(kind, field, value);
    if (text == std::to_string(value))
        return {1, {}, value};
    return {0, lowered(text), 0};
}

std::string plural(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

} // namespace

const std::array<const char*, 50>& creatureRowCaptions() {
    static constexpr std::array<const char*, 50> captions = {
        "Health:",
        "Armour:",
        "Strength:",
        "Defence:",
        "Dexterity:",
        "Recovery:",
        "Luck:",
        "Fear:",
        "Training:",
        "Research:",
        "Manufacture:",
        "Scavenge:",
        "Level 2:",
        "Level 3:",
        "Level 4:",
        "Level 5:",
        "Level 6:",
        "Level 7:",
        "Level 8:",
        "Level 9:",
        "Level 10:",
        "Become Level",
        "1.",
        "2.",
        "3.",
        "4.",
        "5.",
        "6.",
        "7.",
        "8.",
        "9.",
        "10.",
        "Pay:",
        "Carries (Max):",
        "Training Cost:",
        "Scavenge Cost:",
        "1.",
        "2.",
        "3.",
        "Slaps Required to Kill:",
        "Lair Size (Tiles):",
        "Speed of Creature:",
        "Scavenge Requirement:",
        "Torture Time:",
        "Visual Range (Tiles):",
        "Hearing Range (Tiles):",
        "Damage to Boulder:",
        "Lava Damage:",
        "Hunger Duration:",
        "Chickens Needed to Fill:",
    };
    return captions;
}

std::string creatureFieldName(int field) {
    if (const int row = creatureStatRow(field)) {
        std::string caption = creatureRowCaptions()[static_cast<std::size_t>(row - 1)];
        if (caption.ends_with(':') || caption.ends_with('.'))
            caption.pop_back();
        if (row > kFirstLevelRow && row <= kFirstLevelRow + kAbilitySlots)
            return "Ability " + caption + " Level";
        if (row > kFirstSizeRow && row <= kFirstSizeRow + 3)
            return "Entry " + caption + " Size";
        if (row >= kFirstTrainingRow && row < kFirstLevelRow)
            return "Training " + caption;
        return caption;
    }
    if (field >= kFieldPower1 && field < kFieldPower1 + kAbilitySlots)
        return "Ability " + std::to_string(field - kFieldPower1 + 1);
    if (field >= kFieldEntranceRoom1 && field < kFieldEntranceRoom1 + 3)
        return "Entry " + std::to_string(field - kFieldEntranceRoom1 + 1) + " Room";
    if (const auto flag = flagOfField(field))
        return std::string(flagInfo(*flag).caption);
    switch (field) {
    case kFieldPrimaryJobs:
        return "Primary Jobs";
    case kFieldSecondaryJobs:
        return "Secondary Jobs";
    case kFieldRefusedJobs:
        return "Creature will not";
    case kFieldAngryJobs:
        return "When angry";
    case kFieldGrowUp:
        return "Become Creature";
    case kFieldAttackPreference:
        return "Attack Preference";
    case kFieldLairEnemy:
        return "Hated Creature";
    default:
        return std::string(trimmed(creatureField(field).heading));
    }
}

const std::array<std::string_view, kGridGroups>& gridGroups() {
    static constexpr std::array<std::string_view, kGridGroups> groups = {
        "Attributes", "Training",      "Abilities", "Money",
        "Entry",      "Miscellaneous", "Jobs",      "Behaviour"};
    return groups;
}

const std::array<GridColumn, kCreatureFields>& gridColumns() {
    static const std::array<GridColumn, kCreatureFields> columns = [] {
        std::array<GridColumn, kCreatureFields> result{};
        std::size_t next = 0;
        const auto add = [&](int group, std::initializer_list<int> fields) {
            for (int field : fields)
                result.at(next++) = {field, group};
        };
        const auto rows = [](int first, int last) {
            std::vector<int> fields;
            for (int row = first; row <= last; ++row)
                fields.push_back(creatureStatField(row));
            return fields;
        };
        for (int field : rows(1, 12))
            add(0, {field});
        for (int field : rows(13, 22))
            add(1, {field});
        add(1, {kFieldGrowUp});
        for (int slot = 0; slot < kAbilitySlots; ++slot)
            add(2, {kFieldPower1 + slot, kFieldPowerLevel1 + slot});
        for (int field : rows(33, 36))
            add(3, {field});
        for (int room = 0; room < 3; ++room)
            add(4, {kFieldEntranceRoom1 + room, creatureStatField(kFirstSizeRow + 1 + room)});
        for (int field : rows(40, 50))
            add(5, {field});
        add(5, {kFieldAttackPreference, kFieldImmuneToGas, kFieldAffectedByWind, kFieldSeeInvisible,
                kFieldLockedDoors});
        add(6, {kFieldPrimaryJobs, kFieldSecondaryJobs, kFieldRefusedJobs});
        add(7, {kFieldAnnoyLevel, kFieldAngryJobs, kFieldLairEnemy});
        return result;
    }();
    return columns;
}

int gridColumnOf(int field) {
    const auto& columns = gridColumns();
    for (std::size_t column = 0; column < columns.size(); ++column)
        if (columns[column].field == field)
            return static_cast<int>(column);
    return -1;
}

CellKind cellKindOf(int field) {
    if (field >= kFieldPrimaryJobs && field <= kFieldRefusedJobs)
        return CellKind::Jobs;
    if (field >= kFieldPower1 && field < kFieldPower1 + kAbilitySlots)
        return CellKind::Ability;
    if (field >= kFieldEntranceRoom1 && field < kFieldEntranceRoom1 + 3)
        return CellKind::Room;
    if (flagOfField(field))
        return CellKind::Flag;
    switch (field) {
    case kFieldAngryJobs:
        return CellKind::AngryJobs;
    case kFieldGrowUp:
    case kFieldLairEnemy:
        return CellKind::Creature;
    case kFieldAttackPreference:
        return CellKind::Attack;
    default:
        return CellKind::Number;
    }
}

std::string cellText(int kind, int field, std::int32_t value) {
    const std::string digits = std::to_string(value);
    switch (cellKindOf(field)) {
    case CellKind::Number:
        return digits;
    case CellKind::Jobs:
        return jobNames(value, jobCaptions());
    case CellKind::AngryJobs:
        return jobNames(value, angryJobCaptions());
    case CellKind::Creature:
        if (value == 0)
            return std::string(noCreature(field));
        if (creatureListItem(value))
            return std::string(creatureKind(value).screenName);
        return digits;
    case CellKind::Room:
        if (const auto item = entryRoomItem(value))
            return std::string(entryRoomList()[static_cast<std::size_t>(*item)].caption);
        return digits;
    case CellKind::Ability:
        // "Unknown" would not say which code the cell holds, nor read back.
        return abilityClass(value) == AbilityClass::Unlisted
                   ? digits
                   : std::string(abilityScreenName(value));
    case CellKind::Flag: {
        // Only the two values a check box stores have words; another value (an annoy
        // level of 3000, a flag of 2 from a settings file) keeps its digits.
        const CreatureFlag flag = *flagOfField(field);
        for (const bool checked : {true, false})
            if (value == flagValue(flag, checked, kind))
                return checked ? "Yes" : "No";
        return digits;
    }
    case CellKind::Attack:
        return value == 1 || value == 2 ? std::string(attackCaption(value)) : digits;
    }
    return digits;
}

std::optional<std::int32_t> cellValue(int kind, int field, std::int32_t current,
                                      std::string_view text) {
    text = trimmed(text);
    if (isNumberText(text)) {
        InputBox box{std::to_string(current), current};
        changeInputText(box, text, boundsOf(SlotRef::creature(kind, field)));
        return wholeNumberReading(box.text);
    }
    if (text.empty())
        return std::nullopt;
    return valueOfName(kind, field, text);
}

std::int32_t scaledValue(std::int32_t value, double percent, int kind, int field) {
    InputBox box{std::to_string(value), value};
    changeInputText(box, textOfReading(static_cast<double>(value) * percent / 100.0),
                    boundsOf(SlotRef::creature(kind, field)));
    return wholeNumberReading(box.text);
}

std::vector<int> sortedKinds(const ValueSet& values, int field, SortOrder order) {
    std::vector<int> kinds(creatureListOrder().begin(), creatureListOrder().end());
    if (order == SortOrder::Picker)
        return kinds;
    const auto key = [&](int kind) { return sortKey(kind, field, values[at(kind, field)]); };
    std::stable_sort(kinds.begin(), kinds.end(), [&](int a, int b) {
        return order == SortOrder::Ascending ? key(a) < key(b) : key(b) < key(a);
    });
    return kinds;
}

TsvTable parseTsv(std::string_view text) {
    TsvTable table;
    std::vector<std::string> row;
    std::string cell;
    bool cellStarted = false;
    const auto endCell = [&] {
        row.push_back(std::move(cell));
        cell.clear();
        cellStarted = false;
    };
    const auto endRow = [&] {
        endCell();
        table.push_back(std::move(row));
        row.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' && !cellStarted) {
            // A quoted cell: up to the lone closing quote; a doubled quote is one.
            for (++i; i < text.size(); ++i) {
                if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"')
                    cell += text[++i];
                else if (text[i] == '"')
                    break;
                else
                    cell += text[i];
            }
            cellStarted = true;
        } else if (c == '\t') {
            endCell();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            endRow();
        } else {
            cell += c;
            cellStarted = true;
        }
    }
    if (cellStarted || !row.empty())
        endRow();
    return table;
}

std::string toTsv(const TsvTable& table) {
    std::string text;
    for (const auto& row : table) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            const std::string& cell = row[column];
            if (column > 0)
                text += '\t';
            if (cell.find_first_of("\t\r\n\"") == std::string::npos) {
                text += cell;
                continue;
            }
            text += '"';
            for (char c : cell)
                text.append(c == '"' ? 2 : 1, c);
            text += '"';
        }
        text += '\n';
    }
    return text;
}

TsvTable gridBlock(const ValueSet& values, const std::vector<int>& kinds,
                   const std::vector<int>& columns, bool headers, bool names) {
    TsvTable table;
    if (headers) {
        table.emplace_back(1, std::string(kCornerHeading));
        for (int column : columns)
            table.back().push_back(
                creatureFieldName(gridColumns().at(static_cast<std::size_t>(column)).field));
    }
    for (int kind : kinds) {
        auto& line = table.emplace_back();
        if (headers)
            line.emplace_back(creatureKind(kind).screenName);
        for (int column : columns) {
            const int field = gridColumns().at(static_cast<std::size_t>(column)).field;
            const std::int32_t value = values[at(kind, field)];
            line.push_back(names ? cellText(kind, field, value) : std::to_string(value));
        }
    }
    return table;
}

std::vector<PasteCell> pasteCells(const TsvTable& table, const std::vector<int>& rowKinds, int top,
                                  int left) {
    std::vector<PasteCell> cells;
    const bool headed =
        !table.empty() && !table[0].empty() && sameName(table[0][0], kCornerHeading);
    if (headed) {
        std::vector<int> fields;
        for (std::size_t column = 1; column < table[0].size(); ++column) {
            int found = 0;
            for (const GridColumn& each : gridColumns())
                if (sameName(table[0][column], creatureFieldName(each.field)))
                    found = each.field;
            fields.push_back(found);
        }
        for (std::size_t row = 1; row < table.size(); ++row) {
            int kind = 0;
            for (int each = 1; each <= kCreatureKinds && !table[row].empty(); ++each)
                if (sameName(table[row][0], creatureKind(each).screenName))
                    kind = each;
            for (std::size_t column = 1; column < table[row].size(); ++column) {
                const int field = column - 1 < fields.size() ? fields[column - 1] : 0;
                cells.push_back({field ? kind : 0, kind ? field : 0, table[row][column]});
            }
        }
        return cells;
    }
    for (std::size_t row = 0; row < table.size(); ++row) {
        const std::size_t viewRow = static_cast<std::size_t>(top) + row;
        for (std::size_t column = 0; column < table[row].size(); ++column) {
            const std::size_t viewColumn = static_cast<std::size_t>(left) + column;
            if (viewRow >= rowKinds.size() || viewColumn >= gridColumns().size())
                cells.push_back({0, 0, table[row][column]});
            else
                cells.push_back(
                    {rowKinds[viewRow], gridColumns()[viewColumn].field, table[row][column]});
        }
    }
    return cells;
}

PasteOutcome applyPaste(const ValueSet& values, const std::vector<PasteCell>& cells) {
    PasteOutcome outcome;
    outcome.values = values;
    for (const PasteCell& cell : cells) {
        std::optional<std::int32_t> value;
        if (cell.kind != 0 && cell.field != 0)
            value = cellValue(cell.kind, cell.field, outcome.values[at(cell.kind, cell.field)],
                              cell.text);
        if (!value) {
            if (outcome.refused++ == 0)
                outcome.firstRefused = cell;
            continue;
        }
        outcome.values[at(cell.kind, cell.field)] = *value;
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        outcome.changed += values[i] != outcome.values[i];
    return outcome;
}

ScaleOutcome applyScale(const ValueSet& values, const std::vector<std::pair<int, int>>& cells,
                        double percent) {
    ScaleOutcome outcome;
    outcome.values = values;
    for (const auto& [kind, field] : cells) {
        if (cellKindOf(field) != CellKind::Number) {
            ++outcome.skipped;
            continue;
        }
        std::int32_t& value = outcome.values[at(kind, field)];
        value = scaledValue(value, percent, kind, field);
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        outcome.changed += values[i] != outcome.values[i];
    return outcome;
}

std::string pasteSummary(const PasteOutcome& outcome) {
    std::string text = "Paste: " + plural(outcome.changed, "value", "values") + " changed, " +
                       plural(outcome.refused, "cell", "cells") + " refused";
    if (const auto& first = outcome.firstRefused) {
        text += " (first: ";
        if (first->kind != 0)
            text.append(creatureKind(first->kind).screenName)
                .append(", ")
                .append(creatureFieldName(first->field));
        else
            text += "outside the grid";
        text += " \"" + std::string(trimmed(first->text)) + "\")";
    }
    return text + ".";
}

std::string scaleSummary(double percent, const ScaleOutcome& outcome) {
    std::string text = "Scale " + textOfReading(percent) +
                       " %: " + plural(outcome.changed, "value", "values") + " changed";
    if (outcome.skipped > 0)
        text += ", " + plural(outcome.skipped, "encoded cell", "encoded cells") + " left alone";
    return text + ".";
}

} // namespace tavrel
