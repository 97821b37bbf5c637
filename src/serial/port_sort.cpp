#include "serial/port_sort.h"

#include <string_view>
#include <utility>

#include "model/field_text.h"

namespace vorlen {

namespace {

constexpr std::size_t kNumberStart = 3;  // after "COM"

}  // namespace

int PortSortKey(const PortInfo& port) {
    const std::string_view name = port.portName;
    return name.size() > kNumberStart ? IntegerValue(name.substr(kNumberStart)) : 0;
}

void SortPorts(PortList& ports) {
    for (std::size_t i = 0; i + 1 < ports.size(); ++i) {
        for (std::size_t j = i + 1; j < ports.size(); ++j) {
            if (PortSortKey(ports[i]) > PortSortKey(ports[j])) {
                std::swap(ports[i], ports[j]);
            }
        }
    }
}

}  // namespace vorlen
