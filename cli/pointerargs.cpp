// The command line of the pointer table subcommands.
#include "cli/args.h"
#include "cli/helptext.h"
#include "cli/argforms.h"
#include "cli/options.h"
#include "cli/pointercommands.h"

#include <limits>
#include <memory>

namespace {

// Options are read into these and become a PointerTable once CLI11 is done.
struct PointerFields {
    std::int32_t position = 0;
    std::int32_t count = 1;
    int size = 2;
    std::int32_t stride = 0;
    bool bigEndian = false;
    std::string map = "linear";
    std::int64_t base = 0;
    std::int32_t header = 0;
    std::int32_t bank = -1;
    std::int32_t to = 0;
    std::vector<std::string> spaces;
};

CLI::Validator mapName()
{
    return {[](const std::string& text) {
                return parsePointerMap(text) ? std::string()
                                             : "unknown map '" + text + "': give linear, lorom, hirom or gb";
            },
            ""};
}

// Either number form, with a minus sign in front for a negative base.
CLI::Validator signedNumberToDecimal()
{
    return {[](std::string& text) {
                const bool negative = text.starts_with('-');
                const std::optional<std::int32_t> number =
                    parseNumberArgument(std::string_view(text).substr(negative ? 1 : 0), 0);
                if (!number)
                    return "'" + text + "' is not a number: give H and hexadecimal digits (H7FF0, -H10) " +
                           "or decimal digits, with - in front for a negative one";
                text = std::to_string(negative ? -std::int64_t{*number} : std::int64_t{*number});
                return std::string();
            },
            ""};
}

CLI::Validator freeRangeForm()
{
    return {[](const std::string& text) {
                return parseFreeRange(text) ? std::string()
                                            : "'" + text + "' is not FROM-TO (H8000-HFFFF or decimal)";
            },
            ""};
}

// --size, --big-endian, --map, --base, --header, --bank: how values map to offsets.
void addMappingOptions(CLI::App& sub, PointerFields& f)
{
    sub.add_option("--size", f.size, "bytes per entry: 2, 3 or 4; default 2")
        ->type_name("S")
        ->check(CLI::IsMember({2, 3, 4}));
    sub.add_flag("--big-endian", f.bigEndian, "entries store their high byte first");
    sub.add_option("--map", f.map, "linear, lorom, hirom or gb; default linear")->type_name("M")->check(mapName());
    sub.add_option("--base", f.base, "linear: value = offset + B; may be negative")
        ->type_name("B")
        ->transform(signedNumberToDecimal());
    addNumberOption(sub, "--header", f.header, 0, "bytes before the mapped image (a copier header)")->type_name("N");
    addNumberOption(sub, "--bank", f.bank, 0, "the bank of entries that keep only low bytes;\n"
                                              "default: the bank of the table")
        ->type_name("K");
}

void addTableOptions(CLI::App& sub, PointerFields& f)
{
    addNumberOption(sub, "--pointers", f.position, 0, "the position of the first entry")->required();
    addNumberOption(sub, "--count", f.count, 1, "how many entries")->type_name("N")->required();
    addNumberOption(sub, "--stride", f.stride, 0, "bytes from entry to entry; default the size")
        ->type_name("S");
    addMappingOptions(sub, f);
}

PointerTable tableFrom(const PointerFields& f)
{
    PointerTable t;
    t.position = f.position;
    t.count = f.count;
    t.size = f.size;
    t.stride = f.stride;
    t.bigEndian = f.bigEndian;
    t.map = parsePointerMap(f.map).value_or(PointerMap::Linear);
    t.base = f.base;
    t.header = f.header;
    if (f.bank >= 0)
        t.bank = f.bank;
    return t;
}

std::string mappingHelp()
{
    return "Maps: linear (value = offset + --base), lorom (SNES, 32 KiB banks from\n"
           "h8000), hirom (offset + hC00000), gb (Game Boy: 16 KiB banks, the bank in\n"
           "bits 16 and up). --header bytes are left out before mapping. An entry of\n"
           "fewer bytes than the value keeps its low bytes; reading it back adds\n"
           "--bank, by default the bank that holds the table.\n\n" +
           numberForms();
}

struct Registration {
    CLI::App& sub;
    std::shared_ptr<PointerCommand> command;
    std::shared_ptr<PointerFields> fields;
};

Registration addPointerSubcommand(CLI::App& app, const char* name, const char* description,
                                  PointerCommand::Kind kind)
{
    CLI::App& sub = *app.add_subcommand(name, description);
    auto command = std::make_shared<PointerCommand>();
    command->kind = kind;
    addFileOption(sub, "ROM", command->romPath, "", "the ROM file")->required();
    return {sub, command, std::make_shared<PointerFields>()};
}

} // namespace

