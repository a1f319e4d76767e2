// SPDX-License-Identifier: MIT
// Any frames in a CAN-XML batch handed to the demo ECU's processor. Each
// input line becomes the "d" text of one request; every other request has no
// "r" element, so the processor must add one.
#include "sim/simulated_ecu.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <pugixml.hpp>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto ecu = vistrel::SimulatedEcu::demo();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    pugi::xml_document document;
    pugi::xml_node x = document.append_child("can").append_child("x");
    bool withReply = true;
    for (std::size_t start = 0; start <= input.size();) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        const std::string frame(input.substr(start, end - start));
        x.append_child("s").append_child("d").text().set(frame.c_str());
        if (withReply) {
            x.append_child("r").append_attribute("c").set_value("K");
        }
        withReply = !withReply;
        start = end + 1;
    }
    ecu->canXml()->CanXmlExecute(document);
    ecu->canXml()->CanXmlExecute(document);
    return 0;
}
