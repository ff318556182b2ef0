#include "app/CommandTable.h"

namespace tabulon {

namespace {

using K = MenuEntryKind;
namespace C = CommandId;

constexpr MenuEntry Item(std::string_view menu, std::string_view text, int id, std::string_view prompt,
                         bool checkable = false) {
    return {menu, K::Item, text, id, prompt, checkable};
}
constexpr MenuEntry Mark(std::string_view menu, K kind, std::string_view text = {}) {
    return {menu, kind, text, 0, {}, false};
}

constexpr MenuEntry kMainMenu[] = {
    Item("File", "New configuration..", C::kNewConfiguration, "Open a new configuration"),
    Item("File", "Edit configuration..", C::kEditConfiguration, "Edit current configuration"),
    Item("File", "Open configuration..", C::kOpenConfiguration, "Open a saved configuration"),
    Mark("File", K::Separator),
    Item("File", "Save database", C::kSaveDatabase, "Save database to file specified in configuration"),
    Item("File", "Save configuration", C::kSaveConfiguration, "Save changes to current opened configuration"),
    Mark("File", K::Separator),
    Item("File", "Import database..", C::kImportDatabase, "Import a database to 'New items'"),
    Mark("File", K::Separator),
    Mark("File", K::PopupBegin, "Grid lines"),
    Item("File", "Horizantal", C::kGridLinesHorizontal, "", true),
    Item("File", "Vertical", C::kGridLinesVertical, "", true),
    Mark("File", K::PopupEnd),
    Mark("File", K::Separator),
    Item("File", "Exit", C::kExit, "Exit Tabulon"),
    Item("Edit", "Add directory..", C::kAddDirectory, "Add a directory  to 'New items'"),
    Item("Edit", "Move items", C::kMoveItems, "Move selected 'New items' to 'Database'"),
    Item("Tools", "Replace..", C::kReplace, "Open replace window"),
    Item("Tools", "Find dublicate..", C::kFindDuplicate, "Open find dublicate window"),
    Mark("Tools", K::Separator),
    Item("Tools", "Make list", C::kMakeList, "Make html list from 'Database'"),
    Item("Help", "About", C::kAbout, "About Tabulon"),
};

constexpr ToolbarSlot Gap() { return {0, 0, {}, {}}; }

constexpr ToolbarSlot kToolbar[] = {
    {C::kToolNewConfiguration, C::kNewConfiguration, "", "New configuration"},
    {C::kToolEditConfiguration, C::kEditConfiguration, "", "Edit configuration"},
    {C::kToolOpenConfiguration, C::kOpenConfiguration, "", "Open configuration"},
    Gap(),
    {C::kToolSaveDatabase, C::kSaveDatabase, "Save database to file specified in configuration", "Save database"},
    {C::kToolSaveConfiguration, C::kSaveConfiguration, "Save changes to current opened configuration",
     "Save configuration"},
    Gap(),
    {C::kToolAddDirectory, C::kAddDirectory, "", "Add directory"},
    {C::kToolMoveItems, C::kMoveItems, "Move selected \"New items\" to \"Database\"", "Move items"},
    Gap(),
    {C::kToolReplace, C::kReplace, "Open replace window", "Replace"},
    {C::kToolFindDuplicate, C::kFindDuplicate, "Open find dublicate window", "Find dublicate"},
    Gap(),
    {C::kToolMakeList, C::kMakeList, "", "Make list"},
};

}  // namespace

std::span<const MenuEntry> MainMenu() { return kMainMenu; }

std::span<const ToolbarSlot> Toolbar() { return kToolbar; }

int MenuCommandOf(int id) {
    for (const ToolbarSlot& slot : kToolbar)
        if (slot.id != 0 && slot.id == id) return slot.command;
    return id;
}

std::string_view PromptOf(int id) {
    if (id == C::kAboutPrompt) return "About Tabulon";
    for (const ToolbarSlot& slot : kToolbar)
        if (slot.id != 0 && slot.id == id) return slot.prompt;
    for (const MenuEntry& entry : kMainMenu)
        if (entry.kind == K::Item && entry.id == id) return entry.prompt;
    return {};
}

}  // namespace tabulon
