// An access list that gives the user running this program full access and
// nobody else any, and takes nothing from the folder: files and folders made
// with it are private from their creation. Saved profiles, reports, monitor
// logs and the fleet's journal are made so.
#pragma once

#include <memory>

namespace vorlen {

struct LocalFreer {
    void operator()(void* memory) const;
};

using SecurityDescriptor = std::unique_ptr<void, LocalFreer>;

// What the list gives to what is made inside a folder made with it.
enum class Inside {
    Nothing,       // a file
    TheSameList,   // a folder: files that others make there (SQLite's -wal and
                   // -shm beside the journal) are the user's alone too
};

// Nothing when the user's identity cannot be read.
SecurityDescriptor OwnerOnlyDescriptor(Inside inside = Inside::Nothing);

}  // namespace vorlen
