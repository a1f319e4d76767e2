// SPDX-License-Identifier: MIT
#include "reading/merged_reader.h"

#include "components/error.h"
#include "components/protocol.h"
#include "dialect/read_memory_request.h"
#include "item/reply_check.h"
#include "item/snapshot_record.h"
#include "item/vistrel_item.h"
#include "reading/read_tally.h"

#include <algorithm>

namespace vistrel {
namespace {

// Addresses of up to four bytes are merged: their arithmetic fits in 64 bits
// with room to spare. Longer ones are read on their own.
constexpr std::size_t kMaxMergedAddressSize = 4;

struct Member {
    std::uint64_t address;
    VistrelItem* item;
};

// Items that share one read: the first member has the lowest address.
struct Group {
    std::vector<Member> members;
    std::uint64_t end = 0;

    std::uint64_t start() const { return members.front().address; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(end - start()); }
};

std::uint64_t addressValue(const ByteString& address) {
    std::uint64_t value = 0;
    for (const std::uint8_t byte : address.bytes()) {
        value = value << 8 | byte;
    }
    return value;
}

std::vector<Group> groupsOf(const std::vector<std::shared_ptr<VistrelItem>>& items,
                            std::uint32_t window) {
    // Only addresses of the same width are neighbours: 0123 and 000123 may
    // name different memories.
    std::vector<std::pair<std::size_t, Member>> placed;
    for (const auto& each : items) {
        const ByteString& address = each->addressByte();
        const std::size_t width = address.length() <= kMaxMergedAddressSize ? address.length() : 0;
        placed.push_back({width, {width == 0 ? 0 : addressValue(address), each.get()}});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.address < b.second.address;
    });

    std::vector<Group> groups;
    std::size_t groupWidth = 0;
    for (const auto& [width, member] : placed) {
        const std::uint64_t end =
            member.address + static_cast<std::uint64_t>(member.item->length());
        const bool joins = !groups.empty() && width != 0 && width == groupWidth &&
                           std::max(groups.back().end, end) <= groups.back().start() + window;
        if (joins) {
            groups.back().members.push_back(member);
            groups.back().end = std::max(groups.back().end, end);
        } else {
            groups.push_back({{member}, end});
            groupWidth = width;
        }
    }
    return groups;
}

// One read for the whole group; false when it failed, the failure being in
// the snapshot record.
bool readGroup(const Group& group, Protocol& protocol, std::int32_t lengthSize,
               pugi::xml_node snapShot) {
    const ByteString& address = group.members.front().item->addressByte();
    ByteString request;
    ByteString reply;
    buildReadMemoryRequest(request, address, group.size(), lengthSize, protocol.family());
    SnapshotRecord record(snapShot);
    record.setHex("addr", address);
    record.setHex("send", request);
    try {
        protocol.SendReceive(request, reply);
    } catch (const Error& error) {
        record.set("error", error.description());
        return false;
    }
    if (const ReplyVerdict verdict = checkReadMemoryReply(reply.bytes(), group.size());
        verdict != ReplyVerdict::Good) {
        record.set("error", replyCheckError(verdict, reply.text()).description());
        return false;
    }
    record.setHex("receive", reply);
    for (const Member& member : group.members) {
        member.item->takeValue(reply.bytes().subspan(1 + (member.address - group.start())));
    }
    return true;
}

} // namespace

ListReadEnd MergedReader::read(const ItemPointers& items, Protocol& protocol,
                               const ReadSettings& settings, pugi::xml_node snapShot,
                               ReadTally& tally) {
    const std::int32_t lengthSize = settings.lengthSize;
    // A group's reply carries the service byte and the group's bytes.
    const auto reach = static_cast<std::uint32_t>(
        std::min<std::size_t>(settings.mergeWindow, replyLengthLimit(protocol) - 1));
    for (const Group& group : groupsOf(items, reach)) {
        if (tally.aborted()) {
            return ListReadEnd::Aborted;
        }
        if (group.members.size() > 1 && readGroup(group, protocol, lengthSize, snapShot)) {
            continue;
        }
        for (const Member& member : group.members) {
            if (tally.aborted()) {
                return ListReadEnd::Aborted;
            }
            tally.readByAddress(*member.item, protocol, lengthSize, snapShot);
        }
    }
    return ListReadEnd::ItemsCounted;
}

} // namespace vistrel
