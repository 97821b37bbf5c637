// The status line that tells the operator whether the chosen port opened.
#pragma once

#include <string>

namespace vorlen {

// "Init and Open %s Success!" or "Open %s Failed!" (or the Chinese text) with
// the port name in place of %s, as GBK bytes; language 0 is Chinese, anything
// else English. The name's bytes are inserted unchanged.
std::string OpenResultText(const std::string& portName, bool opened, int language);

}  // namespace vorlen