template <typename Command>
void addPointerCommands(CLI::App& app, std::optional<Command>& chosen)
{
    using Kind = PointerCommand::Kind;
    auto finish = [&chosen](Registration r) {
        r.sub.footer(r.sub.get_footer() + mappingHelp());
        r.sub.callback([&chosen, command = r.command, fields = r.fields] {
            command->table = tableFrom(*fields);
            command->to = fields->to;
            for (const std::string& space : fields->spaces)
                command->spaces.push_back(*parseFreeRange(space));
            chosen = *command;
        });
    };

    Registration list = addPointerSubcommand(app, "pointers", "Prints the entries of a pointer table", Kind::List);
    addTableOptions(list.sub, *list.fields);
    addFileOption(list.sub, "-t,--table", list.command->tablePath, "T.tbl", "also print each string through it");
    addCodePageOption(list.sub, list.command->codePage);
    list.sub.footer("One line per entry: index, position, stored value, target (-------- when it\n"
                    "maps outside the image) and, with --table, the string through its end code.\n\n");
    finish(list);

    Registration find = addPointerSubcommand(app, "find-pointers", "Prints where values point at a position",
                                             Kind::Find);
    addNumberOption(find.sub, "--to", find.fields->to, 0, "the position pointed at")->required();
    addMappingOptions(find.sub, *find.fields);
    find.sub.footer("Prints the position of every entry-sized value that points at --to, in 8\n"
                    "hexadecimal digits. Exit 0 with hits, 1 without.\n\n");
    finish(find);

    Registration dump = addPointerSubcommand(app, "dump-pointers", "Writes the strings of a table as a script",
                                             Kind::Dump);
    addFileOption(dump.sub, "-t,--table", dump.command->tablePath, "T.tbl", "the character table")->required();
    addTableOptions(dump.sub, *dump.fields);
    addFileOption(dump.sub, "-o,--output", dump.command->outputPath, "OUT.txt",
                  "the script to write; standard output without it");
    addCodePageOption(dump.sub, dump.command->codePage);
    dump.sub.footer("Each entry as a line #POINTER n and its string as Extract Script writes it,\n"
                    "through the first end code; #POINTER n = m when entry m points there\n"
                    "already. Lines that begin with ; are comments.\n\n");
    finish(dump);

    Registration insert = addPointerSubcommand(app, "insert-pointers",
                                               "Puts a pointer script back into free space", Kind::Insert);
    addFileOption(insert.sub, "SCRIPT", insert.command->scriptPath, "", "the pointer script (.txt)")->required();
    addFileOption(insert.sub, "-t,--table", insert.command->tablePath, "T.tbl", "the character table")->required();
    addTableOptions(insert.sub, *insert.fields);
    insert.sub.add_option("--space", insert.fields->spaces, "free space, both ends included; repeatable")
        ->type_name("FROM-TO")
        ->required()
        ->check(freeRangeForm());
    addCodePageOption(insert.sub, insert.command->codePage);
    insert.sub.footer("Encodes every block as Replace Script does, stores equal strings once, places\n"
                      "them into the free space (never across a bank) and points every entry at\n"
                      "its string. Prints the bytes used and left of each range. When the strings\n"
                      "do not fit or a character has no code, nothing is written.\n\n");
    finish(insert);
}

template void addPointerCommands<Command>(CLI::App& app, std::optional<Command>& chosen);
