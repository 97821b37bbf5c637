// A PostgreSQL journal's connection text may carry its password: in a URI's
// user part ("postgresql://user:pw@host"), its query ("?password=pw") or a
// keyword string ("host=db password=pw"). No message shows it.
#pragma once

#include <string>
#include <string_view>

namespace vorlen::fleet {

// `text` with every password of a connection URI or keyword string in it
// replaced by "***"; anything else stays as it is.
std::string WithoutPasswords(std::string_view text);

}  // namespace vorlen::fleet
