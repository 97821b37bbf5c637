// A port that copies its traffic into a line record: the window wraps every
// port it opens, so the monitor sees the commands of the form, the read-back,
// the set-all and the wake-up worker alike.
#pragma once

#include <memory>

#include "protocol/line_record.h"
#include "protocol/port.h"

namespace vorlen {

class RecordedPort : public Port {
public:
    // `record` must outlive the port.
    RecordedPort(std::shared_ptr<Port> line, LineRecord& record);

    // Records the bytes the line took, not the whole command: the record is
    // what reached the tracker. The rest of a short write is counted in the
    // entry, so a write the line refused still shows as one.
    std::size_t Write(std::string_view bytes, std::stop_token stop) override;

    // Records the bytes delivered; an empty read records nothing.
    std::size_t Read(char* into, std::size_t room) override;

    void Close() override;
    bool Gone() const override { return line_->Gone(); }

    // The port underneath.
    const std::shared_ptr<Port>& Line() const { return line_; }

private:
    const std::shared_ptr<Port> line_;
    LineRecord& record_;
};

}  // namespace vorlen
