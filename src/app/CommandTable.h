#pragma once
// The main window's commands: their ids, the main menu with its texts and
// status prompts, and the toolbar's slots. The host builds its menu bar and
// toolbar from these tables and sends the chosen id to CMainFrame::OnCommand.

#include <span>
#include <string_view>
#include <vector>

#include "ui/IconMenu.h"

namespace tabulon {

namespace CommandId {
constexpr int kNewConfiguration = 32794;
constexpr int kEditConfiguration = 32793;
constexpr int kOpenConfiguration = 32792;
constexpr int kSaveDatabase = 32804;
constexpr int kSaveConfiguration = 32808;
constexpr int kImportDatabase = 32819;
constexpr int kGridLinesHorizontal = 32790;
constexpr int kGridLinesVertical = 32789;
constexpr int kExit = 57665;
constexpr int kAddDirectory = 32771;
constexpr int kMoveItems = 32773;
constexpr int kReplace = 32816;
constexpr int kFindDuplicate = 32811;
constexpr int kMakeList = 32803;
constexpr int kAbout = 57664;
// Has a prompt but no menu item; does nothing.
constexpr int kAboutPrompt = 32795;

// The toolbar's own ids, each routed to the menu command beside it.
constexpr int kToolNewConfiguration = 32796;
constexpr int kToolEditConfiguration = 32797;
constexpr int kToolOpenConfiguration = 32798;
constexpr int kToolSaveDatabase = 32800;
constexpr int kToolSaveConfiguration = 32806;
constexpr int kToolAddDirectory = 32799;
constexpr int kToolMoveItems = 32805;
constexpr int kToolReplace = 32817;
constexpr int kToolFindDuplicate = 32818;
constexpr int kToolMakeList = 32801;
}  // namespace CommandId

enum class MenuEntryKind { Item, Separator, PopupBegin, PopupEnd };

struct MenuEntry {
    std::string_view menu;  // "File", "Edit", "Tools", "Help"
    MenuEntryKind kind = MenuEntryKind::Item;
    std::string_view text;
    int id = 0;
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
    int id = 0;       // 0: a separator
    int command = 0;  // the menu command it does
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
    int command = 0;
    int resource = 0;
};
std::span<const MenuPicture> MenuPictures();
// The picture resource of a menu command, -1 when it has none.
int PictureOf(int command);
// The toolbar is a resource of its own too: a strip of its buttons' pictures.
constexpr int kToolbarResource = 128;

// Builds the main menu into menu and gives the commands their pictures.
bool LoadMainMenu(CIconMenu& menu);

// The toolbar's 14 slots, left to right.
std::span<const ToolbarSlot> Toolbar();

// The menu command a toolbar id stands for; other ids come back unchanged.
int MenuCommandOf(int id);

// The status prompt of a command id (menu or toolbar), "" when it has none.
std::string_view PromptOf(int id);

}  // namespace tabulon
