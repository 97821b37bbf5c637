// Which Windows errors on an open port mean that its adapter was pulled out.
#include <gtest/gtest.h>

#include "serial/removed_device.h"

namespace vorlen::testing {
namespace {

TEST(RemovedDevice, OnlyTheSystemsRemovalErrorsCloseThePort) {
    const struct {
        std::uint32_t error;
        bool cancelledHere;
        bool removed;
    } cases[] = {
        {22, false, true},     // usbser, FTDI: the device does not recognize the command
        {1617, false, true},   // the device has been removed
        {995, false, true},    // the driver aborted the transfer as its device went
        {995, true, false},    // the write's own time-out, a stop or a close cancelled it
        {1460, false, false},  // a time-out
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MeansDeviceRemoved(c.error, c.cancelledHere), c.removed)
            << c.error << (c.cancelledHere ? " cancelled here" : "");
    }
}

}  // namespace
}  // namespace vorlen::testing
