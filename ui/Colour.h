#pragma once
/// Colours as the system states them: 0x00BBGGRR, red in the low byte.

#include <QColor>

#include <cstdint>

using COLORREF = std::uint32_t;

namespace ui {

constexpr COLORREF Rgb(unsigned r, unsigned g, unsigned b)
{
    return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}

inline QColor ToQColor(COLORREF c)
{
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

inline COLORREF ToColorRef(const QColor& c)
{
    return Rgb(static_cast<unsigned>(c.red()), static_cast<unsigned>(c.green()),
               static_cast<unsigned>(c.blue()));
}

/// The key colour of the skin bitmaps: pure red shows the parent through.
constexpr COLORREF kKeyRed = 0x0000FF;

} // namespace ui
