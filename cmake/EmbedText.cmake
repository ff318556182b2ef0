# Writes a text file of the program's resources as a C++ header: one
# std::string_view named NAME holding the text, each line ending in CR LF
# as the page's own lines do. Whole-line // comments, blank lines and the
# indentation are left out: the page carries the code, not its notes.
#
# Run as: cmake -DINPUT=<file> -DOUTPUT=<header> -DNAME=<identifier> -P EmbedText.cmake
cmake_minimum_required(VERSION 3.25)
# Read whole and worked on as one text: a list of lines would split them at
# every ";".
file(READ ${INPUT} text)
string(REPLACE "\r" "" text "${text}")
string(PREPEND text "\n")
string(REGEX REPLACE "\n[ \t]+" "\n" text "${text}")
string(REGEX REPLACE "\n//[^\n]*" "" text "${text}")
string(REGEX REPLACE "\n\n+" "\n" text "${text}")
string(REGEX REPLACE "^\n" "" text "${text}")
string(REGEX REPLACE "\n$" "" text "${text}")
string(REPLACE "\\" "\\\\" text "${text}")
string(REPLACE "\"" "\\\"" text "${text}")
string(REPLACE "\n" "\\r\\n\"\n    \"" text "${text}")
file(WRITE ${OUTPUT}.new "#pragma once\n// Made by cmake/EmbedText.cmake from ${INPUT}; not to be edited.\n#include <string_view>\n\nconstexpr std::string_view ${NAME} =\n    \"${text}\\r\\n\";\n")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
