# Writes a C++ source that holds the text of the demo ECU description, so the
# library carries the very file that examples/ ships.
# Usage: cmake -DINPUT=<xml file> -DOUTPUT=<cpp file> -P embed_demo_description.cmake
file(READ "${INPUT}" text)
set(delimiter "vistrel_demo")
string(FIND "${text}" ")${delimiter}\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains the raw string delimiter ${delimiter}")
endif()
file(WRITE "${OUTPUT}.tmp"
"// Generated at build time from examples/demo-ecu.xml; edit that file instead.
#include \"sim/demo_ecu.h\"

namespace vistrel {

std::string_view demoEcuDescription() noexcept {
    static constexpr char kText[] = R\"${delimiter}(${text})${delimiter}\";
    return {kText, sizeof(kText) - 1};
}

} // namespace vistrel
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
