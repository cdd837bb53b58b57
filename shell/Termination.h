#pragma once
/// SIGTERM, SIGINT and SIGHUP carried to the interface thread, where `onTerminate` ends the
/// program the way its own Exit does.
#include <functional>

namespace shell {

void InstallTerminationHandler(std::function<void()> onTerminate);

} // namespace shell
