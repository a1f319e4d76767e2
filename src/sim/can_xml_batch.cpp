#include "sim/can_xml_batch.h"

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
        if (named(sibling, "r")) {
            return sibling;
        }
        if (named(sibling, "s")) {
            break;
        }
    }
    return request.parent().insert_child_after("r", request);
}

// A document handed in twice keeps only the newest reply.
void removeEarlierReply(pugi::xml_node reply) {
    for (const char* name : {"d", "e"}) {
        while (const pugi::xml_node old = reply.child(name)) {
            reply.remove_child(old);
        }
    }
}

} // namespace

void CanXmlBatch::CanXmlExecute(pugi::xml_document& document) {
    ByteString reply;
    for (const pugi::xpath_node& found : document.select_nodes("//s")) {
        const pugi::xml_node request = found.node();
        pugi::xml_node replyElement = replyElementFor(request);
        removeEarlierReply(replyElement);
        const std::optional<ByteString> frame = singleFrameRequest(request.child("d").text().get());
        if (!frame) {
            replyElement.append_child("e").text().set(kBadFrameText);
            continue;
        }
        if (exchange_(*frame, reply).kind == Answer::Kind::None) {
            replyElement.append_child("e").text().set(kReceiveTimeoutText);
            continue;
        }
        replyElement.append_child("d").text().set(replyFrames(reply).c_str());
    }
}

} // namespace vistrel
