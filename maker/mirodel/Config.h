#pragma once
/// Mirodel.ini in the program directory: which back end, which scenario, how fast, and
/// where the stored profiles live.

#include <filesystem>
#include <string>

namespace mirodel {

struct Config
{
    std::string backend = "sim";
    std::filesystem::path scenario;    ///< absolute
    double timeScale = 1.0;
    std::filesystem::path storeFolder; ///< absolute
};

/// Reads `programDirectory`/Mirodel.ini; a missing file or key gives the default.
Config ReadConfig(const std::filesystem::path& programDirectory);

/// $XDG_CONFIG_HOME/Quelmar/Mirodel, or ~/.config/Quelmar/Mirodel.
std::filesystem::path DefaultStoreFolder();

} // namespace mirodel
