// RunTransaction over a line that delivers the input in chunks: each read
// takes its size from the input's tail (0 is an empty poll) and its bytes
// from the front; once the input is used up the line stays silent. What the
// reads before the write deliver is stale input, read away. Pauses take no
// time, so a transaction runs in microseconds.
#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/transaction.h"

namespace {

constexpr std::size_t kLargestReply = vorlen::kReplyBufferSize - 1;

class ChunkedLine : public vorlen::Port {
public:
    explicit ChunkedLine(FuzzedDataProvider& input) : input_(input) {}

    std::size_t Write(std::string_view bytes, std::stop_token) override {
        written_ = true;
        return bytes.size();
    }

    std::size_t Read(char* into, std::size_t room) override {
        // The transaction may never offer room beyond its buffer's end.
        FUZZ_CHECK(room <= vorlen::kReadChunk);
        FUZZ_CHECK(!written_ || delivered_.size() + room <= kLargestReply);
        const std::string chunk =
            input_.ConsumeBytesAsString(input_.ConsumeIntegralInRange<std::size_t>(0, room));
        chunk.copy(into, chunk.size());
        if (written_) {
            delivered_ += chunk;
            emptyReads_ += chunk.empty() ? 1 : 0;
            ++reads_;
        }
        return chunk.size();
    }

    void Close() override {}

    const std::string& Delivered() const { return delivered_; }
    int EmptyReads() const { return emptyReads_; }
    int Reads() const { return reads_; }

private:
    FuzzedDataProvider& input_;
    bool written_ = false;
    std::string delivered_;  // after the write
    int emptyReads_ = 0;
    int reads_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    ChunkedLine line(input);
    const vorlen::Pause noPause = [](std::chrono::milliseconds) { return true; };
    std::string reply;
    const bool accepted = vorlen::RunTransaction(&line, "AT+OPENAT=901,;\r\n", reply, noPause);

    FUZZ_CHECK(reply.size() <= kLargestReply);
    FUZZ_CHECK(line.EmptyReads() <= vorlen::kEmptyPollLimit);
    FUZZ_CHECK(line.Reads() <= vorlen::kPollLimit);
    // The reply is what arrived, up to the first zero byte.
    FUZZ_CHECK(reply.find('\0') == std::string::npos);
    FUZZ_CHECK(line.Delivered().compare(0, reply.size(), reply) == 0);
    // Only an OK the tracker sent acknowledges; the echo of the command or an
    // ERROR line before it does not.
    FUZZ_CHECK(!accepted || reply.find(vorlen::kSuccessToken) != std::string::npos);
    return 0;
}
