// Port discovery on the real system calls, under Wine: the COM ports that
// scripts/windows-test mapped are listed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "serial/enumerate_ports.h"
#include "serial/port_sort.h"

namespace vorlen {
namespace {

TEST(DiscoveryBinding, ListsTheMappedComPortsInOrder) {
    const char* tracker = std::getenv("VORLEN_TEST_TRACKER_PORT");
    const char* stalled = std::getenv("VORLEN_TEST_STALLED_PORT");
    if (tracker == nullptr || stalled == nullptr) {
        GTEST_SKIP() << "no COM ports mapped: run scripts/windows-test";
    }
    PortList ports;
    EnumeratePorts(ports);
    for (const std::string name : {tracker, stalled}) {
        const auto found = std::find_if(ports.begin(), ports.end(),
                                        [&](const PortInfo& port) { return port.portName == name; });
        ASSERT_NE(found, ports.end()) << name;
        EXPECT_EQ(found->devicePath, "\\\\.\\" + name);
        EXPECT_EQ(found->friendlyName, name);
        EXPECT_EQ(found->description, name);
    }
    for (std::size_t i = 1; i < ports.size(); ++i) {
        EXPECT_LE(PortSortKey(ports[i - 1]), PortSortKey(ports[i])) << ports[i].portName;
    }
}

}  // namespace
}  // namespace vorlen
