// SPDX-License-Identifier: MIT
#include "reading/can_xml_batch.h"

#include "components/can_xml_vocabulary.h"
#include "components/error.h"
#include "components/error_numbers.h"
#include "components/xml_nodes.h"
#include "item/vistrel_item.h"

#include <cctype>
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

std::unique_ptr<pugi::xml_document> canXmlBatchRequest(const ItemPointers& items,
                                                       std::int32_t lengthSize, std::int32_t rid,
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
    for (const auto& each : items) {
        // The key is hexadecimal address text and a decimal length: letter
        // case is the only way two spellings of one identity differ.
        std::string identity = each->canXmlReplyKey();
        for (char& c : identity) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        if (requested.contains(identity)) {
            continue;
        }
        try {
            if (!each->CanXmlAddReadMemory(x, lengthSize)) {
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

void decodeCanXmlBatch(const ItemPointers& items, const pugi::xml_document& processed) {
    if (const pugi::xpath_node failure =
            processed.select_node((std::string("//") + can_xml::kFailure).c_str())) {
        throw batchError(textContent(failure.node()));
    }
    // The reply key goes in as an XPath variable, never spliced into the
    // query text, so no key can change the query's meaning.
    pugi::xpath_variable_set variables;
    pugi::xpath_variable* replyKey = variables.add(can_xml::kReplyKey, pugi::xpath_type_string);
    const std::string query = std::string("//") + can_xml::kReply + "[@" + can_xml::kReplyKey +
                              "=$" + can_xml::kReplyKey + "]/" + can_xml::kData;
    const pugi::xpath_query replyOf(query.c_str(), &variables);
    for (const auto& each : items) {
        replyKey->set(each->canXmlReplyKey().c_str());
        if (const pugi::xpath_node reply = replyOf.evaluate_node(processed)) {
            // The reply text opens with one byte (two digits) ahead of the
            // service byte that the item judges.
            const std::string text = textContent(reply.node());
            each->CanXmlDecode(text.size() > 2 ? std::string_view(text).substr(2) : "");
        }
    }
}

} // namespace vistrel
