#pragma once
// Language files (.lng): INI-like text files that translate the language
// texts. The reader is our own, with these rules:
//  - lines end in CR LF, LF or CR; a line "[Name]" starts a section; a line
//    "key=value" is an entry; a line starting with ";" is a comment;
//  - section and key names match without regard to (ASCII) case;
//  - the value is what follows the first "=", without surrounding spaces and
//    tabs and without one enclosing pair of double or single quotes; it is cut
//    to 2047 characters; the first of repeated keys counts;
//  - each language key is read only from its own section.
// A file that is valid UTF-8 is UTF-8; any other file is 8-bit text in the
// code page named by "codepage" in section "KVR_Language", or else in the
// caller's code page. A byte order mark is dropped in either case.
#include "app/languagetexts.h"
#include "text/utf8.h"

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct LanguageFile {
    std::string name; // [KVR_Language] language=, UTF-8; empty when absent
    // Key as spelled in kLanguageKeys -> UTF-8 text; only the keys the file gives.
    std::map<std::string, std::string, std::less<>> texts;
};

// Turns 8-bit text in the named code page into UTF-8; nothing when the code
// page is unknown. The core has no converters of its own.
using TextDecoder = std::function<std::optional<std::string>(std::string_view bytes, std::string_view codePage)>;

inline constexpr std::size_t kMaxLanguageValueLength = 2047;
inline constexpr std::string_view kUtf8Encoding = "UTF-8";


// The encoding the file is read in: kUtf8Encoding, the file's own
// "codepage", or `codePageInForce`.
[[nodiscard]] std::string languageFileEncoding(std::string_view bytes, std::string_view codePageInForce);

// Nothing when the file is 8-bit text in a code page `decode` does not know.
[[nodiscard]] std::optional<LanguageFile> parseLanguageFile(std::string_view bytes, const TextDecoder& decode,
                                                            std::string_view codePageInForce);

// Sets each text the file gives; the others keep what they hold.
void applyLanguage(LanguageTexts& texts, const LanguageFile& file);

// The language menu order of "*.lng" file names: alphabetical, ignoring case.
[[nodiscard]] std::vector<std::string> sortedLanguageFileNames(std::vector<std::string> names);

// The stored "Language" value: 0 = built-in English, n = the n-th file.
// Missing, not a decimal number, negative or above `fileCount` gives 0.
[[nodiscard]] int storedLanguageIndex(std::optional<std::string_view> stored, std::size_t fileCount);
