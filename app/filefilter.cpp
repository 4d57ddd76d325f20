#include "app/filefilter.h"

#include <vector>

namespace {
std::vector<std::string> split(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(separator, start);
        parts.emplace_back(text.substr(start, at == std::string_view::npos ? text.npos : at - start));
        if (at == std::string_view::npos)
            return parts;
        start = at + 1;
    }
}

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}
} // namespace

std::string qtFileFilter(std::string_view pairs)
{
    const std::vector<std::string> parts = split(pairs, '|');
    std::string result;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads the patterns from the last parentheses, so a description's
        // own "(*.gb; *.gbc)" is replaced by the pattern list.
        std::string description = trimmed(parts[i]);
        if (!description.empty() && description.back() == ')') {
            const std::size_t open = description.rfind('(');
            if (open != std::string::npos)
                description = trimmed(std::string_view(description).substr(0, open));
        }
        std::string patterns;
        for (const std::string& pattern : split(parts[i + 1], ';')) {
            const std::string p = trimmed(pattern);
            if (p.empty())
                continue;
            // "*.*" means every file, also names without a dot.
            if (!patterns.empty())
                patterns += ' ';
            patterns += p == "*.*" ? std::string("*") : p;
        }
        if (!result.empty())
            result += ";;";
        result += description + " (" + patterns + ")";
    }
    return result;
}

std::string suffixWithoutDot(std::string_view extension)
{
    if (!extension.empty() && extension.front() == '.')
        extension.remove_prefix(1);
    return std::string(extension);
}
