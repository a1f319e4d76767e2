// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"

#include <optional>

namespace vistrel::testing {

// The error that what throws, or none when it returns.
template <typename What> std::optional<Error> errorOf(What&& what) {
    try {
        what();
    } catch (const Error& e) {
        return e;
    }
    return std::nullopt;
}

} // namespace vistrel::testing
