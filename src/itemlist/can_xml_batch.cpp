// SPDX-License-Identifier: MIT
#include "components/can_xml_vocabulary.h"
#include "components/error.h"
#include "components/error_numbers.h"
#include "itemlist/case_insensitive_key.h"
#include "itemlist/vistrel_items.h"
#include "itemlist/xml_nodes.h"

#include <unordered_set>

namespace vistrel {
namespace {

// The failure that the processor wrote into an "e" element.
Error batchError(const std::string& text) {
    if (text == can_xml::kReceiveTimeout) {
        return Error(kNoAnswerError, kNoAnswerText, "VistrelItems.CanXmlDecode");
    }
    if (text == can_xml::kSendTimeout) {
        return Error(kCanSendError, "CAN Send error, BUS off or NACK", "VistrelItems.CanXmlDecode");
    }
    return Error(kUnknownBatchError, "Unknown error (" + text + ")", "VistrelItems.CanXmlDecode");
}

} // namespace

std::unique_ptr<pugi::xml_document> VistrelItems::CanXmlGetReadMemory(std::int32_t rid,
                                                                      std::int32_t xid) {
    auto document = std::make_unique<pugi::xml_document>();
    appendDeclaration(*document);
    document->append_child(pugi::node_pi).set_name(can_xml::kTimingsInstruction);

    pugi::xml_node can = document->append_child(can_xml::kRoot);
    appendLineBreak(can);
    pugi::xml_node x = can.append_child(can_xml::kExchange);
    appendLineBreak(x);
    x.append_attribute(can_xml::kIdentifier).set_value(rid);
    x.append_child(can_xml::kIdentifier).text().set(xid);
    appendLineBreak(x);

    // Items at the same address with the same length share one request;
    // the reply walk finds their common reply by address and length.
    std::unordered_set<std::string> requested;
    for (const ItemPtr& each : items_) {
        std::string identity = "K";
        identity += each->canXmlReplyKey();
        identity = foldKey(identity);
        if (requested.contains(identity)) {
            continue;
        }
        try {
            if (!each->CanXmlAddReadMemory(x, lengthSize_)) {
                return nullptr;
            }
        } catch (const Error&) {
            return nullptr;
        }
        appendLineBreak(x);
        requested.insert(std::move(identity));
    }
    return document;
}

bool VistrelItems::CanXmlDecode(const pugi::xml_document& odoc) {
    if (const pugi::xpath_node failure =
            odoc.select_node((std::string("//") + can_xml::kFailure).c_str())) {
        throw batchError(textContent(failure.node()));
    }
    // The reply key goes in as an XPath variable, never spliced into the
    // query text, so no key can change the query's meaning.
    pugi::xpath_variable_set variables;
    pugi::xpath_variable* replyKey = variables.add(can_xml::kReplyKey, pugi::xpath_type_string);
    const std::string query = std::string("//") + can_xml::kReply + "[@" + can_xml::kReplyKey +
                              "=$" + can_xml::kReplyKey + "]/" + can_xml::kData;
    const pugi::xpath_query replyOf(query.c_str(), &variables);
    for (const ItemPtr& each : items_) {
        replyKey->set(each->canXmlReplyKey().c_str());
        if (const pugi::xpath_node reply = replyOf.evaluate_node(odoc)) {
            // The reply text opens with one byte (two digits) ahead of the
            // service byte that the item judges.
            const std::string text = textContent(reply.node());
            each->CanXmlDecode(text.size() > 2 ? std::string_view(text).substr(2) : "");
        }
    }
    return false;
}

} // namespace vistrel
