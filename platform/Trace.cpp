#include "platform/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace platform {
namespace {

std::mutex g_traceMutex;
TraceSink g_sink;

} // namespace

void SetTraceSink(TraceSink sink)
{
    std::lock_guard lock(g_traceMutex);
    g_sink = std::move(sink);
}

void Trace(const char* format, ...)
{
    static const bool enabled = std::getenv("QUELMAR_TRACE") != nullptr;
    std::lock_guard lock(g_traceMutex);
    if (!g_sink && !enabled)
        return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string line;
    if (n > 0) {
        line.resize(static_cast<std::size_t>(n));
        std::vsnprintf(line.data(), line.size() + 1, format, args);
    }
    va_end(args);
    if (g_sink) {
        g_sink(line);
    } else {
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
    }
}

} // namespace platform
