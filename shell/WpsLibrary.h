#pragma once
/// The wizard library libOrlumi.so beside the program, reached for the calls the shell makes
/// on it. While the library is not there, the calls do nothing.
#include <functional>

namespace shell {

/// Closes an open wizard; 1 always.
int CloseWpsDialog();

/// Replaces the library call (tests); an empty function restores it.
void SetCloseWpsDialogHook(std::function<int()> hook);

} // namespace shell
