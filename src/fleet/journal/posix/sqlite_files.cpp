#include "fleet/journal/private_path.h"

namespace vorlen::fleet {

// SQLite's Unix files take the journal's own mode already.
void KeepSqliteFilesPrivate() {}

}  // namespace vorlen::fleet
