#include "app/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace {
QString decodedWhole(const QString& name, QByteArrayView bytes)
{
    QStringDecoder decoder(name.toLatin1().constData());
    return decoder.decode(bytes) + decoder.decode(QByteArrayView());
}

// Table texts and typed numbers keep printable ASCII as it is: a code page
// qualifies when bytes 20..7E decode to themselves (UTF-16 and EBCDIC do
// not). It is 8-bit when every byte decodes to one character of its own
// (DOS code pages, which draw symbols for control codes, are).
struct Kind {
    bool valid = false;
    bool eightBit = false;
};
Kind kindOf(const QString& name)
{
    if (!QStringDecoder(name.toLatin1().constData()).isValid())
        return {};
    Kind kind{true, true};
    for (int code = 0; code < 256; ++code) {
        const char byte = static_cast<char>(code);
        const QString decoded = decodedWhole(name, QByteArrayView(&byte, 1));
        const bool one = decoded.size() == 1 && decoded.at(0) != QChar::ReplacementCharacter;
        if (code >= 0x20 && code < 0x7F && (!one || decoded.at(0).unicode() != code))
            return {};
        if (decoded.size() != 1)
            kind.eightBit = false;
    }
    return kind;
}
} // namespace

CodePage::CodePage(const QString& name) : name_(name)
{
    const Kind kind = kindOf(name);
    valid_ = kind.valid;
    eightBit_ = kind.eightBit;
    for (int code = 0; code < 256; ++code) {
        const auto index = static_cast<std::size_t>(code);
        characters_[index] = static_cast<char16_t>(code); // Latin-1 when not 8-bit
        if (!eightBit_)
            continue;
        const char byte = static_cast<char>(code);
        const char16_t decoded = decodedWhole(name_, QByteArrayView(&byte, 1)).at(0).unicode();
        // A byte the page leaves undefined keeps its Latin-1 character, so
        // that every byte stays a character of its own and comes back.
        if (decoded != QChar::ReplacementCharacter)
            characters_[index] = decoded;
    }
    if (eightBit_)
        for (int code = 255; code >= 0; --code)
            bytes_.insert(characters_[static_cast<std::size_t>(code)], static_cast<char>(code));
}

QString CodePage::toUnicode(std::string_view bytes) const
{
    if (!eightBit_ && valid_)
        return decodedWhole(name_, QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(characters_[static_cast<unsigned char>(byte)]);
    return text;
}

std::string CodePage::fromUnicode(const QString& text, bool* lossless) const
{
    std::string bytes;
    bool exact = true;
    if (eightBit_ || !valid_) {
        bytes.reserve(static_cast<std::size_t>(text.size()));
        for (const QChar ch : text) {
            const auto found = bytes_.constFind(ch.unicode());
            exact = exact && found != bytes_.constEnd();
            bytes += found != bytes_.constEnd() ? *found : (eightBit_ ? '?' : static_cast<char>(ch.unicode() & 0xFF));
        }
    } else {
        QStringEncoder encoder(name_.toLatin1().constData(), QStringConverter::Flag::ConvertInvalidToNull);
        const QByteArray encoded = encoder.encode(text);
        exact = !encoder.hasError();
        bytes.assign(encoded.constData(), static_cast<std::size_t>(encoded.size()));
    }
    if (lossless)
        *lossless = exact;
    return bytes;
}

std::optional<qsizetype> CodePage::firstCharacterNotHeld(const QString& text) const
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        bool held = false;
        (void)fromUnicode(text.mid(i, length), &held);
        if (!held)
            return i;
        i += length - 1;
    }
    return std::nullopt;
}
