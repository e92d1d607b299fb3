#include "keeperfx/config_text.h"

namespace tavrel::keeperfx {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

std::string lowered(std::string_view name) {
    std::string result(name);
    for (char& c : result)
        c = lower(c);
    return result;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

std::vector<std::string> splitWords(std::string_view text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && isBlank(text[at]))
            ++at;
        const std::size_t start = at;
        while (at < text.size() && !isBlank(text[at]))
            ++at;
        if (at > start)
            words.emplace_back(text.substr(start, at - start));
    }
    return words;
}

const ConfigSection* ConfigFile::find(std::string_view name) const {
    for (const ConfigSection& section : sections)
        if (sameName(section.name, name))
            return &section;
    return nullptr;
}

namespace {

// What KeeperFX passes over before a line's first character and between a key and its
// value: blanks, the old end-of-file mark and the control bytes below 7, which it
// also takes as the end of a value.
bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == 26 || static_cast<unsigned char>(c) < 7;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isSkipped(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSkipped(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isKeyEnd(char c) {
    return c == ' ' || c == '\t' || static_cast<unsigned char>(c) < 7;
}

bool endsValue(char c) {
    return static_cast<unsigned char>(c) < 7;
}

// KeeperFX copies a word into a buffer of 64 bytes: a longer word goes on as the next.
constexpr std::size_t kLongestWord = 63;

std::vector<std::string> valueWords(std::string_view text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
            ++at;
        const std::size_t start = at;
        while (at < text.size() && at - start < kLongestWord && text[at] != ' ' &&
               text[at] != '\t' && !endsValue(text[at]))
            ++at;
        if (at == start)
            break;
        words.emplace_back(text.substr(start, at - start));
    }
    return words;
}

} // namespace

ConfigFile parseConfig(std::string_view text) {
    ConfigFile file;
    // Lines before the first block, or after a '[' line that opens none, are in no block.
    bool inBlock = false;
    while (!text.empty()) {
        // KeeperFX ends a line at a CR or an LF, either alone.
        const std::size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        while (!line.empty() && isSkipped(line.front()))
            line.remove_prefix(1);
        // A ';' makes a comment only where a line begins; after a value it is a word.
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            inBlock = close != std::string_view::npos;
            if (inBlock)
                file.sections.push_back({std::string(trimmed(line.substr(1, close - 1))), {}});
            continue;
        }
        // The key runs to a blank or '='; any run of blanks and '=' leads to the value.
        std::size_t keyEnd = 0;
        while (keyEnd < line.size() && !isKeyEnd(line[keyEnd]) && line[keyEnd] != '=')
            ++keyEnd;
        if (!inBlock || keyEnd == 0)
            continue;
        std::size_t value = keyEnd;
        while (value < line.size() && (isKeyEnd(line[value]) || line[value] == '='))
            ++value;
        file.sections.back().lines.push_back(
            {std::string(line.substr(0, keyEnd)), valueWords(line.substr(value))});
    }
    return file;
}

std::string renderConfig(const ConfigFile& file, std::string_view comment) {
    std::string out = "; " + std::string(comment) + "\r\n";
    for (const ConfigSection& section : file.sections) {
        out += "\r\n[" + section.name + "]\r\n";
        for (const ConfigLine& line : section.lines) {
            out += line.key + " =";
            for (const std::string& word : line.words)
                out += " " + word;
            out += "\r\n";
        }
    }
    return out;
}

} // namespace tavrel::keeperfx
