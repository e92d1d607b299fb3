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

// A pasted text as a message shows it: blanks around it gone, control characters as
// blanks, and cut after kShownCharacters characters, never inside one.
constexpr std::size_t kShownCharacters = 40;
std::string shown(std::string_view text) {
    text = trimmed(text);
    std::string result;
    std::size_t characters = 0;
    int pending = 0; // continuation bytes the last lead byte announced
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) == 0x80 && pending > 0) {
            --pending;
        } else {
            // A stray continuation byte counts as a character of its own.
            if (characters++ == kShownCharacters)
                return result + "\xE2\x80\xA6"; // an ellipsis
            pending = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
        }
        result += byte < 0x20 || byte == 0x7F ? ' ' : c;
    }
    return result;
}

std::string quoted(std::string_view text) {
    return "\"" + shown(text) + "\"";
}

std::string slotName(int kind, int field) {
    return std::string(creatureKind(kind).screenName) + ", " + creatureFieldName(field);
}

// The field a column caption names, or 0.
int fieldOfCaption(std::string_view text) {
    static const std::array<std::string, kCreatureFields> captions = [] {
        std::array<std::string, kCreatureFields> names;
        for (std::size_t column = 0; column < names.size(); ++column)
            names[column] = creatureFieldName(gridColumns()[column].field);
        return names;
    }();
    for (std::size_t column = 0; column < captions.size(); ++column)
        if (sameName(text, captions[column]))
            return gridColumns()[column].field;
    return 0;
}

// The creature a line's name names, or 0.
int kindOfName(std::string_view text) {
    for (int kind = 1; kind <= kCreatureKinds; ++kind)
        if (sameName(text, creatureKind(kind).screenName))
            return kind;
    return 0;
}

bool onlyCaptions(const std::vector<std::string>& line) {
    return std::all_of(line.begin(), line.end(),
                       [](const std::string& cell) { return fieldOfCaption(cell) != 0; });
}

// The value a pasted text gives a cell, and the number the text reads as when it is one.
struct Taken {
    std::optional<std::int32_t> value;
    std::optional<double> reading;
};
Taken takenText(int kind, int field, std::int32_t current, std::string_view text,
                RulesOrigin origin) {
    text = trimmed(text);
    if (isNumberText(text)) {
        InputBox box{std::to_string(current), current};
        changeInputText(box, text, boundsOf(SlotRef::creature(kind, field), origin));
        return {wholeNumberReading(box.text), numericReading(text)};
    }
    if (text.empty())
        return {};
    return {valueOfName(kind, field, text), std::nullopt};
}

// A number that did not reach its cell as it read: rounded, or held at a bound.
void tallyAdjusted(Tally& held, Tally* rounded, const std::string& where, std::string_view text,
                   double reading, std::int32_t value) {
    if (reading == static_cast<double>(value))
        return;
    const bool round = rounded != nullptr && wholeNumberOf(reading) == value;
    (round ? *rounded : held)
        .add(where + " " + shown(text) + (round ? " rounded to " : " held at ") +
             std::to_string(value));
}

std::string firstOf(const Tally& tally) {
    return tally.count > 0 ? " (first: " + tally.first + ")" : std::string();
}

std::string clause(const Tally& tally, std::string_view one, std::string_view many) {
    return tally.count > 0 ? ", " + plural(tally.count, one, many) + firstOf(tally) : std::string();
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
                                      std::string_view text, RulesOrigin origin) {
    return takenText(kind, field, current, text, origin).value;
}

