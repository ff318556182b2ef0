# Writes OUTPUT, a header with the build's identity: the first 16 bytes of a
# hash of the objects listed in the file OBJECTS, in that order.
file(STRINGS ${OBJECTS} objects)
set(hashes "")
foreach(object IN LISTS objects)
  file(SHA256 ${object} hash)
  string(APPEND hashes ${hash})
endforeach()
string(SHA256 identity "${hashes}")
string(SUBSTRING ${identity} 0 32 identity)
string(REGEX REPLACE "(..)" "0x\\1, " bytes ${identity})
string(REGEX REPLACE ", $" "" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Written by the build: the identity of this build of the program.\n"
  "#define TABULON_BUILD_IDENTITY ${bytes}\n")
