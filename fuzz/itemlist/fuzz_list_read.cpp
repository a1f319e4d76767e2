// SPDX-License-Identifier: MIT
// The list's reads by identifier, merged and periodic, in either family, fed
// replies and periodic frames of any form, or errors of any number, over
// several cycles: items of any address width and length, any window and
// frame size, with and without a snapshot.
#include "../item/fuzzed_item.h"
#include "../item/fuzzed_protocol.h"
#include "components/error_numbers.h"
#include "itemlist/vistrel_items.h"

#include <pugixml.hpp>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    vistrel::VistrelItems items(vistrel::NumberFormat::invariant());
    constexpr vistrel::Method kMethods[] = {
        vistrel::Method::DynamicallyDefinedPacked, vistrel::Method::ReadMemoryByAddressMerged,
        vistrel::Method::DynamicallyDefined, vistrel::Method::ReadDataByPeriodicIdentifier};
    items.setMethod(kMethods[input.ConsumeIntegralInRange<std::size_t>(0, 3)]);
    items.setLengthSize(input.ConsumeIntegralInRange<std::int32_t>(1, 2));
    items.setMergeWindow(input.ConsumeIntegralInRange<std::int32_t>(0, 256));
    const int count = input.ConsumeIntegralInRange<int>(0, 40);
    for (int i = 0; i < count; ++i) {
        const auto address =
            input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(1, 6));
        vistrel::VistrelItem& item = items.add(vistrel::ByteString(address).text());
        try {
            item.setLength(input.ConsumeIntegralInRange<std::int32_t>(1, 8));
        } catch (const vistrel::Error&) {
        }
    }
    auto protocol = std::make_shared<vistrel::fuzzing::FuzzedProtocol>(input, 300, true);
    items.setProtocol(protocol);
    items.setClock([&protocol = *protocol] { return protocol.now; });

    for (int cycle = 0; cycle < 3; ++cycle) {
        pugi::xml_document document;
        pugi::xml_node snapShot;
        if (input.ConsumeBool()) {
            snapShot = document.append_child("snapshot");
        }
        try {
            items.read(snapShot);
        } catch (const vistrel::Error& error) {
            if (error.number() != 10 &&
                error.number() != vistrel::reading_error::kPeriodicNotOnThisLink) {
                __builtin_trap();
            }
        }
        for (const auto& item : items) {
            vistrel::fuzzing::checkOutcome(*item);
        }
    }
    items.releaseReading();
    return 0;
}
