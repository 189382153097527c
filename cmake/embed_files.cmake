# Writes OUTPUT, a C++ source that holds the bytes of every file in FILES (a ;-list), looked up by
# file name through EmbeddedPicture().
set(body "")
set(table "")
set(index 0)
foreach(file IN LISTS FILES)
  get_filename_component(name "${file}" NAME)
  file(READ "${file}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND body "const char kFile${index}[] = {${bytes} 0};\n")
  string(APPEND table "    {\"${name}\", std::string_view(kFile${index}, ${size})},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.tmp" "// Generated from the picture files; do not edit.
#include \"util/embedded_pictures.h\"

#include <utility>

namespace kiosk {
namespace {
${body}
const std::pair<std::string_view, std::string_view> kPictures[] = {
${table}    {\"\", {}},
};
}  // namespace

std::string_view EmbeddedPicture(std::string_view fileName) {
    for (const auto& [name, bytes] : kPictures) {
        if (!name.empty() && name == fileName) return bytes;
    }
    return {};
}

}  // namespace kiosk
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
