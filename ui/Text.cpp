#include "ui/Text.h"

#include <QStringDecoder>

namespace ui {
namespace {

/// Length of `text` without an incomplete UTF-8 sequence at its end.
std::size_t WithoutCutSequence(std::string_view text)
{
    std::size_t end = text.size();
    std::size_t back = 0;
    while (back < 4 && back < end &&
           (static_cast<unsigned char>(text[end - 1 - back]) & 0xC0) == 0x80)
        ++back;
    if (back == end)
        return end;
    const auto lead = static_cast<unsigned char>(text[end - 1 - back]);
    std::size_t need = 1;
    if ((lead & 0xE0) == 0xC0)
        need = 2;
    else if ((lead & 0xF0) == 0xE0)
        need = 3;
    else if ((lead & 0xF8) == 0xF0)
        need = 4;
    else if (lead & 0x80)
        return end; // not a lead byte: leave it to the decoder
    return back + 1 < need ? end - 1 - back : end;
}

} // namespace

QString FromAnsi(std::string_view text)
{
    const std::string_view whole = text.substr(0, WithoutCutSequence(text));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded =
        utf8.decode(QByteArrayView(whole.data(), static_cast<qsizetype>(whole.size())));
    if (!utf8.hasError())
        return decoded;
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToAnsi(const QString& text)
{
    return text.toStdString();
}

} // namespace ui
