#pragma once

namespace vorlen {

// The mark kept beside the status text: it colours the status box.
enum class StatusMark : int {
    None = 0,     // default colours
    Success = 1,  // green
    Failure = 2,  // red
};

}  // namespace vorlen
