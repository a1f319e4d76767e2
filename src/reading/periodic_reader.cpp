// SPDX-License-Identifier: MIT
#include "reading/periodic_reader.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "components/periodic_source.h"
#include "components/protocol.h"
#include "dialect/uds_requests.h"
#include "item/reply_check.h"
#include "item/snapshot_record.h"
#include "item/vistrel_item.h"
#include "reading/read_tally.h"
#include "reading/uds_identifier_steps.h"
#include "reading/wall_clock_text.h"

#include <algorithm>
#include <utility>

namespace vistrel {
namespace {

using namespace std::chrono_literals;

// Before the ECU has shown its period, how long one may take: what the
// rates usually are, with room for a slow start.
constexpr auto kFirstFramePatience = 2s;
// A period never counts as shorter than this, so that jitter on a fast rate
// does not fail items that are merely a little late.
constexpr auto kShortestPeriod = 10ms;
// How often a read that waits for frames looks whether it was cut short.
constexpr auto kWaitSlice = 50ms;
// The periods that may pass without a frame before its items fail.
constexpr int kPeriodsOfPatience = 3;

std::chrono::milliseconds guessedPeriod(std::uint8_t rate) {
    switch (rate) {
    case uds::kSendAtSlowRate:
        return 1000ms;
    case uds::kSendAtMediumRate:
        return 200ms;
    default:
        return 50ms;
    }
}

Error notOnThisLink(const Protocol& protocol) {
    const std::string why = protocol.family() == DiagnosticFamily::Uds
                                ? "this link cannot carry periodic frames"
                                : "the link speaks KWP2000 (diag=uds chooses UDS)";
    return Error(ErrorKind::Usage, reading_error::kPeriodicNotOnThisLink,
                 "ReadDataByPeriodicIdentifier needs UDS on a CAN link (slcan, socketcand, "
                 "socketcan): " +
                     why,
                 "ReadDataByPeriodicIdentifier");
}

} // namespace

// The identifiers asked for stay known: a new opening of the communication
// does not stop an ECU that keeps its session, and the stop must name them.
void PeriodicReader::forget() noexcept {
    started_ = false;
}

void PeriodicReader::release(Protocol& protocol) noexcept {
    started_ = false;
    if (sending_.empty()) {
        return;
    }
    ByteString request;
    ByteString reply;
    buildPeriodicRequest(request, uds::kStopSending, sending_);
    sending_.clear();
    try {
        exchange(protocol, request, reply);
    } catch (...) {
        // The ECU stops on its own when the session ends; nothing to show.
    }
}

ListReadEnd PeriodicReader::read(const ItemPointers& items, Protocol& protocol,
                                 const ReadSettings& settings, pugi::xml_node snapShot,
                                 ReadTally& tally) {
    PeriodicSource* source =
        protocol.family() == DiagnosticFamily::Uds ? protocol.periodicSource() : nullptr;
    if (source == nullptr) {
        throw notOnThisLink(protocol);
    }
    if (started_ && items != startedFor_) {
        release(protocol);
    }
    if (!started_ && !start(items, protocol, *source, settings, snapShot, tally)) {
        return tally.aborted() ? ListReadEnd::Aborted : ListReadEnd::ItemsCounted;
    }
    const auto clock = settings.clock ? settings.clock : [] { return Clock::now(); };
    const auto allCame = [this] {
        return std::all_of(identifiers_.begin(), identifiers_.end(),
                           [](const Identifier& each) { return each.cameSinceRead; });
    };
    for (auto now = clock(); !allCame(); now = clock()) {
        if (tally.aborted()) {
            return ListReadEnd::Aborted;
        }
        // Wait no longer than the first identifier still missing may take.
        auto deadline = Clock::time_point::max();
        for (const Identifier& each : identifiers_) {
            if (!each.cameSinceRead) {
                deadline = std::min(deadline, each.lastFrame + patience(each));
            }
        }
        if (now >= deadline) {
            break;
        }
        const auto slice = std::min<Clock::duration>(deadline - now, kWaitSlice);
        if (const auto frame =
                source->receivePeriodic(std::chrono::ceil<std::chrono::milliseconds>(slice))) {
            takeFrame(*frame, clock());
        }
    }
    const auto now = clock();
    for (Identifier& each : identifiers_) {
        if (!each.cameSinceRead && now - each.lastFrame >= patience(each)) {
            const Error failure(reading_error::kNoPeriodicData,
                                "no periodic data since " + wallClockText(each.lastFrameWall),
                                "ReadDataByPeriodicIdentifier");
            for (VistrelItem* item : each.items) {
                item->takeError(failure);
                tally.count(failure);
            }
        }
        each.cameSinceRead = false;
    }
    for (const VistrelItem* item : tooLong_) {
        tally.countAgain(*item);
    }
    for (VistrelItem* item : byAddress_) {
        if (tally.aborted()) {
            return ListReadEnd::Aborted;
        }
        tally.readByAddress(*item, protocol, settings.lengthSize, snapShot);
    }
    return ListReadEnd::ItemsCounted;
}

bool PeriodicReader::start(const ItemPointers& items, Protocol& protocol, PeriodicSource& source,
                           const ReadSettings& settings, pugi::xml_node snapShot,
                           ReadTally& tally) {
    startedFor_ = items;
    const std::size_t dataBytes = source.periodicDataBytes();
    gather(items, dataBytes,
           source.periodicIdOfItsOwn() ? uds::kFirstDynamicIdentifier
                                       : uds::kFirstSharedPeriodicIdentifier);
    for (VistrelItem* item : tooLong_) {
        item->takeError(
            Error(reading_error::kTooLongForPeriodic,
                  "too long for a periodic identifier: " + std::to_string(item->length()) +
                      " bytes, at most " + std::to_string(dataBytes),
                  "ReadDataByPeriodicIdentifier"));
    }
    sending_.clear();
    try {
        // An ECU refuses a definition whole when one of its items is locked
        // or unmapped: the items of a refused identifier are offered again
        // one by one, so that the one refused does not cost the others.
        std::vector<VistrelItem*> alone;
        for (std::size_t i = 0; i < identifiers_.size(); ++i) {
            if (tally.aborted()) {
                return false;
            }
            const Identifier& identifier = identifiers_[i];
            if (defines(identifier, protocol, settings, snapShot)) {
                sending_.push_back(identifier.id);
            } else if (identifier.items.size() > 1) {
                alone.insert(alone.end(), identifier.items.begin(), identifier.items.end());
            }
            if (i + 1 == identifiers_.size()) {
                for (VistrelItem* item : std::exchange(alone, {})) {
                    const std::uint16_t id = identifiers_.back().id + 1;
                    if (id <= uds::kLastDynamicIdentifier) {
                        identifiers_.push_back(
                            {{id, {item}, static_cast<std::size_t>(item->length())}});
                    } else {
                        byAddress_.push_back(item);
                    }
                }
            }
        }
        std::erase_if(identifiers_, [this](const Identifier& each) {
            return std::find(sending_.begin(), sending_.end(), each.id) == sending_.end();
        });
        byLowByte_.fill(-1);
        for (std::size_t i = 0; i < identifiers_.size(); ++i) {
            byLowByte_[identifiers_[i].id & 0xFF] = static_cast<std::int16_t>(i);
        }
        if (!sending_.empty()) {
            ByteString request;
            ByteString reply;
            buildPeriodicRequest(request, source.periodicRate(), sending_);
            SnapshotRecord record(snapShot);
            record.setHex("PeriodicSend", request);
            exchange(protocol, request, reply);
            record.setHex("PeriodicReceive", reply);
            if (reply.empty() ||
                reply.byte(0) != uds::kReadDataByPeriodicIdentifier + uds::kPositiveReplyOffset) {
                throw replyCheckError(ReplyVerdict::WrongService, reply.text(),
                                      "ReadDataByPeriodicIdentifier");
            }
        }
    } catch (const Error& failure) {
        tally.failEach(items, failure);
        // The next read defines and asks again.
        identifiers_.clear();
        started_ = false;
        return false;
    }
    started_ = true;
    startedAt_ = settings.clock ? settings.clock() : Clock::now();
    startedAtWall_ = std::chrono::system_clock::now();
    ratePeriod_ = guessedPeriod(source.periodicRate());
    for (Identifier& each : identifiers_) {
        each.lastFrame = startedAt_;
        each.lastFrameWall = startedAtWall_;
    }
    return true;
}

bool PeriodicReader::defines(const Identifier& identifier, Protocol& protocol,
                             const ReadSettings& settings, pugi::xml_node snapShot) {
    SnapshotRecord record(snapShot);
    record.set("name", identifier.items.front()->name());
    clearIdentifier(protocol, identifier.id, record);
    try {
        defineIdentifier(protocol, identifier.id, identifier.items, settings.lengthSize, record);
        return true;
    } catch (const Error& failure) {
        if (!isRefusal(failure)) {
            throw;
        }
        for (VistrelItem* item : identifier.items) {
            item->takeError(failure);
        }
        return false;
    }
}

void PeriodicReader::gather(const ItemPointers& items, std::size_t dataBytes,
                            std::uint16_t firstIdentifier) {
    identifiers_.clear();
    byAddress_.clear();
    tooLong_.clear();
    std::uint16_t next = firstIdentifier;
    for (const auto& each : items) {
        const auto size = static_cast<std::size_t>(each->length());
        if (size > dataBytes) {
            tooLong_.push_back(each.get());
            continue;
        }
        if (!identifiers_.empty() && identifiers_.back().bytes + size <= dataBytes) {
            identifiers_.back().items.push_back(each.get());
            identifiers_.back().bytes += size;
            continue;
        }
        if (next > uds::kLastDynamicIdentifier) {
            byAddress_.push_back(each.get());
            continue;
        }
        identifiers_.push_back({{next, {each.get()}, size}});
        ++next;
    }
}

void PeriodicReader::takeFrame(const ByteString& frame, Clock::time_point now) {
    if (frame.empty()) {
        return;
    }
    const std::int16_t which = byLowByte_[frame.byte(0)];
    if (which < 0 || static_cast<std::size_t>(which) >= identifiers_.size()) {
        return;
    }
    Identifier& identifier = identifiers_[static_cast<std::size_t>(which)];
    // A frame may be padded up to eight bytes, never shorter than its data.
    if (frame.length() < 1 + identifier.bytes) {
        return;
    }
    takeValues(identifier.items, frame.bytes().subspan(1));
    if (identifier.lastFrame > startedAt_) {
        // Smoothed, so that one late frame does not halve the patience.
        const auto seen = now - identifier.lastFrame;
        identifier.period = identifier.period == Clock::duration::zero()
                                ? seen
                                : (3 * identifier.period + seen) / 4;
    }
    identifier.lastFrame = now;
    identifier.lastFrameWall = std::chrono::system_clock::now();
    identifier.cameSinceRead = true;
}

PeriodicReader::Clock::duration PeriodicReader::patience(const Identifier& identifier) const {
    if (identifier.lastFrame == startedAt_) {
        return std::max<Clock::duration>(kFirstFramePatience, kPeriodsOfPatience * ratePeriod_);
    }
    const Clock::duration period =
        identifier.period > Clock::duration::zero()
            ? std::max<Clock::duration>(identifier.period, kShortestPeriod)
            : ratePeriod_;
    return kPeriodsOfPatience * period;
}

} // namespace vistrel
