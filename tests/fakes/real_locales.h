// SPDX-License-Identifier: MIT
#pragma once

#include "components/number_format.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace vistrel::testing {

// The regional formats that users have, straight from the system's locales
// (scripts/install-deps generates them): no hand-made stand-ins.
inline constexpr const char* kRealLocales[] = {"en_US.UTF-8", "fr_FR.UTF-8", "de_DE.UTF-8",
                                               "de_CH.UTF-8", "es_MX.UTF-8"};

inline NumberFormat realFormat(const std::string& locale) {
    const auto format = NumberFormat::fromLocale(locale);
    if (!format) {
        ADD_FAILURE() << locale << " is not installed; scripts/install-deps generates it";
    }
    return format.value_or(NumberFormat::invariant());
}

// What an independent strict parser ("xmllint --noout") says of a file: empty when
// the file is well-formed XML 1.0, else its complaint.
inline std::string strictXmlComplaint(const std::string& path) {
    const std::string command = "xmllint --noout '" + path + "' 2>&1";
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char chunk[256];
        while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) {
            output += chunk;
        }
        if (::pclose(pipe) != 0 && output.empty()) {
            output = "xmllint failed";
        }
    }
    return output;
}

} // namespace vistrel::testing
