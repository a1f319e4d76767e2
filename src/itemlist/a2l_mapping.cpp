// SPDX-License-Identifier: MIT
#include "itemlist/a2l_mapping.h"

#include "itemlist/case_insensitive_key.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <unordered_set>

namespace vistrel {
namespace {

std::string hexDigits(unsigned long long value, int bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(bytes) * 2, '0');
    for (auto i = text.size(); i-- > 0; value >>= 4) {
        text[i] = kDigits[value & 0xF];
    }
    return text;
}

// The bytes a number needs, at least minimum.
int bytesFor(unsigned long long value, int minimum) {
    int bytes = minimum;
    while (bytes < 8 && (value >> (8 * bytes)) != 0) {
        ++bytes;
    }
    return bytes;
}

// An item line carries no tab or line break inside a field.
std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

std::optional<bool> isBigEndian(const std::string& byteOrder) {
    if (byteOrder == "MSB_FIRST" || byteOrder == "BIG_ENDIAN") {
        return true;
    }
    if (byteOrder == "MSB_LAST" || byteOrder == "LITTLE_ENDIAN") {
        return false;
    }
    return std::nullopt;
}

std::string codingOf(const A2lDatatype& type, bool bigEndian) {
    std::string coding = bigEndian ? "BE" : "LE";
    if (type.isFloat) {
        coding += 'F';
    } else if (type.isSigned) {
        coding += '+';
    }
    return coding;
}

// Applies the measurement's COMPU_METHOD to the item: the coefficients and
// format of what it can show, or a note naming what it cannot.
void applyConversion(const A2lMeasurement& m, const A2lDescription& description,
                     ItemLineFields& item, std::string& note) {
    if (m.conversion == "NO_COMPU_METHOD") {
        return;
    }
    const auto found = description.compuMethods.find(m.conversion);
    if (found == description.compuMethods.end()) {
        note = "its conversion " + m.conversion +
               " is no COMPU_METHOD of the file; imported as the raw value (D)";
        return;
    }
    const A2lCompuMethod& method = found->second;
    item.unit = method.unit;
    const std::string& type = method.conversionType;
    if (type == "IDENTICAL") {
        return;
    }
    if (type == "LINEAR" && method.coeffsLinear.size() == 2) {
        item.coefA = method.coeffsLinear[0];
        item.coefB = method.coeffsLinear[1];
        item.format = "P";
        return;
    }
    if (type == "RAT_FUNC" && method.coeffs.size() == 6) {
        // internal = (a p^2 + b p + c) / (d p^2 + e p + f); with a = d = e = 0
        // that is internal = (b p + c) / f, so p = (f x - c) / b.
        const auto& k = method.coeffs;
        if (k[0] == 0 && k[3] == 0 && k[4] == 0 && k[1] != 0 && k[5] != 0) {
            item.coefA = k[5];
            item.coefB = 0.0 - k[2]; // no negative zero in the files
            item.coefC = k[1];
            item.format = "P";
            return;
        }
    }
    note = "its conversion " + m.conversion + " (" + type +
           ") cannot be shown as (A*v+B)/C; imported as the raw value (D)";
}

} // namespace

std::optional<long long> parseAddressOffset(std::string_view text) {
    if (text.empty()) {
        return 0;
    }
    const bool negative = text.front() == '-';
    std::string_view digits = text.substr(negative ? 1 : 0);
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        digits.remove_prefix(2);
    }
    unsigned long long value = 0;
    const auto [end, failed] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.empty() || failed != std::errc{} || end != digits.data() + digits.size() ||
        value > 0xFFFFFFFFULL) {
        return std::nullopt;
    }
    return negative ? -static_cast<long long>(value) : static_cast<long long>(value);
}

std::optional<A2lDatatype> a2lDatatype(const std::string& name) {
    static const std::pair<const char*, A2lDatatype> kTypes[] = {
        {"UBYTE", {1, false, false}},       {"SBYTE", {1, true, false}},
        {"UWORD", {2, false, false}},       {"SWORD", {2, true, false}},
        {"ULONG", {4, false, false}},       {"SLONG", {4, true, false}},
        {"A_UINT64", {8, false, false}},    {"A_INT64", {8, true, false}},
        {"FLOAT32_IEEE", {4, false, true}}, {"FLOAT64_IEEE", {8, false, true}},
    };
    for (const auto& [typeName, type] : kTypes) {
        if (name == typeName) {
            return type;
        }
    }
    return std::nullopt;
}

