// Runs vorlen-tracker-sim in a child process for a test or a benchmark:
// started in its own temporary directory with --link and --log, ready once
// its link exists, stopped and cleaned up when the object goes. Link
// vorlen_sim_launcher, which holds kSimulatorPath, the simulator binary.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vorlen::test {

extern const char* const kSimulatorPath;

// One line of the simulator's log.
struct LoggedCommand {
    double seconds = 0;  // CLOCK_MONOTONIC, the clock of std::chrono::steady_clock
    std::string bytes;   // the command line without its CR LF, unescaped
};

// "12345.678 AT+OPENAT=710,123;" with \xHH escapes in the command.
inline LoggedCommand ParseLogLine(const std::string& line) {
    LoggedCommand logged;
    const std::size_t space = line.find(' ');
    logged.seconds = std::strtod(line.substr(0, space).c_str(), nullptr);
    const std::string text = space == std::string::npos ? std::string() : line.substr(space + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            logged.bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            logged.bytes += text[i];
        }
    }
    return logged;
}

class SimProcess {
public:
    // Starts the simulator with `options` added to --link and --log, and
    // waits until its link exists. Throws std::runtime_error, with what the
    // simulator said, when it does not come up.
    explicit SimProcess(const std::vector<std::string>& options = {},
                        std::chrono::milliseconds startTimeout = std::chrono::seconds(5)) {
        char pattern[] = "/tmp/vorlen-sim-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        directory_ = pattern;
        link_ = directory_ + "/ttySim";
        log_ = directory_ + "/commands.log";
        Spawn(options);
        WaitForLink(startTimeout);
    }

    ~SimProcess() {
        if (running_) {
            ::kill(pid_, SIGTERM);
            if (!Reap(std::chrono::seconds(2))) {
                Kill();
            }
        }
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }

    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The simulator's own directory: it holds the link and nothing else
    // whose name begins with "tty", so it can serve as a fake /dev.
    const std::string& Directory() const { return directory_; }
    const std::string& LinkPath() const { return link_; }
    const std::string& LogPath() const { return log_; }
    pid_t Pid() const { return pid_; }

    std::vector<LoggedCommand> Log() const {
        std::vector<LoggedCommand> lines;
        std::ifstream in(log_);
        for (std::string line; std::getline(in, line);) {
            lines.push_back(ParseLogLine(line));
        }
        return lines;
    }

    // The received command lines alone, in order.
    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const LoggedCommand& logged : Log()) {
            commands.push_back(logged.bytes);
        }
        return commands;
    }

    // True once the log holds at least `count` lines.
    bool WaitForCommands(std::size_t count, std::chrono::milliseconds timeout) const {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (Log().size() < count) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // Ends the simulator at once, like a crash or a pulled cable: its link is
    // left behind, pointing at a terminal that is gone.
    void Kill() {
        if (running_) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
            running_ = false;
        }
    }

    // Asks the simulator to stop and returns its exit status (-1 when it
    // did not stop within two seconds and had to be killed).
    int Stop() {
        if (!running_) {
            return exitStatus_;
        }
        ::kill(pid_, SIGTERM);
        if (Reap(std::chrono::seconds(2))) {
            return exitStatus_;
        }
        Kill();
        return -1;
    }

private:
    void Spawn(const std::vector<std::string>& options) {
        std::vector<std::string> arguments = {kSimulatorPath, "--link", link_, "--log", log_};
        arguments.insert(arguments.end(), options.begin(), options.end());
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        const std::string out = directory_ + "/stdout";
        const std::string err = directory_ + "/stderr";
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int failed = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        ::posix_spawn_file_actions_destroy(&actions);
        if (failed != 0) {
            throw std::runtime_error(std::string("cannot start ") + kSimulatorPath);
        }
        running_ = true;
    }

    void WaitForLink(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::error_code ignored;
        while (!std::filesystem::is_symlink(link_, ignored)) {
            if (Reap(std::chrono::milliseconds(0)) || std::chrono::steady_clock::now() >= deadline) {
                std::ifstream err(directory_ + "/stderr");
                const std::string said((std::istreambuf_iterator<char>(err)), {});
                throw std::runtime_error("the simulator did not come up: " + said);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    // Collects the child's exit within `timeout`; true when it has exited.
    bool Reap(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                running_ = false;
                exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return true;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    std::string directory_;
    std::string link_;
    std::string log_;
    pid_t pid_ = -1;
    bool running_ = false;
    int exitStatus_ = -1;
};

}  // namespace vorlen::test
