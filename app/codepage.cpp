#include "app/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace {
// Table texts are one byte per character with printable ASCII as it is: a
// code page qualifies when bytes 20..7E decode to themselves and every byte
// decodes to one character of its own (UTF-8, UTF-16, Shift_JIS or EBCDIC
// do not; DOS code pages, which draw symbols for control codes, do).
bool isAsciiCompatibleEightBit(const QString& name)
{
    QStringDecoder probe(name.toLatin1().constData());
    if (!probe.isValid())
        return false;
    for (int code = 0; code < 256; ++code) {
        QStringDecoder decoder(name.toLatin1().constData());
        const char byte = static_cast<char>(code);
        const QString decoded = decoder.decode(QByteArrayView(&byte, 1)) + decoder.decode(QByteArrayView());
        if (decoded.size() != 1 || (code >= 0x20 && code < 0x7F && decoded.at(0).unicode() != code))
            return false;
    }
    return true;
}
} // namespace

CodePage::CodePage(const QString& name) : name_(name), valid_(isAsciiCompatibleEightBit(name))
{
    for (int code = 0; code < 256; ++code) {
        characters_[static_cast<std::size_t>(code)] = static_cast<char16_t>(code); // Latin-1 when not valid
        if (!valid_)
            continue;
        QStringDecoder decoder(name_.toLatin1().constData());
        const char byte = static_cast<char>(code);
        const QString decoded = decoder.decode(QByteArrayView(&byte, 1)) + decoder.decode(QByteArrayView());
        characters_[static_cast<std::size_t>(code)] = decoded.at(0).unicode();
    }
}

QString CodePage::toUnicode(std::string_view bytes) const
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(characters_[static_cast<unsigned char>(byte)]);
    return text;
}

std::string CodePage::fromUnicode(const QString& text, bool* lossless) const
{
    QByteArray bytes;
    bool exact = true;
    if (valid_) {
        QStringEncoder encoder(name_.toLatin1().constData(), QStringConverter::Flag::ConvertInvalidToNull);
        bytes = encoder.encode(text);
        exact = !encoder.hasError();
    } else {
        bytes = text.toLatin1();
    }
    if (lossless)
        *lossless = exact;
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<qsizetype> CodePage::firstCharacterNotHeld(const QString& text) const
{
    // Every byte stands for one character of its own, so a character is held
    // exactly when some byte stands for it.
    for (qsizetype i = 0; i < text.size(); ++i)
        if (std::find(characters_.begin(), characters_.end(), text.at(i).unicode()) == characters_.end())
            return i;
    return std::nullopt;
}
