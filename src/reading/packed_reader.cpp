// SPDX-License-Identifier: MIT
#include "reading/packed_reader.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "components/negative_response.h"
#include "components/protocol.h"
#include "item/reply_check.h"
#include "item/snapshot_record.h"
#include "item/vistrel_item.h"
#include "reading/read_tally.h"

namespace vistrel {
namespace {

// The reply's head: 61, the identifier, and the byte that some ECUs put
// after the identifier. The data of an identifier must fit behind it.
constexpr std::size_t kIdentifierReplyHead = 3;

// Failed reads in a row of an identifier, without the ECU saying why, after
// which it is defined again without the items that fail on their own.
constexpr int kFailedReadsToDefine = 2;

// Whether a failed read of an identifier says that the ECU no longer holds
// its definition: it refuses the identifier as out of range, or its reply
// lacks bytes. A time-out or a garbled reply says nothing of the kind.
bool forgotten(const Error& failure) {
    const Error outOfRange =
        negativeResponseError(kwp::kReadDataByLocalIdentifier, nrc::kRequestOutOfRange);
    return failure.number() == kReplyTooShortError ||
           (failure.number() == outOfRange.number() &&
            failure.description() == outOfRange.description());
}

} // namespace

void PackedReader::forget() noexcept {
    defined_ = false;
    loners_.clear();
}

ListReadEnd PackedReader::read(const ItemPointers& items, Protocol& protocol,
                               const ReadSettings& settings, pugi::xml_node snapShot,
                               ReadTally& tally) {
    const std::int32_t lengthSize = settings.lengthSize;
    if (items != definedFor_) {
        forget();
    }
    if (defined_ && !tally.aborted()) {
        try {
            offerRefusedAgain(protocol, settings.now, snapShot);
        } catch (const Error& failure) {
            // As a definition without an answer: the link is gone.
            tally.failEach(items, failure);
            defined_ = false;
            return ListReadEnd::ItemsCounted;
        }
    }
    if (!defined_ && !define(items, protocol, settings.now, snapShot, tally)) {
        return tally.aborted() ? ListReadEnd::Aborted : ListReadEnd::ItemsCounted;
    }
    bool stillDefined = true;
    for (Identifier& identifier : identifiers_) {
        if (tally.aborted()) {
            return ListReadEnd::Aborted;
        }
        stillDefined =
            readIdentifier(identifier, protocol, lengthSize, snapShot, tally) && stillDefined;
    }
    // Defined again on the next read, without the items that failed, when
    // the ECU forgot a definition; after a time-out the same identifiers
    // are read again first.
    defined_ = stillDefined;
    for (VistrelItem* item : byAddress_) {
        if (tally.aborted()) {
            return ListReadEnd::Aborted;
        }
        tally.readByAddress(*item, protocol, lengthSize, snapShot);
    }
    // A refused item keeps showing its refusal, and counts as it did then.
    refused_.count(tally);
    return ListReadEnd::ItemsCounted;
}

bool PackedReader::define(const ItemPointers& items, Protocol& protocol,
                          std::chrono::steady_clock::time_point now, pugi::xml_node snapShot,
                          ReadTally& tally) {
    defined_ = false;
    definedFor_ = items;
    identifiers_.clear();
    refused_.clear();
    byAddress_.clear();

    const std::size_t limit = replyLengthLimit(protocol);
    capacity_ = limit > kIdentifierReplyHead ? limit - kIdentifierReplyHead : 0;
    Identifier current{kwp::kDynamicIdentifier, {}, 0};
    bool open = true;
    std::size_t next = 0;
    try {
        for (; next < items.size(); ++next) {
            if (tally.aborted()) {
                return false;
            }
            VistrelItem& item = *items[next];
            const auto size = static_cast<std::size_t>(item.length());
            if (open && !current.items.empty() && current.bytes + size > capacity_) {
                open = openNext(current);
            }
            if (!open || loners_.contains(&item)) {
                byAddress_.push_back(&item);
                continue;
            }
            if (takes(current, item, protocol, snapShot)) {
                continue;
            }
            if (current.items.empty()) {
                // Refused as the first of an identifier: the item itself is
                // what the ECU will not read.
                refused_.add(&item, now);
                continue;
            }
            // Refused at a further position: the identifier may be full for
            // this ECU, so the item starts the next one.
            open = openNext(current);
            if (!open) {
                byAddress_.push_back(&item);
            } else if (!takes(current, item, protocol, snapShot)) {
                refused_.add(&item, now);
            }
        }
    } catch (const Error& failure) {
        if (failure.number() == adapter_error::kRequestTooLong) {
            // The link cannot carry a definition request at all (an adapter
            // limited to short frames): this item and the ones after it are
            // read by address, so the list still shows every value.
            for (; next < items.size(); ++next) {
                byAddress_.push_back(items[next].get());
            }
        } else {
            // No answer to a definition: the link is gone, not the item.
            // Every item fails this read, and the next read defines again.
            tally.failEach(items, failure);
            return false;
        }
    }
    if (open && !current.items.empty()) {
        identifiers_.push_back(std::move(current));
    }
    defined_ = true;
    return true;
}

void PackedReader::offerRefusedAgain(Protocol& protocol, std::chrono::steady_clock::time_point now,
                                     pugi::xml_node snapShot) {
    refused_.offerDue(now,
                      [&](VistrelItem& item) { return takesAtTheEnd(item, protocol, snapShot); });
}

bool PackedReader::takesAtTheEnd(VistrelItem& item, Protocol& protocol, pugi::xml_node snapShot) {
    const auto size = static_cast<std::size_t>(item.length());
    std::uint8_t next = kwp::kDynamicIdentifier;
    if (!identifiers_.empty()) {
        Identifier& last = identifiers_.back();
        if (last.bytes + size <= capacity_ && takes(last, item, protocol, snapShot)) {
            return true;
        }
        if (last.id >= kwp::kLastDynamicIdentifier) {
            return false;
        }
        next = static_cast<std::uint8_t>(last.id + 1);
    }
    // As in the first definition: refused at a further position, the item
    // tries the first position of an identifier of its own.
    Identifier own{next, {}, 0};
    if (!takes(own, item, protocol, snapShot)) {
        return false;
    }
    identifiers_.push_back(std::move(own));
    return true;
}

bool PackedReader::takes(Identifier& current, VistrelItem& item, Protocol& protocol,
                         pugi::xml_node snapShot) {
    try {
        item.definePosition(protocol, current.id,
                            static_cast<std::uint8_t>(current.items.size() + 1), snapShot);
    } catch (const Error& failure) {
        if (isNegativeResponse(failure.number())) {
            return false;
        }
        throw;
    }
    current.items.push_back(&item);
    current.bytes += static_cast<std::size_t>(item.length());
    return true;
}

bool PackedReader::openNext(Identifier& current) {
    const std::uint8_t id = current.id;
    if (!current.items.empty()) {
        identifiers_.push_back(std::move(current));
    }
    current = Identifier{static_cast<std::uint8_t>(id + 1), {}, 0};
    return id < kwp::kLastDynamicIdentifier;
}

bool PackedReader::readIdentifier(Identifier& identifier, Protocol& protocol,
                                  std::int32_t lengthSize, pugi::xml_node snapShot,
                                  ReadTally& tally) {
    const ByteString request{kwp::kReadDataByLocalIdentifier, identifier.id};
    ByteString reply;
    SnapshotRecord record(snapShot);
    record.setHex("ReadSend", request);
    try {
        protocol.SendReceive(request, reply);
        // 61, the identifier, then the data; some ECUs put one more byte
        // after the identifier. Another service or another identifier's data
        // must not become values.
        if (reply.length() < identifier.bytes + 2) {
            throw replyTooShortError(request, reply);
        }
        if (reply.byte(0) != kReadDataPositiveReply || reply.byte(1) != identifier.id) {
            throw replyCheckError(ReplyVerdict::WrongService, reply.text(),
                                  "ReadDynamicallyDefined");
        }
    } catch (const Error& failure) {
        record.set("ReadError", failure.description());
        const bool keep = !forgotten(failure) && ++identifier.failedReads < kFailedReadsToDefine;
        for (VistrelItem* item : identifier.items) {
            if (tally.aborted()) {
                break;
            }
            tally.readByAddress(*item, protocol, lengthSize, snapShot);
            if (item->errorCode() != 0 && !keep) {
                loners_.insert(item);
            }
        }
        return keep;
    }
    identifier.failedReads = 0;
    std::size_t at = reply.length() == identifier.bytes + 2 ? 2 : 3;
    for (VistrelItem* item : identifier.items) {
        item->takeValue(reply.bytes().subspan(at));
        at += static_cast<std::size_t>(item->length());
    }
    record.setHex("ReadReceive", reply);
    return true;
}

} // namespace vistrel
