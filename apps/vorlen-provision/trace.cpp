#include "provision/trace.h"

#include "protocol/line_rows.h"
#include "protocol/recorded_port.h"
#include "fleet/tool_texts.h"

namespace vorlen::fleet {

std::shared_ptr<Port> Trace::Follow(std::shared_ptr<Port> port, const std::string& name) {
    if (!wanted_) {
        return port;
    }
    records_.emplace_back(name, std::make_unique<LineRecord>());
    return std::make_shared<RecordedPort>(std::move(port), *records_.back().second);
}

void Trace::Print(std::ostream& out, int language) const {
    for (const auto& [name, record] : records_) {
        out << Say(text::kTraceOf, language, {.port = name}) << '\n' << LineRecordText(*record, language);
    }
}

}  // namespace vorlen::fleet
