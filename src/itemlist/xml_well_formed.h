// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vistrel {

// Why a text is not a well-formed XML 1.0 document: the strict parser's error
// number, the line (from 1) where it found the fault, and its reason.
struct XmlFault {
    int code = 0;
    int line = 0;
    std::string reason;
};

// The fault of a text in which no element starts: an empty file, or one that
// is not XML at all (prose, a table, a binary file).
inline constexpr int kNoDocumentFault = 4;

// Checks the bytes of a whole document with a strict, validating-free parser
// that refuses everything XML 1.0 forbids (a second root, text after the
// root, a repeated attribute, an undefined entity, a reference to a character
// XML cannot hold, bytes that are not in the document's encoding). It builds
// no tree, loads nothing from outside and expands no entity.
// Unless declaredEncodingCounts, the encoding named in the declaration is
// ignored and the bytes are judged in the one that the byte-order mark or the
// first bytes show, so that the check reads them as the list's reader will.
std::optional<XmlFault> checkWellFormed(std::string_view document,
                                        bool declaredEncodingCounts = true);

} // namespace vistrel
