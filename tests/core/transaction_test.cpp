#include <gtest/gtest.h>

#include "fakes.h"
#include "protocol/transaction.h"

namespace vorlen {
namespace {

using testing::RecordingPause;
using testing::ScriptedTracker;

std::vector<std::chrono::milliseconds> Polls(std::size_t count) {
    return std::vector<std::chrono::milliseconds>(count, kPollPause);
}

const std::string kCommand = "AT+OPENAT=802,OKNET,,;\r\n";
const std::string kEcho = "AT+OPENAT=802,OKNET,,;\r\n";

TEST(RunTransaction, PollsUntilTheTrackersOwnOkOrErrorOrASilenceOrThePollLimit) {
    const struct {
        std::deque<std::string> chunks;
        bool succeeds;
        std::string reply;
        std::size_t pauses;
        std::string stale = "";  // on the line before the command is written
    } cases[] = {
        {{"O", "K\r\n"}, true, "OK\r\n", 2},  // an OK split over two reads
        // OK anywhere counts, and the reply keeps everything before it.
        {{"", "AT+OPENAT=801,TOKEN;\r\n", "", "ERROR\r\n"}, true, "AT+OPENAT=801,TOKEN;\r\n", 2},
        // Lower case is no OK; the two polls that delivered data are not empty.
        {{"ok\r\n", "", "ok", ""}, false, "ok\r\nok", kEmptyPollLimit + 2},
        {{std::string("AB\0OK", 5)}, false, "AB", kEmptyPollLimit + 1},  // a zero byte ends it
        {{}, false, "", kEmptyPollLimit},
        // The echo's OK, whole or still arriving, is no acknowledgement; an
        // ERROR line ends the wait at once.
        {{kEcho, "\r\nERROR\r\n"}, false, kEcho + "\r\nERROR\r\n", 2},
        {{"AT+OPENAT=802,OK", "", "NET,,;\r", "\nOK\r\n"}, true, kEcho + "OK\r\n", 4},
        {{"AT+OPENAT=802,OKNET;\r\n"}, true, "AT+OPENAT=802,OKNET;\r\n", 1},  // not the command
        {{"ERROR\r\nOK\r\n"}, false, "ERROR\r\nOK\r\n", 1},
        {{"ERROR"}, false, "ERROR", kEmptyPollLimit + 1},  // not yet a line
        // A byte at every poll, never OK: the poll limit ends it.
        {std::deque<std::string>(kPollLimit * 2, "."), false, std::string(kPollLimit, '.'),
         kPollLimit},
        // An answer that came before the command answers nothing.
        {{}, false, "", kEmptyPollLimit, "\r\nOK\r\n"},
    };
    for (const auto& c : cases) {
        ScriptedTracker line(nullptr, c.chunks);
        line.Arrive(c.stale);
        RecordingPause pause;
        std::string reply;
        EXPECT_EQ(RunTransaction(&line, kCommand, reply, pause.Get()), c.succeeds) << c.reply;
        EXPECT_EQ(line.written, std::vector<std::string>{kCommand});
        EXPECT_EQ(reply, c.reply);
        EXPECT_EQ(pause.pauses, Polls(c.pauses)) << c.reply;
    }
}

// An empty command would pass a length check against the zero bytes that no
// port wrote, and go on to poll a port that is not there.
TEST(RunTransaction, NoPortAFailedWriteOrAnEmptyCommandFailsAtOnceWithoutPausing) {
    RecordingPause pause;
    std::string reply = "untouched";
    EXPECT_FALSE(RunTransaction(nullptr, "AT+EGMR=0,7\r\n", reply, pause.Get()));
    EXPECT_FALSE(RunTransaction(nullptr, "", reply, pause.Get()));
    ScriptedTracker line(nullptr, {"OK"});
    EXPECT_FALSE(RunTransaction(&line, "", reply, pause.Get()));
    EXPECT_TRUE(line.written.empty());
    line.writeFails = true;
    EXPECT_FALSE(RunTransaction(&line, "x", reply, pause.Get()));
    EXPECT_TRUE(pause.pauses.empty());
    EXPECT_EQ(reply, "untouched");
    EXPECT_EQ(line.roomAsked.size(), 1u) << "only the stale input is read";
}

TEST(RunTransaction, AFullBufferWithoutOkEndsAtOnceAndNeverOverflows) {
    std::deque<std::string> flood(20, std::string(1024, 'x'));
    flood.push_back("OK");
    ScriptedTracker line(nullptr, flood);
    RecordingPause pause;
    std::string reply;
    EXPECT_FALSE(RunTransaction(&line, "x", reply, pause.Get()));
    EXPECT_EQ(reply.size(), kReplyBufferSize - 1);
    for (std::size_t room : line.roomAsked) {
        EXPECT_LE(room, kReadChunk);
    }
    EXPECT_EQ(line.roomAsked.back(), (kReplyBufferSize - 1) % kReadChunk);
    EXPECT_EQ(pause.pauses, Polls(10));  // nine full reads and the last short one
}

TEST(RunTransaction, AStoppedPauseEndsTheTransaction) {
    ScriptedTracker line(nullptr, {"", "OK"});
    RecordingPause pause;
    pause.stopAfter = 2;
    std::string reply;
    EXPECT_FALSE(RunTransaction(&line, "x", reply, pause.Get()));
    EXPECT_EQ(pause.pauses.size(), 2u);
    EXPECT_EQ(line.roomAsked.size(), 2u);  // the stale input and one poll, none after the stop
}

TEST(StoppablePause, WakesOnAStopRequest) {
    std::stop_source stop;
    Pause pause = StoppablePause(stop.get_token());
    EXPECT_TRUE(pause(std::chrono::milliseconds(1)));
    stop.request_stop();
    EXPECT_FALSE(pause(std::chrono::hours(1)));  // would hang if the stop were ignored
}

}  // namespace
}  // namespace vorlen
