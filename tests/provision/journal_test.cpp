// The journal, the audit and the device list against simulated trackers,
// with the journal read back by SQL of its own, not through the program.
#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <thread>

#include <libpq-fe.h>
#include <sys/stat.h>

#include "fleet/journal/journal_module.h"
#include "journal_rows.h"
#include "fleet/journal/schema.h"
#include "sim/postgres_server.h"
#include "provision_rig.h"


namespace vorlen::test {
namespace {

using Clock = std::chrono::steady_clock;
std::vector<Row> PostgresRows(const std::string& uri) {
    std::vector<Row> rows;
    PGconn* connection = PQconnectdb(uri.c_str());
    PGresult* result = PQexec(connection, "SELECT * FROM provisioning ORDER BY id");
    for (int r = 0; r < PQntuples(result); ++r) {
        Row& row = rows.emplace_back();
        for (int c = 0; c < PQnfields(result); ++c) {
            if (PQgetisnull(result, r, c) == 0) {
                row[PQfname(result, c)] = PQgetvalue(result, r, c);
            }
        }
    }
    PQclear(result);
    PQfinish(connection);
    return rows;
}

std::string Imei(int i) { return "86000000000010" + std::to_string(i); }

// One statement as the database's owner; its first value, "" for none.
std::string PostgresValue(const std::string& uri, const std::string& sql) {
    PGconn* connection = PQconnectdb(uri.c_str());
    PGresult* result = PQexec(connection, sql.c_str());
    std::string value = PQntuples(result) > 0 ? PQgetvalue(result, 0, 0) : "";
    PQclear(result);
    PQfinish(connection);
    return value;
}

// The first value of one query's first row, "" for none.
std::string SqliteValue(const std::string& file, const std::string& sql) {
    std::string value;
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &select, nullptr);
    if (select != nullptr && sqlite3_step(select) == SQLITE_ROW &&
        sqlite3_column_text(select, 0) != nullptr) {
        value = reinterpret_cast<const char*>(sqlite3_column_text(select, 0));
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return value;
}

void SqliteRun(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);
}

std::string Bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

unsigned ModeOf(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 0777 : 0;
}

// The journal's tables as this program makes them, with the version given.
std::string OwnTables(int version) {
    std::string sql;
    for (const std::string& statement :
         fleet::schema::CreateStatements(fleet::schema::Dialect::Sqlite)) {
        sql += statement + ";";
    }
    return sql + "INSERT INTO journal_schema VALUES (" + std::to_string(version) + ");";
}

class Journal : public ProvisionTest {
protected:
    void SetUp() override {
        ProvisionTest::SetUp();
        journal_ = Path("journal.sqlite");
    }

    std::vector<std::unique_ptr<SimProcess>> Trackers(int count,
                                                      std::vector<std::string> extra = {}) {
        std::vector<std::unique_ptr<SimProcess>> sims;
        for (int i = 0; i < count; ++i) {
            std::vector<std::string> options{"--awake", "--imei", Imei(i)};
            options.insert(options.end(), extra.begin(), extra.end());
            sims.push_back(std::make_unique<SimProcess>(options));
        }
        return sims;
    }

    // The run's arguments for the tool under test, or with the trackers'
    // own terminals for the Linux program (StartProgram).
    enum class For { Tool, LinuxProgram };
    std::vector<std::string> Arguments(const std::vector<std::unique_ptr<SimProcess>>& sims,
                                       std::vector<std::string> extra, For who = For::Tool) {
        std::vector<std::string> arguments{"--profile", profile_, "--journal", journal_};
        for (const auto& sim : sims) {
            arguments.insert(arguments.end(),
                             {"--port", who == For::Tool ? PortOf(*sim) : sim->LinkPath()});
        }
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return arguments;
    }

    ToolRun Provision(const std::vector<std::unique_ptr<SimProcess>>& sims,
                      std::vector<std::string> extra = {}) {
        return RunTool(Arguments(sims, std::move(extra)));
    }

