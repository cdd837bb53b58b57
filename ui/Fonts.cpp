#include "ui/Fonts.h"

#include "platform/System.h"
#include "platform/Trace.h"

#include <QFile>
#include <QFontDatabase>
#include <QString>

namespace ui {
namespace {

bool HasFamily(const QString& family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

bool RegisterTahoma()
{
    if (HasFamily(QStringLiteral("Tahoma")))
        return true;
    const QString folders[] = {
        QString::fromStdString(platform::GetProgramDirectory()) + QStringLiteral("fonts/"),
        QStringLiteral("/usr/share/wine/fonts/"),
    };
    // Only the regular face: the bold face of the Wine fonts has regular strokes on bold
    // advances and reads as regular; bold is made from the regular face instead.
    bool found = false;
    for (const QString& folder : folders) {
        const QString path = folder + QStringLiteral("tahoma.ttf");
        if (QFile::exists(path) && QFontDatabase::addApplicationFont(path) >= 0) {
            found = true;
            break;
        }
    }
    if (!found)
        platform::Trace("EnsureTahoma(): no Tahoma installed, using the closest sans face\n");
    return found;
}

} // namespace

bool EnsureTahoma()
{
    static const bool available = RegisterTahoma();
    return available;
}

QFont PageFont(int pixelHeight, int weight, bool italic)
{
    EnsureTahoma();
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelHeight > 0 ? pixelHeight : 1);
    font.setWeight(static_cast<QFont::Weight>(weight > 0 ? weight : 400));
    font.setItalic(italic);
    return font;
}

QFont CaptionFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(14);
    font.setWeight(QFont::Black);
    return font;
}

} // namespace ui
