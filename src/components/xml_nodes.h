// SPDX-License-Identifier: MIT
#pragma once

#include <pugixml.hpp>
#include <string>

namespace vistrel {

// The XML declaration of a UTF-8 document: version="1.0" encoding="utf-8".
void appendDeclaration(pugi::xml_document& document);

// A CR LF text node: the line breaks of the files and requests that the
// system writes are nodes of their own, part of the tree.
void appendLineBreak(pugi::xml_node parent);

// The text content of a node: its own text and that of every descendant, in
// document order, white space kept; in a tree parsed with parse_embed_pcdata
// that includes the text kept as an element's value. Comments and processing
// instructions add nothing.
std::string textContent(pugi::xml_node node);

} // namespace vistrel
