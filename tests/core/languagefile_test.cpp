// Language files: the reader's rules, both encodings, the file list and the
// stored language number, and the Russian file that ships with the program.
#include "app/languagefile.h"
#include "app/languageio.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

const TextDecoder kNoDecoder = [](std::string_view, std::string_view) { return std::optional<std::string>(); };

struct RuleCase {
    const char* rule;
    std::string file;
    std::optional<std::string> clear; // the text the file gives key "Clear"
};

TEST(LanguageFile, ReaderRules)
{
    const std::string longValue(3000, 'x');
    std::string longCyrillic; // the cut counts characters, not bytes
    for (int i = 0; i < 2100; ++i)
        longCyrillic += "Ж";
    const RuleCase cases[] = {
        {"names ignore case", "[vARIABLE]\r\nclEAR=a", "a"},
        {"LF and CR end lines", "[Variable]\nClose=b\rClear=a\r", "a"},
        {"comment", "[Variable]\n;Clear=a", std::nullopt},
        {"first equals sign", "[Variable]\nClear=a=b", "a=b"},
        {"blanks trimmed", "[Variable]\n\t Clear \t= \t a b \t", "a b"},
        {"double quotes", "[Variable]\nClear=\" a \"", " a "},
        {"single quotes", "[Variable]\nClear='a'", "a"},
        {"one pair only", "[Variable]\nClear=\"\"a\"\"", "\"a\""},
        {"unmatched quotes stay", "[Variable]\nClear=\"a'", "\"a'"},
        {"empty value", "[Variable]\nClear=", ""},
        {"first of repeated keys", "[Variable]\nClear=a\n[Variable]\nClear=b", "a"},
        {"absent", "[Variable]\nClose=a", std::nullopt},
        {"another section", "[Constant]\nClear=a", std::nullopt},
        {"before any section", "Clear=a\n[Variable]", std::nullopt},
        {"cut to 2047", "[Variable]\nClear=" + longValue, longValue.substr(0, 2047)},
        {"cut to 2047 characters", "[Variable]\nClear=" + longCyrillic, longCyrillic.substr(0, 2 * 2047)},
    };
    for (const RuleCase& rule : cases) {
        const auto file = parseLanguageFile(rule.file, kNoDecoder, "windows-1252");
        ASSERT_TRUE(file) << rule.rule;
        const auto found = file->texts.find("Clear");
        EXPECT_EQ(found == file->texts.end() ? std::nullopt : std::optional(found->second), rule.clear) << rule.rule;
    }
}

// ---- Files on disk ---------------------------------------------------------

struct EncodingCase {
    const char* what;
    std::string bytes;
    const char* inForce;
    const char* name; // nullptr: the file cannot be read
};

TEST(LanguageFile, ReadsEitherEncoding)
{
    const std::string cp1251Name = "\xD0\xF3\xF1\xF1\xEA\xE8\xE9"; // "Русский"
    const EncodingCase cases[] = {
        {"UTF-8", "[KVR_Language]\r\nlanguage=Русский", "windows-1252", "Русский"},
        {"UTF-8 with BOM", "\xEF\xBB\xBF[KVR_Language]\nlanguage=Русский", "windows-1252", "Русский"},
        {"BOM, then 8-bit text", "\xEF\xBB\xBF[KVR_Language]\nlanguage=" + cp1251Name, "windows-1251", "Русский"},
        {"own code page", "[KVR_Language]\ncodepage=windows-1251\nlanguage=" + cp1251Name, "windows-1252", "Русский"},
        {"page in force", "[KVR_Language]\nlanguage=" + cp1251Name, "windows-1251", "Русский"},
        {"unknown own page", "[KVR_Language]\ncodepage=no-such\nlanguage=\xE7", "windows-1252", nullptr},
    };
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("x.lng"));
    for (const EncodingCase& encoding : cases) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(encoding.bytes.data(), static_cast<qint64>(encoding.bytes.size()));
        out.close();
        const LanguageFileRead read = readLanguageFile(path, CodePage(QString::fromLatin1(encoding.inForce)));
        ASSERT_EQ(read.file.has_value(), encoding.name != nullptr) << encoding.what;
        EXPECT_EQ(read.error.isEmpty(), encoding.name != nullptr) << encoding.what;
        if (read.file) {
            EXPECT_EQ(read.file->name, encoding.name) << encoding.what;
        }
    }
    EXPECT_FALSE(readLanguageFile(folder.filePath(QStringLiteral("none.lng")), CodePage()).error.isEmpty());
}

