#include "provision/run.h"

#include <filesystem>

#include "profile/profile_file.h"
#include "provision/actions.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {

int Run(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
        bool terminal, TerminalWidth columns) {
    const Streams streams{out, err, terminal, [columns] {
                              const std::size_t told = columns ? columns() : 0;
                              return told > 0 ? told : kUsualColumns;
                          }};
    CLI::App app("vorlen-provision", "vorlen-provision");
    Options options;
    DescribeOptions(app, options, LanguageAskedFor(argc, argv));
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help, out, err);
    } catch (const CLI::ParseError& error) {
        return RefuseArguments(error.what(), LanguageAskedFor(argc, argv), streams);
    }
    const int language = options.LanguageIndex();
    if (const std::optional<std::string> refusal = NameSlots(options)) {
        return RefuseArguments(*refusal, language, streams);
    }
    if (const std::string why = MisplacedReadingOption(options); !why.empty()) {
        return RefuseArguments(why, language, streams);
    }
    if (options.listPorts) {
        return ListPorts(options, streams);
    }
    if (options.history) {
        return PrintHistory(options, streams);
    }
    if (options.summary) {
        return PrintSummary(options, streams);
    }
    if (!options.readPort.empty()) {
        return ReadToProfile(options, streams);
    }
    if (!options.profile.empty()) {
        return options.watch ? WatchStation(options, streams) : ProvisionFleet(options, streams);
    }
    return RefuseArguments(Say(text::kNothingToDo, language), language, streams);
}

int RefuseArguments(const std::string& why, int language, const Streams& streams) {
    streams.err << Say(text::kBadArguments, language, {.detail = why}) << std::endl;
    return kBadInput;
}

bool FolderExists(const std::string& file) {
    const std::filesystem::path folder = FilePath(file).parent_path();
    std::error_code error;
    return folder.empty() || std::filesystem::is_directory(folder, error);
}

}  // namespace vorlen::fleet
