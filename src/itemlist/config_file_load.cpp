// SPDX-License-Identifier: MIT
#include "components/error.h"
#include "components/error_numbers.h"
#include "components/utf8.h"
#include "components/xml_nodes.h"
#include "itemlist/config_file_layout.h"
#include "itemlist/config_file_parse.h"
#include "itemlist/leading_number.h"
#include "itemlist/user_whole_number.h"
#include "itemlist/vistrel_items.h"

#include <array>
#include <charconv>
#include <cstring>

namespace vistrel {
namespace {

using namespace config_file;

// The method whose number is exactly text ("0" to "4"); 0 for any other
// text, which a reader of fewer methods also falls back to.
Method methodNumber(const std::string& text) {
    for (std::int32_t i = 1; !VistrelItems::MethodeLabel(i).empty(); ++i) {
        if (text == std::to_string(i)) {
            return static_cast<Method>(i);
        }
    }
    return Method::ReadMemoryByAddress;
}

// The version of the root element, 0 when the root is missing or unusable.
// It is read in the user's number format, where a comma is either the
// decimal sign or grouping; a format that knows no comma at all (grouping
// with an apostrophe or a narrow space) reads it as the decimal sign, so the
// "1,0" that every saved file carries passes everywhere.
double readVersion(pugi::xml_node root, const NumberFormat& format) {
    const pugi::xml_attribute version = root.attribute(kVersion);
    if (!version) {
        return 0.0;
    }
    static const NumberFormat commaDecimal{",", ""};
    const auto number = parseUserNumber(version.value(), format);
    return number ? *number : parseUserNumber(version.value(), commaDecimal).value_or(0.0);
}

// The first child element of each name in kDataNames, in one pass. The
// names are tried from the one after the last match on, so that a file in
// the written order takes one comparison an element.
std::array<pugi::xml_node, kDataFields> dataElements(pugi::xml_node data) {
    std::array<pugi::xml_node, kDataFields> found;
    std::size_t expected = 0;
    for (pugi::xml_node child = data.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        for (std::size_t tried = 0; tried < kDataFields; ++tried) {
            const std::size_t field = (expected + tried) % kDataFields;
            if (std::strcmp(child.name(), kDataNames[field]) == 0) {
                if (!found[field]) {
                    found[field] = child;
                }
                expected = field + 1;
                break;
            }
        }
    }
    return found;
}

std::string textOr(pugi::xml_node element, const char* absent) {
    return element ? textContent(element) : absent;
}

double numberOr(pugi::xml_node element, double absent) {
    if (!element) {
        return absent;
    }
    const std::string text = textContent(element);
    const auto number = readLeadingNumber(text);
    if (!number) {
        throw Error(kOverflowError,
                    "Overflow: " + std::string(element.name()) + " (" + text +
                        ") is beyond the range of a number",
                    "VistrelItems.loadConfigXML");
    }
    return *number;
}

std::int32_t lengthOf(pugi::xml_node element, const NumberFormat& format) {
    const std::string text = textOr(element, "");
    if (text.empty()) {
        return 0;
    }
    const auto length = parseUserWholeNumber(text, format);
    if (!length) {
        throw Error(kConversionError, "Type mismatch: length (" + text + ") is not a whole number",
                    "VistrelItems.loadConfigXML");
    }
    return *length;
}

} // namespace

void VistrelItems::loadConfigXML(const std::string& path) {
    pugi::xml_document document;
    if (const auto fault = parseConfigFile(document, path)) {
        const std::string parserText = "erreur load " + std::to_string(fault->code) + " " +
                                       std::to_string(fault->line) + " " + fault->reason;
        if (fault->code == kNoDocumentFault) {
            // "Document is empty" misleads for a file full of text: say what
            // it is first, and keep the parser's words for those who look
            // for them.
            throw Error(ErrorKind::File, kNotXmlFile,
                        path + " is not a vistrel configuration file (not XML)\r\n" + parserText,
                        "VistrelItems.loadConfigXML");
        }
        throw Error(kConfigLoadError, parserText, "VistrelItems.loadConfigXML");
    }

    const pugi::xml_node root = document.child(kRoot);
    if (!(readVersion(root, numberFormat()) > 0.0)) {
        throw Error(kBadConfigFile, "Mauvais fichier de configuration / Bad config file\r\n" + path,
                    "VistrelItems.loadConfigXML");
    }
    if (const pugi::xml_node method = root.child(kMethod)) {
        method_ = methodNumber(textContent(method));
    }
    if (const pugi::xml_node size = root.child(kLengthSize)) {
        lengthSize_ = textContent(size) == "2" ? 2 : 1;
    }
    if (const pugi::xml_node session = root.child(kStartSession)) {
        try {
            startSession_ = ByteString::fromText(textContent(session)).text();
        } catch (const Error&) {
            // A session text that is not hexadecimal keeps the current one.
        }
    }
    if (const pugi::xml_node window = root.child(kMergeWindow)) {
        // "auto" leaves it to the link; anything but that or a plain number
        // in range keeps the current window.
        const std::string text = textContent(window);
        std::int32_t bytes = 0;
        if (text == kAutoMergeWindowText) {
            mergeWindow_ = kAutoMergeWindow;
        } else if (std::from_chars(text.data(), text.data() + text.size(), bytes).ptr ==
                       text.data() + text.size() &&
                   !text.empty() && bytes >= 1 && bytes <= 255) {
            mergeWindow_ = bytes;
        }
    }
    if (const pugi::xml_node dataList = root.child(kDatas)) {
        loadDataElements(dataList);
    }
}

void VistrelItems::loadDataElements(pugi::xml_node dataList) {
    // Each "Data" leaves the tree once read: the items take the memory that
    // it held, so a long list does not need room for the tree and the items
    // at once.
    for (pugi::xml_node data = dataList.child(kData), next; data; data = next) {
        next = data.next_sibling(kData);
        const auto element = dataElements(data);
        const std::string address = textOr(element[kAddress], "");
        const std::int32_t length = lengthOf(element[kLength], numberFormat());
        // Counted in characters: an address with a character of several bytes
        // is as odd or even as it looks.
        const std::size_t characters = utf8CharacterCount(address);
        const bool complete = characters >= 2 && characters % 2 == 0;
        if (complete && length >= 1 && length <= 8) {
            // Every number is read before the item exists: one that cannot be
            // read stops the load without a half-made item.
            const double a = numberOr(element[kA], 1.0);
            const double b = numberOr(element[kB], 0.0);
            const double c = numberOr(element[kC], 1.0);
            VistrelItem& loaded = add(address);
            loaded.setMask(textOr(element[kMask], ""));
            loaded.setLength(length);
            loaded.setName(textOr(element[kName], ""));
            loaded.setUnit(textOr(element[kUnit], ""));
            loaded.setCoefA(a);
            loaded.setCoefB(b);
            loaded.setCoefC(c);
            loaded.setCodingText(textOr(element[kType], "BE"));
            loaded.setFormatText(textOr(element[kFormat], "H"));
        }
        dataList.remove_child(data);
    }
}

} // namespace vistrel
