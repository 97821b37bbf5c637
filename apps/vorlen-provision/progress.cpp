#include "provision/progress.h"

#include "fleet/printable.h"

namespace vorlen::fleet {

Progress::Progress(std::ostream& out, bool terminal, std::vector<std::string> ports,
                   std::function<std::size_t()> columns)
    : out_(out),
      terminal_(terminal),
      columns_(std::move(columns)),
      ports_(std::move(ports)),
      lines_(ports_.size()),
      phases_(ports_.size(), -1) {}

void Progress::Show(std::size_t index, int phase, const std::string& what) {
    std::lock_guard lock(mutex_);
    lines_[index] = what;
    if (terminal_) {
        Redraw();
    } else if (phases_[index] != phase) {
        out_ << ports_[index] << ": " << what << std::endl;
    }
    phases_[index] = phase;
}

void Progress::Finish(std::size_t index, const std::string& outcome) {
    std::lock_guard lock(mutex_);
    lines_[index] = outcome;
    if (terminal_) {
        Redraw();
    }
}

// Back to the first port's line (cursor up), then every line cleared and
// written again.
void Progress::Redraw() {
    if (drawn_) {
        out_ << "\x1b[" << ports_.size() << 'A';
    }
    const std::size_t columns = columns_();
    for (std::size_t i = 0; i < ports_.size(); ++i) {
        out_ << "\r\x1b[2K" << CutToColumns(ports_[i] + ": " + lines_[i], columns) << '\n';
    }
    out_.flush();
    drawn_ = true;
}

}  // namespace vorlen::fleet
