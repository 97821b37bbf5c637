// The properties a fuzz target checks. Unlike assert() they hold in every
// build type, and a broken one aborts, so libFuzzer keeps the input as a
// crash.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                    \
    do {                                                                         \
        if (!(condition)) {                                                      \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__,       \
                         __LINE__, #condition);                                  \
            std::abort();                                                        \
        }                                                                        \
    } while (false)
