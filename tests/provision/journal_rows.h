// The journal read back by SQL of its own, not through the program, and
// vorlen-provision run as a process of its own, for the tests that need one
// (two at once, one killed, one interrupted, one on a terminal of a set
// size).
#pragma once

#include <csignal>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sim/sim_process.h"

extern char** environ;

namespace vorlen::test {

using Row = std::map<std::string, std::string>;  // column -> value, NULL absent

// Every row of the journal file, oldest first.
inline std::vector<Row> SqliteRows(const std::string& file) {
    std::vector<Row> rows;
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM provisioning ORDER BY id", -1, &select, nullptr);
    while (select != nullptr && sqlite3_step(select) == SQLITE_ROW) {
        Row& row = rows.emplace_back();
        for (int i = 0; i < sqlite3_column_count(select); ++i) {
            if (const unsigned char* text = sqlite3_column_text(select, i)) {
                row[sqlite3_column_name(select, i)] = reinterpret_cast<const char*>(text);
            }
        }
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return rows;
}

// The setting commands: everything but the wake-up, the IMEI and the queries.
inline int Writes(const SimProcess& sim) {
    int writes = 0;
    for (const std::string& command : sim.Commands()) {
        writes += command.starts_with("AT+OPENAT=7") || command.starts_with("AT+OPENAT=8");
    }
    return writes;
}

// vorlen-provision as a process of its own, its output and errors into
// `out`; `before` runs it (a shell, another user).
inline pid_t StartProgram(const std::vector<std::string>& arguments,
                          const std::string& out = "/dev/null",
                          const std::vector<std::string>& before = {}) {
    std::vector<char*> argv;
    for (const std::string& word : before) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(const_cast<char*>(VORLEN_PROVISION_PATH));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!before.empty()) {
        posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);
    }
    pid_t child = 0;
    ::posix_spawnp(&child, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    return child;
}

inline int ExitOf(pid_t child) {
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct TerminalRun {
    int status = -1;
    std::string out;  // what the terminal was sent, its line ends as CR LF
};

// vorlen-provision with its output on a pseudo-terminal `columns` wide,
// read until the program ends (given up after `patience` without output).
inline TerminalRun RunOnTerminal(const std::vector<std::string>& arguments,
                                 unsigned short columns, int patienceMs = 30000) {
    TerminalRun run;
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || ::grantpt(terminal) != 0 || ::unlockpt(terminal) != 0) {
        return run;
    }
    const winsize size{24, columns, 0, 0};
    ::ioctl(terminal, TIOCSWINSZ, &size);
    const std::string screen = ::ptsname(terminal);
    const pid_t child = StartProgram(arguments, screen);
    for (char chunk[4096];;) {
        pollfd ready{terminal, POLLIN, 0};
        if (::poll(&ready, 1, patienceMs) <= 0) {
            ::kill(child, SIGKILL);
            break;
        }
        const ssize_t got = ::read(terminal, chunk, sizeof chunk);
        if (got <= 0) {
            break;  // EIO: the program has ended and closed the terminal
        }
        run.out.append(chunk, static_cast<std::size_t>(got));
    }
    run.status = ExitOf(child);
    ::close(terminal);
    return run;
}

}  // namespace vorlen::test
