#include <deque>
#include <gtest/gtest.h>

#include "protocol/transaction.h"

namespace vorlen {
namespace {

// A line whose reads deliver scripted chunks; an empty chunk is an empty poll.
// Once the script runs out every read is empty.
class ScriptedLine : public Port {
public:
    explicit ScriptedLine(std::deque<std::string> reads) : reads_(std::move(reads)) {}

    std::size_t Write(std::string_view bytes) override {
        written += bytes;
        return writeFails ? 0 : bytes.size();
    }
    std::size_t Read(char* into, std::size_t room) override {
        roomAsked.push_back(room);
        if (reads_.empty()) {
            return 0;
        }
        std::string& chunk = reads_.front();
        const std::size_t n = std::min(room, chunk.size());
        chunk.copy(into, n);
        chunk.erase(0, n);
        if (chunk.empty()) {
            reads_.pop_front();
        }
        return n;
    }
    void Close() override {}

    std::string written;
    bool writeFails = false;
    std::vector<std::size_t> roomAsked;

private:
    std::deque<std::string> reads_;
};

struct CountingPause {
    int count = 0;
    Pause Get() {
        return [this](std::chrono::milliseconds duration) {
            EXPECT_EQ(duration, kPollPause);
            ++count;
            return true;
        };
    }
};

TEST(RunTransaction, AcceptsAnOkSplitOverTwoReads) {
    ScriptedLine line({"O", "K\r\n"});
    CountingPause pause;
    std::string reply;
    EXPECT_TRUE(RunTransaction(&line, "AT+OPENAT=999,;\r\n", reply, pause.Get()));
    EXPECT_EQ(line.written, "AT+OPENAT=999,;\r\n");
    EXPECT_EQ(reply, "OK\r\n");
    EXPECT_EQ(pause.count, 2);
}

TEST(RunTransaction, OkAnywhereCountsAndTheReplyKeepsEverything) {
    ScriptedLine line({"", "AT+OPENAT=801,TOKEN;\r\n", "", "ERROR\r\n"});
    CountingPause pause;
    std::string reply;
    EXPECT_TRUE(RunTransaction(&line, "x", reply, pause.Get()));
    EXPECT_EQ(reply, "AT+OPENAT=801,TOKEN;\r\n");
}

TEST(RunTransaction, LowerCaseOkFailsAfterExactlyFiftyEmptyPolls) {
    ScriptedLine line({"ok\r\n", "", "ok", ""});
    CountingPause pause;
    std::string reply;
    EXPECT_FALSE(RunTransaction(&line, "x", reply, pause.Get()));
    EXPECT_EQ(reply, "ok\r\nok");
    EXPECT_EQ(pause.count, 52);  // two polls delivered data and are not counted as empty
}

TEST(RunTransaction, AZeroByteHidesALaterOk) {
    ScriptedLine line({std::string("AB\0OK", 5)});
    CountingPause pause;
    std::string reply;
    EXPECT_FALSE(RunTransaction(&line, "x", reply, pause.Get()));
    EXPECT_EQ(reply, "AB");
}

TEST(RunTransaction, NoPortOrAFailedWriteFailsAtOnceWithoutPausing) {
    CountingPause pause;
    std::string reply = "untouched";
    EXPECT_FALSE(RunTransaction(nullptr, "AT+EGMR=0,7\r\n", reply, pause.Get()));
    ScriptedLine line({"OK"});
    line.writeFails = true;
    EXPECT_FALSE(RunTransaction(&line, "x", reply, pause.Get()));
    EXPECT_EQ(pause.count, 0);
    EXPECT_EQ(reply, "untouched");
    EXPECT_TRUE(line.roomAsked.empty());
}

TEST(RunTransaction, SilenceLeavesTheReplyAsItWas) {
    ScriptedLine line({});
    CountingPause pause;
    std::string reply;
    EXPECT_FALSE(RunTransaction(&line, "x", reply, pause.Get()));
    EXPECT_EQ(reply, "");
    EXPECT_EQ(pause.count, kEmptyPollLimit);
}

TEST(RunTransaction, AFullBufferWithoutOkEndsAtOnceAndNeverOverflows) {
    std::deque<std::string> flood(20, std::string(1024, 'x'));
    flood.push_back("OK");
    ScriptedLine line(flood);
    CountingPause pause;
    std::string reply;
    EXPECT_FALSE(RunTransaction(&line, "x", reply, pause.Get()));
    EXPECT_EQ(reply.size(), kReplyBufferSize - 1);
    for (std::size_t room : line.roomAsked) {
        EXPECT_LE(room, kReadChunk);
    }
    EXPECT_EQ(line.roomAsked.back(), (kReplyBufferSize - 1) % kReadChunk);
    EXPECT_EQ(pause.count, 10);  // nine full reads and the last short one
}

TEST(RunTransaction, AStoppedPauseEndsTheTransaction) {
    ScriptedLine line({"", "OK"});
    int pauses = 0;
    std::string reply;
    EXPECT_FALSE(RunTransaction(&line, "x", reply, [&](std::chrono::milliseconds) {
        return ++pauses < 2;
    }));
    EXPECT_EQ(pauses, 2);
    EXPECT_EQ(line.roomAsked.size(), 1u);  // no read after the stop
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
