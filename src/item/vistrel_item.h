// SPDX-License-Identifier: MIT
#pragma once

#include "components/byte_string.h"
#include "components/number_format.h"
#include "item/item_coding.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <span>
#include <string>
#include <string_view>

namespace vistrel {

class Error;
class Protocol;
class SnapshotRecord;
class VistrelItems;

// One watched location of the ECU's memory: where it lies, how its bytes form
// a number and how that number is shown, plus the outcome of its last read
// (the value bytes, or an error code and text).
class VistrelItem {
public:
    // The number format shows physical values and coefficients; without one
    // the invariant format (full stop) is used.
    explicit VistrelItem(std::shared_ptr<const NumberFormat> numberFormat = nullptr);

    // --- definition -------------------------------------------------------
    // Mask bytes as hexadecimal text, "" while the item has none.
    std::string mask() const;
    // "" or a text that is not hexadecimal leaves the mask as it is.
    void setMask(std::string_view text);

    std::string address() const { return address_.text(); }
    // Throws Error for a text that is not hexadecimal.
    void setAddress(std::string_view text);
    const ByteString& addressByte() const noexcept { return address_; }

    std::int32_t length() const noexcept { return length_; }
    // 1 to 8; creates the default mask (every bit kept) when there is none.
    // Outside that range: length 1, mask "FF" when there was none, then
    // throws Error 1 "VistrelItem error : incorrect length (1 -> 8)".
    void setLength(std::int32_t n);

    Coding coding() const noexcept { return coding_; }
    void setCoding(Coding coding) noexcept { coding_ = coding; }
    std::string codingText() const;
    // "LE+", "LE", "BE+", "BE", "BEF", "LEF" (exact); anything else selects
    // "LE+".
    void setCodingText(std::string_view text);

    Format format() const noexcept { return format_; }
    std::string formatText() const;
    // "D", "H", "B", "P" (exact); anything else selects "D".
    void setFormatText(std::string_view text);

    const std::string& name() const noexcept { return name_; }
    const std::string& unit() const noexcept { return unit_; }
    void setUnit(std::string unit) { unit_ = std::move(unit); }

    double coefA() const noexcept { return coefA_; }
    void setCoefA(double a) noexcept { coefA_ = a; }
    double coefB() const noexcept { return coefB_; }
    void setCoefB(double b) noexcept { coefB_ = b; }
    double coefC() const noexcept { return coefC_; }
    // 0 or not a number stores 1, so the physical value never divides by 0.
    void setCoefC(double c) noexcept;

    std::int32_t value() const noexcept;
    void setValue(std::int32_t v) noexcept { storedValue_ = v; }

    // --- outcome of the last read ----------------------------------------
    const ByteString& valueByte() const noexcept { return value_; }
    std::int32_t errorCode() const noexcept { return errorCode_; }
    const std::string& errorText() const noexcept { return errorText_; }

    // The value as displayed, or the error text of the last read, or
    // "Not supported" before the first read.
    std::string text() const;
    // "Decimal", "Hexadecimal", "Binaire", or the physical formula.
    std::string formatLabel() const;

    // --- reads ------------------------------------------------------------
    // One ReadMemoryByAddress exchange. Known refusals stay in the item;
    // any other failure is also thrown to the caller. snapShot, when not
    // null, receives a "data" record of the exchange.
    void ReadMemory(Protocol& protocol, std::int32_t lengthSize, pugi::xml_node snapShot = {});
    // Defines identifier 0xE0 as this item's memory and reads it back. Failed
    // exchanges stay in the item; only a too-short reply is thrown.
    void ReadDynamicallyDefined(Protocol& protocol, pugi::xml_node snapShot = {});

    // --- reads that the list makes for several items at once ---------------
    // Defines the given position of a dynamically defined identifier as this
    // item's memory: the first exchange of ReadDynamicallyDefined, for any
    // identifier and position. A failed exchange stays in the item (and in
    // the snapshot record) and is thrown.
    void definePosition(Protocol& protocol, std::uint8_t identifier, std::uint8_t position,
                        pugi::xml_node snapShot = {});
    // The outcome of an exchange made on the item's behalf: its value is the
    // first length() of bytes (raw, before mask and coding), which the caller
    // has checked are there; or the failure, shown as the item's error.
    void takeValue(std::span<const std::uint8_t> bytes);
    void takeError(const Error& error);

    // --- CAN-XML batch ----------------------------------------------------
    // Appends this item's request frame (and reply slot) to the batch
    // element. False when the item cannot take part in a batch.
    bool CanXmlAddReadMemory(pugi::xml_node exchangeElement, std::int32_t lengthSize);
    // Judges one ReadMemoryByAddress reply given as hexadecimal text. Always
    // false; the outcome is in the item. Throws Error for a text that is not
    // hexadecimal or too short to judge, leaving the item unchanged.
    bool CanXmlDecode(std::string_view replyString);
    // The "c" attribute under which a batch reply for this item is found:
    // address text followed by the length in decimal.
    std::string canXmlReplyKey() const;

private:
    friend class VistrelItems;
    void setName(std::string name) { name_ = std::move(name); }

    void setError(std::int32_t code, std::string text);
    // A read's error stays in the item and, under field, in its snapshot
    // record.
    void keepError(const Error& error, SnapshotRecord& record, const char* field);
    // The define exchange, recorded as name, addr, DefSend, then DefReceive
    // or DefError; a failure is kept and thrown.
    void sendDefinition(Protocol& protocol, std::uint8_t identifier, std::uint8_t position,
                        SnapshotRecord& record);
    void clearOutcome();
    const NumberFormat& numberFormat() const;
    // The decimal or physical text of the float in bytes.
    std::string floatText(std::span<const std::uint8_t> bytes) const;
    // The value bytes become the length_ bytes of reply_ from position from
    // (0-based) on; the caller has checked that the reply holds them.
    void takeValueFromReply(std::size_t from);

    std::shared_ptr<const NumberFormat> numberFormat_;
    std::int32_t errorCode_ = 0;
    std::string errorText_;
    double storedValue_ = 0.0;
    std::string name_;
    std::string unit_;
    double coefA_ = 1.0;
    double coefB_ = 0.0;
    double coefC_ = 1.0;
    ByteString value_;
    ByteString address_;
    std::int32_t length_ = 0;
    std::optional<ByteString> mask_;
    Coding coding_ = Coding::LittleEndianSigned;
    Format format_ = Format::Decimal;
    ByteString request_;
    ByteString reply_;
};

} // namespace vistrel
