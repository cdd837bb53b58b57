#pragma once
/// The toolkit is built twice: for the utility, and for the wizard library with the wizard's
/// differences (white everywhere, 255-character translations, three-value painted text).
/// Which build a program carries is fixed where the library is built; nothing in the headers
/// depends on it, so both builds have the same interface.

#include <cstddef>

namespace ui {

/// True in the wizard library's build of the toolkit.
bool IsWizardToolkit();

/// Size of the buffer a translation is read into: 512 bytes, 256 in the wizard library.
std::size_t TranslationBufferSize();

} // namespace ui
