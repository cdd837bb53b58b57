#pragma once
/// The maker's resource library "Sorvik.dll": strings, bitmaps and icons by number, loaded as
/// a data file (a Qt binary resource bundle; maker/sorvik/README.md gives its layout). Every
/// lookup on a null handle, or for a number the library does not hold, finds nothing.
///
/// A handle stays valid until it is freed. It may be handed to the wizard library, whose own
/// build of the toolkit reads it the same way.

#include "platform/Types.h"

#include <QIcon>
#include <QImage>

#include <cstddef>
#include <string>

namespace ui {

/// A loaded resource library (opaque).
struct ResourceModule;

/// Registers the bundle at `file` as a data file; nullptr when it is missing or not a bundle.
const ResourceModule* LoadResourceModule(const std::string& file);
void FreeResourceModule(const ResourceModule* module);

/// String `id` as copied into a buffer of `bufferSize` bytes: at most bufferSize - 1 bytes;
/// empty when missing (or when bufferSize is 0).
std::string LoadResourceString(const ResourceModule* module, UINT id, std::size_t bufferSize);
/// Bitmap `id` as 32-bit RGB; a null image when missing.
QImage LoadResourceBitmap(const ResourceModule* module, UINT id);
/// Icon `id` with every size the library holds; a null icon when missing.
QIcon LoadResourceIcon(const ResourceModule* module, UINT id);

/// The application object's resource library: "Sorvik.dll" from the program directory,
/// loaded when this is built and released when it is destroyed.
class CResourceLibrary
{
public:
    CResourceLibrary();
    ~CResourceLibrary();
    CResourceLibrary(const CResourceLibrary&) = delete;
    CResourceLibrary& operator=(const CResourceLibrary&) = delete;

    /// Null when the library was not found or could not be read.
    const ResourceModule* Handle() const { return m_hModule; }

private:
    const ResourceModule* m_hModule = nullptr;
};

} // namespace ui
