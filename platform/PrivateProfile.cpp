#include "platform/PrivateProfile.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <optional>

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

std::string CutToBuffer(std::string_view s, std::size_t bufferSize)
{
    if (bufferSize == 0)
        return {};
    s = UpToNul(s);
    return std::string(s.substr(0, std::min(s.size(), bufferSize - 1)));
}

/// A file's bytes with an index of its first sections and their first keys.
struct ParsedFile
{
    struct Entry
    {
        std::string_view key;
        std::string_view value;
        std::size_t line;
    };
    struct Section
    {
        std::string_view name;
        std::vector<Entry> entries;
        std::unordered_map<std::string, std::size_t> byKey; // folded key -> entry
    };

    std::string bytes;
    std::vector<Section> sections;
    std::unordered_map<std::string, std::size_t> byName; // folded name -> section

    const Section* find(std::string_view name) const
    {
        const auto it = byName.find(FoldedName(Trim(name)));
        return it == byName.end() ? nullptr : &sections[it->second];
    }
};

std::shared_ptr<const ParsedFile> Parse(std::string bytes)
{
    auto file = std::make_shared<ParsedFile>();
    file->bytes = std::move(bytes);
    ParsedFile::Section* current = nullptr; // null before any section and in duplicates
    ForEachLine(file->bytes, [&](const Line& line, std::size_t number) {
        if (line.kind == Line::Section) {
            const auto [it, added] = file->byName.emplace(FoldedName(line.name), file->sections.size());
            if (added) {
                file->sections.push_back({line.name, {}, {}});
                current = &file->sections.back();
            } else {
                current = nullptr;
            }
        } else if (line.kind == Line::Entry && current) {
            if (current->byKey.emplace(FoldedName(line.name), current->entries.size()).second)
                current->entries.push_back({line.name, line.value, number});
        }
        return true;
    });
    return file;
}

/// Reads the file anew on every call; its index is reused while its bytes stay the same,
/// so a file replaced while the program runs is seen at once.
std::shared_ptr<const ParsedFile> Load(const std::filesystem::path& path)
{
    constexpr std::size_t kMaxCachedFiles = 8;
    constexpr std::size_t kMaxCachedSize = 4u * 1024u * 1024u;
    static std::mutex mutex;
    static std::unordered_map<std::string, std::shared_ptr<const ParsedFile>> cache;

    auto bytes = LoadFile(path);
    if (!bytes)
        return nullptr;
    const std::string key = path.string();
    {
        std::lock_guard lock(mutex);
        const auto it = cache.find(key);
        if (it != cache.end() && it->second->bytes == *bytes)
            return it->second;
    }
    auto parsed = Parse(std::move(*bytes));
    if (parsed->bytes.size() <= kMaxCachedSize) {
        std::lock_guard lock(mutex);
        if (cache.size() >= kMaxCachedFiles && !cache.count(key))
            cache.erase(cache.begin());
        cache[key] = parsed;
    }
    return parsed;
}

} // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t bufferSize,
                                    const std::filesystem::path& file)
{
    if (const auto parsed = Load(file)) {
        if (const auto* found = parsed->find(section)) {
            const auto it = found->byKey.find(FoldedName(Trim(key)));
            if (it != found->byKey.end())
                return CutToBuffer(found->entries[it->second].value, bufferSize);
        }
    }
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
    if (const auto parsed = Load(file)) {
        for (const auto& section : parsed->sections)
            names.emplace_back(UpToNul(section.name));
    }
    return names;
}

std::vector<ProfileEntry> GetPrivateProfileEntries(std::string_view section,
                                                   const std::filesystem::path& file)
{
    std::vector<ProfileEntry> entries;
    const auto parsed = Load(file);
    const auto* found = parsed ? parsed->find(section) : nullptr;
    if (!found)
        return entries;
    for (const auto& e : found->entries)
        entries.push_back({std::string(UpToNul(e.key)), std::string(UpToNul(e.value)), e.line});
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
