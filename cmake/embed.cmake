# cmake -DINPUT=FILE -DOUTPUT=FILE.cpp -DNAME=kName -P embed.cmake
#
# Writes OUTPUT, a C++ source defining `extern const char* const NAME` as
# the text of INPUT, so that a program carries a document of the sources
# (and serves it) wherever it is installed.
file(READ "${INPUT}" text)
string(FIND "${text}" ")kinroll-text\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the raw string's closing mark")
endif()
file(WRITE "${OUTPUT}.new"
     "// Made from ${INPUT} by cmake/embed.cmake; not to be edited.\n"
     "extern const char* const ${NAME};\n"
     "const char* const ${NAME} = R\"kinroll-text(${text})kinroll-text\";\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
