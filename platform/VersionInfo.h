#pragma once
/// The file version that a program carries in its own file, as four 16-bit parts.
///
/// A program declares it once with QUELMAR_FILE_VERSION(1, 0, 0, 0): the parts go into a
/// section of the executable named "qw_version", which GetFileVersion reads back from the
/// program file, the way a version resource is read.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

using FileVersion = std::array<std::uint16_t, 4>;

struct FileVersionRecord
{
    char magic[8]; ///< "QWVER01"
    std::uint16_t parts[4];
};

#define QUELMAR_FILE_VERSION(a, b, c, d)                                                       \
    extern "C" __attribute__((section("qw_version"), used))                                    \
    const ::platform::FileVersionRecord quelmar_file_version = {{'Q', 'W', 'V', 'E', 'R', '0', '1', 0}, \
                                                                {a, b, c, d}}

/// The version in the given program file (default: the running one); nullopt when the file
/// carries none or cannot be read.
std::optional<FileVersion> GetFileVersion(const std::filesystem::path& file = {});

/// "%d.%d.%d.%d", or empty when there is no version.
std::string FileVersionText(const std::filesystem::path& file = {});

} // namespace platform
