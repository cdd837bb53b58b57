#include "platform/System.h"

#include <cstdlib>
#include <mutex>
#include <system_error>

namespace platform {
namespace {

std::mutex g_mutex;
std::filesystem::path g_programDirectory;
std::optional<std::optional<OsVersion>> g_osOverride;

std::string WithSlash(std::string dir)
{
    if (dir.empty() || dir.back() != '/')
        dir.push_back('/');
    return dir;
}

std::optional<OsVersion> ParseVersion(const char* text)
{
    OsVersion v;
    const char* p = text;
    auto number = [&p](unsigned& out) {
        if (*p < '0' || *p > '9')
            return false;
        unsigned long n = 0;
        while (*p >= '0' && *p <= '9' && n < 100000)
            n = n * 10 + static_cast<unsigned>(*p++ - '0');
        out = static_cast<unsigned>(n);
        return true;
    };
    if (!number(v.major) || *p++ != '.' || !number(v.minor) || *p != '\0')
        return std::nullopt;
    return v;
}

} // namespace

int OsGeneration = 5;

std::string GetProgramDirectory()
{
    {
        std::lock_guard lock(g_mutex);
        if (!g_programDirectory.empty())
            return WithSlash(g_programDirectory.string());
    }
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return "./";
    return WithSlash(exe.parent_path().string());
}

void SetProgramDirectory(const std::filesystem::path& directory)
{
    std::lock_guard lock(g_mutex);
    g_programDirectory = directory;
}

std::optional<OsVersion> GetOsVersion()
{
    {
        std::lock_guard lock(g_mutex);
        if (g_osOverride)
            return *g_osOverride;
    }
    if (const char* text = std::getenv("QUELMAR_OS_VERSION"); text && *text)
        return ParseVersion(text);
    return OsVersion{6, 1};
}

void SetOsVersionOverride(std::optional<std::optional<OsVersion>> version)
{
    std::lock_guard lock(g_mutex);
    g_osOverride = version;
}

int ClassifyOsGeneration(const std::optional<OsVersion>& version, int current)
{
    if (!version)
        return current;
    if (version->major == 5) {
        switch (version->minor) {
        case 0: return 1;
        case 1: return 2;
        case 2: return 4;
        default: return current;
        }
    }
    if (version->major == 6)
        return 3;
    return 5;
}

void InitOsGeneration() { OsGeneration = ClassifyOsGeneration(GetOsVersion(), OsGeneration); }

} // namespace platform
