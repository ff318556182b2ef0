#pragma once
// The folders of a Linux desktop: the home folder, the desktop folder, the
// whole file system and the volumes mounted under /media, /run/media and
// /mnt. A folder's id is the path it was reached by, so a folder reached
// through a link knows the way it came and a link back up is never opened.

#include <string>
#include <vector>

#include "platform/FolderNamespace.h"

namespace tabulon::posix {

struct FolderPlaces {
    std::string home;
    std::string desktop;  // shown when it is a folder other than home
    std::string root = "/";
    std::string mountTable = "/proc/self/mounts";
};

// The places of the user running the program: $HOME (else the password
// database's), the desktop folder of the XDG user directories (else
// ~/Desktop), "/" and the system's mount table.
FolderPlaces UserFolderPlaces();

// The mount points under /media, /run/media and /mnt in the text of a mount
// table (its escapes such as \040 decoded), in table order, each once.
std::vector<std::string> VolumeMountPoints(const std::string& table);

// The desktop folder named by the text of a user-dirs.dirs file ($HOME
// replaced by home); "" when it names none.
std::string DesktopFromUserDirs(const std::string& text, const std::string& home);

class CPosixFolderNamespace final : public IFolderNamespace {
public:
    CPosixFolderNamespace() : CPosixFolderNamespace(UserFolderPlaces()) {}
    explicit CPosixFolderNamespace(FolderPlaces places);

    std::vector<FolderEntry> TopLevel() override;
    std::vector<FolderEntry> SubFolders(const std::string& id) override;

private:
    FolderPlaces m_places;
};

}  // namespace tabulon::posix
