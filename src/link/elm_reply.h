// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel {

// What an ELM327-family adapter printed besides (or instead of) reply data.
enum class ElmMessage {
    None,
    NoData,          // "NO DATA": the ECU did not answer within the adapter's timeout
    Unknown,         // "?": the adapter did not understand or cannot carry the request
    BusInitError,    // "BUS INIT: ...ERROR", with or without the dots
    UnableToConnect, // "UNABLE TO CONNECT"
    BufferFull,      // "BUFFER FULL"
    CanError,        // "CAN ERROR"
    BusBusy,         // "BUS BUSY"
    Stopped,         // "STOPPED"
    RxError,         // "<RX ERROR"
    DataError,       // "<DATA ERROR", "DATA ERROR": a reply with a wrong checksum or length
    OtherError,      // any other adapter text (BUS ERROR, DATA ERROR, FB ERROR, ERRnn...)
    Restarted,       // the reset banner: the adapter rebooted under us
    Garbled,         // hexadecimal that does not form a reply (checksum, length, sequence)
};

// How the adapter prints the replies it receives.
struct ElmLineFormat {
    // K-line with headers on: format byte, target, source, [length,] data,
    // checksum per line. Otherwise lines carry the data alone, and CAN
    // multi-frame replies come as a length line and numbered lines.
    bool klineHeaders = false;
    // With klineHeaders: the addresses a reply to us carries; lines between
    // other stations are skipped.
    std::uint8_t tester = 0xF1;
    std::uint8_t ecu = 0x10;
};

struct ElmReply {
    // The data of every message for us, service byte first, in arrival order.
    std::vector<ByteString> messages;
    // The first adapter message met; a reboot banner wins over any other.
    ElmMessage message = ElmMessage::None;
    // The adapter's own words for message (printable, cut to a sensible length).
    std::string words;
};

// Reads what the adapter printed for one request up to (not including) its
// '>' prompt. Lines end in CR, LF or both; bytes may be separated by spaces or
// not; letters may be of either case. Never throws: anything unreadable
// becomes Garbled or OtherError.
ElmReply parseElmReply(std::string_view text, const ElmLineFormat& format);

// True when the line is the adapter's identity banner ("ELM327 v1.5"), in
// either letter case.
bool isElmBanner(std::string_view line) noexcept;

// What the adapter printed, with NUL bytes (which clones send at random) and
// every other byte that is neither printable nor CR or LF left out, as the
// adapter itself does with what it receives.
std::string printedText(std::string_view bytes);

} // namespace vistrel
