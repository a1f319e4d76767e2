// SPDX-License-Identifier: MIT
#pragma once

#include "reading/list_reader.h"
#include "reading/refused_definitions.h"
#include "reading/uds_identifier_steps.h"

#include <chrono>
#include <cstdint>
#include <set>
#include <span>
#include <vector>

namespace vistrel {

// UDS: reads the whole list through as few dynamically defined identifiers
// as the ECU accepts. Each identifier (F200 upward) is defined with several
// address/size elements in one 2C 02 request, and several identifiers are
// read in one 22 request whose reply is split by the identifiers it echoes.
// When the ECU refuses a definition, the identifier is defined again with
// half the elements, down to one; what it accepted is kept for the link, so
// the next definition does not ask for more again.
//
// As with KWP2000's packed read, one item the ECU will not read must not cost
// the others their values: the items of an identifier that the ECU leaves out
// or refuses to read are read by address in the same cycle, and those that
// fail there stay read by address after the next definition. A refused
// definition is offered again, alone, five seconds later.
//
// The identifiers are defined again only when the ECU says they are not (a
// refusal to read them, a reply that does not match them) or after a new
// opening of the communication: after a time-out the same identifiers are
// read again.
class UdsPackedReader : public ListReader {
public:
    // What the ECU accepted is learnt anew on another link.
    void newLink() noexcept;
    void forget() noexcept override;
    ListReadEnd read(const ItemPointers& items, Protocol& protocol, const ReadSettings& settings,
                     pugi::xml_node snapShot, ReadTally& tally) override;

private:
    using Identifier = GatheredIdentifier;

    // False when the definitions could not be completed (cut short, or an
    // exchange without an answer: then every item shows that failure).
    bool define(const ItemPointers& items, Protocol& protocol, const ReadSettings& settings,
                pugi::xml_node snapShot, ReadTally& tally);
    // Defines the next identifier with as many of candidates (from first on)
    // as the ECU takes; how many it took, 0 when it refused the first alone.
    std::size_t defineNext(std::span<VistrelItem* const> candidates, Protocol& protocol,
                           std::int32_t lengthSize, pugi::xml_node snapShot);
    void offerRefusedAgain(Protocol& protocol, const ReadSettings& settings,
                           pugi::xml_node snapShot);
    // Reads the identifiers [first, last) in one request; false when the ECU
    // no longer holds them as defined.
    bool readGroup(std::size_t first, std::size_t last, Protocol& protocol,
                   const ReadSettings& settings, pugi::xml_node snapShot, ReadTally& tally);
    // The items of identifiers the ECU would not read are read by address;
    // those that fail there stay read by address.
    void readByAddressInstead(const Identifier& identifier, Protocol& protocol,
                              const ReadSettings& settings, pugi::xml_node snapShot,
                              ReadTally& tally);
    std::uint16_t nextIdentifier() const;

    bool defined_ = false;
    ItemPointers definedFor_;
    std::vector<Identifier> identifiers_;
    RefusedDefinitions refused_;
    std::vector<VistrelItem*> byAddress_;
    std::set<const VistrelItem*> loners_;
    // The data bytes that one identifier may hold within a reply.
    std::size_t capacity_ = 0;
    // What the ECU accepted: elements in one definition, identifiers in one
    // read. Kept as long as the link (a pass reads through a wrapper of its
    // own, so the protocol's address cannot tell the link).
    // What is asked of an ECU before it said how much it takes.
    static constexpr std::size_t kMostElements = 64;
    static constexpr std::size_t kMostIdentifiersPerRead = 16;
    std::size_t elementsPerIdentifier_ = kMostElements;
    std::size_t identifiersPerRead_ = kMostIdentifiersPerRead;
};

} // namespace vistrel
