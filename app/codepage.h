#pragma once
// The 8-bit code page through which table texts (kept as bytes) are shown
// and typed text is turned back into bytes. Windows-1252 unless chosen.
#include <QString>

#include <array>
#include <optional>
#include <string>
#include <string_view>

class CodePage {
public:
    CodePage() : CodePage(QStringLiteral("windows-1252")) {}
    explicit CodePage(const QString& name);

    // False when Qt knows no converter of that name, or it is not an 8-bit
    // code page that keeps ASCII as it is.
    bool isValid() const { return valid_; }
    QString name() const { return name_; }

    QString toUnicode(std::string_view bytes) const;
    QString toUnicode(unsigned char byte) const { return QString(QChar(characters_[byte])); }
    // Characters the code page cannot hold become '?', and `lossless` says so.
    std::string fromUnicode(const QString& text, bool* lossless = nullptr) const;
    // The index of the first character of `text` the code page cannot hold;
    // nothing when it holds them all.
    [[nodiscard]] std::optional<qsizetype> firstCharacterNotHeld(const QString& text) const;

private:
    QString name_;
    bool valid_ = false;
    // Every byte decodes to one character of its own, so decoding is a
    // lookup, built once instead of a converter per call.
    std::array<char16_t, 256> characters_{};
};
