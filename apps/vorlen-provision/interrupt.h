// Ctrl-C while a station runs: noted, so the station can stop after each
// slot's current command instead of the program ending mid-command. A
// second Ctrl-C ends the program at once, as usual.
#pragma once

namespace vorlen::fleet {

class Interrupts {
public:
    // Takes Ctrl-C over (SIGINT; on Windows the console's control handler).
    Interrupts();
    // Gives it back.
    ~Interrupts();
    Interrupts(const Interrupts&) = delete;
    Interrupts& operator=(const Interrupts&) = delete;

    // True once Ctrl-C has been pressed since the construction.
    bool Requested() const;
};

}  // namespace vorlen::fleet
