// SPDX-License-Identifier: MIT
#include "engine/snapshot_file.h"

#include "components/error.h"
#include "components/error_numbers.h"
#include "engine/code_page.h"

#include <fstream>
#include <sstream>

namespace vistrel {

std::unique_ptr<pugi::xml_document> makeSnapshotDocument() {
    auto document = std::make_unique<pugi::xml_document>();
    pugi::xml_node declaration = document->append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "windows-1252";
    document->append_child("snapshot");
    return document;
}

void saveSnapshot(const pugi::xml_document& document, const std::string& path) {
    std::ostringstream utf8;
    document.save(utf8, "\t", pugi::format_default, pugi::encoding_utf8);
    Windows1252Encoder encoder(Windows1252Encoder::Unrepresentable::XmlCharacterReference);
    const std::string bytes = encoder.encode(utf8.str());

    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        throw Error(kFileWriteError, "Snapshot file cannot be written (" + path + ")",
                    "saveSnapshot");
    }
}

} // namespace vistrel
