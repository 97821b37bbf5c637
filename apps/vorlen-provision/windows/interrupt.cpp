#include "provision/interrupt.h"

#include <atomic>

#include <windows.h>

namespace vorlen::fleet {
namespace {

std::atomic<bool> pressed{false};

// The first Ctrl-C (or Ctrl-Break) is noted; a second one goes on to the
// default handler, which ends the program.
BOOL WINAPI Note(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    return pressed.exchange(true) ? FALSE : TRUE;
}

}  // namespace

Interrupts::Interrupts() {
    pressed = false;
    SetConsoleCtrlHandler(Note, TRUE);
}

Interrupts::~Interrupts() { SetConsoleCtrlHandler(Note, FALSE); }

bool Interrupts::Requested() const { return pressed; }

}  // namespace vorlen::fleet
