#include "cli/args.h"

#include "cli/helptext.h"
#include "cli/subcommands.h"

#include <CLI/CLI.hpp>

namespace {

ParseResult success(Command command) { return {std::move(command), {}, kExitOk}; }
ParseResult usageError(std::string message) { return {std::nullopt, std::move(message), kExitUsage}; }

void buildTool(CLI::App& app, std::optional<Command>& chosen)
{
    app.name("quarn-tool");
    app.description("Works on the tile map of a ROM as Quarn Tile Mapper does, without the windows.");
    app.formatter(synopsisFormatter());
    // One command per run: a second command's name is an unexpected word.
    app.require_subcommand(0, 1);
    addSubcommands(app, chosen);
    for (CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; }))
        sub->group("Commands");
    app.footer(codecList() + "\n" + numberForms() + sizeForms() + pictureFormats() + exitCodes() +
               "Run 'quarn-tool COMMAND --help' for the options of one command.");
}

bool helpAsked(const CLI::App& app)
{
    if (app.get_help_ptr()->count() > 0)
        return true;
    for (const CLI::App* sub : app.get_subcommands())
        if (sub->get_help_ptr()->count() > 0)
            return true;
    return false;
}

// CLI11's message, led by the subcommand it concerns. A request for help
// wins over a mistake elsewhere on the line.
ParseResult fromParseError(const CLI::App& app, const CLI::ParseError& error, const std::string& firstWord)
{
    if (helpAsked(app))
        return success(HelpCommand{app.help()});
    const std::vector<CLI::App*> selected = app.get_subcommands();
    if (!selected.empty())
        return usageError(selected.front()->get_name() + ": " + error.what());
    if (!firstWord.starts_with('-'))
        return usageError("unknown command '" + firstWord + "'");
    return usageError(error.what());
}

} // namespace

ParseResult parseArguments(const std::vector<std::string>& args)
{
    if (args.empty())
        return usageError("no command given");
    CLI::App app;
    std::optional<Command> chosen;
    buildTool(app, chosen);
    std::vector<std::string> lastFirst(args.rbegin(), args.rend()); // the order CLI11 reads
    try {
        app.parse(lastFirst);
    } catch (const CLI::CallForHelp&) {
        return success(HelpCommand{app.help()});
    } catch (const CLI::ParseError& error) {
        return fromParseError(app, error, args.front());
    }
    if (!chosen)
        return usageError("no command given");
    return success(std::move(*chosen));
}

std::string usageText()
{
    CLI::App app;
    std::optional<Command> unused;
    buildTool(app, unused);
    return toolHelp(app);
}
