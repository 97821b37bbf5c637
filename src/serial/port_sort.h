// The order of the port list: by the number in the port name.
#pragma once

#include "serial/port_info.h"

namespace vorlen {

// The number that atoi reads from the port name's fourth character on: 12 for
// COM12, 0 for a name without digits there (and for every Linux device path,
// so the Linux list keeps its own order).
int PortSortKey(const PortInfo& port);

// Ascending by key, as an exchange sort: for every pair i < j the entries are
// swapped when key i is greater than key j. Entries with equal keys are never
// swapped with each other, but a swap with a third entry may still reorder
// them; the order is exactly the one this procedure gives.
void SortPorts(PortList& ports);

}  // namespace vorlen
