#include "ui/MyStatic.h"

#include <QApplication>
#include <QPainter>

CMyStatic::CMyStatic(QWidget* parent) : QLabel(parent)
{
    setAutoFillBackground(false);
    setAttribute(Qt::WA_NoSystemBackground);
}

CMyStatic::~CMyStatic() = default;

void CMyStatic::SetBoldFont(int pixelHeight)
{
    QFont font(this->font().family());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelHeight);
    font.setWeight(QFont::Bold);
    m_font = font;
    update();
}

void CMyStatic::SetBoldFont16()
{
    SetBoldFont(16);
}

void CMyStatic::SetBoldFont13()
{
    SetBoldFont(13);
}

void CMyStatic::SetTextStyle(COLORREF colour, int alignment, bool bold)
{
    m_crText = colour;
    m_nFormat = alignment == 1 ? ui::DT_CENTER : ui::DT_LEFT;
    if (bold) {
        SetBoldFont(16);
        return;
    }
    QFont font(this->font().family());
    font.setStyleHint(QFont::SansSerif);
    const QFont& own = this->font();
    if (own.pixelSize() > 0)
        font.setPixelSize(own.pixelSize());
    else
        font.setPointSizeF(own.pointSizeF());
    font.setWeight(QFont::Normal);
    m_font = font;
    update();
}

int CMyStatic::ToQtFlags(UINT format)
{
    int flags = 0;
    if (format & ui::DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (format & ui::DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    if (format & ui::DT_SINGLELINE) {
        flags |= Qt::TextSingleLine;
        if (format & ui::DT_VCENTER)
            flags |= Qt::AlignVCenter;
        else if (format & ui::DT_BOTTOM)
            flags |= Qt::AlignBottom;
        else
            flags |= Qt::AlignTop;
    } else {
        flags |= Qt::AlignTop;
    }
    if (format & ui::DT_WORDBREAK)
        flags |= Qt::TextWordWrap;
    return flags;
}

void CMyStatic::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(m_font ? *m_font : QApplication::font());
    painter.setPen(ui::ToQColor(m_crText));
    painter.drawText(rect(), ToQtFlags(m_nFormat), text());
}