    std::string journal_;
};

// A row per tracker with who, where, what and how it ended; a tracker that
// failed has its step and failure on record.
TEST_F(Journal, EachTrackerHasARowWithItsIdentityAndOutcome) {
    auto sims = Trackers(1);
    sims.push_back(std::make_unique<SimProcess>(
        std::vector<std::string>{"--awake", "--imei", Imei(1), "--refuse", "770"}));
    const ToolRun run =
        Provision(sims, {"--station", "line-2", "--operator", "李工", "--lot", "2026-W49"});
    EXPECT_EQ(run.status, fleet::kSomeFailed) << run.out << run.err;
    const std::vector<Row> rows = SqliteRows(journal_);
    ASSERT_EQ(rows.size(), 2u);
    std::map<std::string, Row> byImei{{rows[0].at("imei"), rows[0]}, {rows[1].at("imei"), rows[1]}};
    const Row& done = byImei.at(Imei(0));
    const Row& failed = byImei.at(Imei(1));
    EXPECT_EQ(done.at("port"), PortOf(*sims[0]));
    EXPECT_EQ(done.at("station"), "line-2");
    EXPECT_EQ(done.at("operator"), "李工");
    EXPECT_EQ(done.at("lot"), "2026-W49");
    EXPECT_EQ(failed.at("lot"), "2026-W49");
    EXPECT_EQ(done.at("software_version"), "V1.04 SIM");
    EXPECT_EQ(done.at("mode"), "provision");
    EXPECT_EQ(done.at("profile"), tool_->FileName(profile_));
    EXPECT_EQ(done.at("result"), "done");
    EXPECT_LE(done.at("started"), done.at("finished"));
    EXPECT_GT(std::stod(done.at("set_all_seconds")), 0.9);
    EXPECT_EQ(failed.at("result"), "step-failed");
    EXPECT_EQ(failed.at("failed_step"), "15");
    EXPECT_EQ(failed.at("failure"), "Set user password failed!");
    EXPECT_EQ(failed.count("differences"), 0u);
    // The profile's own bytes, as sha256sum hashes them.
    FILE* sum = ::popen(("sha256sum " + profile_).c_str(), "r");
    char hex[65] = {};
    ASSERT_EQ(std::fread(hex, 1, 64, sum), 64u);
    ::pclose(sum);
    EXPECT_EQ(done.at("profile_sha256"), hex);

    const ToolRun read = RunTool({"--read", PortOf(*sims[0]), "--out", Path("held.toml"),
                                  "--journal", journal_, "--operator", "Wang"});
    ASSERT_EQ(read.status, fleet::kAllPassed) << read.err;
    const Row last = SqliteRows(journal_).back();
    EXPECT_EQ(last.at("mode"), "read");
    EXPECT_EQ(last.at("result"), "done");
    EXPECT_EQ(last.at("imei"), Imei(0));
    EXPECT_EQ(last.at("operator"), "Wang");
    EXPECT_EQ(last.at("profile"), tool_->FileName(Path("held.toml")));
}

// Without --journal the rows go to the user's data folder, which the rig
// points into the test's folder (under Wine, %LOCALAPPDATA%\Vorlen of the
// prefix).
TEST_F(Journal, TheDefaultJournalIsInTheUsersDataFolder) {
    const auto sims = Trackers(1);
    ASSERT_EQ(RunTool({"--profile", profile_, "--port", PortOf(*sims[0])}).status,
              fleet::kAllPassed);
    const std::string folder = tool_->DataFolder().string();
    const std::string file = folder + "/journal.sqlite";
    const std::vector<Row> rows = SqliteRows(file);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("imei"), Imei(0));
    // It holds passwords: the folder made for it and the file are the user's.
    EXPECT_NE(ModeOf(folder) & 0700u, 0u);
    EXPECT_EQ(ModeOf(folder) & tool_->NotPrivateBits(), 0u) << std::oct << ModeOf(folder);
    EXPECT_NE(ModeOf(file) & 0600u, 0u);
    EXPECT_EQ(ModeOf(file) & tool_->NotPrivateBits(), 0u) << std::oct << ModeOf(file);
    ASSERT_EQ(RunTool({"--profile", profile_, "--port", PortOf(*sims[0]), "--no-journal"}).status,
              fleet::kAllPassed);
    EXPECT_EQ(SqliteRows(file).size(), 1u);
    // The history reads the default journal too.
    const ToolRun history = RunTool({"--history"});
    EXPECT_NE(history.out.find(Imei(0)), std::string::npos) << history.out << history.err;
}

// What may hold passwords is made the user's alone from its first byte: a
// new journal and the write-ahead log SQLite keeps beside it (on Windows
// SQLite made that one with no access list), a report, a profile read from
// a tracker. Under Wine the
// program's owner-only access list shows as a Unix mode with nothing for
// others; a plain file made there beside them shows what the check would
// see of a file made without it.
TEST_F(Journal, EveryFileThatMayHoldPasswordsIsTheUsersAlone) {
    const mode_t before = ::umask(022);
    const auto sims = Trackers(1);
    ASSERT_EQ(Provision(sims, {"--report", Path("report.json")}).status, fleet::kAllPassed);
    ASSERT_EQ(RunTool({"--read", PortOf(*sims[0]), "--out", Path("read.toml"), "--no-journal"})
                  .status,
              fleet::kAllPassed);
    // A Chinese file name is written and read back by that name, not as "??".
    ASSERT_EQ(RunTool({"--read", PortOf(*sims[0]), "--out", Path("出厂设置.toml"), "--no-journal"})
                  .status,
              fleet::kAllPassed);
    const ToolRun fromChinese = RunTool({"--profile", Path("出厂设置.toml"), "--port",
                                         PortOf(*sims[0]), "--check", "--no-journal"});
    EXPECT_EQ(fromChinese.status, fleet::kAllPassed) << fromChinese.out << fromChinese.err;
    // The history's reader leaves SQLite's log on Windows.
    ASSERT_EQ(RunTool({"--history", "--journal", journal_}).status, fleet::kAllPassed);
    tool_->MakePlainFile(Path("plain.txt"));
    ::umask(before);
    // SQLite on Linux removes the log as the program ends (and gives it the
    // journal's mode while it is there); on Windows a reader leaves it.
    const struct {
        const char* what;
        std::string file;
        bool staysOnLinux;
    } made[] = {{"a new journal", journal_, true},
                {"the journal's write-ahead log", journal_ + "-wal", false},
                {"a report", Path("report.json"), true},
                {"a profile read from a tracker", Path("read.toml"), true},
                {"a profile under a Chinese name", Path("出厂设置.toml"), true}};
    for (const auto& file : made) {
        SCOPED_TRACE(file.what);
        if (!file.staysOnLinux && !tool_->LeavesSqliteLog()) {
            continue;
        }
        EXPECT_NE(ModeOf(file.file) & 0400u, 0u) << "not there or not readable by its owner";
        EXPECT_EQ(ModeOf(file.file) & tool_->NotPrivateBits(), 0u) << std::oct << ModeOf(file.file);
    }
    EXPECT_NE(ModeOf(Path("plain.txt")) & tool_->NotPrivateBits(), 0u)
        << "a plain file looks private too: the check above proves nothing";
}

