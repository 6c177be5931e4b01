#include "cli/Commands.h"
#include "cli/EditArguments.h"
#include "cli/EditWords.h"
#include "cli/FormatOption.h"
#include "cli/TableSource.h"
#include "cli/UnitWrite.h"
#include "edid/Checksum.h"
#include "edid/EdidEdit.h"

#include <algorithm>
#include <map>
#include <memory>

namespace {

// An edit's option: nothing when its value does not parse.
using ApplyEdit =
    std::function<std::optional<EdidEditOutcome>(EdidTable& table, const std::string& value)>;

struct EditOption {
    const char* name;
    const char* help;
    ApplyEdit apply;
};

template <typename Set> ApplyEdit NumberEdit(std::uint64_t maximum, Set set) {
    return [maximum, set](EdidTable& table,
                          const std::string& value) -> std::optional<EdidEditOutcome> {
        const std::optional<std::uint64_t> number = ParseEditNumber(value);
        if (!number || *number > maximum) {
            return std::nullopt;
        }
        return set(table, *number);
    };
}

ApplyEdit VicEdit(EdidEditOutcome (*edit)(EdidTable&, std::uint8_t)) {
    return NumberEdit(0xFF, [edit](EdidTable& table, std::uint64_t vic) {
        return edit(table, static_cast<std::uint8_t>(vic));
    });
}

const std::vector<EditOption>& EditOptions() {
    static const std::vector<EditOption> options = {
        {"--manufacturer", "Manufacturer ID, three letters A to Z",
         [](EdidTable& t, const std::string& v) -> std::optional<EdidEditOutcome> {
             std::string letters = v;
             std::transform(letters.begin(), letters.end(), letters.begin(),
                            [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
             return SetManufacturer(t, letters);
         }},
        {"--product", "Product code, 0 to 65535",
         NumberEdit(0xFFFFFFFF,
                    [](EdidTable& t, std::uint64_t n) {
                        return SetProductCode(t, static_cast<std::uint32_t>(n));
                    })},
        {"--serial", "Serial number, 0 to 4294967295",
         NumberEdit(UINT64_MAX,
                    [](EdidTable& t, std::uint64_t n) { return SetSerialNumber(t, n); })},
        {"--week", "Week of manufacture, 1 to 54 (0: not stated)",
         NumberEdit(0xFFFF, [](EdidTable& t,
                               std::uint64_t n) { return SetWeek(t, static_cast<unsigned>(n)); })},
        {"--year", "Year of manufacture, 1990 to 2245",
         NumberEdit(0xFFFF, [](EdidTable& t,
                               std::uint64_t n) { return SetYear(t, static_cast<unsigned>(n)); })},
        {"--model-year", "Model year, 1990 to 2245",
         NumberEdit(0xFFFF,
                    [](EdidTable& t, std::uint64_t n) {
                        return SetModelYear(t, static_cast<unsigned>(n));
                    })},
        {"--name", "Display name, up to 13 characters",
         [](EdidTable& t, const std::string& v) -> std::optional<EdidEditOutcome> {
             return SetDisplayName(t, v);
         }},
        {"--serial-string", "Serial string, up to 13 characters",
         [](EdidTable& t, const std::string& v) -> std::optional<EdidEditOutcome> {
             return SetSerialString(t, v);
         }},
        {"--preferred", "Preferred timing WxH@HZ: the CTA-861 or DMT timing, else CVT-RB",
         [](EdidTable& t, const std::string& v) -> std::optional<EdidEditOutcome> {
             const std::optional<ModeArgument> mode = ParseMode(v);
             if (!mode) {
                 return std::nullopt;
             }
             return SetPreferredTiming(t, mode->width, mode->height, mode->refreshHz);
         }},
        {"--add-vic", "Add a VIC to the CTA video data block", VicEdit(AddVic)},
        {"--remove-vic", "Remove a VIC from the CTA video data block", VicEdit(RemoveVic)},
        {"--native-vic", "Mark a listed VIC (1 to 64) native", VicEdit(MarkNativeVic)},
        {"--audio", "none, or lpcm:CHANNELS:RATES_KHZ:BITS, e.g. lpcm:2:32,44.1,48:16,20,24",
         [](EdidTable& t, const std::string& v) -> std::optional<EdidEditOutcome> {
             const std::optional<AudioArgument> audio = ParseAudio(v);
             if (!audio) {
                 return std::nullopt;
             }
             return audio->lpcm ? SetLpcmAudio(t, *audio->lpcm) : SetNoAudio(t);
         }},
        {"--physical-address", "CEC physical address a.b.c.d in the HDMI block",
         [](EdidTable& t, const std::string& v) -> std::optional<EdidEditOutcome> {
             const auto address = ParsePhysicalAddress(v);
             if (!address) {
                 return std::nullopt;
             }
             return SetPhysicalAddress(t, *address);
         }},
        {"--max-tmds", "Maximum TMDS clock in MHz (a multiple of 5) in the HDMI block",
         NumberEdit(0xFFFF,
                    [](EdidTable& t, std::uint64_t n) {
                        return SetMaxTmdsClock(t, static_cast<unsigned>(n));
                    })},
    };
    return options;
}

constexpr const char* kFitRangeLimits = "--fit-range-limits";

struct EditCommandOptions {
    std::string input;
    std::string output;
    bool inPlace = false;
    std::string format;
    std::map<const CLI::Option*, const EditOption*> edits;
    CLI::Option* fit = nullptr;
};

// Applies the edits in the order the command line gives them; the k-th
// time an option appears takes its k-th value.
int ApplyEdits(CliSession& session, CLI::App& command, const EditCommandOptions& options,
               EdidTable& table) {
    std::map<const CLI::Option*, std::size_t> taken;
    for (const CLI::Option* option : command.parse_order()) {
        std::optional<EdidEditOutcome> outcome;
        std::string value;
        if (option == options.fit) {
            outcome = FitRangeLimits(table);
        } else if (const auto edit = options.edits.find(option); edit != options.edits.end()) {
            value = option->results().at(taken[option]++);
            outcome = edit->second->apply(table, value);
            if (!outcome) {
                session.Message(option->get_name() + ": " + value + " is not a valid value");
                return kExitUsage;
            }
        } else {
            continue;
        }
        if (*outcome != EdidEditOutcome::Done) {
            session.Message(option->get_name() + (value.empty() ? "" : " " + value) +
                            ": not made: " + EditOutcomeText(*outcome));
            return kExitNegative;
        }
    }
    return kExitDone;
}

int WriteToUnit(CliSession& session, const EdidTable& table) {
    if (table.size() != kEdidSize) {
        session.Message("the table has " + std::to_string(table.size()) +
                        " bytes; the unit takes a table of 256");
        return kExitUsage;
    }
    EdidImage image{};
    std::copy(table.begin(), table.end(), image.begin());
    if (!ChecksumsCorrect(image)) {
        session.Message("wrong checksum in a block no edit touched; not written");
        return kExitNegative;
    }
    return WriteTableToUnit(session, image, UnitWriteOptions{});
}

int RunEdit(CliSession& session, CLI::App& command, const EditCommandOptions& options) {
    if (options.inPlace && !options.output.empty()) {
        session.Message("give either -o OUT or --in-place");
        return kExitUsage;
    }
    EdidTable table;
    EdidTableForm form = EdidTableForm::Binary;
    const int loaded = options.input == kUnitSource
                           ? LoadTableFrom(session, options.input, &table)
                           : session.LoadTable(options.input, &table, &form);
    if (loaded != kExitDone) {
        return loaded;
    }
    // A dump is edid-decode's text, which the tool does not write.
    if (options.inPlace && form == EdidTableForm::EdidDecodeDump) {
        session.Message(options.input + ": an " + EdidTableFormName(form) +
                        " is not rewritten in place; give -o OUT");
        return kExitUsage;
    }
    if (const int result = ApplyEdits(session, command, options, table); result != kExitDone) {
        return result;
    }
    const std::string output = options.inPlace ? options.input : options.output;
    if (output == kUnitSource) {
        return WriteToUnit(session, table);
    }
    if (output.empty() || output == "-") {
        return session.SaveTable("-", table,
                                 options.format.empty() ? TableFormat::Hex
                                                        : *TableFormatNamed(options.format));
    }
    return session.SaveTable(
        output, table, ChosenFormat(options.format, output, session.Services().outputIsTerminal));
}

} // namespace

Command AddEditCommand(CLI::App& app, CliSession& session) {
    CLI::App* edit = app.add_subcommand(
        "edit", "Edits fields of a table, in the order given, with checksums made right");
    auto options = std::make_shared<EditCommandOptions>();
    edit->add_option("IN", options->input, "The table's file, or unit to read the unit's")
        ->required();
    edit->add_option("-o,--output", options->output,
                     "Where the edited table goes: a file, - for standard output (hex text "
                     "unless --format says otherwise), or unit to write it with a read-back "
                     "verify");
    edit->add_flag("--in-place", options->inPlace, "Replace IN with the edited table");
    AddFormatOption(*edit, options->format);
    for (const EditOption& option : EditOptions()) {
        CLI::Option* added = edit->add_option(option.name, option.help)
                                 ->type_size(1)
                                 ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                                 ->allow_extra_args(false);
        options->edits[added] = &option;
    }
    options->fit = edit->add_flag(kFitRangeLimits,
                                  "Widen the range limits to cover every timing the table lists")
                       ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    return {edit, [&session, edit, options] { return RunEdit(session, *edit, *options); }};
}
