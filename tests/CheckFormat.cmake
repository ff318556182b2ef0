# Fails when a source file is not as clang-format, with the tree's
# .clang-format, would write it: the style stays the one the code has.
#
# Run as: cmake -DROOT=<source tree> -DCLANG_FORMAT=<program> -P CheckFormat.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT OR NOT CLANG_FORMAT)
  message(FATAL_ERROR "CheckFormat.cmake needs -DROOT=<source tree> and -DCLANG_FORMAT=<program>")
endif()
set(files "")
foreach(folder src hosts apps tests bench fuzz)
  file(GLOB_RECURSE found ${ROOT}/${folder}/*.h ${ROOT}/${folder}/*.cpp)
  list(APPEND files ${found})
endforeach()
execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${files}
  RESULT_VARIABLE result ERROR_VARIABLE drift WORKING_DIRECTORY ${ROOT})
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Files that clang-format would change (run clang-format -i on them):\n${drift}")
endif()
