#pragma once

#include "components/number_format.h"
#include "item/vistrel_item.h"
#include "itemlist/message_port.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace vistrel::testing {

// French regional settings: decimal comma, blank as digit grouping.
inline const NumberFormat kFrench{",", " "};
inline const NumberFormat kEnglish{".", ","};

class RecordingMessagePort : public MessagePort {
public:
    struct Shown {
        std::string text;
        std::string title;
    };
    std::vector<Shown> shown;
    void showMessage(const std::string& text, const std::string& title) override {
        shown.push_back({text, title});
    }
};

// A fresh directory for the files of one test, removed with everything in it.
class ScratchDirectory {
public:
    ScratchDirectory() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("itemlist_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

private:
    std::filesystem::path path_;
};

inline void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every field of an item's definition in one line, so that a table can give
// the expected item as one text.
inline std::string definitionOf(const VistrelItem& item) {
    std::ostringstream out;
    out << item.address() << " len=" << item.length() << " mask=" << item.mask() << ' '
        << item.codingText() << ' ' << item.formatText() << " name=" << item.name()
        << " unit=" << item.unit() << " A=" << item.coefA() << " B=" << item.coefB()
        << " C=" << item.coefC();
    return out.str();
}

} // namespace vistrel::testing
