#include "provision/run_inputs.h"

#include <set>

#include "fleet/numbered_value.h"
#include "fleet/profile_proof.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {
namespace {

// The profile as the window's Set ALL would take it, or every line that
// refuses it, printed.
std::optional<Profile> CheckedProfile(const Options& options, const Streams& streams) {
    std::vector<std::string> mistakes;
    std::optional<Profile> profile =
        CheckedProfileFile(options.profile, options.LanguageIndex(), mistakes);
    for (const std::string& mistake : mistakes) {
        streams.err << mistake << '\n';
    }
    streams.err.flush();
    return profile;
}

// The keys that hold a numbered value, in the profile or any device row,
// "userId, apn".
std::string NumberedKeyNames(const RunInputs& inputs) {
    std::set<std::string> names;
    const auto add = [&names](const Profile& profile) {
        std::vector<std::string> refusals;
        for (const NumberedKey& key : NumberedKeys(profile, kEnglish, refusals)) {
            names.insert(key.key);
        }
    };
    add(inputs.profile);
    for (const auto& row : inputs.devices.value_or(DeviceList())) {
        add(row.second.profile);
    }
    std::string listed;
    for (const std::string& name : names) {
        listed += (listed.empty() ? "" : ", ") + name;
    }
    return listed;
}

}  // namespace

std::optional<RunInputs> CheckedInputs(const Options& options, const Streams& streams) {
    std::optional<Profile> profile = CheckedProfile(options, streams);
    if (!profile) {
        return std::nullopt;
    }
    RunInputs inputs{std::move(*profile), std::nullopt, nullptr};
    if (!options.devices.empty()) {
        std::string failure;
        inputs.devices =
            LoadDeviceList(options.devices, inputs.profile, options.LanguageIndex(), failure);
        if (!inputs.devices) {
            streams.err << failure << std::endl;
            return std::nullopt;
        }
    }
    if (const std::string numbered = NumberedKeyNames(inputs);
        !numbered.empty() && options.noJournal) {
        streams.err << Say(text::kNumbersNeedJournal, options.LanguageIndex(),
                           {.detail = numbered})
                    << std::endl;
        return std::nullopt;
    }
    std::optional<std::unique_ptr<Journal>> journal = ChosenJournal(options, streams);
    if (!journal) {
        return std::nullopt;
    }
    inputs.journal = std::move(*journal);
    return inputs;
}

RunRecord RecordOf(const Options& options) {
    return {options.station.empty() ? HostName() : options.station, options.operatorName,
            options.check ? "check" : "provision", options.profile,
            FileSha256(options.profile), options.lot};
}

std::optional<std::string> RepeatedPort(const std::vector<std::string>& ports) {
    std::set<std::string> seen;
    for (const std::string& port : ports) {
        if (!seen.insert(port).second) {
            return port;
        }
    }
    return std::nullopt;
}

}  // namespace vorlen::fleet