// A verified batch run again writes nothing; --force writes anyway; the
// history shows the tracker's rows newest first.
TEST_F(Journal, ARerunOfAVerifiedTrackerWritesNothingUnlessForced) {
    const auto sims = Trackers(1);
    ASSERT_EQ(Provision(sims).status, fleet::kAllPassed);
    const int first = Writes(*sims[0]);
    const ToolRun again = Provision(sims);
    EXPECT_EQ(again.status, fleet::kAllPassed) << again.out;
    EXPECT_EQ(Writes(*sims[0]), first);
    EXPECT_NE(again.out.find(": unchanged, the tracker already holds the profile"),
              std::string::npos)
        << again.out;
    // The closing line tells the re-run from a run that wrote.
    EXPECT_NE(again.out.find("1 of 1 trackers pass: 0 configured and verified, 1 already held "
                             "the profile (nothing written).\n"),
              std::string::npos)
        << again.out;
    ASSERT_EQ(Provision(sims, {"--force"}).status, fleet::kAllPassed);
    EXPECT_EQ(Writes(*sims[0]), 2 * first);

    const ToolRun history = RunTool({"--history", Imei(0), "--journal", journal_});
    EXPECT_EQ(history.status, fleet::kAllPassed);
    const std::size_t forced = history.out.find(" done ");
    const std::size_t unchanged = history.out.find(" unchanged ");
    ASSERT_NE(unchanged, std::string::npos) << history.out;
    EXPECT_LT(forced, unchanged) << history.out;
    const ToolRun other = RunTool({"--history", "1", "--journal", journal_});
    EXPECT_EQ(other.out, "No row of the journal matches.\n");
    const ToolRun csv = RunTool({"--history", "--csv", "--journal", journal_});
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 4) << csv.out;
    EXPECT_TRUE(csv.out.starts_with("id,started,finished,station,operator,port,imei,"));
}

// The check reads and compares only: a field changed behind the journal's
// back is named, and nothing is written to set it right.
TEST_F(Journal, ACheckFindsADriftedFieldAndWritesNothing) {
    const auto sims = Trackers(2);
    ASSERT_EQ(Provision(sims).status, fleet::kAllPassed);
    const int written = Writes(*sims[0]);
    std::ifstream in(profile_);
    std::string text{std::istreambuf_iterator<char>(in), {}};
    text.replace(text.find("serverPort = \"9000\""), 19, "serverPort = \"9001\"");
    FileWith("drifted.toml", text);
    const ToolRun check = RunTool({"--profile", Path("drifted.toml"), "--check", "--journal",
                                   journal_, "--port", PortOf(*sims[0])});
    EXPECT_EQ(check.status, fleet::kSomeFailed);
    EXPECT_NE(check.out.find(": 1 of its values differ from the profile: [IMEI " + Imei(0)),
              std::string::npos)
        << check.out;
    EXPECT_NE(check.out.find("\n  serverPort: the profile has \"9001\", the tracker holds \"9000\"\n"),
              std::string::npos);
    EXPECT_NE(check.out.find("0 of 1 trackers hold the profile."), std::string::npos);
    EXPECT_EQ(Writes(*sims[0]), written);
    const Row row = SqliteRows(journal_).back();
    EXPECT_EQ(row.at("mode"), "check");
    EXPECT_EQ(row.at("result"), "differs");
    EXPECT_NE(row.at("differences").find("\"key\":\"serverPort\""), std::string::npos);

    const ToolRun holds = Provision(sims, {"--check"});
    EXPECT_EQ(holds.status, fleet::kAllPassed) << holds.out;
    EXPECT_NE(holds.out.find("2 of 2 trackers hold the profile."), std::string::npos);
}

// Each listed tracker gets its own user ID and is verified against it; the
// one the list does not name is left alone.
TEST_F(Journal, ADeviceListGivesEachTrackerItsOwnValues) {
    const auto sims = Trackers(3);
    const std::string devices = FileWith(
        "devices.csv", "imei,userId,serverPort\r\n" + Imei(0) + ",TRUCK-A,9100\r\n" + Imei(1) +
                           ",\"TRUCK B\",9000\r\n");
    const ToolRun run = Provision(sims, {"--devices", devices, "--report", Path("r.json")});
    EXPECT_EQ(run.status, fleet::kSomeFailed) << run.out << run.err;
    const nlohmann::json ports = Report(Path("r.json"))["ports"];
    EXPECT_EQ(ports[0]["result"], "done");
    EXPECT_EQ(ports[1]["result"], "done");
    EXPECT_EQ(ports[2]["result"], "not-listed");
    const auto sent = [&](int i, const std::string& command) {
        const std::vector<std::string> commands = sims[i]->Commands();
        return std::find(commands.begin(), commands.end(), command) != commands.end();
    };
    EXPECT_TRUE(sent(0, "AT+OPENAT=801,TRUCK-A;") && sent(0, "AT+OPENAT=803,10.1.2.3,9100;"));
    EXPECT_TRUE(sent(1, "AT+OPENAT=801,TRUCK B;"));
    EXPECT_EQ(Writes(*sims[2]), 0);
    EXPECT_NE(run.out.find(PortOf(*sims[2]) + ": not in the device list, nothing written"),
              std::string::npos);
    const std::vector<Row> rows = SqliteRows(journal_);
    ASSERT_EQ(rows.size(), 3u);
    for (const Row& row : rows) {
        if (row.at("imei") == Imei(0)) {
            EXPECT_EQ(row.at("device_values"), R"({"userId":"TRUCK-A","serverPort":"9100"})");
        }
    }
}

