// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "components/error_numbers.h"
#include "itemlist/user_whole_number.h"
#include "itemlist/vistrel_items.h"

#include <array>

namespace vistrel {
namespace {

// Field positions of an item line.
enum Field : std::size_t {
    kAddress,
    kLength,
    kCoding,
    kName,
    kUnit,
    kCoefA,
    kCoefB,
    kCoefC,
    kFormat,
    kSelected,
    kMask,
    kFieldsRead // fields after the mask are never looked at
};

// Field 1 of a method line holds the method's label.
constexpr std::size_t kMethodLabel = 1;

// The TAB-separated fields of a line: the first kFieldsRead of them, and the
// index of the last one (N). Nothing is trimmed; empty fields count.
struct Fields {
    std::array<std::string_view, kFieldsRead> field{};
    std::size_t last = 0;

    explicit Fields(std::string_view line) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            if (last < kFieldsRead) {
                field[last] = line.substr(start, tab - start);
            }
            if (tab == std::string_view::npos) {
                break;
            }
            start = tab + 1;
            ++last;
        }
    }
    std::string_view operator[](Field f) const { return field[f]; }
};

bool namesAMethod(const Fields& fields) {
    return (fields[kAddress] == "Methode" || fields[kAddress] == "Method") && fields.last >= 2;
}

} // namespace

bool VistrelItems::isMethodLine(std::string_view line) {
    return namesAMethod(Fields(line));
}

VistrelItems::ItemPtr VistrelItems::addLine(std::string_view line) {
    if (line.empty()) {
        return nullptr;
    }
    const Fields fields(line);
    if (namesAMethod(fields)) {
        setMethode(fields.field[kMethodLabel]);
        return nullptr;
    }
    if (fields.last < kSelected) {
        return nullptr;
    }
    ByteString address;
    try {
        address = ByteString::fromText(fields[kAddress]);
    } catch (const Error&) {
        throw Error(kSyntaxAddressError, "VistrelItems.addLine : Syntax Address Error",
                    "VistrelItems.addLine");
    }
    if (address.empty() || fields[kSelected] != "1") {
        return nullptr;
    }

    // Each setter runs on its own: a field that is not a number leaves the
    // default in place, and a length out of range keeps the item's fallback.
    ItemPtr created = newItem();
    created->setName(std::string(fields[kName]));
    created->setUnit(std::string(fields[kUnit]));
    created->setAddress(fields[kAddress]);
    if (const auto length = parseUserWholeNumber(fields[kLength], numberFormat())) {
        try {
            created->setLength(*length);
        } catch (const Error&) {
            // The item keeps length 1, as the setter leaves it.
        }
    }
    if (const auto a = parseUserNumber(fields[kCoefA], numberFormat())) {
        created->setCoefA(*a);
    }
    if (const auto b = parseUserNumber(fields[kCoefB], numberFormat())) {
        created->setCoefB(*b);
    }
    if (const auto c = parseUserNumber(fields[kCoefC], numberFormat())) {
        created->setCoefC(*c);
    }
    created->setCodingText(fields[kCoding]);
    created->setFormatText(fields[kFormat]);

    appendWithKey(created, fields[kName]);
    if (fields.last == kMask) {
        created->setMask(fields[kMask]);
    }
    return created;
}

} // namespace vistrel
