#include "shell/WpsLibrary.h"

#include "platform/System.h"
#include "platform/Trace.h"

#include <dlfcn.h>

#include <string>

namespace shell {

namespace {

using CloseFn = int (*)();

std::function<int()> g_hook;

CloseFn LookUpClose()
{
    static CloseFn close = [] {
        const std::string path = platform::GetProgramDirectory() + "libOrlumi.so";
        void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library)
            return CloseFn{};
        return reinterpret_cast<CloseFn>(dlsym(library, "CloseWpsDialog"));
    }();
    return close;
}

} // namespace

int CloseWpsDialog()
{
    if (g_hook)
        return g_hook();
    if (CloseFn close = LookUpClose())
        return close();
    return 1;
}

void SetCloseWpsDialogHook(std::function<int()> hook)
{
    g_hook = std::move(hook);
}

} // namespace shell
