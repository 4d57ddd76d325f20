#include "cli/helptext.h"

#include "tiles/bitmapio.h"
#include "tiles/codecs.h"

#include <vector>

namespace {

constexpr std::size_t kLineWidth = 79;

std::vector<std::string> synopsisWords(const CLI::App& sub)
{
    std::vector<std::string> words;
    for (const CLI::Option* option : sub.get_options()) {
        if (option == sub.get_help_ptr())
            continue;
        if (option->get_positional()) {
            words.push_back(option->get_name());
            continue;
        }
        // The short spelling where there is one, as people type it.
        const std::string name = option->get_snames().empty() ? "--" + option->get_lnames().front()
                                                              : "-" + option->get_snames().front();
        const std::string word = name + " " + option->get_type_name();
        words.push_back(option->get_required() ? word : "[" + word + "]");
    }
    return words;
}

// `lead` ("quarn-tool render") followed by the subcommand's positionals and
// options in the order they were added, optional ones in brackets, wrapped
// to the usual terminal width.
std::string synopsis(const CLI::App& sub, const std::string& lead)
{
    const std::string indent(lead.size() + 1, ' ');
    std::string text = lead;
    std::size_t lineLength = text.size();
    for (const std::string& word : synopsisWords(sub)) {
        if (lineLength + 1 + word.size() > kLineWidth && lineLength > indent.size()) {
            text += "\n" + indent + word;
            lineLength = indent.size() + word.size();
        } else {
            text += " " + word;
            lineLength += 1 + word.size();
        }
    }
    return text + "\n";
}

class SynopsisFormatter : public CLI::Formatter {
public:
    // The tool's usage is the synopsis of every subcommand.
    std::string make_usage(const CLI::App* app, std::string name) const override
    {
        if (app->get_parent() != nullptr)
            return synopsis(*app, get_label("Usage") + ": " + name);
        std::string text = get_label("Usage") + ":\n";
        for (const CLI::App* sub : app->get_subcommands([](const CLI::App*) { return true; }))
            text += synopsis(*sub, "  " + name + " " + sub->get_name());
        return text;
    }
};

std::string wrappedPictureFormats()
{
    // The list depends on the image plugins installed, so it is wrapped here.
    const std::string text = "Pictures: the extension of the name picks the format; a name without one\n"
                             "is a BMP, 24-bit (8-bit indexed for the 8-bit codecs). Formats: " +
                             pictureFormatNames().toStdString() + ".";
    std::string wrapped;
    std::size_t lineStart = 0;
    std::size_t lastBlank = std::string::npos;
    for (const char ch : text) {
        wrapped += ch;
        if (ch == '\n') {
            lineStart = wrapped.size();
            lastBlank = std::string::npos;
        } else if (ch == ' ') {
            lastBlank = wrapped.size() - 1;
        }
        if (wrapped.size() - lineStart > kLineWidth && lastBlank != std::string::npos) {
            wrapped[lastBlank] = '\n';
            lineStart = lastBlank + 1;
            lastBlank = std::string::npos;
        }
    }
    return wrapped + "\n";
}

} // namespace

std::shared_ptr<CLI::Formatter> synopsisFormatter() { return std::make_shared<SynopsisFormatter>(); }

std::string codecList()
{
    std::string text = "Codecs (name or index, letter case ignored):\n";
    for (const Codec codec : kAllCodecs) {
        const std::string index = std::to_string(codecIndex(codec));
        text += std::string(4 - index.size(), ' ') + index + "  " + std::string(codecName(codec)) + "\n";
    }
    text += "Codecs from .codec files (by name), read from the codecs folder beside\n"
            "quarn-tool and ~/.local/share/quarn-tile-mapper/codecs:\n";
    const std::vector<Codec> codecs = allCodecs();
    if (codecs.size() == kAllCodecs.size())
        text += "  (none)\n";
    for (std::size_t i = kAllCodecs.size(); i < codecs.size(); ++i)
        text += "  " + std::string(codecName(codecs[i])) + "\n";
    return text;
}

std::string numberForms()
{
    return "Numbers (P): H and hexadecimal digits (H1F00, h1f00) or decimal digits (7936).\n";
}

std::string sizeForms() { return "Sizes (WxH): width x height, each from 1 to 16 (8x8, 16X8).\n"; }

std::string pictureFormats()
{
    // Asked once: every parse builds the help texts.
    static const std::string wrapped = wrappedPictureFormats();
    return wrapped;
}

std::string exitCodes()
{
    return "Exit status: 0 done; 1 a file could not be read, written or used (a text\n"
           "the table cannot encode, say); 2 bad arguments. search: 0 hits, 1 no hit,\n"
           "2 bad arguments or files.\n";
}

std::string commandExitStatus()
{
    return "Exit status: 0 done, 1 a file could not be read, written or used,\n"
           "2 bad arguments.\n";
}

std::string searchExitStatus() { return "Exit status: 0 hits, 1 no hit, 2 bad arguments or files.\n"; }

std::string toolHelp(const CLI::App& app)
{
    // App::help would show the help of a selected subcommand instead.
    return app.get_formatter()->make_help(&app, app.get_name(), CLI::AppFormatMode::Normal);
}
