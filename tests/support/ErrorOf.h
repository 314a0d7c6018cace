#pragma once
#include "base/Error.h"

#include <functional>
#include <string>

namespace lt::test {

// The message of the Error that f raises; empty when it raises none.
inline std::string errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "";
}

} // namespace lt::test
