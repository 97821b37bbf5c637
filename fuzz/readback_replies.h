// The three read-back queries and a well-formed answer to each, which the
// read-back fuzz targets mutate into the tracker's replies.
#pragma once

#include <array>
#include <string_view>

namespace vorlen::fuzz {

inline constexpr std::array<std::string_view, 3> kQueries{
    "AT+OPENAT=901,;\r\n",
    "AT+OPENAT=902,;\r\n",
    "AT+OPENAT=903,;\r\n",
};

inline constexpr std::array<std::string_view, 3> kWellFormedReplies{
    "\r\n@+8613800138000##user01#1234#13800000001#13800000002#13800000003#"
    "13800000004#13800000005#13800000006#13800000007#13800000008#13800000009#"
    "860000000000001#\r\n\r\nOK\r\n",
    "\r\n@1#2#0#30#5#CMNET#guest#secret#192.168.1.10#9000#3#1.04#SIM#\r\n\r\nOK\r\n",
    "\r\n@1#2232.1234#N#11403.5678#E#500#10#3#\r\n\r\nOK\r\n",
};

}  // namespace vorlen::fuzz
