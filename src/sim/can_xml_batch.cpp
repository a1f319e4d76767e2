// SPDX-License-Identifier: MIT
#include "sim/can_xml_batch.h"

#include "components/can_xml_vocabulary.h"
#include "sim/can_frames.h"

#include <optional>
#include <pugixml.hpp>
#include <string_view>

namespace vistrel {
namespace {

bool named(pugi::xml_node node, std::string_view name) {
    return node.type() == pugi::node_element && name == node.name();
}

// The "r" element that follows the request up to the next request. A request
// without one gets a new "r" right after it, so its reply is not lost.
pugi::xml_node replyElementFor(pugi::xml_node request) {
    for (pugi::xml_node sibling = request.next_sibling(); sibling;
         sibling = sibling.next_sibling()) {
        if (named(sibling, can_xml::kReply)) {
            return sibling;
        }
        if (named(sibling, can_xml::kSend)) {
            break;
        }
    }
    return request.parent().insert_child_after(can_xml::kReply, request);
}

// A document handed in twice keeps only the newest reply.
void removeEarlierReply(pugi::xml_node reply) {
    for (const char* name : {can_xml::kData, can_xml::kFailure}) {
        while (const pugi::xml_node old = reply.child(name)) {
            reply.remove_child(old);
        }
    }
}

} // namespace

void CanXmlBatch::CanXmlExecute(pugi::xml_document& document) {
    ByteString reply;
    for (const pugi::xpath_node& found :
         document.select_nodes((std::string("//") + can_xml::kSend).c_str())) {
        const pugi::xml_node request = found.node();
        pugi::xml_node replyElement = replyElementFor(request);
        removeEarlierReply(replyElement);
        const std::optional<ByteString> frame =
            singleFrameRequest(request.child(can_xml::kData).text().get());
        if (!frame) {
            replyElement.append_child(can_xml::kFailure).text().set(can_xml::kBadFrame);
            continue;
        }
        if (exchange_(*frame, reply).kind == Answer::Kind::None) {
            replyElement.append_child(can_xml::kFailure).text().set(can_xml::kReceiveTimeout);
            continue;
        }
        replyElement.append_child(can_xml::kData).text().set(replyFrames(reply).c_str());
    }
}

} // namespace vistrel
