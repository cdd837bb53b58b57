#pragma once
/// Static text that paints itself in its own colour, alignment and font, over whatever is
/// behind it.

#include "platform/Types.h"
#include "ui/Colour.h"

#include <QFont>
#include <QLabel>

#include <optional>

namespace ui {
// Text drawing flags of CMyStatic.
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
} // namespace ui

class CMyStatic : public QLabel
{
public:
    explicit CMyStatic(QWidget* parent = nullptr);
    ~CMyStatic() override;

    COLORREF m_crText = 0;
    UINT m_nFormat = 0; ///< DT_ flags

    /// A font 16 (13) pixels high, weight 700, in the face of the control's current font.
    void SetBoldFont16();
    void SetBoldFont13();
    /// The wizard library's way to set the control: colour, alignment (0 left, 1 centred)
    /// and bold (16 pixels, weight 700) or not (the control's own height, weight 400).
    void SetTextStyle(COLORREF colour, int alignment, bool bold);

    /// The font the control paints with; without one it paints in the application's default
    /// font, not in the font the dialog gave the control.
    const std::optional<QFont>& PaintFont() const { return m_font; }
    /// Qt alignment and text flags for the drawing flags.
    static int ToQtFlags(UINT format);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void SetBoldFont(int pixelHeight);

    std::optional<QFont> m_font;
};
