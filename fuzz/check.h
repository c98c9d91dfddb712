#pragma once

#include <cstdio>
#include <cstdlib>

// A failed property is a crash to libFuzzer, which then keeps the input.
#define FUZZ_CHECK(condition, ...)                                                    \
    do {                                                                              \
        if (!(condition)) {                                                           \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__,     \
                         #condition);                                                 \
            std::fprintf(stderr, "" __VA_ARGS__);                                     \
            std::fputc('\n', stderr);                                                 \
            std::abort();                                                             \
        }                                                                             \
    } while (false)
