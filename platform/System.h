#pragma once
/// The running program's directory and the Windows version that the program branches on.

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

/// Directory of the running executable, with its trailing '/'.
std::string GetProgramDirectory();
/// Points the program directory elsewhere (tests); an empty path restores the real one.
void SetProgramDirectory(const std::filesystem::path& directory);

struct OsVersion
{
    unsigned major = 0;
    unsigned minor = 0;
};

/// The reported version: 6.1, or what QUELMAR_OS_VERSION says ("5.1"); nullopt when that
/// text cannot be read as major.minor.
std::optional<OsVersion> GetOsVersion();
/// Overrides the reported version (tests); nullopt restores the normal rule.
void SetOsVersionOverride(std::optional<std::optional<OsVersion>> version);

/// Windows version class: 1 Windows 2000, 2 XP, 4 Server 2003, 3 Vista or later,
/// 5 anything else and the initial value.
extern int OsGeneration;

/// The class of a version; `current` is kept when the version is unreadable or a 5.x with
/// a minor above 2.
int ClassifyOsGeneration(const std::optional<OsVersion>& version, int current);

/// Sets OsGeneration from GetOsVersion(); done once at start-up.
void InitOsGeneration();

} // namespace platform
