// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace vistrel {

// A failure that travels as a number and a text, the way the ECU, the
// protocol object and every layer above report it. The source names the
// operation that raised it, for diagnostics only.
class Error : public std::exception {
public:
    Error(std::int32_t number, std::string description, std::string source = {})
        : number_(number), description_(std::move(description)), source_(std::move(source)) {}

    std::int32_t number() const noexcept { return number_; }
    const std::string& description() const noexcept { return description_; }
    const std::string& source() const noexcept { return source_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    std::int32_t number_;
    std::string description_;
    std::string source_;
};

} // namespace vistrel
