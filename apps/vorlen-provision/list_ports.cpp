#include "provision/actions.h"
#include "provision/run.h"
#include "fleet/tool_texts.h"
#include "serial/enumerate_ports.h"

namespace vorlen::fleet {

int ListPorts(const Options& options, const Streams& streams) {
    const int language = options.LanguageIndex();
    PortList ports;
    try {
        EnumeratePorts(ports);
    } catch (const PortEnumerationError& error) {
        streams.err << Say(text::kPortsFailed, language, {.detail = error.what()}) << std::endl;
        return kSomeFailed;
    }
    if (ports.empty()) {
        streams.out << Say(text::kNoPorts, language) << std::endl;
    }
    for (const PortInfo& port : ports) {
        streams.out << port.portName << "\t" << port.friendlyName << "\n";
    }
    streams.out.flush();
    return kAllPassed;
}

}  // namespace vorlen::fleet
