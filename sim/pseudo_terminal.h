// The simulated tracker's end of the line: a pseudo-terminal whose other end
// the tool opens like a serial port.
#pragma once

#include <string>

namespace vorlen::sim {

class PseudoTerminal {
public:
    // Throws std::system_error when no terminal can be had.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The tracker's side, non-blocking.
    int master() const { return master_; }
    // What the tool opens, e.g. /dev/pts/3.
    const std::string& path() const { return path_; }

private:
    int master_ = -1;
    // Our own hold on the tool's side: without it the master side sees a
    // hang-up whenever the tool closes the port, until it opens it again.
    int hold_ = -1;
    std::string path_;
};

// A symbolic link to the terminal, for tools and tests that want a fixed
// name. It replaces a stale link but never a file, and is removed on
// destruction unless someone else has replaced it since.
class PublishedLink {
public:
    // Throws std::system_error when the link cannot be made.
    PublishedLink(std::string link, std::string target);
    ~PublishedLink();
    PublishedLink(const PublishedLink&) = delete;
    PublishedLink& operator=(const PublishedLink&) = delete;

private:
    std::string link_;
    std::string target_;
};

}  // namespace vorlen::sim
