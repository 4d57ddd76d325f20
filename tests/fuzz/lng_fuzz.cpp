// Language files (.lng): any bytes, read as the program reads them (through
// Qt's code page converters). Only known keys come out, as UTF-8 no longer
// than the limit; a file read is written again as UTF-8 and reads the same.
#include "fuzzinput.h"
#include "scratchfile.h"

#include "app/languageio.h"

#include <string>

namespace {

std::size_t characterCount(std::string_view utf8)
{
    std::size_t count = 0;
    for (char ch : utf8)
        count += (static_cast<unsigned char>(ch) & 0xC0) != 0x80;
    return count;
}

// Quoted, so that blanks and quotes at either end survive the reading.
std::string entryLine(std::string_view key, std::string_view value)
{
    return std::string(key) + "=\"" + std::string(value) + "\"\r\n";
}

std::string rewritten(const LanguageFile& file)
{
    std::string text = "[KVR_Language]\r\n" + entryLine("language", file.name);
    const char* sections[] = {"Variable", "Constant", "TblFormatInfo"};
    for (int section = 0; section < 3; ++section) {
        text += std::string("[") + sections[section] + "]\r\n";
        for (const LanguageKey& key : kLanguageKeys)
            if (static_cast<int>(key.section) == section)
                if (const auto found = file.texts.find(key.key); found != file.texts.end())
                    text += entryLine(key.key, found->second);
    }
    return text;
}

void checkTexts(const LanguageFile& file)
{
    FUZZ_CHECK(isValidUtf8(file.name) && characterCount(file.name) <= kMaxLanguageValueLength);
    for (const auto& [key, text] : file.texts) {
        bool known = false;
        for (const LanguageKey& languageKey : kLanguageKeys)
            known = known || languageKey.key == key;
        FUZZ_CHECK(known);
        FUZZ_CHECK(isValidUtf8(text) && characterCount(text) <= kMaxLanguageValueLength);
    }
    LanguageTexts texts;
    applyLanguage(texts, file);
    for (const auto& [key, text] : file.texts)
        FUZZ_CHECK(texts.text(key) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const ScratchFile scratch("lng");
    static const CodePage windows1252;
    const LanguageFileRead read = readLanguageFile(scratch.holding({data, size}), windows1252);
    FUZZ_CHECK(read.file.has_value() == read.error.isEmpty());
    if (!read.file)
        return 0;
    checkTexts(*read.file);

    const std::string again = rewritten(*read.file);
    const LanguageFileRead reread =
        readLanguageFile(scratch.holding({reinterpret_cast<const std::uint8_t*>(again.data()), again.size()}),
                         windows1252);
    FUZZ_CHECK(reread.file.has_value());
    FUZZ_CHECK(reread.file->name == read.file->name);
    FUZZ_CHECK(reread.file->texts == read.file->texts);
    return 0;
}
