// The desktop's sound theme through libcanberra, as the station's outcome
// sounds. The library is loaded at the first sound, not before: a form that
// never plays one starts without it.
#pragma once

#include <string>

namespace vorlen {

class DesktopSound {
public:
    DesktopSound() = default;
    ~DesktopSound();
    DesktopSound(const DesktopSound&) = delete;
    DesktopSound& operator=(const DesktopSound&) = delete;

    // Asks the sound server to play the theme's sound of that freedesktop
    // name and returns at once; the reason when it cannot, else "". A
    // library that cannot be loaded is not looked for again.
    std::string Play(const char* eventId, const char* description);

private:
    struct Library;
    bool Load();

    Library* library_ = nullptr;
    std::string loadFailure_;
};

}  // namespace vorlen
