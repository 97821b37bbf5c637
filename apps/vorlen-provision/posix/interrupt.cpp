#include "provision/interrupt.h"

#include <atomic>
#include <csignal>

namespace vorlen::fleet {
namespace {

std::atomic<bool> pressed{false};
struct sigaction previous {};

// The handler runs once: SA_RESETHAND gives the next Ctrl-C its default
// action, which ends the program.
void Note(int) { pressed = true; }

}  // namespace

Interrupts::Interrupts() {
    pressed = false;
    struct sigaction note {};
    note.sa_handler = Note;
    sigemptyset(&note.sa_mask);
    note.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &note, &previous);
}

Interrupts::~Interrupts() { sigaction(SIGINT, &previous, nullptr); }

bool Interrupts::Requested() const { return pressed; }

}  // namespace vorlen::fleet
