#pragma once
// Tags read by TagLib, and the desktop's folders with them: a part of its
// own, linked only where items are added from folders (the window), so
// that batch mode and the start of the program never load it.

#include "platform/FolderNamespace.h"
#include "platform/TagReader.h"

namespace tabulon::tags {

// Keeps nothing between files: safe to call from several threads at once.
class CTagLibReader : public ITagReader {
public:
    std::optional<FileTags> ReadTags(const std::string& path, const TagsWanted& wanted) override;
};

// The folders of another namespace, their files' tags read by TagLib.
class CFoldersWithTags : public IFolderNamespace {
public:
    explicit CFoldersWithTags(IFolderNamespace& folders) : m_folders(folders) {}
    std::vector<FolderEntry> TopLevel() override { return m_folders.TopLevel(); }
    std::vector<FolderEntry> SubFolders(const std::string& id) override { return m_folders.SubFolders(id); }
    bool ReadFolder(const std::string& path, bool sizes, const std::function<bool(const FolderItem&)>& each) override {
        return m_folders.ReadFolder(path, sizes, each);
    }
    ITagReader* Tags() override { return &m_reader; }

private:
    IFolderNamespace& m_folders;
    CTagLibReader m_reader;
};

}  // namespace tabulon::tags
