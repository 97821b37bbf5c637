// What each port is doing, shown while the ports run. On a terminal one line
// per port is redrawn in place; elsewhere (a pipe, a log file) each change of
// phase is a plain line of its own.
#pragma once

#include <cstddef>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace vorlen::fleet {

class Progress {
public:
    // On a terminal each line is cut to `columns()`, so none wraps and the
    // redraw in place finds every line where it left it.
    Progress(std::ostream& out, bool terminal, std::vector<std::string> ports,
             std::function<std::size_t()> columns);

    // Port `index` is now doing `what` (UTF-8). `phase` groups the updates: a
    // plain output prints a line only when the phase changes, so the nineteen
    // steps of set-all make one line there.
    void Show(std::size_t index, int phase, const std::string& what);
    // Port `index` has finished with `outcome`: a terminal's board shows it;
    // a plain output prints nothing, as the outcome lines after the run
    // say it once, with its differences.
    void Finish(std::size_t index, const std::string& outcome);

private:
    void Redraw();

    std::mutex mutex_;
    std::ostream& out_;
    const bool terminal_;
    const std::function<std::size_t()> columns_;
    const std::vector<std::string> ports_;
    std::vector<std::string> lines_;
    std::vector<int> phases_;
    bool drawn_ = false;
};

}  // namespace vorlen::fleet
