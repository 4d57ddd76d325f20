#pragma once
// The texts that follow the chosen language: one text per language key,
// starting from the built-in English set.
#include <array>
#include <map>
#include <string>
#include <string_view>

enum class LanguageSection { Variable, Constant, TblFormatInfo };

struct LanguageKey {
    LanguageSection section;
    std::string_view key;
    std::string_view builtInEnglish;
};

// Every key in the order the language files are read: 48 variable texts,
// the constant texts, then the 18 lines of the table format help.
extern const std::array<LanguageKey, 209> kLanguageKeys;

class LanguageTexts {
public:
    LanguageTexts() { setBuiltInEnglish(); }

    void setBuiltInEnglish();
    // The current text of a key; an unknown key (a programming error) gives "{key}".
    const std::string& text(std::string_view key) const;
    [[nodiscard]] bool has(std::string_view key) const;
    bool set(std::string_view key, std::string value);

private:
    std::map<std::string, std::string, std::less<>> texts_;
    mutable std::string missing_;
};
