// SPDX-License-Identifier: MIT
#include "components/can_xml_vocabulary.h"
#include "components/negative_response.h"
#include "item/vistrel_item.h"

namespace vistrel {
namespace {

// A single CAN frame carries at most 7 request bytes after its header.
constexpr std::size_t kMaxSingleFrameBytes = 7;
constexpr std::size_t kFrameDigits = 2 * kMaxSingleFrameBytes;
// The batch reply slot holds one frame's data: 6 bytes after 63.
constexpr std::int32_t kMaxBatchLength = 6;

} // namespace

std::string VistrelItem::canXmlReplyKey() const {
    return address() + std::to_string(length_);
}

bool VistrelItem::CanXmlAddReadMemory(pugi::xml_node exchangeElement, std::int32_t lengthSize) {
    // 23, the address, then the length in 2 hexadecimal digits, or 4 for
    // lengthSize 2.
    const std::size_t lengthDigits = lengthSize == 2 ? 4 : 2;
    std::string lengthText = "000";
    lengthText += hexNoLeadingZeros(static_cast<std::uint32_t>(length_));
    std::string request = "23";
    request += address();
    request += lengthText.substr(lengthText.size() - lengthDigits);
    const std::size_t n = request.size() / 2;
    if (n > kMaxSingleFrameBytes) {
        return false;
    }

    // ISO 15765-2 single frame: 0, the byte count, the request, zero padding.
    request.resize(kFrameDigits, '0');
    std::string frame = "0";
    frame += hexNoLeadingZeros(static_cast<std::uint32_t>(n));
    frame += request;
    exchangeElement.append_child(can_xml::kSend)
        .append_child(can_xml::kData)
        .append_child(pugi::node_pcdata)
        .set_value(frame.c_str());
    exchangeElement.append_child(pugi::node_pcdata).set_value("\r\n");

    if (length_ > kMaxBatchLength) {
        return false;
    }
    exchangeElement.append_child(can_xml::kReply)
        .append_attribute(can_xml::kReplyKey)
        .set_value(canXmlReplyKey().c_str());
    return true;
}

} // namespace vistrel
