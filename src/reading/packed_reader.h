// SPDX-License-Identifier: MIT
#pragma once

#include "reading/list_reader.h"
#include "reading/refused_definitions.h"

#include <chrono>
#include <cstdint>
#include <set>
#include <vector>

namespace vistrel {

// Reads a whole list through dynamically defined identifiers that gather
// every item: the items are defined once, in list order, position after
// position, in E0 and, when the ECU refuses a further position or the reply
// would outgrow the link's frame, in E1, E2 and on up to EF. From then on one
// read of each identifier per cycle brings every value. Items that no
// identifier can take any more are read by address.
//
// One item that the ECU will not read (a silent sensor, a range refused to
// the identifier read) must not cost the others their values: when an
// identifier's read fails, its items are read by address in the same cycle,
// each showing its own outcome. When the ECU says that it no longer holds
// the identifier (7F 21 31, a reply that lacks bytes), the next read defines
// again without the items that failed there; those stay read by address.
// After a time-out or a garbled reply the same identifiers are read again:
// defining every identifier again would keep a slow link from reading for
// seconds. An identifier that fails so twice in a row holds an item that the
// ECU will not read: it is defined again without that item. A refused
// definition may have been a passing refusal: it is offered again, at the
// end of the identifiers, five seconds after it was refused; defining every
// identifier again would keep a slow link from reading for seconds.
class PackedReader : public ListReader {
public:
    // The next read defines the identifiers again, every item a candidate:
    // after a new communication the ECU may have forgotten them.
    void forget() noexcept override;

    // Defines first when the identifiers are not defined for exactly these
    // items; the define exchanges go into the snapshot of that read.
    ListReadEnd read(const ItemPointers& items, Protocol& protocol, const ReadSettings& settings,
                     pugi::xml_node snapShot, ReadTally& tally) override;

private:
    struct Identifier {
        std::uint8_t id = 0;
        std::vector<VistrelItem*> items;
        std::size_t bytes = 0;
        // Reads in a row that failed without the ECU saying why.
        int failedReads = 0;
    };

    // False when the definitions could not be completed: cut short by
    // AbortRequest, or an exchange that failed without an answer (then
    // every item shows that failure, and it counts for each).
    bool define(const ItemPointers& items, Protocol& protocol,
                std::chrono::steady_clock::time_point now, pugi::xml_node snapShot,
                ReadTally& tally);
    // Whether the ECU took the item at the next position of current; a
    // refusal stays in the item, a failed exchange is thrown.
    static bool takes(Identifier& current, VistrelItem& item, Protocol& protocol,
                      pugi::xml_node snapShot);
    // Closes current and opens the next identifier; false past EF.
    bool openNext(Identifier& current);
    // Offers each refused item whose refusal is old enough again, at the end
    // of the last identifier or first in the next one; a failed exchange is
    // thrown.
    void offerRefusedAgain(Protocol& protocol, std::chrono::steady_clock::time_point now,
                           pugi::xml_node snapShot);
    // Whether the ECU took item at the end of the identifiers.
    bool takesAtTheEnd(VistrelItem& item, Protocol& protocol, pugi::xml_node snapShot);
    // False when the identifier is to be defined again (the ECU no longer
    // holds it, or its read failed twice in a row); its items were then
    // read by address, as after any failed read.
    bool readIdentifier(Identifier& identifier, Protocol& protocol, std::int32_t lengthSize,
                        pugi::xml_node snapShot, ReadTally& tally);

    bool defined_ = false;
    // The reply size the identifiers are filled up to.
    std::size_t capacity_ = 0;
    // The items the identifiers were defined for; they also keep the items
    // below alive.
    ItemPointers definedFor_;
    std::vector<Identifier> identifiers_;
    // Items whose definition the ECU refused, and when: they show the
    // refusal.
    RefusedDefinitions refused_;
    // Items past the last identifier, and those that failed a read of
    // their identifier.
    std::vector<VistrelItem*> byAddress_;
    std::set<const VistrelItem*> loners_;
};

} // namespace vistrel
