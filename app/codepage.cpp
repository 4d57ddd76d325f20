#include "app/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

CodePage::CodePage(const QString& name) : name_(name)
{
    QStringDecoder probe(name_.toLatin1().constData());
    valid_ = probe.isValid();
}

QString CodePage::toUnicode(std::string_view bytes) const
{
    if (!valid_)
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder decoder(name_.toLatin1().constData());
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
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
