// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "sim/address_range.h"
#include "sim/ecu_faults.h"
#include "sim/ecu_responder.h"
#include "sim/uds_settings.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vistrel {

// The UDS ECU's security access (27): seeds, keys by the toy algorithm, the
// count of invalid keys and the delay after too many, and the memory ranges
// that stay locked until their level is unlocked. One level is unlocked at a
// time.
class UdsSecurity {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit UdsSecurity(const UdsSettings& settings);

    // Answers 27 LL (a seed) or 27 LL+1 key at now.
    Answer answer(std::span<const std::uint8_t> request, TimePoint now, const EcuFaults& faults,
                  ByteString& reply);
    // True when no locked range touches the range.
    bool allows(const AddressRange& range) const noexcept;
    // Every level locked again and a pending seed forgotten, as on a session
    // change. The delay after too many invalid keys goes on.
    void lock() noexcept;

private:
    Answer requestSeed(std::uint8_t level, TimePoint now, const EcuFaults& faults,
                       ByteString& reply);
    Answer sendKey(std::uint8_t level, std::span<const std::uint8_t> key, bool suppress,
                   TimePoint now, ByteString& reply);
    bool supports(std::uint8_t seedLevel) const noexcept;
    void nextSeed() noexcept;

    std::vector<SecuredRange> locks_;
    std::uint32_t attempts_;
    std::chrono::milliseconds delay_;
    std::uint8_t unlocked_ = 0;
    // The level whose seed waits for its key, 0 when none does.
    std::uint8_t seedLevel_ = 0;
    std::array<std::uint8_t, 4> seed_{};
    std::uint32_t seedState_ = 0x5EED1234;
    std::uint32_t failures_ = 0;
    std::optional<TimePoint> delayUntil_;
    unsigned seedRequests_ = 0;
};

} // namespace vistrel
