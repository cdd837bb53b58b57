#pragma once
/// Reads INI files by the Windows private-profile rules: case-blind section and key names,
/// blanks around names and values and one pair of matching quotes around a value stripped,
/// the first of duplicate sections and keys wins, the default loses its trailing blanks,
/// and a result is cut to the buffer size less one. A missing or unreadable file gives the
/// default. Lines are ended by LF, CR LF or CR; lines starting with ';' are comments.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

/// What the Windows function of this name puts in a buffer of `bufferSize` bytes.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::size_t bufferSize,
                                    const std::filesystem::path& file);

/// The integer at the start of the value (decimal, or hexadecimal after "0x"), the default
/// when the key is missing; a value that does not start with a number gives 0.
int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::filesystem::path& file);

/// Every section name in file order, each once (as first written).
std::vector<std::string> GetPrivateProfileSectionNames(const std::filesystem::path& file);

/// The keys of a section in file order, each once, with the values a lookup gives them.
/// A line without '=' is a key with an empty value.
std::vector<std::pair<std::string, std::string>>
GetPrivateProfileSection(std::string_view section, const std::filesystem::path& file);

/// Where a key was found, for readers that report errors by line.
struct ProfileEntry
{
    std::string key;
    std::string value;
    std::size_t line = 0; ///< 1-based line number in the file
};

/// Like GetPrivateProfileSection, with line numbers.
std::vector<ProfileEntry> GetPrivateProfileEntries(std::string_view section,
                                                   const std::filesystem::path& file);

/// Files larger than this are read up to this size only.
constexpr std::size_t kMaxProfileFileSize = 64u * 1024u * 1024u;

} // namespace platform
