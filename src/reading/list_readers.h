// SPDX-License-Identifier: MIT
#pragma once

#include "reading/can_xml_batch_reader.h"
#include "reading/dynamically_defined_reader.h"
#include "reading/merged_reader.h"
#include "reading/packed_reader.h"
#include "reading/periodic_reader.h"
#include "reading/read_memory_reader.h"
#include "reading/reading_method.h"
#include "reading/uds_dynamically_defined_reader.h"
#include "reading/uds_packed_reader.h"

namespace vistrel {

class Protocol;

// One reader per reading method, kept from read to read so that what a
// reader told the ECU lasts as long as the communication.
class ListReaders {
public:
    // The reader of method over protocol, in the protocol's family: reading
    // by address goes out as one CAN-XML batch when the link offers batches.
    ListReader& readerFor(Method method, Protocol& protocol);
    // The communication starts anew for every reader.
    void forget() noexcept;
    // Another link: what readers learnt of the ECU no longer holds.
    void newLink() noexcept;
    // The reading stops: what a reader left running on the ECU stops.
    void release(Protocol& protocol) noexcept;

private:
    ReadMemoryReader byAddress_;
    DynamicallyDefinedReader dynamicallyDefined_;
    PackedReader packed_;
    MergedReader merged_;
    CanXmlBatchReader batch_{byAddress_};
    UdsDynamicallyDefinedReader udsDynamicallyDefined_;
    UdsPackedReader udsPacked_;
    PeriodicReader periodic_;
};

} // namespace vistrel
