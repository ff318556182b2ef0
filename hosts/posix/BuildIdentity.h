#pragma once
// The identity of a build of the program. The program and each of its parts
// carry it in an ELF note (apps/tabulon/BuildNote.cpp), worked out from the
// objects they are linked from, so that the program can tell a part of
// another build from its own by reading the part's file, before anything of
// the part is loaded.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tabulon::posix {

constexpr std::size_t kBuildIdentityBytes = 16;
using BuildIdentity = std::array<unsigned char, kBuildIdentityBytes>;

// The note as the linker keeps it: the sizes of its name and of its
// contents, its type, then the name and the contents, each padded to 4 bytes.
inline constexpr char kBuildNoteName[] = "Tabulon";
constexpr std::uint32_t kBuildNoteType = 1;
struct BuildNote {
    std::uint32_t nameSize = sizeof(kBuildNoteName);
    std::uint32_t identitySize = kBuildIdentityBytes;
    std::uint32_t type = kBuildNoteType;
    char name[sizeof(kBuildNoteName)];
    BuildIdentity identity;
};
static_assert(sizeof(kBuildNoteName) % 4 == 0 && sizeof(BuildNote) == 12 + 8 + kBuildIdentityBytes,
              "the note's name and contents need no padding");

// The running program's identity; nullopt when it carries none.
std::optional<BuildIdentity> ProgramBuildIdentity();

// The identity in the ELF file open at fd, read without loading it (nullopt
// when it carries none, or is no ELF file of this kind of program); false,
// with errno set, when the file cannot be read.
bool ReadBuildIdentity(int fd, std::optional<BuildIdentity>& identity);

}  // namespace tabulon::posix
