// Looking a row up in one of the tool's fixed tables by its key.
#pragma once

#include <algorithm>
#include <span>

namespace vorlen {

// The first row whose `key` equals `value`, or null.
template <typename Row, typename Key>
const Row* FindRow(std::span<const Row> table, Key Row::*key, const Key& value) {
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const Row& row) { return row.*key == value; });
    return found == table.end() ? nullptr : &*found;
}

}  // namespace vorlen
