// The build's identity as an ELF note, in the program and in each of its
// parts alike (see posix/BuildIdentity.h).

#include "ThisBuildIdentity.h"
#include "posix/BuildIdentity.h"

namespace {

// A section whose name begins with .note is a note, which the linker puts in
// a segment of notes where the program and the loader can find it.
[[gnu::used, gnu::section(".note.tabulon.build")]] alignas(4) const tabulon::posix::BuildNote kBuildNote{
    .name = {'T', 'a', 'b', 'u', 'l', 'o', 'n', '\0'}, .identity = {TABULON_BUILD_IDENTITY}};

}  // namespace
