#pragma once
/// The one trace function of a process: short diagnostic lines naming the handler or state.
/// Silent unless QUELMAR_TRACE is set in the environment, then written to standard error.
/// A test can capture the lines instead.

#include <functional>
#include <string_view>

namespace platform {

/// printf-style; the text is written as it is (callers add "\n" where they want one).
void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

/// Installs a sink that receives every line (whatever QUELMAR_TRACE says); an empty
/// function restores the default.
using TraceSink = std::function<void(std::string_view)>;
void SetTraceSink(TraceSink sink);

} // namespace platform
