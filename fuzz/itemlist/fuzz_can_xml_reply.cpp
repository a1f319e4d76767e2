// SPDX-License-Identifier: MIT
// Walks arbitrary XML as a processed CAN-XML batch: the first input byte
// picks the items, the rest is the reply document.
#include "components/error.h"
#include "itemlist/vistrel_items.h"

#include <cstddef>
#include <cstdint>
#include <pugixml.hpp>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    vistrel::VistrelItems items(vistrel::NumberFormat::invariant());
    items.add("01A2B3").setLength(1 + data[0] % 6);
    items.add("0A").setLength(1 + data[0] / 6 % 6);
    items.add("01A2B3").setLength(1 + data[0] % 6);

    // A document that does not parse to the end still holds the part before
    // the fault, which is walked as well.
    pugi::xml_document reply;
    reply.load_buffer(data + 1, size - 1, pugi::parse_default | pugi::parse_fragment);
    try {
        items.CanXmlDecode(reply);
    } catch (const vistrel::Error&) {
        // An "e" element or a reply the item cannot judge.
    }
    return 0;
}
