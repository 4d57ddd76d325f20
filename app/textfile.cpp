#include "app/textfile.h"

#include "text/utf8.h"

TextOfFile textOfFile(std::string_view bytes, const CodePage& codePage)
{
    const TextFileEncoding encoding = detectTextFileEncoding(bytes);
    if (encoding.utf8)
        return {std::string(bytes.substr(encoding.byteOrderMark)), true};
    return {codePage.toUnicode(bytes).toStdString(), false};
}

std::string fileBytesOf(std::string_view text, bool utf8, const CodePage& codePage, bool* lossless)
{
    if (utf8) {
        if (lossless)
            *lossless = true;
        return std::string(text);
    }
    return codePage.fromUnicode(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), lossless);
}

std::string resultFileInCodePage(std::string_view bytes, const CodePage& codePage)
{
    const TextOfFile text = textOfFile(bytes, codePage);
    if (!text.utf8)
        return std::string(bytes);
    return fileBytesOf(text.text, false, codePage);
}
