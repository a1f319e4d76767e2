// SPDX-License-Identifier: MIT
#include "reading/uds_packed_reader.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "components/negative_response.h"
#include "components/protocol.h"
#include "dialect/uds_identifier_reply.h"
#include "dialect/uds_requests.h"
#include "item/reply_check.h"
#include "item/snapshot_record.h"
#include "item/vistrel_item.h"
#include "reading/read_tally.h"
#include "reading/uds_identifier_steps.h"

namespace vistrel {
namespace {

// 62 and the identifier before each identifier's data.
constexpr std::size_t kReplyHead = 3;
constexpr std::size_t kEchoedIdentifier = 2;
// F240 and up are left to periodic reads.
constexpr std::uint16_t kLastPackedIdentifier = uds::kFirstSharedPeriodicIdentifier - 1;
bool isTooLongForLink(const Error& failure) {
    return failure.number() == adapter_error::kRequestTooLong;
}

void recordItem(SnapshotRecord& record, const VistrelItem& item) {
    record.set("name", item.name());
    record.setHex("addr", item.addressByte());
}

} // namespace

void UdsPackedReader::newLink() noexcept {
    elementsPerIdentifier_ = kMostElements;
    identifiersPerRead_ = kMostIdentifiersPerRead;
    forget();
}

void UdsPackedReader::forget() noexcept {
    defined_ = false;
    loners_.clear();
}

ListReadEnd UdsPackedReader::read(const ItemPointers& items, Protocol& protocol,
                                  const ReadSettings& settings, pugi::xml_node snapShot,
                                  ReadTally& tally) {
    if (items != definedFor_) {
        forget();
    }
    if (defined_ && !tally.aborted()) {
        try {
            offerRefusedAgain(protocol, settings, snapShot);
        } catch (const Error& failure) {
            if (!isTooLongForLink(failure)) {
                tally.failEach(items, failure);
                return ListReadEnd::ItemsCounted;
            }
        }
    }
    if (!defined_ && !define(items, protocol, settings, snapShot, tally)) {
        return tally.aborted() ? ListReadEnd::Aborted : ListReadEnd::ItemsCounted;
    }
    const std::size_t replyLimit = replyLengthLimit(protocol);
    bool stillDefined = true;
    for (std::size_t first = 0; first < identifiers_.size();) {
        if (tally.aborted()) {
            return ListReadEnd::Aborted;
        }
        std::size_t last = first;
        std::size_t replyBytes = 1;
        while (last < identifiers_.size() && last - first < identifiersPerRead_ &&
               (last == first ||
                replyBytes + kEchoedIdentifier + identifiers_[last].bytes <= replyLimit)) {
            replyBytes += kEchoedIdentifier + identifiers_[last].bytes;
            ++last;
        }
        stillDefined = readGroup(first, last, protocol, settings, snapShot, tally) && stillDefined;
        first = last;
    }
    defined_ = stillDefined;
    for (VistrelItem* item : byAddress_) {
        if (tally.aborted()) {
            return ListReadEnd::Aborted;
        }
        tally.readByAddress(*item, protocol, settings.lengthSize, snapShot);
    }
    // A refused item keeps showing its refusal, and counts as it did then.
    refused_.count(tally);
    return ListReadEnd::ItemsCounted;
}

bool UdsPackedReader::define(const ItemPointers& items, Protocol& protocol,
                             const ReadSettings& settings, pugi::xml_node snapShot,
                             ReadTally& tally) {
    defined_ = false;
    definedFor_ = items;
    identifiers_.clear();
    refused_.clear();
    byAddress_.clear();
    const std::size_t limit = replyLengthLimit(protocol);
    capacity_ = limit > kReplyHead ? limit - kReplyHead : 0;

    std::vector<VistrelItem*> candidates;
    for (const auto& each : items) {
        const bool fits = static_cast<std::size_t>(each->length()) <= capacity_;
        if (loners_.contains(each.get()) || !fits) {
            byAddress_.push_back(each.get());
        } else {
            candidates.push_back(each.get());
        }
    }
    std::size_t next = 0;
    try {
        while (next < candidates.size()) {
            if (tally.aborted()) {
                return false;
            }
            if (nextIdentifier() > kLastPackedIdentifier) {
                break;
            }
            const std::size_t taken = defineNext(std::span(candidates).subspan(next), protocol,
                                                 settings.lengthSize, snapShot);
            if (taken == 0) {
                refused_.add(candidates[next], settings.now);
                ++next;
            }
            next += taken;
        }
    } catch (const Error& failure) {
        if (!isTooLongForLink(failure)) {
            // No answer to a definition: the link is gone, not the item.
            tally.failEach(items, failure);
            return false;
        }
        // The link cannot carry a definition (an adapter limited to short
        // frames): the rest is read by address, so every value still shows.
    }
    byAddress_.insert(byAddress_.end(), candidates.begin() + static_cast<std::ptrdiff_t>(next),
                      candidates.end());
    defined_ = true;
    return true;
}

std::size_t UdsPackedReader::defineNext(std::span<VistrelItem* const> candidates,
                                        Protocol& protocol, std::int32_t lengthSize,
                                        pugi::xml_node snapShot) {
    std::size_t count = 0;
    std::size_t bytes = 0;
    while (count < candidates.size() && count < elementsPerIdentifier_ &&
           bytes + static_cast<std::size_t>(candidates[count]->length()) <= capacity_) {
        bytes += static_cast<std::size_t>(candidates[count]->length());
        ++count;
    }
    const std::size_t asked = elementsPerIdentifier_;
    const std::uint16_t id = nextIdentifier();
    for (;;) {
        const auto elements = candidates.first(count);
        SnapshotRecord record(snapShot);
        recordItem(record, *elements.front());
        clearIdentifier(protocol, id, record);
        try {
            defineIdentifier(protocol, id, elements, lengthSize, record);
        } catch (const Error& failure) {
            if (!isRefusal(failure)) {
                throw;
            }
            if (count == 1) {
                // Refused alone: the item is what the ECU will not take, not
                // the size, so the next identifier may hold as many again.
                elementsPerIdentifier_ = asked;
                elements.front()->takeError(failure);
                return 0;
            }
            count /= 2;
            elementsPerIdentifier_ = count;
            continue;
        }
        identifiers_.push_back({id, {elements.begin(), elements.end()}, bytesOf(elements)});
        return count;
    }
}

void UdsPackedReader::offerRefusedAgain(Protocol& protocol, const ReadSettings& settings,
                                        pugi::xml_node snapShot) {
    refused_.offerDue(settings.now, [&](VistrelItem& refused) {
        VistrelItem* const item[] = {&refused};
        const auto size = static_cast<std::size_t>(refused.length());
        SnapshotRecord record(snapShot);
        recordItem(record, refused);
        try {
            if (!identifiers_.empty() &&
                identifiers_.back().items.size() < elementsPerIdentifier_ &&
                identifiers_.back().bytes + size <= capacity_) {
                // A definition appends: the item joins the last identifier.
                Identifier& last = identifiers_.back();
                defineIdentifier(protocol, last.id, item, settings.lengthSize, record);
                last.items.push_back(&refused);
                last.bytes += size;
                return true;
            }
            if (nextIdentifier() > kLastPackedIdentifier) {
                byAddress_.push_back(&refused);
                return true;
            }
            return defineNext(item, protocol, settings.lengthSize, snapShot) != 0;
        } catch (const Error& failure) {
            if (!isRefusal(failure)) {
                throw;
            }
            refused.takeError(failure);
            return false;
        }
    });
}

bool UdsPackedReader::readGroup(std::size_t first, std::size_t last, Protocol& protocol,
                                const ReadSettings& settings, pugi::xml_node snapShot,
                                ReadTally& tally) {
    std::vector<std::uint16_t> ids;
    std::vector<AskedIdentifier> asked;
    for (std::size_t i = first; i < last; ++i) {
        ids.push_back(identifiers_[i].id);
        asked.push_back({identifiers_[i].id, identifiers_[i].bytes});
    }
    ByteString request;
    ByteString reply;
    buildReadIdentifiersRequest(request, ids);
    SnapshotRecord record(snapShot);
    record.setHex("ReadSend", request);
    try {
        exchange(protocol, request, reply);
    } catch (const Error& failure) {
        record.set("ReadError", failure.description());
        if (isTooLongForLink(failure) && last - first > 1) {
            identifiersPerRead_ = 1;
            bool allDefined = true;
            for (std::size_t i = first; i < last; ++i) {
                allDefined = readGroup(i, i + 1, protocol, settings, snapShot, tally) && allDefined;
            }
            return allDefined;
        }
        if (isRefusal(failure)) {
            for (std::size_t i = first; i < last; ++i) {
                readByAddressInstead(identifiers_[i], protocol, settings, snapShot, tally);
            }
            return false;
        }
        // No answer: one silent sensor keeps an ECU from answering a read
        // that holds it, so the items are read by address in the same cycle.
        // The ECU still holds the identifiers: only when an item fails on
        // its own are they defined again, without it.
        const std::size_t silentBefore = loners_.size();
        for (std::size_t i = first; i < last; ++i) {
            readByAddressInstead(identifiers_[i], protocol, settings, snapShot, tally);
        }
        return loners_.size() == silentBefore;
    }
    const auto split = splitIdentifierReply(reply.bytes(), asked);
    if (!split) {
        const Error failure =
            replyCheckError(ReplyVerdict::WrongService, reply.text(), "ReadDataByIdentifier");
        record.set("ReadError", failure.description());
        for (std::size_t i = first; i < last; ++i) {
            readByAddressInstead(identifiers_[i], protocol, settings, snapShot, tally);
        }
        return false;
    }
    record.setHex("ReadReceive", reply);
    bool allRead = true;
    for (std::size_t i = first; i < last; ++i) {
        const auto& data = (*split)[i - first];
        if (data) {
            takeValues(identifiers_[i].items, *data);
        } else {
            readByAddressInstead(identifiers_[i], protocol, settings, snapShot, tally);
            allRead = false;
        }
    }
    return allRead;
}

void UdsPackedReader::readByAddressInstead(const Identifier& identifier, Protocol& protocol,
                                           const ReadSettings& settings, pugi::xml_node snapShot,
                                           ReadTally& tally) {
    for (VistrelItem* item : identifier.items) {
        if (tally.aborted()) {
            return;
        }
        tally.readByAddress(*item, protocol, settings.lengthSize, snapShot);
        if (item->errorCode() != 0) {
            loners_.insert(item);
        }
    }
}

std::uint16_t UdsPackedReader::nextIdentifier() const {
    return identifiers_.empty() ? uds::kFirstDynamicIdentifier
                                : static_cast<std::uint16_t>(identifiers_.back().id + 1);
}

} // namespace vistrel
