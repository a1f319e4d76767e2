// SPDX-License-Identifier: MIT
#include "reading/uds_dynamically_defined_reader.h"

#include "components/error.h"
#include "dialect/uds_requests.h"
#include "item/snapshot_record.h"
#include "item/vistrel_item.h"
#include "reading/read_tally.h"
#include "reading/uds_identifier_steps.h"

namespace vistrel {
namespace {

// The identifiers below the periodic ones: F240 and up may be defined for
// periodic reads on the same ECU.
constexpr std::size_t kIdentifiers =
    uds::kFirstSharedPeriodicIdentifier - uds::kFirstDynamicIdentifier;

} // namespace

ListReadEnd UdsDynamicallyDefinedReader::read(const ItemPointers& items, Protocol& protocol,
                                              const ReadSettings& settings, pugi::xml_node snapShot,
                                              ReadTally& tally) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (tally.aborted()) {
            return ListReadEnd::Aborted;
        }
        VistrelItem* item = items[i].get();
        const auto identifier =
            static_cast<std::uint16_t>(uds::kFirstDynamicIdentifier + i % kIdentifiers);
        SnapshotRecord record(snapShot);
        record.set("name", item->name());
        record.setHex("addr", item->addressByte());
        try {
            clearIdentifier(protocol, identifier, record);
            VistrelItem* const own[] = {item};
            defineIdentifier(protocol, identifier, own, settings.lengthSize, record);
            const ByteString data = readIdentifier(
                protocol, identifier, static_cast<std::size_t>(item->length()), record);
            item->takeValue(data.bytes());
            record.setHex("value", item->valueByte());
        } catch (const Error& failure) {
            item->takeError(failure);
            if (!isRefusal(failure)) {
                tally.count(failure);
            }
        }
    }
    return ListReadEnd::ItemsCounted;
}

} // namespace vistrel
