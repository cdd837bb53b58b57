#pragma once
/// The program keeps its texts as 8-bit strings (language file, resource strings, adapter
/// names); widgets want QString. On Linux the 8-bit text is taken as UTF-8, and text that is
/// not UTF-8 as Latin-1, so that an old single-byte language file still shows its letters.

#include <QString>

#include <string>
#include <string_view>

namespace ui {

/// A trailing UTF-8 sequence cut short (a translation cut to its buffer) is dropped.
QString FromAnsi(std::string_view text);
std::string ToAnsi(const QString& text);

} // namespace ui
