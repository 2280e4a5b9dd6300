#include "config/codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace cp1252 {

namespace {
constexpr char kName[] = "windows-1252";
constexpr char kIcuSubstitute = '\x1a';
} // namespace

QByteArray fromUnicode(const QString &text)
{
    QStringEncoder encoder(kName);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;

    // The converter marks unmappable characters with 0x1A, one byte per code point,
    // which a file reader would take as its end. Put "?" there instead.
    qsizetype b = 0;
    for (qsizetype i = 0; i < text.size() && b < bytes.size(); ++i, ++b) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        if (bytes.at(b) == kIcuSubstitute && c != QChar(0x1a))
            bytes[b] = '?';
    }
    return bytes;
}

QString toUnicode(const QByteArray &bytes)
{
    QStringDecoder decoder(kName);
    return decoder.decode(bytes);
}

} // namespace cp1252