// Killed between the identification and the end: the row is there, without
// an end, and the history says so.
TEST_F(Journal, ARunKilledMidwayLeavesAnUnfinishedRow) {
    const auto sims = Trackers(1, {"--chunked"});
    const pid_t child = tool_->Start(Arguments(sims, {}), "/dev/null");
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (SqliteRows(journal_).empty() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(child, SIGKILL);
    ExitOf(child);
    const std::vector<Row> rows = SqliteRows(journal_);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].at("imei"), Imei(0));
    EXPECT_EQ(rows[0].count("finished") + rows[0].count("result"), 0u);
    const ToolRun history = RunTool({"--history", "--journal", journal_});
    EXPECT_NE(history.out.find(" unfinished "), std::string::npos) << history.out;
}

// The live display ends a tracker's line when it ends, not when the slowest
// tracker does.
TEST_F(Journal, EachTrackersOutcomeIsShownAsSoonAsItEnds) {
    auto sims = Trackers(1);
    sims.push_back(std::make_unique<SimProcess>(std::vector<std::string>{"--silent"}));
    const ToolRun run = Provision(sims, {"--wake-timeout", "3"});
    const std::size_t done =
        run.out.find(PortOf(*sims[0]) + ": done, configured and verified");
    const std::size_t slow = run.out.find(PortOf(*sims[1]) + ": failed");
    ASSERT_NE(done, std::string::npos) << run.out;
    EXPECT_LT(done, slow) << run.out;
    EXPECT_NE(run.out.find("[IMEI " + Imei(0) + ", V1.04 SIM]", done), std::string::npos);
}

// Two stations' processes write into one database at once: every tracker
// has exactly its own row, finished. The first station is the tool under
// test (under Wine, vorlen-provision.exe over TCP), the second the Linux
// program.
TEST_F(Journal, TwoProcessesShareOnePostgresJournal) {
    if (!PostgresServer::Installed()) {
        GTEST_SKIP() << "Debian's postgresql package is not installed (initdb, pg_ctl)";
    }
    const PostgresServer server(ServerReach());
    ASSERT_TRUE(server.Started()) << "see " << server.Log();
    const auto sims = Trackers(8);
    std::vector<pid_t> children;
    for (int station = 0; station < 2; ++station) {
        std::vector<std::string> arguments{"--profile", profile_, "--journal", server.Uri(),
                                           "--station", "station-" + std::to_string(station)};
        for (int i = station * 4; i < station * 4 + 4; ++i) {
            arguments.insert(arguments.end(),
                             {"--port", station == 0 ? PortOf(*sims[i]) : sims[i]->LinkPath()});
        }
        children.push_back(station == 0 ? tool_->Start(arguments, Path("station-0.txt"))
                                        : StartProgram(arguments));
    }
    for (const pid_t child : children) {
        EXPECT_EQ(ExitOf(child), fleet::kAllPassed);
    }
    const std::vector<Row> rows = PostgresRows(server.Uri());
    ASSERT_EQ(rows.size(), 8u);
    std::map<std::string, Row> byImei;
    for (const Row& row : rows) {
        byImei[row.at("imei")] = row;
    }
    for (int i = 0; i < 8; ++i) {
        const Row& row = byImei.at(Imei(i));
        EXPECT_EQ(row.at("port"), i < 4 ? PortOf(*sims[i]) : sims[i]->LinkPath());
        EXPECT_EQ(row.at("station"), "station-" + std::to_string(i / 4));
        EXPECT_EQ(row.at("result"), "done");
    }
    const ToolRun history = RunTool({"--history", Imei(5), "--journal", server.Uri()});
    EXPECT_NE(history.out.find("station-1"), std::string::npos) << history.out << history.err;
}

// The journal's module missing (a broken installation), a file that is no
// module, or a library without the module's entry points: opening a journal
// fails with a message naming the module and the loader's reason, nothing
// crashes, and nothing is opened.
TEST(JournalModule, AModuleThatDoesNotLoadIsAClearFailure) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vorlen-module-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string notModule = folder / "not-a-module.so";
    std::ofstream(notModule) << std::string(200, 'x');
    Dl_info libpq{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(&PQlibVersion), &libpq), 0);
    const struct {
        const char* what;
        std::string module;
        const char* reason;
    } cases[] = {
        {"missing", folder / "missing" / "vorlen-journal.so", "No such file"},
        {"not a module", notModule, "invalid ELF header"},
        {"another library", libpq.dli_fname, "lacks vorlen_journal_release"},
    };
    for (const auto& module : cases) {
        SCOPED_TRACE(module.what);
        std::string failure;
        const auto journal =
            fleet::OpenJournalFrom(module.module, (folder / "journal.sqlite").string(),
                                   fleet::JournalAccess::Write, failure);
        EXPECT_EQ(journal, nullptr);
        EXPECT_NE(failure.find(module.module), std::string::npos) << failure;
        EXPECT_NE(failure.find(module.reason), std::string::npos) << failure;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "journal.sqlite"));
    std::filesystem::remove_all(folder);
}

// The journal's disk fills once the journal is open (a small tmpfs of the
// child's own, filled up as soon as the journal has its WAL file): the
// trackers are configured, but no outcome calls them done, the run fails,
// a station's board says at once that the journal takes no rows, and a
// tracker put into a slot after that is not taken.
struct FullDisk {
    const char* name;
    std::vector<std::string> arguments;
    bool secondComesLate;  // its port appears once the first is not recorded
    std::vector<std::string> said;
};

// Waits (30 s at most) until the program's output holds `words`.
std::string UntilSaid(const std::string& words) {
    return "n=0; until grep -q '" + words + "' /proc/$$/fd/1 || [ $n -ge 300 ]; do sleep 0.1; "
           "n=$((n+1)); done; ";
}

