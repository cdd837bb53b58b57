#pragma once
/// The toolkit's two faces: "Tahoma" for pages and "Arial" for button captions, each falling
/// back to the closest installed sans face.

#include <QFont>

namespace ui {

/// Registers a metric-compatible Tahoma (the one of the Wine fonts, or one beside the program
/// in "fonts/") when the font database has none. Done once; true when Tahoma is available.
bool EnsureTahoma();

/// "Tahoma" (or the closest sans face) `pixelHeight` pixels high.
QFont PageFont(int pixelHeight, int weight, bool italic);

/// The caption font of the skinned buttons: "Arial", 14 pixels, weight 900.
QFont CaptionFont();

} // namespace ui
