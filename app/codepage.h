#pragma once
// The code page in which side files without UTF-8 are read and written, and
// typed text is turned into bytes. Windows-1252 unless chosen. 8-bit pages
// map every byte to a character of its own and back; the multi-byte pages
// Qt's converters offer (Shift_JIS, EUC-JP, GBK, Big5, EUC-KR, UTF-8) are
// taken too.
#include <QHash>
#include <QString>

#include <array>
#include <optional>
#include <string>
#include <string_view>

class CodePage {
public:
    CodePage() : CodePage(QStringLiteral("windows-1252")) {}
    explicit CodePage(const QString& name);

    // False when Qt knows no converter of that name, or it does not keep
    // printable ASCII as it is.
    bool isValid() const { return valid_; }
    bool isEightBit() const { return eightBit_; }
    QString name() const { return name_; }

    QString toUnicode(std::string_view bytes) const;
    // One byte alone; for a multi-byte page its Latin-1 character.
    QString toUnicode(unsigned char byte) const { return QString(QChar(characters_[byte])); }
    // Characters the code page cannot hold become '?', and `lossless` says so.
    std::string fromUnicode(const QString& text, bool* lossless = nullptr) const;
    // The index of the first character of `text` the code page cannot hold;
    // nothing when it holds them all.
    [[nodiscard]] std::optional<qsizetype> firstCharacterNotHeld(const QString& text) const;

private:
    QString name_;
    bool valid_ = false;
    bool eightBit_ = false;
    // On an 8-bit page every byte decodes to one character of its own, so
    // both ways are a lookup, built once instead of a converter per call.
    std::array<char16_t, 256> characters_{};
    QHash<char16_t, char> bytes_;
};