TEST_F(Journal, AJournalOnAFullDiskTakesNoRowAndNothingIsCalledDone) {
    const std::string report = Path("report.json");
    const FullDisk cases[] = {
        {"a fleet run", {"--report", report}, false,
         {"0 of 2 trackers pass: 0 configured and verified, 0 already held the profile"}},
        {"a station", {"--watch", "--count", "2"}, false,
         {"journal: takes no rows, so no new tracker is taken", "done 0, unchanged 0, failed 2"}},
        {"a station's next tracker", {"--watch"}, true,
         {"late: not taking the tracker: the journal takes no rows",
          "done 0, unchanged 0, failed 1"}},
    };
    for (const FullDisk& full : cases) {
        SCOPED_TRACE(full.name);
        std::filesystem::create_directory(Path("full"));
        std::filesystem::remove(Path("late"));
        const SimProcess first({"--awake", "--imei", Imei(0), "--chunked"});
        const SimProcess second({"--awake", "--imei", Imei(1), "--chunked"});
        const std::string secondPort = full.secondComesLate ? Path("late") : second.LinkPath();
        std::vector<std::string> arguments{"--profile", profile_, "--journal",
                                           Path("full/journal.sqlite"), "--port", first.LinkPath(),
                                           "--port", secondPort};
        arguments.insert(arguments.end(), full.arguments.begin(), full.arguments.end());
        const std::string script =
            "full=$1; shift; mount -t tmpfs -o size=512k tmpfs \"$full\" || exit 90; "
            "\"$@\" & child=$!; n=0; until [ -e \"$full/journal.sqlite-wal\" ] || [ $n -ge 200 ]; "
            "do sleep 0.05; n=$((n+1)); done; dd if=/dev/zero of=\"$full/filler\" bs=4096 "
            "2>/dev/null; " +
            (full.secondComesLate ? UntilSaid("but not recorded") + "ln -s \"$(readlink -f " + second.LinkPath() +
                                        ")\" " + secondPort + "; " +
                                        UntilSaid("not taking the tracker") + "kill -INT $child; "
                                  : "") +
            "wait $child";
        const std::string out = Path("out.txt");
        const pid_t child = StartProgram(
            arguments, out, {"unshare", "-m", "sh", "-c", script, "sh", Path("full")});
        EXPECT_EQ(ExitOf(child), fleet::kSomeFailed);
        const std::string said = Bytes(out);
        EXPECT_NE(said.find(": configured and verified, but not recorded: "), std::string::npos)
            << said;
        EXPECT_NE(said.find("full"), std::string::npos) << said;
        EXPECT_EQ(said.find("done, configured and verified"), std::string::npos) << said;
        for (const std::string& line : full.said) {
            EXPECT_NE(said.find(line), std::string::npos) << said;
        }
        if (full.arguments[0] == "--report") {
            EXPECT_EQ(Report(report)["passed"], false);
        }
    }
}

// Files that are not this program's journal, or a journal of another
// schema: refused with what was found, by a run and by --history, and left
// byte for byte as they were.
TEST_F(Journal, ADatabaseThatIsNotThisProgramsJournalIsLeftUntouched) {
    const struct {
        const char* name;
        std::string sql;
        const char* refusal;
    } cases[] = {
        {"a foreign table", "CREATE TABLE provisioning (serial TEXT, owner TEXT);",
         "the table provisioning was not made by vorlen-provision: it lacks the columns id, "
         "started,"},
        {"a later schema", OwnTables(3),
         "written by a later vorlen-provision (schema version 3; this one knows version 2)"},
        {"an earlier schema", OwnTables(0), "schema version 0, which this vorlen-provision"},
        {"another program's file", "CREATE TABLE notes (text TEXT);",
         "another program's tables (notes)"},
    };
    const SimProcess tracker({"--awake"});
    for (const auto& found : cases) {
        SCOPED_TRACE(found.name);
        const std::string file = Path(std::string(found.name) + ".sqlite");
        SqliteRun(file, found.sql);
        const std::string before = Bytes(file);
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"--profile", profile_, "--port", PortOf(tracker)},
              std::vector<std::string>{"--history"}}) {
            std::vector<std::string> run = arguments;
            run.insert(run.end(), {"--journal", file});
            const ToolRun refused = RunTool(run);
            EXPECT_EQ(refused.status, fleet::kBadInput);
            EXPECT_NE(refused.err.find(found.refusal), std::string::npos) << refused.err;
            EXPECT_EQ(Bytes(file), before);
        }
    }
    EXPECT_EQ(Writes(tracker), 0);
}

TEST_F(Journal, AForeignTableInPostgresIsLeftUntouched) {
    if (!PostgresServer::Installed()) {
        GTEST_SKIP() << "Debian's postgresql package is not installed (initdb, pg_ctl)";
    }
    const PostgresServer server(ServerReach());
    ASSERT_TRUE(server.Started()) << "see " << server.Log();
    PostgresValue(server.Uri(), "CREATE TABLE provisioning (serial text)");
    const ToolRun refused =
        RunTool({"--profile", profile_, "--port", tool_->AbsentPort(), "--journal", server.Uri()});
    EXPECT_EQ(refused.status, fleet::kBadInput);
    EXPECT_NE(refused.err.find("it lacks the columns id, started,"), std::string::npos)
        << refused.err;
    EXPECT_EQ(PostgresValue(server.Uri(), "SELECT to_regclass('journal_schema') IS NULL AND "
                                          "to_regclass('provisioning_by_imei') IS NULL"),
              "t");
}

