// SPDX-License-Identifier: MIT
#include "components/xml_nodes.h"

namespace vistrel {
namespace {

bool isText(pugi::xml_node node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// An element's own value is the text that a tree parsed with
// parse_embed_pcdata keeps in it: the element's first text, which comes
// before anything inside the element.
class TextCollector : public pugi::xml_tree_walker {
public:
    std::string text;
    bool for_each(pugi::xml_node& node) override {
        if (isText(node) || node.type() == pugi::node_element) {
            text += node.value();
        }
        return true;
    }
};

} // namespace

void appendDeclaration(pugi::xml_document& document) {
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version").set_value("1.0");
    declaration.append_attribute("encoding").set_value("utf-8");
}

void appendLineBreak(pugi::xml_node parent) {
    parent.append_child(pugi::node_pcdata).set_value("\r\n");
}

std::string textContent(pugi::xml_node node) {
    if (isText(node)) {
        return node.value();
    }
    std::string text = node.type() == pugi::node_element ? node.value() : "";
    const pugi::xml_node first = node.first_child();
    if (!first) {
        return text;
    }
    // The usual element holds one text node and nothing else.
    if (text.empty() && !first.next_sibling() && isText(first)) {
        return first.value();
    }
    TextCollector collector;
    collector.text = std::move(text);
    node.traverse(collector);
    return std::move(collector.text);
}

} // namespace vistrel
