#pragma once
/// The skinned push button: five bitmap states with masks made from a key colour, hover
/// tracking, transparent drawing over the parent and a centred caption.

#include "platform/Types.h"
#include "ui/Colour.h"

#include <QFont>
#include <QImage>
#include <QPushButton>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>

namespace ui {
struct ResourceModule;
}

class CBmpBtn : public QPushButton
{
public:
    /// The five states, in the order the loaders take them.
    enum State
    {
        Normal = 0,
        Down,
        Focus,
        Off,
        Over,
        StateCount
    };

    /// An image and its monochrome mask: mask pixel 1 (white) where the image had the key
    /// colour, and there the image is black, so that AND of the mask then OR of the image
    /// draws the image over the background.
    struct BitmapPair
    {
        QImage image; ///< Format_RGB32
        QImage mask;  ///< Format_MonoLSB, index 1 = white = key colour
        bool IsNull() const { return image.isNull(); }
    };

    explicit CBmpBtn(QWidget* parent = nullptr);
    ~CBmpBtn() override;

    /// Loads the states from bitmaps of the resource library by number; 0 for down, focus,
    /// off or over leaves that state empty. Returns 1 when every requested bitmap loaded.
    int LoadBitmaps(const ui::ResourceModule* module, UINT normal, UINT down, UINT focus, UINT off,
                    UINT over, COLORREF keyColour);
    /// The same from bitmap files `folder` + name; an empty name leaves that state empty.
    int LoadBitmapsFromFiles(const std::string& folder, const std::string& normal,
                             const std::string& down, const std::string& focus,
                             const std::string& off, const std::string& over, int transparent,
                             COLORREF keyColour);

    /// Mask of `image` for key colour `key` (0: the colour of the top-left pixel).
    static BitmapPair BuildMask(const QImage& image, COLORREF key);

    /// The state whose image a drawing shows, or nullopt for the pinned pair.
    struct DrawState
    {
        bool pressed = false;
        bool disabled = false;
        bool focused = false;
        bool hover = false;
    };
    static std::optional<State> ChooseImage(bool pinned, const DrawState& state,
                                            const std::array<bool, StateCount>& present);
    /// The caption colour for a drawing: disabled, else hover, else focus, else normal.
    COLORREF CaptionColour(const DrawState& state) const;

    void SetCaption(const QString& caption);
    const QString& Caption() const { return m_strCaption; }
    void SetCaptionColours(COLORREF normal, COLORREF hover, COLORREF disabled, COLORREF focus);

    /// Holds the button in the look of `pair` in every state (the owner passes the button's
    /// own down pair); ClearPinned releases it. Both repaint.
    void SetPinned(const BitmapPair& pair);
    void ClearPinned();
    bool IsPinned() const { return m_pinned.has_value(); }

    const BitmapPair& Pair(State state) const { return m_pairs[state]; }
    bool IsTransparent() const { return m_nTransparent != 0; }
    bool IsHover() const { return m_nHover != 0; }
    /// Width and height of the normal image (0 x 0 without one).
    QSize NormalSize() const;
    /// The state as the next drawing sees it.
    DrawState CurrentDrawState() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void ClearImages();
    /// Loads the normal state, then each wanted other state; 1 when all of them loaded.
    int LoadStates(const std::function<QImage(State)>& load,
                   const std::array<bool, StateCount>& wanted, COLORREF keyColour);

    QString m_strCaption;
    QRect m_rcCaption;
    std::array<BitmapPair, StateCount> m_pairs;
    /// The images as drawn over the parent: alpha 0 where the mask is set. Made once per load.
    std::array<QImage, StateCount> m_drawn;
    std::optional<BitmapPair> m_pinned;
    QImage m_pinnedDrawn;
    int m_nTransparent = 0;
    int m_nHover = 0;
    COLORREF m_crNormal = 0;
    COLORREF m_crHover = 0;
    COLORREF m_crDisabled = 0;
    COLORREF m_crFocus = 0;
    std::optional<QFont> m_captionFont;
};
