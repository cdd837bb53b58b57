#include "maker/mirodel/Config.h"

#include "platform/PrivateProfile.h"
#include "platform/Trace.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace mirodel {
namespace {

constexpr const char* kSection = "Mirodel";

std::filesystem::path Resolve(const std::filesystem::path& dir, const std::string& value)
{
    const std::filesystem::path p(value);
    return p.is_absolute() ? p : dir / p;
}

} // namespace

std::filesystem::path DefaultStoreFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base;
    if (config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') {
            const passwd* pw = getpwuid(getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        base = std::filesystem::path(home) / ".config";
    }
    return base / "Quelmar" / "Mirodel";
}

Config ReadConfig(const std::filesystem::path& dir)
{
    const std::filesystem::path file = dir / "Mirodel.ini";
    Config c;
    c.backend = platform::GetPrivateProfileString(kSection, "Backend", "sim", 64, file);
    for (char& ch : c.backend)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    c.scenario = Resolve(dir, platform::GetPrivateProfileString(kSection, "Scenario", "Air.ini", 4096, file));
    const std::string scale = platform::GetPrivateProfileString(kSection, "TimeScale", "1", 64, file);
    double value = 0;
    const auto [end, ec] = std::from_chars(scale.data(), scale.data() + scale.size(), value);
    if (ec != std::errc() || end != scale.data() + scale.size() || !(value >= 0.01 && value <= 1000)) {
        platform::Trace("Mirodel: %s: TimeScale \"%s\" is not a number from 0.01 to 1000; using 1\n",
                        file.c_str(), scale.c_str());
        value = 1;
    }
    c.timeScale = value;
    const std::string store = platform::GetPrivateProfileString(kSection, "StoreFolder", "", 4096, file);
    c.storeFolder = store.empty() ? DefaultStoreFolder() : Resolve(dir, store);
    return c;
}

} // namespace mirodel
