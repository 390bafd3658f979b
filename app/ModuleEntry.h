#pragma once
// The modules' side of their C entry points: no exception crosses the boundary. A failure is
// told by returning 0, with a UTF-8 message in the caller's buffer.
#include "framework/base/Exception.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <string_view>

// Runs `body` and returns 1; or 0 with what went wrong, cut to `errorSize` bytes and terminated,
// in `error`: an Exception's message, `outOfMemory` when memory ran out, `failed` for any other.
template <class Body>
int RunModuleEntry(Body&& body, char* error, std::size_t errorSize, std::string_view outOfMemory,
                   std::string_view failed)
{
    const auto say = [&](std::string_view message) {
        if (errorSize == 0) return;
        const std::size_t length = std::min(message.size(), errorSize - 1);
        std::copy_n(message.data(), length, error);
        error[length] = '\0';
    };
    try {
        body();
        return 1;
    } catch (const Exception& failure) {
        say(failure.Message);
    } catch (const std::bad_alloc&) {
        say(outOfMemory);
    } catch (...) {
        say(failed);
    }
    return 0;
}
