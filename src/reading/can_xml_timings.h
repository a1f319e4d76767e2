// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <pugixml.hpp>

namespace vistrel {

// The document handed to the CAN-XML processor on each batch read: the
// declaration (windows-1252), the "timings" processing instruction and a
// deep copy of the prepared request's root element. A fresh copy each read
// keeps the prepared request free of the replies.
std::unique_ptr<pugi::xml_document> makeTimingsDocument(const pugi::xml_document& request);

} // namespace vistrel
