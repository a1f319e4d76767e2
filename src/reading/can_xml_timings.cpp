// SPDX-License-Identifier: MIT
#include "reading/can_xml_timings.h"

#include "components/can_xml_vocabulary.h"

namespace vistrel {

std::unique_ptr<pugi::xml_document> makeTimingsDocument(const pugi::xml_document& request) {
    auto document = std::make_unique<pugi::xml_document>();
    pugi::xml_node declaration = document->append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "windows-1252";
    document->append_child(pugi::node_pi).set_name(can_xml::kTimingsInstruction);
    document->append_copy(request.document_element());
    return document;
}

} // namespace vistrel
