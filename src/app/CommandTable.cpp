#include "app/CommandTable.h"

#include <string>

namespace tabulon {

namespace {

using K = MenuEntryKind;
using C = CommandId;

constexpr MenuEntry Item(std::string_view menu, std::string_view text, CommandId id, std::string_view prompt,
                         char mnemonic, std::string_view shortcut = {}, bool checkable = false) {
    return {menu, K::Item, text, id, prompt, checkable, mnemonic, shortcut};
}
constexpr MenuEntry Mark(std::string_view menu, K kind, std::string_view text = {}, char mnemonic = 0) {
    return {menu, kind, text, CommandId{}, {}, false, mnemonic, {}};
}

constexpr MenuEntry kMainMenu[] = {
    Item("File", "New configuration..", C::kNewConfiguration, "Open a new configuration", 'N'),
    Item("File", "Edit configuration..", C::kEditConfiguration, "Edit current configuration", 'E'),
    Item("File", "Open configuration..", C::kOpenConfiguration, "Open a saved configuration", 'O', "Ctrl+O"),
    Mark("File", K::Separator),
    Item("File", "Save database", C::kSaveDatabase, "Save database to file specified in configuration", 'S', "Ctrl+S"),
    Item("File", "Save configuration", C::kSaveConfiguration, "Save changes to current opened configuration", 'c',
         "Ctrl+Shift+S"),
    Mark("File", K::Separator),
    Item("File", "Import database..", C::kImportDatabase, "Import a database to 'New items'", 'I'),
    Item("File", "Import CSV..", C::kImportCsv, "Import a CSV file to 'New items'", 'm'),
    Item("File", "Export CSV..", C::kExportCsv, "Export 'Database' to a CSV file", 'p'),
    Mark("File", K::Separator),
    Mark("File", K::PopupBegin, "Grid lines", 'G'),
    Item("File", "Horizantal", C::kGridLinesHorizontal, "", 'H', {}, true),
    Item("File", "Vertical", C::kGridLinesVertical, "", 'V', {}, true),
    Mark("File", K::PopupEnd),
    Mark("File", K::Separator),
    Item("File", "Exit", C::kExit, "Exit Tabulon", 'x', "Ctrl+Q"),
    Item("Edit", "Undo", C::kUndo, "Undo the last change to the lists", 'U', "Ctrl+Z"),
    Item("Edit", "Redo", C::kRedo, "Redo the change last undone", 'R', "Ctrl+Y"),
    Mark("Edit", K::Separator),
    Item("Edit", "Cut", C::kCut, "Cut the text of the cell to the clipboard", 't', "Ctrl+X"),
    Item("Edit", "Copy", C::kCopy, "Copy the text of the cell to the clipboard", 'C', "Ctrl+C"),
    Item("Edit", "Copy item", C::kCopyItem, "Copy the whole item to the clipboard, its cells separated by tabs", 'i',
         "Ctrl+Shift+C"),
    Item("Edit", "Paste", C::kPaste, "Paste the clipboard's text into the cells from the focus cell on", 'P', "Ctrl+V"),
    Mark("Edit", K::Separator),
    Item("Edit", "Find..", C::kFind, "Find a text in 'New items' or 'Database'", 'F', "Ctrl+F"),
    Item("Edit", "Find next", C::kFindNext, "Find the next cell with the text last searched for", 'x', "F3"),
    Item("Edit", "Find previous", C::kFindPrevious, "Find the previous cell with the text last searched for", 'v',
         "Shift+F3"),
    Mark("Edit", K::Separator),
    Item("Edit", "Add directory..", C::kAddDirectory, "Add a directory  to 'New items'", 'A'),
    Item("Edit", "Move items", C::kMoveItems, "Move selected 'New items' to 'Database'", 'M'),
    Item("Tools", "Replace..", C::kReplace, "Open replace window", 'R'),
    Item("Tools", "Find dublicate..", C::kFindDuplicate, "Open find dublicate window", 'F'),
    Mark("Tools", K::Separator),
    Item("Tools", "Make list", C::kMakeList, "Make html list from 'Database'", 'M'),
    Item("Help", "About", C::kAbout, "About Tabulon", 'A'),
};

constexpr MenuPicture kMenuPictures[] = {
    {C::kNewConfiguration, 149},
    {C::kEditConfiguration, 137},
    {C::kOpenConfiguration, 150},
    {C::kSaveDatabase, 154},
    {C::kSaveConfiguration, 153},
    {C::kExit, 156},
    {C::kAddDirectory, 151},
    {C::kMoveItems, 152},
    {C::kMakeList, 155},
    {C::kReplace, 171},
    {C::kFindDuplicate, 172},
    {C::kAbout, 158},
    {C::kUndo, 173},
    {C::kRedo, 174},
    {C::kFind, 175},
};

// The text with "&" before the first place of its letter; a "&" of its own
// is doubled so that it shows as one.
std::string WithMnemonic(std::string_view text, char letter) {
    std::string out;
    bool marked = letter == 0;
    for (char c : text) {
        if (!marked && c == letter) {
            out += '&';
            marked = true;
        }
        if (c == '&') out += '&';
        out += c;
    }
    return out;
}

constexpr ToolbarSlot Gap() { return {CommandId{}, CommandId{}, {}, {}}; }

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
    {C::kToolFind, C::kFind, "Find a text in \"New items\" or \"Database\"", "Find"},
    Gap(),
    {C::kToolMakeList, C::kMakeList, "", "Make list"},
};

}  // namespace

