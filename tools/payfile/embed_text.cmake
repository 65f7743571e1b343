# Writes a C++ source that holds a text file as a string: cmake -DINPUT=file -DOUTPUT=x.cpp
# -DFUNCTION=Name -P embed_text.cmake. The function returns the file's bytes unchanged.
file(READ "${INPUT}" content)
string(FIND "${content}" ")embedded\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the raw string delimiter")
endif()
file(WRITE "${OUTPUT}.new"
  "// Generated from ${INPUT} at build time; do not edit.\n"
  "#include <string_view>\n\n"
  "namespace ordexa::payfile {\n\n"
  "std::string_view ${FUNCTION}() {\n"
  "  static constexpr std::string_view kText = R\"embedded(${content})embedded\";\n"
  "  return kText;\n"
  "}\n\n"
  "}  // namespace ordexa::payfile\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
