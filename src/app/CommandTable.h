#pragma once
// The main window's commands: their ids, the main menu with its texts and
// status prompts, and the toolbar's slots. The host builds its menu bar and
// toolbar from these tables and sends the chosen id to CMainFrame::OnCommand.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ui/IconMenu.h"

namespace tabulon {

// The ids of the design (its resource numbers), so nothing the platform
// keeps of them changes; 0 is no command (a separator).
enum class CommandId : int {
    kNewConfiguration = 32794,
    kEditConfiguration = 32793,
    kOpenConfiguration = 32792,
    kSaveDatabase = 32804,
    kSaveConfiguration = 32808,
    kImportDatabase = 32819,
    kGridLinesHorizontal = 32790,
    kGridLinesVertical = 32789,
    kExit = 57665,
    kAddDirectory = 32771,
    kMoveItems = 32773,
    kReplace = 32816,
    kFindDuplicate = 32811,
    kMakeList = 32803,
    kAbout = 57664,
    // Beyond the design: taking steps back and doing them again, with the
    // numbers the platform's framework gives them.
    kUndo = 57643,
    kRedo = 57644,
    // Finding text in a pane: the find bar, and the next and previous match
    // of the last search.
    kFind = 57636,
    kFindNext = 57637,
    kFindPrevious = 32830,
    // The clipboard: the focus cell, or its whole item.
    kCut = 57635,
    kCopy = 57634,
    kCopyItem = 32832,
    kPaste = 32833,
    // Items to and from comma-separated values.
    kImportCsv = 32850,
    kExportCsv = 32851,
    // The configurations opened last, first to eighth, listed in File.
    kRecentConfiguration1 = 32840,
    kRecentConfiguration8 = 32847,
    // Has a prompt but no menu item; does nothing.
    kAboutPrompt = 32795,

    // The toolbar's own ids, each routed to the menu command beside it.
    kToolNewConfiguration = 32796,
    kToolEditConfiguration = 32797,
    kToolOpenConfiguration = 32798,
    kToolSaveDatabase = 32800,
    kToolSaveConfiguration = 32806,
    kToolAddDirectory = 32799,
    kToolMoveItems = 32805,
    kToolReplace = 32817,
    kToolFindDuplicate = 32818,
    kToolMakeList = 32801,
    kToolFind = 32831,
};

enum class MenuEntryKind { Item, Separator, PopupBegin, PopupEnd };

struct MenuEntry {
    std::string_view menu;  // "File", "Edit", "Tools", "Help"
    MenuEntryKind kind = MenuEntryKind::Item;
    std::string_view text;
    CommandId id{};
    std::string_view prompt;  // shown in the status bar while highlighted
    bool checkable = false;
    // The letter underlined in the item's text, unique within its menu, and
    // the key that runs the command from anywhere in the window.
    char mnemonic = 0;
    std::string_view shortcut;
};

// The main menu from top to bottom. A popup's items stand between its
// PopupBegin (which carries its text) and PopupEnd.
std::span<const MenuEntry> MainMenu();

struct ToolbarSlot {
    CommandId id{};       // none: a separator
    CommandId command{};  // the menu command it does
    std::string_view prompt;
    std::string_view tooltip;
};

// The letter underlined in a drop-down menu's title on the menu bar.
char MenuTitleMnemonic(std::string_view menu);

// The main menu as the menu with pictures loads it: the titles and items
// with "&" before their letter, a tab before each item's shortcut.
std::vector<MenuTemplateItem> MainMenuTemplate();

// The commands that show a picture in the menu, with its resource number,
// in the order they are given their pictures.
struct MenuPicture {
    CommandId command{};
    int resource = 0;
};
std::span<const MenuPicture> MenuPictures();
// The picture resource of a menu command, -1 when it has none.
int PictureOf(CommandId command);
// The toolbar is a resource of its own too: a strip of its buttons' pictures.
constexpr int kToolbarResource = 128;

// Builds the main menu into menu and gives the commands their pictures.
bool LoadMainMenu(CIconMenu& menu);

// The toolbar's 14 slots, left to right.
std::span<const ToolbarSlot> Toolbar();

// The menu command a toolbar id stands for; other ids come back unchanged.
CommandId MenuCommandOf(CommandId id);
// The name of the step a command makes: its menu text without the dots.
std::string_view StepNameOf(CommandId id);

// The text of a command's menu item with another caption: its letter marked
// with "&" and its key after a tab, as MainMenuTemplate gives them.
std::string MenuItemText(CommandId id, std::string_view caption);

// The status prompt of a command id (menu or toolbar), "" when it has none.
std::string_view PromptOf(CommandId id);

}  // namespace tabulon
