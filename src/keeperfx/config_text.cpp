#include "keeperfx/config_text.h"

namespace tavrel::keeperfx {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

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

ConfigFile parseConfig(std::string_view text) {
    ConfigFile file;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos)
                continue; // no block starts here; its lines stay with the one before
            file.sections.push_back({std::string(trimmed(line.substr(1, close - 1))), {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key = trimmed(line.substr(0, equals));
        if (equals == std::string_view::npos || key.empty() || file.sections.empty())
            continue;
        file.sections.back().lines.push_back(
            {std::string(key), splitWords(line.substr(equals + 1))});
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
