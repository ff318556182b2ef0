# Fails when an include crosses the layers.
#
# Inside src/ the folders stand in this order, bottom to top; a file may
# include its own folder and the folders below it, never one above it nor
# another folder of its own rank:
#   base, platform, grid, config, items, output, tools and ui, app
# src/ includes no Qt, no curl and no host. The hosts under hosts/ (qt,
# posix, batch) never include each other. Above them, tests/, fuzz/, bench/
# and apps/ may include anything of src/ and hosts/, never each other's
# files. Both forms count: #include "..." and #include <...>.
#
# Run as: cmake -DROOT=<source tree> -P CheckLayering.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT ROOT)
  message(FATAL_ERROR "CheckLayering.cmake needs -DROOT=<source tree>")
endif()

set(rank_base 0)
set(rank_platform 1)
set(rank_grid 2)
set(rank_config 3)
set(rank_items 4)
set(rank_output 5)
set(rank_tools 6)
set(rank_ui 6)
set(rank_app 7)
set(hosts qt posix batch tags)
set(tops tests fuzz bench apps)
set(include_line "^[ \t]*#[ \t]*include[ \t]*[<\"]")

set(problems "")

file(GLOB_RECURSE files RELATIVE ${ROOT}/src ${ROOT}/src/*.h ${ROOT}/src/*.cpp)
foreach(f ${files})
  string(REGEX MATCH "^[^/]+" folder "${f}")
  if(NOT DEFINED rank_${folder})
    list(APPEND problems "src/${f}: src/${folder} has no place in the order of layers")
    continue()
  endif()
  file(STRINGS ${ROOT}/src/${f} includes REGEX "${include_line}")
  foreach(line ${includes})
    if(line MATCHES "include[ \t]*<(Q[A-Za-z]|qt|curl/|taglib/)")
      list(APPEND problems "src/${f}: includes Qt or curl: ${line}")
    elseif(line MATCHES "include[ \t]*([<\"])([^/\">]+)/")
      set(quoted "${CMAKE_MATCH_1}")
      set(target "${CMAKE_MATCH_2}")
      if(target IN_LIST hosts)
        list(APPEND problems "src/${f}: the system includes no host: ${line}")
      elseif(NOT DEFINED rank_${target})
        # <sys/stat.h> and the like; a quoted folder must be one of src/.
        if(quoted STREQUAL "\"")
          list(APPEND problems "src/${f}: includes ${target}/, which is no folder of src/: ${line}")
        endif()
      elseif(NOT target STREQUAL folder AND NOT rank_${target} LESS rank_${folder})
        list(APPEND problems "src/${f}: ${folder}/ may not include ${target}/: ${line}")
      endif()
    endif()
  endforeach()
endforeach()

foreach(host ${hosts})
  file(GLOB_RECURSE files RELATIVE ${ROOT}/hosts/${host} ${ROOT}/hosts/${host}/*.h ${ROOT}/hosts/${host}/*.cpp)
  foreach(f ${files})
    file(STRINGS ${ROOT}/hosts/${host}/${f} includes REGEX "${include_line}")
    foreach(line ${includes})
      if(line MATCHES "include[ \t]*[<\"]([^/\">]+)/")
        set(target "${CMAKE_MATCH_1}")
        if(NOT target STREQUAL host AND target IN_LIST hosts)
          list(APPEND problems "hosts/${host}/${f}: hosts do not include each other: ${line}")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

foreach(top ${tops})
  file(GLOB_RECURSE files RELATIVE ${ROOT}/${top} ${ROOT}/${top}/*.h ${ROOT}/${top}/*.cpp)
  foreach(f ${files})
    file(STRINGS ${ROOT}/${top}/${f} includes REGEX "${include_line}")
    foreach(line ${includes})
      if(line MATCHES "include[ \t]*[<\"]([^\">]*/)?(tests|fuzz|bench|apps)/")
        if(NOT CMAKE_MATCH_2 STREQUAL top)
          list(APPEND problems "${top}/${f}: ${top}/ does not include the files of ${CMAKE_MATCH_2}/: ${line}")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "Includes that cross the layers:\n  ${text}")
endif()
