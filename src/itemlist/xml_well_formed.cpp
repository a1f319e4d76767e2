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

// Keeps libxml2's generic error channel quiet for one check, and restores
// whatever handler was set before.
class QuietGenericErrors {
public:
    QuietGenericErrors() : handler_(xmlGenericError), context_(xmlGenericErrorContext) {
        xmlSetGenericErrorFunc(nullptr, ignore);
    }
    ~QuietGenericErrors() { xmlSetGenericErrorFunc(context_, handler_); }
    QuietGenericErrors(const QuietGenericErrors&) = delete;
    QuietGenericErrors& operator=(const QuietGenericErrors&) = delete;

private:
    static void ignore(void*, const char*, ...) {}
    xmlGenericErrorFunc handler_;
    void* context_;
};

} // namespace

static_assert(kNoDocumentFault == XML_ERR_DOCUMENT_EMPTY);

std::optional<XmlFault> checkWellFormed(std::string_view document, bool declaredEncodingCounts) {
    static const bool initialised = (xmlInitParser(), true);
    (void)initialised;

    if (document.empty()) {
        return XmlFault{kNoDocumentFault, 1, "Document is empty"};
    }
    std::optional<XmlFault> fault;
    // Only the error channel: no element, text or entity reaches anyone, and
    // without entity callbacks a declared entity counts as undefined.
    xmlSAXHandler sax{};
    sax.initialized = XML_SAX2_MAGIC;
    sax.serror = keepFirstError;

    const QuietGenericErrors quiet;
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
    // Bytes that the detected encoding cannot decode (a UTF-32 code point
    // beyond Unicode, say) stop the parser with no error of the document's
    // own: libxml2 tells of them only on its generic channel, kept quiet
    // above, and in the chunk's result, so the result is what counts here.
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    int status = 0;
    do {
        const std::size_t piece = std::min(document.size(), kPiece);
        const bool last = piece == document.size();
        status =
            xmlParseChunk(context.get(), document.data(), static_cast<int>(piece), last ? 1 : 0);
        document.remove_prefix(piece);
    } while (!document.empty() && !fault && status == 0);
    if (!fault && status != XML_ERR_OK) {
        fault =
            XmlFault{XML_ERR_INVALID_ENCODING, context->input != nullptr ? context->input->line : 0,
                     "Input conversion failed due to input error"};
    }
    if (!fault && context->wellFormed == 0) {
        fault = XmlFault{XML_ERR_INTERNAL_ERROR, 0, "Not well-formed"};
    }
    return fault;
}

} // namespace vistrel
