// What the fuzzers share: the input as text, and a check that stops the run like a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/codec.h"

namespace replybar::fuzz {

inline std::string bytesOf(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// The input read as UTF-8, as text typed by a user or stored by the program would arrive.
inline std::wstring textOf(const std::uint8_t* data, std::size_t size) {
    return codec::fromUtf8(bytesOf(data, size));
}

#define FUZZ_CHECK(condition)                                                   \
    do {                                                                        \
        if (!(condition)) {                                                     \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                       \
        }                                                                       \
    } while (0)

}  // namespace replybar::fuzz
