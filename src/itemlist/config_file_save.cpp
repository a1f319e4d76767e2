#include "itemlist/config_file_layout.h"
#include "itemlist/file_replace.h"
#include "itemlist/vistrel_items.h"
#include "itemlist/vistrel_items_impl.h"
#include "itemlist/xml_nodes.h"

#include <array>

namespace vistrel {
namespace {

using namespace config_file;

// An element with its text under parent, then a line break: the values sit
// one a line in the file. An empty text gives an empty element.
pugi::xml_node appendElement(pugi::xml_node parent, const char* name, const std::string& text) {
    pugi::xml_node element = parent.append_child(name);
    if (!text.empty()) {
        element.append_child(pugi::node_pcdata).set_value(text.c_str());
    }
    appendLineBreak(parent);
    return element;
}

// The three settings always carry a text node, even an empty one.
void appendSetting(pugi::xml_node root, const char* name, const std::string& text) {
    root.append_child(name).append_child(pugi::node_pcdata).set_value(text.c_str());
    appendLineBreak(root);
}

std::array<std::string, kDataFields> dataTexts(const VistrelItem& item) {
    std::array<std::string, kDataFields> texts;
    texts[kAddress] = item.address();
    texts[kLength] = std::to_string(item.length());
    texts[kType] = item.codingText();
    texts[kName] = item.name();
    texts[kUnit] = item.unit();
    texts[kA] = formatRoundTrip(item.coefA());
    texts[kB] = formatRoundTrip(item.coefB());
    texts[kC] = formatRoundTrip(item.coefC());
    texts[kFormat] = item.formatText();
    texts[kMask] = item.mask();
    return texts;
}

// Collects the saved bytes so that they reach the file in one piece.
class StringWriter : public pugi::xml_writer {
public:
    std::string bytes;
    void write(const void* data, std::size_t size) override {
        bytes.append(static_cast<const char*>(data), size);
    }
};

} // namespace

void VistrelItems::saveConfigXML(const std::string& nom) {
    // Built aside and kept only once complete.
    pugi::xml_document document;
    appendDeclaration(document);

    pugi::xml_node root = document.append_child(kRoot);
    appendLineBreak(root);
    root.append_attribute(kVersion).set_value(kVersionWritten);
    appendSetting(root, kMethod, std::to_string(method_));
    appendSetting(root, kLengthSize, std::to_string(lengthSize_));
    appendSetting(root, kStartSession, startSession_);
    pugi::xml_node datas = root.append_child(kDatas);
    appendLineBreak(datas);

    for (const ItemPtr& each : items_) {
        pugi::xml_node data = appendElement(datas, kData, "");
        appendLineBreak(data);
        const auto texts = dataTexts(*each);
        for (std::size_t field = 0; field < kDataFields; ++field) {
            appendElement(data, kDataNames[field], texts[field]);
        }
    }

    // Raw output: the line-break text nodes are the file's only line breaks,
    // so the file reads back into exactly this tree.
    StringWriter writer;
    document.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    impl_->configDocument = std::move(document);
    replaceFileContents(nom, writer.bytes);
}

} // namespace vistrel
