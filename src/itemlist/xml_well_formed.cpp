// SPDX-License-Identifier: MIT
#include "itemlist/xml_well_formed.h"

#include <algorithm>
#include <climits>
#include <libxml/parser.h>
#include <libxml/xmlerror.h>
#include <memory>

namespace vistrel {
namespace {

struct ContextRelease {
    void operator()(xmlParserCtxtPtr context) const noexcept { xmlFreeParserCtxt(context); }
};

// The first error is the one worth showing: later ones often follow from it.
void keepFirstError(void* user, xmlErrorPtr error) {
    auto& fault = *static_cast<std::optional<XmlFault>*>(user);
    if (fault || error == nullptr || error->level < XML_ERR_ERROR) {
        return;
    }
    std::string reason = error->message != nullptr ? error->message : "";
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == ' ')) {
        reason.pop_back();
    }
    fault = XmlFault{error->code, error->line, std::move(reason)};
}

} // namespace

std::optional<XmlFault> checkWellFormed(std::string_view document, bool declaredEncodingCounts) {
    static const bool initialised = (xmlInitParser(), true);
    (void)initialised;

    if (document.empty()) {
        return XmlFault{XML_ERR_DOCUMENT_EMPTY, 1, "Document is empty"};
    }
    std::optional<XmlFault> fault;
    // Only the error channel: no element, text or entity reaches anyone, and
    // without entity callbacks a declared entity counts as undefined.
    xmlSAXHandler sax{};
    sax.initialized = XML_SAX2_MAGIC;
    sax.serror = keepFirstError;

    // The first bytes tell the parser the encoding (a byte-order mark).
    const auto head = static_cast<int>(std::min<std::size_t>(document.size(), 4));
    const std::unique_ptr<xmlParserCtxt, ContextRelease> context(
        xmlCreatePushParserCtxt(&sax, &fault, document.data(), head, nullptr));
    if (!context) {
        return XmlFault{XML_ERR_NO_MEMORY, 0, "Out of memory"};
    }
    xmlCtxtUseOptions(context.get(), XML_PARSE_NONET | XML_PARSE_NOWARNING |
                                         (declaredEncodingCounts ? 0 : XML_PARSE_IGNORE_ENC));
    document.remove_prefix(static_cast<std::size_t>(head));
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    do {
        const std::size_t piece = std::min(document.size(), kPiece);
        const bool last = piece == document.size();
        xmlParseChunk(context.get(), document.data(), static_cast<int>(piece), last ? 1 : 0);
        document.remove_prefix(piece);
    } while (!document.empty() && !fault);
    if (!fault && context->wellFormed == 0) {
        fault = XmlFault{XML_ERR_INTERNAL_ERROR, 0, "Not well-formed"};
    }
    return fault;
}

} // namespace vistrel