TEST(LanguageFile, OwnCodePageNameOutlivesTheReading)
{
    // Longer than a short string's inline buffer: it lives in freed memory
    // if the name is taken from sections that are already gone.
    const std::string name = "a-code-page-name-longer-than-any-inline-buffer";
    EXPECT_EQ(languageFileEncoding("[KVR_Language]\ncodepage=" + name + "\nlanguage=\xE7", "windows-1252"), name);
}

TEST(LanguageFile, Utf8CheckAgreesWithQt)
{
    // Pieces that make valid, overlong, surrogate, truncated and stray sequences.
    const std::string pieces[] = {"a", "\xD0\x96", "\xE2\x80\x94", "\xF0\x9F\x98\x80", "\x80", "\xC0\xAF",
                                  "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x80", "\xFF", "\xF0\x9F"};
    std::mt19937 random(20240611);
    for (int round = 0; round < 5000; ++round) {
        std::string text;
        for (int n = static_cast<int>(random() % 6); n > 0; --n)
            text += pieces[random() % std::size(pieces)];
        QStringDecoder qt(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless); // a cut-off end is an error
        (void)QString(qt.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size()))));
        EXPECT_EQ(isValidUtf8(text), !qt.hasError()) << QByteArray::fromStdString(text).toHex().toStdString();
    }
}

TEST(LanguageFile, FilesListInNameOrderIgnoringCase)
{
    EXPECT_EQ(sortedLanguageFileNames({"b.lng", "C.lng", "a.lng", "B.lng"}),
              (std::vector<std::string>{"a.lng", "B.lng", "b.lng", "C.lng"}));
    QTemporaryDir folder;
    for (const char* name : {"b.lng", "A.lng", "notes.txt"})
        QFile(folder.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    EXPECT_EQ(languageFilePaths(folder.path()),
              QStringList({folder.filePath(QStringLiteral("A.lng")), folder.filePath(QStringLiteral("b.lng"))}));
    EXPECT_TRUE(languageFilePaths(folder.filePath(QStringLiteral("missing"))).isEmpty());
}

TEST(LanguageFile, StoredNumberOutsideTheListMeansEnglish)
{
    const std::pair<std::optional<std::string_view>, int> cases[] = {
        {std::nullopt, 0}, {"", 0}, {"0", 0}, {"1", 1}, {"3", 3}, {"4", 0}, {"-1", 0},
        {"2x", 0}, {"x", 0}, {"99999999999999999999999", 0}, {" 2 ", 2}};
    for (const auto& [stored, index] : cases)
        EXPECT_EQ(storedLanguageIndex(stored, 3), index) << stored.value_or("(missing)");
}

// The %1 .. %9 of a message, sorted (a translation may reorder them).
std::multiset<std::string> placeholders(std::string_view text)
{
    std::multiset<std::string> found;
    for (std::size_t at = text.find('%'); at != std::string_view::npos && at + 1 < text.size();
         at = text.find('%', at + 1))
        if (text[at + 1] >= '1' && text[at + 1] <= '9')
            found.insert(std::string(text.substr(at, 2)));
    return found;
}

// Every second field of a "description|patterns|..." filter.
std::vector<std::string> filterPatterns(std::string_view filter)
{
    std::vector<std::string> patterns;
    std::size_t field = 0;
    for (std::size_t start = 0;; ++field) {
        const std::size_t bar = filter.find('|', start);
        if (field % 2 == 1)
            patterns.emplace_back(filter.substr(start, bar - start));
        if (bar == std::string_view::npos)
            return patterns;
        start = bar + 1;
    }
}

TEST(LanguageFile, RussianFileTranslatesEveryKey)
{
    const LanguageFileRead read = readLanguageFile(QStringLiteral(QUARN_LANG_DIR "/Russian.lng"), CodePage());
    ASSERT_TRUE(read.file) << read.error.toStdString();
    EXPECT_EQ(read.file->name, "Русский");
    EXPECT_EQ(read.file->texts.size(), kLanguageKeys.size());
    for (const LanguageKey& entry : kLanguageKeys) {
        const auto found = read.file->texts.find(entry.key);
        ASSERT_NE(found, read.file->texts.end()) << entry.key;
        EXPECT_FALSE(found->second.empty()) << entry.key;
        // A message keeps every number it is filled with, a file filter its
        // patterns: only the words change.
        EXPECT_EQ(placeholders(found->second), placeholders(entry.builtInEnglish)) << entry.key;
        if (entry.key.ends_with("Filter"))
            EXPECT_EQ(filterPatterns(found->second), filterPatterns(entry.builtInEnglish)) << entry.key;
    }
}

} // namespace
