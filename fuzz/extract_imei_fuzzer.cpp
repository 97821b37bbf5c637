// ExtractImei on any reply to the IMEI read.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/commands.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const std::string imei = vorlen::ExtractImei(reply);

    FUZZ_CHECK(imei.size() <= vorlen::kImeiMaxLength);
    FUZZ_CHECK(imei.find('"') == std::string::npos);
    if (!imei.empty()) {
        // It starts right after the first quote, or at the start without one.
        const std::size_t quote = reply.find('"');
        const std::size_t start = quote == std::string_view::npos ? 0 : quote + 1;
        FUZZ_CHECK(reply.compare(start, imei.size(), imei) == 0);
    }
    return 0;
}
