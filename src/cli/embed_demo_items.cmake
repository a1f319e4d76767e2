# cmake -DINPUT=<file> -DOUTPUT=<source> -P embed_demo_items.cmake
# Writes a C++ source whose demoItemsText() returns the bytes of INPUT, so the
# binary carries the example file itself and never a hand-kept copy of it.
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}"
"// Generated from ${INPUT} at build time.
#include \"cli/demo_items.h\"

namespace vistrel::cli {
namespace {
// The file's bytes and a final 0, so that an empty file still gives an array.
constexpr unsigned char kBytes[] = {${bytes}0x00};
} // namespace

std::string_view demoItemsText() {
    return {reinterpret_cast<const char*>(kBytes), sizeof kBytes - 1};
}

} // namespace vistrel::cli
")
