#include "provision_tool.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "journal_rows.h"
#include "provision/run.h"

extern char** environ;

namespace vorlen::test {
namespace {

class InProcessTool : public ProvisionTool {
public:
    ToolRun Run(const std::vector<std::string>& arguments, bool terminal) override {
        std::vector<const char*> argv{"vorlen-provision"};
        for (const std::string& argument : arguments) {
            argv.push_back(argument.c_str());
        }
        std::ostringstream out;
        std::ostringstream err;
        ToolRun run;
        run.status = fleet::Run(static_cast<int>(argv.size()), argv.data(), out, err, terminal);
        run.out = out.str();
        run.err = err.str();
        return run;
    }
    std::string PortOf(const SimProcess& tracker) override { return tracker.LinkPath(); }
    std::string AbsentPort() const override { return "/tmp/vorlen-no-such-tty"; }
    bool CanActAsTerminal() const override { return true; }
    std::string FileName(const std::string& path) const override { return path; }
    std::filesystem::path DataFolder() const override {
        return std::filesystem::path(std::getenv("XDG_DATA_HOME")) / "vorlen";
    }
    unsigned NotPrivateBits() const override { return 0077; }
    void MakePlainFile(const std::string& path) override { std::ofstream(path) << "plain\n"; }
    bool LeavesSqliteLog() const override { return false; }
    bool DatabaseOverTcp() const override { return false; }
    pid_t Start(const std::vector<std::string>& arguments, const std::string& out) override {
        return StartProgram(arguments, out);
    }
    bool SeesMappedPorts() const override { return true; }
    std::optional<StationSlot> Slot(std::size_t slot, const std::string& folder) const override {
        const std::string link = folder + "/slot" + std::to_string(slot + 1);
        return StationSlot{link, link};
    }
    std::chrono::milliseconds StartUp() const override { return {}; }
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A Windows program ends its lines with CR LF; the tests read LF.
std::string WithUnixLineEnds(std::string text) {
    std::string lines;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) {
            lines += text[i];
        }
    }
    return lines;
}

class WineTool : public ProvisionTool {
public:
    WineTool(std::string wine, std::string exe, const std::filesystem::path& prefix)
        : wine_(std::move(wine)), exe_(std::move(exe)), devices_(prefix / "dosdevices"),
          dataFolder_(prefix / "drive_c/users" / ::getpwuid(::getuid())->pw_name /
                      "AppData/Local/Vorlen") {
        char pattern[] = "/tmp/vorlen-wine-run-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        outputs_ = pattern;
        // Wine sets %LOCALAPPDATA% from the prefix, whatever the environment
        // says: each test starts without a default journal of an earlier one.
        std::filesystem::remove_all(dataFolder_);
    }

    ~WineTool() override {
        std::error_code ignored;
        for (const auto& [tracker, port] : ports_) {
            std::filesystem::remove(devices_ / Lower(port), ignored);
        }
        std::filesystem::remove_all(outputs_, ignored);
    }

    ToolRun Run(const std::vector<std::string>& arguments, bool) override {
        const std::string out = (outputs_ / "out").string();
        const std::string err = (outputs_ / "err").string();
        ToolRun run;
        const pid_t child = Spawn(Words(arguments), out, err);
        run.status = child > 0 ? ExitOf(child) : -1;
        run.out = WithUnixLineEnds(ReadFile(out));
        run.err = WithUnixLineEnds(ReadFile(err));
        return run;
    }

    pid_t Start(const std::vector<std::string>& arguments, const std::string& out) override {
        return Spawn(Words(arguments), out, out);
    }

    // A Linux path reaches a Windows program through drive Z:, the root.
    std::string FileName(const std::string& path) const override {
        return path.starts_with('/') ? "Z:" + path : path;
    }
    std::filesystem::path DataFolder() const override { return dataFolder_; }
    unsigned NotPrivateBits() const override { return 0007; }
    void MakePlainFile(const std::string& path) override {
        std::string windows = FileName(path);
        std::replace(windows.begin(), windows.end(), '/', '\\');
        const pid_t child = Spawn({wine_, "cmd", "/c", "echo plain>" + windows}, "/dev/null",
                                  "/dev/null");
        if (child > 0) {
            ExitOf(child);
        }
    }
    bool LeavesSqliteLog() const override { return true; }
    bool DatabaseOverTcp() const override { return true; }