std::int32_t scaledValue(std::int32_t value, double percent, int kind, int field,
                         RulesOrigin origin) {
    InputBox box{std::to_string(value), value};
    changeInputText(box, textOfReading(static_cast<double>(value) * percent / 100.0),
                    boundsOf(SlotRef::creature(kind, field), origin));
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

std::optional<TsvTable> parseTsv(std::string_view text, TsvLimits limits) {
    TsvTable table;
    std::vector<std::string> row;
    std::string cell;
    bool cellStarted = false;
    bool over = false;
    // Cells and lines past the limits are dropped while empty: only text there is too much.
    const auto endCell = [&] {
        if (row.size() < limits.cells)
            row.push_back(std::move(cell));
        else
            over |= !cell.empty();
        cell.clear();
        cellStarted = false;
    };
    const auto endRow = [&] {
        endCell();
        if (table.size() < limits.lines)
            table.push_back(std::move(row));
        else
            over |= std::any_of(row.begin(), row.end(),
                                [](const std::string& each) { return !each.empty(); });
        row.clear();
    };
    for (std::size_t i = 0; i < text.size() && !over; ++i) {
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
    if (!over && (cellStarted || !row.empty()))
        endRow();
    if (over)
        return std::nullopt;
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

void Tally::add(std::string what) {
    if (count++ == 0)
        first = std::move(what);
}

PasteTable pasteTooLong() {
    return {{},
            "Paste refused: the text is longer than " + std::to_string(kPasteTextLimit) +
                " bytes; nothing changed."};
}

PasteTable readPaste(std::string_view text) {
    if (text.size() > kPasteTextLimit)
        return pasteTooLong();
    std::optional<TsvTable> table = parseTsv(text, kPasteLimits);
    if (!table)
        return {{},
                "Paste refused: more cells than the grid's " + std::to_string(kCreatureKinds) +
                    " creatures by " + std::to_string(kCreatureFields) +
                    " fields and their headings; nothing changed."};
    for (auto& line : *table)
        while (!line.empty() && line.back().empty())
            line.pop_back();
    return {std::move(*table), {}};
}

PastePlan planPaste(const TsvTable& table, const PasteTarget& target) {
    PastePlan plan;
    if (table.empty() || target.selected.empty())
        return plan;
    const auto& selected = target.selected;
    const int rows = static_cast<int>(target.rowKinds.size());
    const auto slotAt = [&](std::size_t row, std::size_t column, std::string text) {
        if (row >= target.rowKinds.size() || column >= gridColumns().size())
            return PasteCell{0, 0, std::move(text), PasteMiss::Outside, {}};
        return PasteCell{target.rowKinds[row],
                         gridColumns()[column].field,
                         std::move(text),
                         PasteMiss::None,
                         {}};
    };
    if (table.size() == 1 && table[0].size() == 1 && selected.size() > 1) {
        for (const auto& [row, column] : selected)
            plan.cells.push_back(slotAt(static_cast<std::size_t>(row),
                                        static_cast<std::size_t>(column), table[0][0]));
        return plan;
    }
    int top = rows;
    int left = kCreatureFields;
    std::vector<int> perRow(target.rowKinds.size());
    std::vector<int> perColumn(gridColumns().size());
    for (const auto& [row, column] : selected) {
        top = std::min(top, row);
        left = std::min(left, column);
        ++perRow.at(static_cast<std::size_t>(row));
        ++perColumn.at(static_cast<std::size_t>(column));
    }
    const bool wholeRows = std::all_of(perRow.begin(), perRow.end(),
                                       [](int n) { return n == 0 || n == kCreatureFields; });
    const bool wholeColumns =
        std::all_of(perColumn.begin(), perColumn.end(), [&](int n) { return n == 0 || n == rows; });

    const std::vector<std::string>& first = table[0];
    const bool named = !first.empty() && sameName(first[0], kCornerHeading);
    const bool captioned =
        !named && !first.empty() && onlyCaptions(first) &&
        std::any_of(table.begin() + 1, table.end(),
                    [](const std::vector<std::string>& line) { return !onlyCaptions(line); });
    const bool headed = named || captioned;
    const std::size_t skip = named ? 1 : 0; // the column of names
    std::vector<int> fields;                // the field of each heading, 0 for none
    for (const std::string& heading : first)
        fields.push_back(headed ? fieldOfCaption(heading) : 0);
    if (headed) {
        // Where the headings put the block's first cell: from the first caption and the
        // first name that the grid knows.
        bool columnHere = wholeRows;
        for (std::size_t column = skip; column < fields.size() && !columnHere; ++column)
            if (const int field = fields[column]) {
                columnHere = gridColumnOf(field) == left + static_cast<int>(column - skip);
                break;
            }
        bool rowHere = !named || wholeColumns;
        for (std::size_t line = 1; line < table.size() && !rowHere; ++line)
            if (const int kind = table[line].empty() ? 0 : kindOfName(table[line][0])) {
                const std::size_t row = static_cast<std::size_t>(top) + line - 1;
                rowHere = row < target.rowKinds.size() && target.rowKinds[row] == kind;
                break;
            }
        plan.notUnderHeadings = !(columnHere && rowHere);
    }
    const std::size_t firstLine = headed ? 1 : 0;
    for (std::size_t line = firstLine; line < table.size(); ++line) {
        const auto& cells = table[line];
        const std::size_t row = static_cast<std::size_t>(top) + line - firstLine;
        for (std::size_t column = skip; column < cells.size(); ++column) {
            if (!headed || plan.notUnderHeadings) {
                plan.cells.push_back(
                    slotAt(row, static_cast<std::size_t>(left) + column - skip, cells[column]));
                continue;
            }
            const int field = column < fields.size() ? fields[column] : 0;
            const int kind = named ? kindOfName(cells[0]) : 0;
            if (field == 0)
                plan.cells.push_back({0, 0, cells[column], PasteMiss::Heading,
                                      column < first.size() ? first[column] : std::string()});
            else if (named && kind == 0)
                plan.cells.push_back({0, 0, cells[column], PasteMiss::Creature, cells[0]});
            else if (named)
                plan.cells.push_back({kind, field, cells[column], PasteMiss::None, {}});
            else
                plan.cells.push_back(
                    slotAt(row, static_cast<std::size_t>(gridColumnOf(field)), cells[column]));
        }
    }
    return plan;
}

PasteOutcome applyPaste(const ValueSet& values, const PastePlan& plan, RulesOrigin origin) {
    PasteOutcome outcome;
    outcome.values = values;
    outcome.notUnderHeadings = plan.notUnderHeadings;
    for (const PasteCell& cell : plan.cells) {
        switch (cell.miss) {
        case PasteMiss::Heading:
            outcome.unknownHeading.add(quoted(cell.name));
            continue;
        case PasteMiss::Creature:
            outcome.unknownCreature.add(quoted(cell.name));
            continue;
        case PasteMiss::Outside:
            outcome.refused.add("outside the grid " + quoted(cell.text));
            continue;
        case PasteMiss::None:
            break;
        }
        std::int32_t& value = outcome.values[at(cell.kind, cell.field)];
        const Taken taken = cell.text.size() > kPasteCellLimit
                                ? Taken{}
                                : takenText(cell.kind, cell.field, value, cell.text, origin);
        if (!taken.value) {
            outcome.refused.add(slotName(cell.kind, cell.field) + " " + quoted(cell.text));
            continue;
        }
        if (taken.reading)
            tallyAdjusted(outcome.held, &outcome.rounded, slotName(cell.kind, cell.field),
                          cell.text, *taken.reading, *taken.value);
        value = *taken.value;
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        outcome.changed += values[i] != outcome.values[i];
    return outcome;
}

ScaleOutcome applyScale(const ValueSet& values, const std::vector<std::pair<int, int>>& cells,
                        double percent, RulesOrigin origin) {
    ScaleOutcome outcome;
    outcome.values = values;
    for (const auto& [kind, field] : cells) {
        if (cellKindOf(field) != CellKind::Number) {
            ++outcome.skipped;
            continue;
        }
        std::int32_t& value = outcome.values[at(kind, field)];
        // Rounding is what scaling does; only a bound is worth telling.
        const double reading = static_cast<double>(value) * percent / 100.0;
        value = scaledValue(value, percent, kind, field, origin);
        if (wholeNumberOf(reading) != value)
            tallyAdjusted(outcome.held, nullptr, slotName(kind, field), textOfReading(reading),
                          reading, value);
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        outcome.changed += values[i] != outcome.values[i];
    return outcome;
}

std::string pasteSummary(const PasteOutcome& outcome) {
    std::string text = "Paste: " + plural(outcome.changed, "value", "values") + " changed, " +
                       plural(outcome.refused.count, "cell", "cells") + " refused" +
                       firstOf(outcome.refused) +
                       clause(outcome.held, "value held at a bound", "values held at a bound") +
                       clause(outcome.rounded, "value rounded", "values rounded") +
                       clause(outcome.unknownHeading, "cell under an unknown heading",
                              "cells under an unknown heading") +
                       clause(outcome.unknownCreature, "cell of an unknown creature",
                              "cells of an unknown creature") +
                       ".";
    if (outcome.notUnderHeadings)
        text += " Pasted at the selected cell, not under the copied headings.";
    return text;
}

std::string scaleSummary(double percent, const ScaleOutcome& outcome) {
    std::string text = "Scale " + textOfReading(percent) +
                       " %: " + plural(outcome.changed, "value", "values") + " changed";
    if (outcome.skipped > 0)
        text += ", " + plural(outcome.skipped, "encoded cell", "encoded cells") + " left alone";
    return text + clause(outcome.held, "value held at a bound", "values held at a bound") + ".";
}

} // namespace tavrel