A2lMapping mapMeasurement(const A2lMeasurement& m, const A2lDescription& description,
                          const A2lAddressing& addressing) {
    A2lMapping mapping;
    const auto type = a2lDatatype(m.datatype);
    if (!type) {
        mapping.reason = "unknown datatype " + m.datatype;
        return mapping;
    }
    if (m.isVirtual) {
        mapping.reason = "VIRTUAL: it has no memory to read";
        return mapping;
    }
    if (m.elementCount != 1) {
        mapping.reason =
            "an array of " + std::to_string(m.elementCount) + " values; an item holds one";
        return mapping;
    }
    if (!m.ecuAddress) {
        mapping.reason = "no ECU_ADDRESS";
        return mapping;
    }
    const std::string& byteOrder = !m.byteOrder.empty() ? m.byteOrder
                                   : !description.moduleByteOrder.empty()
                                       ? description.moduleByteOrder
                                       : "MSB_FIRST";
    const auto bigEndian = isBigEndian(byteOrder);
    if (!bigEndian) {
        mapping.reason = "unknown BYTE_ORDER " + byteOrder;
        return mapping;
    }
    long long address = 0;
    const unsigned long long limit = 1ULL << (8 * addressing.addressBytes);
    if (__builtin_add_overflow(*m.ecuAddress, addressing.offset, &address) || address < 0 ||
        static_cast<unsigned long long>(address) >= limit) {
        const auto ecuAddress = static_cast<unsigned long long>(*m.ecuAddress);
        mapping.reason = "ECU_ADDRESS 0x" + hexDigits(ecuAddress, bytesFor(ecuAddress, 4)) +
                         (address < 0 ? " plus the offset is negative"
                                      : " plus the offset does not fit in " +
                                            std::to_string(addressing.addressBytes) + " bytes");
        return mapping;
    }

    ItemLineFields item;
    item.address = hexDigits(static_cast<unsigned long long>(address), addressing.addressBytes);
    item.length = type->length;
    item.coding = codingOf(*type, *bigEndian);
    item.name = oneLine(m.name);
    item.format = "D";
    applyConversion(m, description, item, mapping.note);
    if (m.physUnit) {
        item.unit = *m.physUnit;
    }
    item.unit = oneLine(item.unit);

    if (m.bitMask) {
        const auto mask = static_cast<unsigned long long>(*m.bitMask);
        if (*m.bitMask <= 0 || (type->length < 8 && mask >> (8 * type->length) != 0)) {
            mapping.reason = "BIT_MASK 0x" + hexDigits(mask, bytesFor(mask, type->length)) +
                             " does not fit the datatype " + m.datatype;
            return mapping;
        }
        if (type->isFloat) {
            mapping.note += std::string(mapping.note.empty() ? "" : "; ") +
                            "BIT_MASK applies to H and B only: a float keeps all its bits";
        }
        item.mask = hexDigits(mask, type->length);
        // The item shows the masked field where it lies; the description
        // means it shifted down to bit 0. The shift goes into B and C.
        const int shift = std::countr_zero(mask);
        if (shift > 0 && !type->isFloat) {
            const double scale = std::ldexp(1.0, shift);
            item.coefB *= scale;
            item.coefC *= scale;
            item.format = "P";
        }
    }
    mapping.item = std::move(item);
    return mapping;
}

A2lImport importMeasurements(const A2lDescription& description, const A2lAddressing& addressing,
                             const std::function<bool(const A2lMeasurement&)>& chosen) {
    A2lImport import;
    import.measurementCount = description.measurements.size();
    std::unordered_set<std::string> names;
    for (const A2lMeasurement& m : description.measurements) {
        if (!chosen(m)) {
            continue;
        }
        A2lMapping mapping = mapMeasurement(m, description, addressing);
        if (!mapping.item) {
            import.leftOut.push_back({m.name, mapping.reason});
            continue;
        }
        if (!names.insert(foldKey(mapping.item->name)).second) {
            import.leftOut.push_back(
                {m.name, "the name is already taken by an earlier measurement (letter case "
                         "ignored)"});
            continue;
        }
        if (!mapping.note.empty()) {
            import.notes.push_back({m.name, mapping.note});
        }
        import.items.push_back(std::move(*mapping.item));
    }
    return import;
}

std::string importSummary(const A2lImport& import) {
    std::string text = "imported " + std::to_string(import.items.size()) + " of " +
                       std::to_string(import.measurementCount) + " measurements\n";
    for (const auto* remarks : {&import.leftOut, &import.notes}) {
        for (const A2lRemark& remark : *remarks) {
            text += remark.name + ": " + remark.text + "\n";
        }
    }
    return text;
}

} // namespace vistrel