    // Wine opens \\.\COMn through the prefix's dosdevices link of that name,
    // so a link to the tracker's terminal maps it without restarting Wine.
    std::string PortOf(const SimProcess& tracker) override {
        if (const auto known = ports_.find(&tracker); known != ports_.end()) {
            return known->second;
        }
        const std::filesystem::path terminal = std::filesystem::read_symlink(tracker.LinkPath());
        // Another run of the suite may hold a number: creating the link is the claim.
        for (std::error_code taken;; taken.clear()) {
            const std::string port = "COM" + std::to_string(nextPort_++);
            std::filesystem::create_symlink(terminal, devices_ / Lower(port), taken);
            if (!taken) {
                ports_.emplace(&tracker, port);
                return port;
            }
        }
    }

    std::string AbsentPort() const override { return "COM199"; }
    bool CanActAsTerminal() const override { return false; }
    bool SeesMappedPorts() const override { return false; }
    // "COM60=/link COM61=/link": ports that Wine listed as its server started,
    // each opening whatever its link points to at the time.
    std::optional<StationSlot> Slot(std::size_t slot, const std::string&) const override {
        const char* mapped = std::getenv("VORLEN_TEST_SLOT_PORTS");
        std::istringstream slots(mapped != nullptr ? mapped : "");
        std::string word;
        for (std::size_t i = 0; slots >> word; ++i) {
            const std::size_t equals = word.find('=');
            if (i == slot && equals != std::string::npos) {
                return StationSlot{word.substr(0, equals), word.substr(equals + 1)};
            }
        }
        return std::nullopt;
    }
    std::chrono::milliseconds StartUp() const override { return std::chrono::seconds(2); }

private:
    static std::string Lower(std::string port) {
        for (char& c : port) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return port;
    }

    std::vector<std::string> Words(const std::vector<std::string>& arguments) const {
        std::vector<std::string> words{wine_, exe_};
        for (const std::string& argument : arguments) {
            words.push_back(FileName(argument));
        }
        return words;
    }

    // Starts `words` with its output into the two files (which may be one).
    static pid_t Spawn(const std::vector<std::string>& words, const std::string& out,
                       const std::string& err) {
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (err == out) {
            posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
        } else {
            posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
        }
        std::vector<char*> argv;
        for (const std::string& word : words) {
            argv.push_back(const_cast<char*>(word.c_str()));
        }
        argv.push_back(nullptr);
        pid_t child = 0;
        const int failed = ::posix_spawn(&child, argv[0], &files, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&files);
        return failed == 0 ? child : -1;
    }

    std::string wine_;
    std::string exe_;
    std::filesystem::path devices_;
    std::filesystem::path dataFolder_;
    std::filesystem::path outputs_;
    std::map<const SimProcess*, std::string> ports_;
    // Above what any machine's own ports or the other Wine suites use.
    int nextPort_ = 100;
};

}  // namespace

std::unique_ptr<ProvisionTool> ToolFromEnvironment() {
    const char* exe = std::getenv("VORLEN_PROVISION_EXE");
    if (exe == nullptr || *exe == '\0') {
        return std::make_unique<InProcessTool>();
    }
    // scripts/windows-test names scripts/lib/wine-isolated here: Wine runs in
    // its session's namespace, where the console ttyS0 is /dev/null.
    const char* wine = std::getenv("VORLEN_WINE");
    const char* prefix = std::getenv("WINEPREFIX");
    if (wine == nullptr || prefix == nullptr) {
        throw std::runtime_error("VORLEN_PROVISION_EXE needs VORLEN_WINE and WINEPREFIX");
    }
    return std::make_unique<WineTool>(wine, exe, prefix);
}

}  // namespace vorlen::test
