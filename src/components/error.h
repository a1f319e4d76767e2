// SPDX-License-Identifier: MIT
#pragma once

#include "components/error_numbers.h"

#include <cstdint>
#include <exception>
#include <string>

namespace vistrel {

// A failure that travels as a kind, a number and a text, the way the ECU,
// the protocol object and every layer above report it. The source names the
// operation that raised it, for diagnostics only.
class Error : public std::exception {
public:
    // The kind is the one the number stands for (kindOfNumber).
    Error(std::int32_t number, std::string description, std::string source = {})
        : Error(kindOfNumber(number), number, std::move(description), std::move(source)) {}
    Error(ErrorKind kind, std::int32_t number, std::string description, std::string source = {})
        : kind_(kind), number_(number), description_(std::move(description)),
          source_(std::move(source)) {}

    ErrorKind kind() const noexcept { return kind_; }
    std::int32_t number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    const std::string& source() const noexcept { return source_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    ErrorKind kind_;
    std::int32_t number_;
    std::string description_;
    std::string source_;
};

} // namespace vistrel
