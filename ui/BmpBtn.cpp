#include "ui/BmpBtn.h"

#include "ui/Fonts.h"
#include "ui/ResourceLibrary.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

/// The image as drawn through its mask: fully transparent where the mask is set.
QImage MaskedImage(const CBmpBtn::BitmapPair& pair)
{
    if (pair.IsNull())
        return {};
    QImage drawn = pair.image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < drawn.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(drawn.scanLine(y));
        for (int x = 0; x < drawn.width(); ++x) {
            if (pair.mask.pixelIndex(x, y) == 1)
                line[x] = 0;
        }
    }
    return drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

CBmpBtn::CBmpBtn(QWidget* parent) : QPushButton(parent)
{
    // The button paints only its images: no background erase, the parent shows through.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);
}

CBmpBtn::~CBmpBtn() = default;

CBmpBtn::BitmapPair CBmpBtn::BuildMask(const QImage& source, COLORREF key)
{
    BitmapPair pair;
    if (source.isNull())
        return pair;
    pair.image = source.convertToFormat(QImage::Format_RGB32);
    const QRgb keyRgb = (key == 0 ? pair.image.pixel(0, 0) : ui::ToQColor(key).rgb()) & 0xFFFFFF;
    pair.mask = QImage(pair.image.size(), QImage::Format_MonoLSB);
    pair.mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    pair.mask.fill(0);
    for (int y = 0; y < pair.image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(pair.image.scanLine(y));
        for (int x = 0; x < pair.image.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == keyRgb) {
                pair.mask.setPixel(x, y, 1);
                line[x] = qRgb(0, 0, 0);
            }
        }
    }
    return pair;
}

void CBmpBtn::ClearImages()
{
    for (auto& pair : m_pairs)
        pair = {};
    for (auto& drawn : m_drawn)
        drawn = {};
}

int CBmpBtn::LoadStates(const std::function<QImage(State)>& load,
                        const std::array<bool, StateCount>& wanted, COLORREF keyColour)
{
    ClearImages();
    const QImage normal = load(Normal);
    int result = 0;
    if (!normal.isNull()) {
        m_pairs[Normal] = BuildMask(normal, keyColour);
        result = 1;
        for (State state : {Down, Focus, Off, Over}) {
            if (!wanted[state])
                continue;
            const QImage image = load(state);
            if (image.isNull())
                result = 0; // that state stays empty
            else
                m_pairs[state] = BuildMask(image, keyColour);
        }
        for (int s = 0; s < StateCount; ++s)
            m_drawn[s] = MaskedImage(m_pairs[s]);
    }
    updateGeometry();
    update();
    return result;
}

int CBmpBtn::LoadBitmaps(const ui::ResourceModule* module, UINT normal, UINT down, UINT focus,
                         UINT off, UINT over, COLORREF keyColour)
{
    m_nTransparent = 1;
    const std::array<UINT, StateCount> ids{normal, down, focus, off, over};
    return LoadStates([&](State s) { return ui::LoadResourceBitmap(module, ids[s]); },
                      {true, down != 0, focus != 0, off != 0, over != 0}, keyColour);
}

int CBmpBtn::LoadBitmapsFromFiles(const std::string& folder, const std::string& normal,
                                  const std::string& down, const std::string& focus,
                                  const std::string& off, const std::string& over, int transparent,
                                  COLORREF keyColour)
{
    m_nTransparent = transparent;
    const std::array<const std::string*, StateCount> names{&normal, &down, &focus, &off, &over};
    return LoadStates(
        [&](State s) {
            return names[s]->empty() ? QImage()
                                     : QImage(QString::fromStdString(folder + *names[s]));
        },
        {true, !down.empty(), !focus.empty(), !off.empty(), !over.empty()}, keyColour);
}

std::optional<CBmpBtn::State> CBmpBtn::ChooseImage(bool pinned, const DrawState& state,
                                                   const std::array<bool, StateCount>& present)
{
    if (pinned)
        return std::nullopt;
    if (state.focused && present[Focus])
        return state.pressed && present[Down] ? Down : Focus;
    if (state.pressed && present[Down])
        return Down;
    if (state.disabled && present[Off])
        return Off;
    if (state.hover && present[Over])
        return Over;
    return Normal;
}

COLORREF CBmpBtn::CaptionColour(const DrawState& state) const
{
    if (state.disabled)
        return m_crDisabled;
    if (state.hover)
        return m_crHover;
    if (state.focused)
        return m_crFocus;
    return m_crNormal;
}

void CBmpBtn::SetCaption(const QString& caption)
{
    m_strCaption = caption;
    update();
}

void CBmpBtn::SetCaptionColours(COLORREF normal, COLORREF hover, COLORREF disabled, COLORREF focus)
{
    m_crNormal = normal;
    m_crHover = hover;
    m_crDisabled = disabled;
    m_crFocus = focus;
    update();
}

void CBmpBtn::SetPinned(const BitmapPair& pair)
{
    // A copy: the pinned look stays valid whatever happens to the pair it came from.
    m_pinned = pair;
    m_pinnedDrawn = MaskedImage(pair);
    update();
}

void CBmpBtn::ClearPinned()
{
    m_pinned.reset();
    m_pinnedDrawn = {};
    update();
}

QSize CBmpBtn::NormalSize() const
{
    return m_pairs[Normal].image.size().expandedTo({0, 0});
}

CBmpBtn::DrawState CBmpBtn::CurrentDrawState() const
{
    DrawState state;
    state.pressed = isDown();
    state.disabled = !isEnabled();
    state.focused = hasFocus();
    state.hover = m_nHover != 0;
    return state;
}

QSize CBmpBtn::sizeHint() const
{
    return NormalSize();
}

QSize CBmpBtn::minimumSizeHint() const
{
    return NormalSize();
}

void CBmpBtn::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const DrawState state = CurrentDrawState();
    std::array<bool, StateCount> present{};
    for (int s = 0; s < StateCount; ++s)
        present[s] = !m_pairs[s].IsNull();
    const std::optional<State> chosen = ChooseImage(m_pinned.has_value(), state, present);
    const BitmapPair& pair = chosen ? m_pairs[*chosen] : *m_pinned;
    if (!pair.IsNull()) {
        if (m_nTransparent)
            painter.drawImage(QPoint(0, 0), chosen ? m_drawn[*chosen] : m_pinnedDrawn);
        else
            painter.drawImage(QPoint(0, 0), pair.image);
    }

    m_rcCaption = QRect(QPoint(0, 0), NormalSize());
    if (!m_captionFont)
        m_captionFont = ui::CaptionFont();
    if (m_strCaption.isEmpty())
        return;
    painter.setFont(*m_captionFont);
    painter.setPen(ui::ToQColor(CaptionColour(state)));
    painter.drawText(m_rcCaption, Qt::AlignCenter | Qt::TextSingleLine, m_strCaption);
}

void CBmpBtn::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pairs[Focus].IsNull() && m_nHover == 0) {
        m_nHover = 1;
        update();
    }
    QPushButton::mouseMoveEvent(event);
}

void CBmpBtn::leaveEvent(QEvent* event)
{
    if (!m_pairs[Focus].IsNull() && m_nHover != 0) {
        m_nHover = 0;
        update();
    }
    QPushButton::leaveEvent(event);
}
