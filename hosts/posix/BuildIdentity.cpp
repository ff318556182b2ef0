#include "posix/BuildIdentity.h"

#include <elf.h>
#include <link.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace tabulon::posix {

namespace {

// The build note among the notes of one segment, which are aligned to 4
// bytes (or to 8, as some are).
std::optional<BuildIdentity> FindBuildNote(const unsigned char* notes, std::size_t size, std::size_t alignment) {
    const auto padded = [alignment](std::size_t n) { return (n + alignment - 1) / alignment * alignment; };
    std::size_t at = 0;
    while (size - at >= 12) {
        std::uint32_t header[3];
        std::memcpy(header, notes + at, sizeof header);
        const std::size_t name = at + 12;
        if (header[0] > size - name) break;
        const std::size_t contents = name + padded(header[0]);
        if (contents > size || header[1] > size - contents) break;
        if (header[0] == sizeof(kBuildNoteName) && header[1] == kBuildIdentityBytes && header[2] == kBuildNoteType &&
            std::memcmp(notes + name, kBuildNoteName, sizeof(kBuildNoteName)) == 0) {
            BuildIdentity identity;
            std::memcpy(identity.data(), notes + contents, identity.size());
            return identity;
        }
        at = contents + padded(header[1]);
        if (at > size) break;
    }
    return std::nullopt;
}

std::size_t NoteAlignment(const ElfW(Phdr) & segment) { return segment.p_align == 8 ? 8 : 4; }

// Reads exactly size bytes at offset; false, with errno set, when it cannot.
bool ReadAt(int fd, void* to, std::size_t size, off_t offset) {
    auto* bytes = static_cast<char*>(to);
    while (size > 0) {
        const ssize_t got = ::pread(fd, bytes, size, offset);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) {
            errno = 0;  // the file ends before: no note
            return false;
        }
        bytes += got;
        size -= static_cast<std::size_t>(got);
        offset += got;
    }
    return true;
}

}  // namespace

std::optional<BuildIdentity> ProgramBuildIdentity() {
    std::optional<BuildIdentity> identity;
    // The program itself comes first, before any library.
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* found) {
            auto& result = *static_cast<std::optional<BuildIdentity>*>(found);
            for (ElfW(Half) i = 0; i < info->dlpi_phnum && !result; ++i) {
                const ElfW(Phdr)& segment = info->dlpi_phdr[i];
                if (segment.p_type != PT_NOTE) continue;
                result = FindBuildNote(reinterpret_cast<const unsigned char*>(info->dlpi_addr + segment.p_vaddr),
                                       segment.p_memsz, NoteAlignment(segment));
            }
            return 1;
        },
        &identity);
    return identity;
}

bool ReadBuildIdentity(int fd, std::optional<BuildIdentity>& identity) {
    identity.reset();
    ElfW(Ehdr) header;
    // A file too short for what it says it holds holds no note.
    const auto noNote = [] { return errno == 0; };
    if (!ReadAt(fd, &header, sizeof header, 0)) return noNote();
    // Only an ELF file of the program's own class is read any further.
    constexpr unsigned char kClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != kClass ||
        header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0 || header.e_phnum > 256)
        return true;
    std::vector<ElfW(Phdr)> segments(header.e_phnum);
    if (!ReadAt(fd, segments.data(), segments.size() * sizeof(ElfW(Phdr)), static_cast<off_t>(header.e_phoff)))
        return noNote();
    for (const ElfW(Phdr) & segment : segments) {
        if (segment.p_type != PT_NOTE || segment.p_filesz > (std::size_t{64} << 10)) continue;
        std::vector<unsigned char> notes(segment.p_filesz);
        if (!ReadAt(fd, notes.data(), notes.size(), static_cast<off_t>(segment.p_offset))) return noNote();
        identity = FindBuildNote(notes.data(), notes.size(), NoteAlignment(segment));
        if (identity) return true;
    }
    return true;
}

}  // namespace tabulon::posix