// --history reads only: a file its reader may not write, in a folder it may
// not write, and a role that may only SELECT; a journal that is not there
// is an error naming the place, and is not created.
TEST_F(Journal, TheHistoryReadsWhatItMayNotWrite) {
    const auto sims = Trackers(1);
    ASSERT_EQ(Provision(sims).status, fleet::kAllPassed);

    const std::string missing = Path("mistyped.sqlite");
    const ToolRun none = RunTool({"--history", "--journal", missing});
    EXPECT_EQ(none.status, fleet::kBadInput);
    EXPECT_NE(none.err.find(tool_->FileName(missing) + ": there is no journal file there"),
              std::string::npos)
        << none.err;
    EXPECT_FALSE(std::filesystem::exists(missing));

    // Another user, for whom the file is read-only and the folder closed.
    ASSERT_EQ(::chmod(folder_.c_str(), 0755), 0);
    ASSERT_EQ(::chown(journal_.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(journal_.c_str(), 0400), 0);
    const std::string out = Path("history.txt");
    const pid_t reader = StartProgram({"--history", "--journal", journal_}, out,
                                      {"setpriv", "--reuid=65534", "--regid=65534",
                                       "--clear-groups"});
    EXPECT_EQ(ExitOf(reader), fleet::kAllPassed) << Bytes(out);
    EXPECT_NE(Bytes(out).find(Imei(0)), std::string::npos) << Bytes(out);

    if (!PostgresServer::Installed()) {
        GTEST_SKIP() << "Debian's postgresql package is not installed (initdb, pg_ctl)";
    }
    const PostgresServer server(ServerReach());
    ASSERT_TRUE(server.Started()) << "see " << server.Log();
    ASSERT_EQ(RunTool({"--profile", profile_, "--port", PortOf(*sims[0]), "--journal",
                       server.Uri()})
                  .status,
              fleet::kAllPassed);
    PostgresValue(server.Uri(), "CREATE ROLE reader LOGIN; GRANT SELECT ON provisioning, "
                                "journal_schema TO reader");
    std::string asReader = server.Uri();
    asReader.replace(asReader.find("user=vorlen"), 11, "user=reader");
    const ToolRun history = RunTool({"--history", "--journal", asReader});
    EXPECT_EQ(history.status, fleet::kAllPassed) << history.err;
    EXPECT_NE(history.out.find(Imei(0)), std::string::npos) << history.out;
}

// The server stops while a station's three trackers are being configured,
// and starts again: the rows wait in the outbox, the board says how many,
// and each tracker has exactly its one finished row in the end.
TEST_F(Journal, APostgresOutageMidStationLosesAndDoublesNoRow) {
    if (!PostgresServer::Installed()) {
        GTEST_SKIP() << "Debian's postgresql package is not installed (initdb, pg_ctl)";
    }
    const PostgresServer server;
    ASSERT_TRUE(server.Started()) << "see " << server.Log();
    const auto sims = Trackers(3, {"--chunked"});
    std::vector<std::string> arguments{"--profile", profile_, "--journal", server.Uri(),
                                       "--watch"};
    for (const auto& sim : sims) {
        arguments.insert(arguments.end(), {"--port", sim->LinkPath()});
    }
    const std::string out = Path("out.txt");
    const pid_t station = StartProgram(arguments, out);
    const auto until = [&](const std::function<bool()>& holds) {
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (!holds() && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return holds();
    };
    const auto saying = [&](const std::string& words) {
        return until([&] { return Bytes(out).find(words) != std::string::npos; });
    };
    ASSERT_TRUE(until([&] { return PostgresRows(server.Uri()).size() == 3; }));
    ASSERT_TRUE(server.Stop());
    EXPECT_TRUE(saying("journal: 3 rows wait for the server: ")) << Bytes(out);
    ASSERT_TRUE(server.Start());
    EXPECT_TRUE(saying("journal: every waiting row is sent")) << Bytes(out);
    ::kill(station, SIGINT);
    EXPECT_EQ(ExitOf(station), fleet::kAllPassed) << Bytes(out);
    const std::string said = Bytes(out);
    EXPECT_EQ(said.find("not recorded"), std::string::npos) << said;
    const std::vector<Row> rows = PostgresRows(server.Uri());
    ASSERT_EQ(rows.size(), 3u);
    std::set<std::string> imeis;
    for (const Row& row : rows) {
        imeis.insert(row.at("imei"));
        EXPECT_EQ(row.at("result"), "done");
        EXPECT_LE(row.at("started"), row.at("finished"));
    }
    EXPECT_EQ(imeis.size(), 3u);
    EXPECT_TRUE(SqliteRows(Path("vorlen/outbox.sqlite")).empty());
    EXPECT_EQ(ModeOf(Path("vorlen/outbox.sqlite")), 0600u);
}

// A real journal of schema version 1 (two stations, six rows: done,
// unchanged, a failed step, differing values, Chinese text), copied to
// `file`; its rows.
std::vector<Row> VersionOneRows(const std::string& file) {
    std::filesystem::copy_file(VORLEN_JOURNAL_V1, file);
    return SqliteRows(file);
}

// The indexes the history reads by, as the journal's catalogue lists them.
constexpr const char* kIndexes =
    "provisioning_by_imei,provisioning_by_lot,provisioning_by_operator,provisioning_by_result,"
    "provisioning_by_started,provisioning_by_station";

// --history reads a journal of version 1 as it is and leaves it byte for
// byte (a reader may not write); the next run that writes upgrades it in
// place: every row and value kept, its own row added with the lot, the
// indexes made and used.
TEST_F(Journal, AVersionOneJournalIsReadAsItIsAndUpgradedByTheNextRun) {
    const std::vector<Row> before = VersionOneRows(journal_);
    ASSERT_EQ(before.size(), 6u);
    const std::string bytes = Bytes(journal_);
    const ToolRun history = RunTool({"--history", "--journal", journal_});
    EXPECT_EQ(history.status, fleet::kAllPassed) << history.err;
    EXPECT_NE(history.out.find("864507030000004"), std::string::npos) << history.out;
    EXPECT_EQ(Bytes(journal_), bytes);

    const auto sims = Trackers(1);
    ASSERT_EQ(Provision(sims).status, fleet::kAllPassed);
    const std::vector<Row> after = SqliteRows(journal_);
    ASSERT_EQ(after.size(), 7u);
    EXPECT_EQ(std::vector<Row>(after.begin(), after.begin() + 6), before);
    EXPECT_EQ(after[6].at("imei"), Imei(0));
    EXPECT_EQ(after[6].at("id"), "7");
    EXPECT_EQ(SqliteValue(journal_, "SELECT group_concat(version) FROM journal_schema"), "2");
    EXPECT_EQ(SqliteValue(journal_, "SELECT group_concat(name) FROM (SELECT name FROM "
                                    "sqlite_master WHERE name LIKE 'provisioning_by_%' "
                                    "ORDER BY name)"),
              kIndexes);
    sqlite3* db = nullptr;
    sqlite3_open_v2(journal_.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* plan = nullptr;
    sqlite3_prepare_v2(db,
                       "EXPLAIN QUERY PLAN SELECT id FROM provisioning WHERE lot = 'A' "
                       "ORDER BY started DESC",
                       -1, &plan, nullptr);
    std::string steps;
    while (plan != nullptr && sqlite3_step(plan) == SQLITE_ROW) {
        steps += reinterpret_cast<const char*>(sqlite3_column_text(plan, 3));
    }
    sqlite3_finalize(plan);
    sqlite3_close(db);
    EXPECT_NE(steps.find("provisioning_by_lot"), std::string::npos) << steps;
    EXPECT_EQ(steps.find("TEMP B-TREE"), std::string::npos) << steps;
}

// The same upgrade on PostgreSQL: version 1's tables as it made them, the
// file's rows in them; a run upgrades them in one transaction, every row and
// value kept.
TEST_F(Journal, AVersionOnePostgresJournalIsUpgradedKeepingEveryRow) {
    if (!PostgresServer::Installed()) {
        GTEST_SKIP() << "Debian's postgresql package is not installed (initdb, pg_ctl)";
    }
    const PostgresServer server(ServerReach());
    ASSERT_TRUE(server.Started()) << "see " << server.Log();
    PostgresValue(server.Uri(),
                  "CREATE TABLE provisioning (id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, "
                  "started TEXT, finished TEXT, station TEXT, operator TEXT, port TEXT, imei "
                  "TEXT, software_version TEXT, mode TEXT, profile TEXT, profile_sha256 TEXT, "
                  "device_values TEXT, result TEXT, failed_step INTEGER, failure TEXT, "
                  "differences TEXT, wake_seconds DOUBLE PRECISION, identify_seconds DOUBLE "
                  "PRECISION, set_all_seconds DOUBLE PRECISION, verify_seconds DOUBLE PRECISION, "
                  "total_seconds DOUBLE PRECISION); CREATE INDEX provisioning_by_imei ON "
                  "provisioning (imei, id); CREATE TABLE journal_schema (version INTEGER NOT "
                  "NULL); INSERT INTO journal_schema VALUES (1)");
    PGconn* connection = PQconnectdb(server.Uri().c_str());
    for (const Row& row : VersionOneRows(Path("version-1.sqlite"))) {
        std::string names;
        std::string numbers;
        std::vector<const char*> values;
        for (const auto& [name, value] : row) {
            if (name != "id") {
                names += (values.empty() ? "" : ", ") + name;
                values.push_back(value.c_str());
                numbers += (values.size() == 1 ? "$" : ", $") + std::to_string(values.size());
            }
        }
        const std::string insert =
            "INSERT INTO provisioning (" + names + ") VALUES (" + numbers + ")";
        PGresult* inserted =
            PQexecParams(connection, insert.c_str(), static_cast<int>(values.size()), nullptr,
                         values.data(), nullptr, nullptr, 0);
        EXPECT_EQ(PQresultStatus(inserted), PGRES_COMMAND_OK) << PQresultErrorMessage(inserted);
        PQclear(inserted);
    }
    PQfinish(connection);
    const std::vector<Row> before = PostgresRows(server.Uri());
    ASSERT_EQ(before.size(), 6u);
    EXPECT_NE(RunTool({"--history", "--journal", server.Uri()}).out.find("864507030000004"),
              std::string::npos);
    EXPECT_EQ(PostgresValue(server.Uri(), "SELECT version FROM journal_schema"), "1");

    const auto sims = Trackers(1);
    const ToolRun run = RunTool({"--profile", profile_, "--port", PortOf(*sims[0]), "--journal",
                                 server.Uri()});
    ASSERT_EQ(run.status, fleet::kAllPassed) << run.err;
    const std::vector<Row> after = PostgresRows(server.Uri());
    ASSERT_EQ(after.size(), 7u);
    EXPECT_EQ(std::vector<Row>(after.begin(), after.begin() + 6), before);
    EXPECT_EQ(after[6].at("imei"), Imei(0));
    EXPECT_EQ(
        PostgresValue(server.Uri(), "SELECT string_agg(version::text, ',') FROM journal_schema"),
        "2");
    EXPECT_EQ(PostgresValue(server.Uri(),
                            "SELECT string_agg(indexname, ',' ORDER BY indexname) FROM "
                            "pg_indexes WHERE indexname LIKE 'provisioning_by_%'"),
              kIndexes);
    EXPECT_EQ(PostgresValue(server.Uri(), "SELECT count(*) FROM pg_tables WHERE tablename IN "
                                          "('numbered_series', 'numbered_tracker')"),
              "2");
}

// A profile whose userId is numbered, in the test's folder.
std::string NumberedProfile(const std::string& file) {
    Profile profile = FleetProfile();
    profile.form.userId = "TRUCK-{n:04}";
    EXPECT_TRUE(SaveProfileFile(file, profile.form, profile.selections));
    return file;
}

std::string UserIdOf(const Row& row) {
    return nlohmann::json::parse(row.at("device_values")).at("userId").get<std::string>();
}

// Two stations draw from one series on one server at the same moment: each
// of the eight trackers gets its own number, none twice and none skipped,
// and each row holds the number its tracker got.
TEST_F(Journal, TwoProcessesDrawOneSeriesWithoutGivingANumberTwice) {
    if (!PostgresServer::Installed()) {
        GTEST_SKIP() << "Debian's postgresql package is not installed (initdb, pg_ctl)";
    }
    const PostgresServer server(ServerReach());
    ASSERT_TRUE(server.Started()) << "see " << server.Log();
    const std::string profile = NumberedProfile(Path("numbered.toml"));
    const auto sims = Trackers(8);
    std::vector<pid_t> children;
    for (int station = 0; station < 2; ++station) {
        std::vector<std::string> arguments{"--profile", profile, "--journal", server.Uri()};
        for (int i = station; i < 8; i += 2) {
            arguments.insert(arguments.end(), {"--port", sims[i]->LinkPath()});
        }
        children.push_back(StartProgram(arguments));  // the Linux program, on either run
    }
    for (const pid_t child : children) {
        EXPECT_EQ(ExitOf(child), fleet::kAllPassed);
    }
    std::set<std::string> given;
    for (const Row& row : PostgresRows(server.Uri())) {
        EXPECT_EQ(row.at("result"), "done");
        given.insert(UserIdOf(row));
    }
    EXPECT_EQ(given, (std::set<std::string>{"TRUCK-0001", "TRUCK-0002", "TRUCK-0003", "TRUCK-0004",
                                            "TRUCK-0005", "TRUCK-0006", "TRUCK-0007",
                                            "TRUCK-0008"}));
    EXPECT_EQ(PostgresValue(server.Uri(), "SELECT count(DISTINCT number) || ' ' || "
                                          "count(DISTINCT imei) FROM numbered_tracker"),
              "8 8");
}

// A tracker run again keeps its number, forced or not, while a new one gets
// the next; a check reads the number and draws none.
TEST_F(Journal, ATrackerRunAgainKeepsItsNumber) {
    const std::string profile = NumberedProfile(Path("numbered.toml"));
    const auto sims = Trackers(3);
    const auto run = [&](std::vector<int> which, std::vector<std::string> extra) {
        std::vector<std::string> arguments{"--profile", profile, "--journal", journal_};
        for (const int i : which) {
            arguments.insert(arguments.end(), {"--port", PortOf(*sims[i])});
        }
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return RunTool(arguments).status;
    };
    ASSERT_EQ(run({0}, {}), fleet::kAllPassed);
    ASSERT_EQ(run({1}, {}), fleet::kAllPassed);
    ASSERT_EQ(run({0, 2}, {"--force"}), fleet::kAllPassed);
    ASSERT_EQ(run({1}, {"--check"}), fleet::kAllPassed);
    ASSERT_EQ(run({2}, {}), fleet::kAllPassed);
    std::vector<std::pair<std::string, std::string>> rows;
    for (const Row& row : SqliteRows(journal_)) {
        rows.emplace_back(row.at("imei"), UserIdOf(row) + " " + row.at("result"));
    }
    std::sort(rows.begin() + 2, rows.begin() + 4);
    EXPECT_EQ(rows, (std::vector<std::pair<std::string, std::string>>{
                        {Imei(0), "TRUCK-0001 done"},
                        {Imei(1), "TRUCK-0002 done"},
                        {Imei(0), "TRUCK-0001 done"},
                        {Imei(2), "TRUCK-0003 done"},
                        {Imei(1), "TRUCK-0002 unchanged"},
                        {Imei(2), "TRUCK-0003 unchanged"},
                    }));
    EXPECT_EQ(SqliteValue(journal_, "SELECT last_number FROM numbered_series"), "3");
}

// The series has reached 9,999,999: the next number makes the user ID longer
// than the 20 bytes its field takes, and that tracker fails before any
// setting is sent, its row saying why.
TEST_F(Journal, ANumberThatMakesTheValueTooLongFailsBeforeAnySetting) {
    Profile profile = FleetProfile();
    profile.form.userId = "FLEET-NUMBER-{n:04}";
    ASSERT_TRUE(SaveProfileFile(Path("long.toml"), profile.form, profile.selections));
    const auto sims = Trackers(2);
    ASSERT_EQ(RunTool({"--profile", Path("long.toml"), "--port", PortOf(*sims[0]), "--journal",
                       journal_})
                  .status,
              fleet::kAllPassed);
    SqliteRun(journal_, "UPDATE numbered_series SET last_number = 9999999");
    const int before = Writes(*sims[1]);
    const ToolRun run = RunTool({"--profile", Path("long.toml"), "--port", PortOf(*sims[1]),
                                 "--journal", journal_});
    EXPECT_EQ(run.status, fleet::kSomeFailed);
    EXPECT_NE(run.out.find("failed before any setting: userId with its number, "
                           "\"FLEET-NUMBER-10000000\", is refused"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(Writes(*sims[1]), before);
    EXPECT_EQ(UserIdOf(SqliteRows(journal_).back()), "FLEET-NUMBER-10000000");
}

}  // namespace
}  // namespace vorlen::test
