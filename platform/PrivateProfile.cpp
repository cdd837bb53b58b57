#include "platform/PrivateProfile.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unordered_set>

namespace platform {
namespace {

/// The file's bytes, up to kMaxProfileFileSize; nullopt when it cannot be opened.
std::optional<std::string> LoadFile(const std::filesystem::path& file)
{
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f)
        return std::nullopt;
    std::string data;
    char chunk[64 * 1024];
    while (data.size() < kMaxProfileFileSize) {
        const std::size_t want = std::min(sizeof chunk, kMaxProfileFileSize - data.size());
        const std::size_t got = std::fread(chunk, 1, want, f);
        data.append(chunk, got);
        if (got < want)
            break;
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed && data.empty())
        return std::nullopt; // a directory, or a file that cannot be read
    return data;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

/// Case folding of the Western ANSI code page (ASCII letters, the Latin-1 letters and the
/// few pairs in 0x80..0x9F).
unsigned char Fold(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<unsigned char>(c + 0x20);
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
    }
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Fold(static_cast<unsigned char>(a[i])) != Fold(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string FoldedName(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(Fold(static_cast<unsigned char>(c)));
    return out;
}

/// A string as a C caller would see it: up to the first NUL.
std::string_view UpToNul(std::string_view s)
{
    const auto nul = s.find('\0');
    return nul == std::string_view::npos ? s : s.substr(0, nul);
}

std::string_view StripQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

struct Line
{
    enum Kind { Other, Section, Entry } kind = Other;
    std::string_view name;  ///< section name or key
    std::string_view value; ///< entry value, quotes stripped
};

Line ParseLine(std::string_view raw)
{
    Line line;
    std::string_view text = Trim(raw);
    if (text.empty() || text.front() == ';')
        return line;
    if (text.front() == '[') {
        std::string_view inner = text.substr(1);
        const auto close = inner.rfind(']');
        if (close != std::string_view::npos)
            inner = inner.substr(0, close);
        line.kind = Line::Section;
        line.name = Trim(inner);
        return line;
    }
    line.kind = Line::Entry;
    const auto eq = text.find('=');
    if (eq == std::string_view::npos) {
        line.name = text;
    } else {
        line.name = Trim(text.substr(0, eq));
        line.value = StripQuotes(Trim(text.substr(eq + 1)));
    }
    return line;
}

/// Calls `visit(line, lineNumber)` for every line; stops when it returns false.
template <typename Visit> void ForEachLine(std::string_view data, Visit visit)
{
    if (data.substr(0, 3) == "\xEF\xBB\xBF")
        data.remove_prefix(3);
    std::size_t number = 0;
    while (!data.empty()) {
        const auto end = data.find_first_of("\r\n");
        const std::string_view raw = data.substr(0, end);
        ++number;
        if (!visit(ParseLine(raw), number))
            return;
        if (end == std::string_view::npos)
            break;
        std::size_t next = end + 1;
        if (data[end] == '\r' && next < data.size() && data[next] == '\n')
            ++next;
        data.remove_prefix(next);
    }
}

/// Visits the entries of the first section named `section`.
template <typename Visit>
void ForEachEntry(std::string_view data, std::string_view section, Visit visit)
{
    section = Trim(section);
    enum { Before, Inside, Done } state = Before;
    ForEachLine(data, [&](const Line& line, std::size_t number) {
        if (line.kind == Line::Section) {
            if (state == Inside) {
                state = Done;
                return false;
            }
            if (SameName(line.name, section))
                state = Inside;
        } else if (line.kind == Line::Entry && state == Inside) {
            return visit(line, number);
        }
        return true;
    });
}

std::string CutToBuffer(std::string_view s, std::size_t bufferSize)
{
    if (bufferSize == 0)
        return {};
    s = UpToNul(s);
    return std::string(s.substr(0, std::min(s.size(), bufferSize - 1)));
}

} // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t bufferSize,
                                    const std::filesystem::path& file)
{
    std::optional<std::string_view> found;
    const auto data = LoadFile(file);
    if (data) {
        key = Trim(key);
        ForEachEntry(*data, section, [&](const Line& line, std::size_t) {
            if (!SameName(line.name, key))
                return true;
            found = line.value;
            return false;
        });
    }
    if (found)
        return CutToBuffer(*found, bufferSize);
    std::string_view def = UpToNul(defaultValue);
    while (!def.empty() && def.back() == ' ')
        def.remove_suffix(1);
    return CutToBuffer(def, bufferSize);
}

int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::filesystem::path& file)
{
    const std::string text = GetPrivateProfileString(section, key, "", 64, file);
    if (text.empty())
        return defaultValue;
    std::string_view s = text;
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    std::uint32_t value = 0;
    for (char c : s) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            break;
        value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
    }
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

std::vector<std::string> GetPrivateProfileSectionNames(const std::filesystem::path& file)
{
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    const auto data = LoadFile(file);
    if (!data)
        return names;
    ForEachLine(*data, [&](const Line& line, std::size_t) {
        if (line.kind == Line::Section) {
            const std::string_view name = UpToNul(line.name);
            if (seen.insert(FoldedName(name)).second)
                names.emplace_back(name);
        }
        return true;
    });
    return names;
}

std::vector<ProfileEntry> GetPrivateProfileEntries(std::string_view section,
                                                   const std::filesystem::path& file)
{
    std::vector<ProfileEntry> entries;
    std::unordered_set<std::string> seen;
    const auto data = LoadFile(file);
    if (!data)
        return entries;
    ForEachEntry(*data, section, [&](const Line& line, std::size_t number) {
        const std::string_view key = UpToNul(line.name);
        if (seen.insert(FoldedName(key)).second)
            entries.push_back({std::string(key), std::string(UpToNul(line.value)), number});
        return true;
    });
    return entries;
}

std::vector<std::pair<std::string, std::string>>
GetPrivateProfileSection(std::string_view section, const std::filesystem::path& file)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (auto& e : GetPrivateProfileEntries(section, file))
        pairs.emplace_back(std::move(e.key), std::move(e.value));
    return pairs;
}

} // namespace platform
