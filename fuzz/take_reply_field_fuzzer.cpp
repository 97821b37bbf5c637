// TakeReplyField over any field list with any field size: the first four
// bytes are the size, the rest is the list. The list is read in place, in
// libFuzzer's buffer of exactly the input's length, so a read past its end
// is caught. The calls go on past the list's end, as the read-back's do when
// a reply has fewer fields than its table.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "protocol/readback.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int fieldSize = 0;
    if (size < sizeof fieldSize) {
        return 0;
    }
    std::memcpy(&fieldSize, data, sizeof fieldSize);
    const std::string_view list(reinterpret_cast<const char*>(data) + sizeof fieldSize,
                                size - sizeof fieldSize);

    const char* cursor = list.data();
    int remaining = static_cast<int>(list.size());
    std::string field;
    // Every call takes at least one character, so these use the list up.
    for (std::size_t call = 0; call < list.size() + 3; ++call) {
        const char* before = cursor;
        const int remainingBefore = remaining;
        vorlen::TakeReplyField(cursor, remaining, vorlen::kReplyFieldSeparator, field, fieldSize);

        FUZZ_CHECK(cursor >= before && cursor <= list.data() + list.size());
        FUZZ_CHECK(remaining < remainingBefore);
        if (remainingBefore <= 0) {
            FUZZ_CHECK(field.empty() && cursor == before);
        }
        FUZZ_CHECK(field.size() < static_cast<std::size_t>(fieldSize > 0 ? fieldSize : 1));
        // The field is the text at the cursor, up to a separator or a zero.
        const std::size_t offset = static_cast<std::size_t>(before - list.data());
        FUZZ_CHECK(list.compare(offset, field.size(), field) == 0);
        FUZZ_CHECK(field.find(vorlen::kReplyFieldSeparator) == std::string::npos);
        FUZZ_CHECK(field.find('\0') == std::string::npos);
    }
    FUZZ_CHECK(remaining <= 0);
    return 0;
}