std::span<const MenuEntry> MainMenu() { return kMainMenu; }

// File, Edit, Tools and Help differ in their first letters.
char MenuTitleMnemonic(std::string_view menu) { return menu.empty() ? 0 : menu.front(); }

std::vector<MenuTemplateItem> MainMenuTemplate() {
    std::vector<MenuTemplateItem> out;
    // The last item of each open level: it gets the end mark when the level closes.
    std::vector<int> lastOfLevel{-1};
    const auto append = [&](unsigned flags, int id, std::string text) {
        out.push_back({flags, id, std::move(text)});
        lastOfLevel.back() = static_cast<int>(out.size()) - 1;
    };
    const auto close = [&] {
        if (lastOfLevel.back() >= 0) out[static_cast<std::size_t>(lastOfLevel.back())].flags |= MenuFlag::kEnd;
        lastOfLevel.pop_back();
    };
    std::string_view title;
    for (const MenuEntry& entry : kMainMenu) {
        if (out.empty() || entry.menu != title) {
            while (lastOfLevel.size() > 1) close();
            title = entry.menu;
            append(MenuFlag::kPopup, 0, WithMnemonic(title, MenuTitleMnemonic(title)));
            lastOfLevel.push_back(-1);
        }
        switch (entry.kind) {
        case K::Separator: append(0, 0, {}); break;
        case K::PopupBegin:
            append(MenuFlag::kPopup, 0, WithMnemonic(entry.text, entry.mnemonic));
            lastOfLevel.push_back(-1);
            break;
        case K::PopupEnd: close(); break;
        case K::Item: {
            std::string text = WithMnemonic(entry.text, entry.mnemonic);
            if (!entry.shortcut.empty()) text += '\t' + std::string(entry.shortcut);
            // A checkable item starts checked: both grid-line items do.
            append(entry.checkable ? MenuFlag::kChecked : 0, static_cast<int>(entry.id), std::move(text));
            break;
        }
        }
    }
    while (!lastOfLevel.empty()) close();
    return out;
}

std::span<const MenuPicture> MenuPictures() { return kMenuPictures; }

int PictureOf(CommandId command) {
    for (const MenuPicture& picture : kMenuPictures)
        if (picture.command == command) return picture.resource;
    return -1;
}

bool LoadMainMenu(CIconMenu& menu) {
    if (!menu.LoadIconMenu(MainMenuTemplate())) return false;
    for (const MenuPicture& picture : kMenuPictures)
        menu.SetItemPicture(std::nullopt, static_cast<int>(picture.command), picture.resource);
    return true;
}

std::span<const ToolbarSlot> Toolbar() { return kToolbar; }

std::string MenuItemText(CommandId id, std::string_view caption) {
    for (const MenuEntry& entry : kMainMenu) {
        if (entry.kind != K::Item || entry.id != id) continue;
        std::string text = WithMnemonic(caption, entry.mnemonic);
        if (!entry.shortcut.empty()) {
            text += '\t';
            text += entry.shortcut;
        }
        return text;
    }
    return std::string(caption);
}

std::string_view StepNameOf(CommandId id) {
    const CommandId command = MenuCommandOf(id);
    for (const MenuEntry& entry : kMainMenu) {
        if (entry.kind != K::Item || entry.id != command) continue;
        std::string_view text = entry.text;
        while (!text.empty() && text.back() == '.') text.remove_suffix(1);
        return text;
    }
    return {};
}

CommandId MenuCommandOf(CommandId id) {
    for (const ToolbarSlot& slot : kToolbar)
        if (slot.id != CommandId{} && slot.id == id) return slot.command;
    return id;
}

std::string_view PromptOf(CommandId id) {
    if (id == C::kAboutPrompt) return "About Tabulon";
    for (const ToolbarSlot& slot : kToolbar)
        if (slot.id != CommandId{} && slot.id == id) return slot.prompt;
    for (const MenuEntry& entry : kMainMenu)
        if (entry.kind == K::Item && entry.id == id) return entry.prompt;
    return {};
}

}  // namespace tabulon
