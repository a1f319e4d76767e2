// SPDX-License-Identifier: MIT
#pragma once

#include "components/error.h"
#include "components/error_numbers.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <utility>

namespace vistrel {

// The "resume next" error model of the polling cycle, made explicit: a
// statement that may fail runs through attempt(), which records its failure
// instead of ending the caller. The caller looks at the pending error where
// its algorithm says so and clears it when it has dealt with it. Only the
// last failure is kept: one description is shown per step.
class PendingError {
public:
    // Runs the statement; true when it raised nothing.
    template <typename Statement> bool attempt(Statement&& statement) {
        try {
            std::forward<Statement>(statement)();
            return true;
        } catch (const Error& error) {
            error_ = error;
        } catch (const std::exception& error) {
            error_ = Error(kUnexpectedFailure, error.what());
        }
        return false;
    }

    bool pending() const noexcept { return error_.has_value(); }
    explicit operator bool() const noexcept { return pending(); }
    // Only while an error is pending.
    const Error& error() const { return error_.value(); }
    void clear() noexcept { error_.reset(); }

private:
    std::optional<Error> error_;
};

} // namespace vistrel
