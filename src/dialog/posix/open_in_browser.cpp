#include <spawn.h>
#include <sys/wait.h>

#include <thread>

#include "dialog/station_controller.h"

extern char** environ;

namespace vorlen::fleet {

// xdg-open hands the file to the desktop's browser; it is reaped on a thread
// of its own, since a browser it starts may keep it waiting until it closes.
bool OpenInBrowser(const std::filesystem::path& file) {
    const std::string path = file.string();
    char program[] = "xdg-open";
    char* argv[] = {program, const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    if (::posix_spawnp(&child, program, nullptr, nullptr, argv, environ) != 0) {
        return false;
    }
    std::thread([child] {
        int status = 0;
        ::waitpid(child, &status, 0);
    }).detach();
    return true;
}

}  // namespace vorlen::fleet
