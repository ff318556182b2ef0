#pragma once
// The main window's menu with pictures. The menu bar stays plain text; every
// item of its drop-down menus is drawn here, with a small picture left of the
// text in a column that also carries the check marks. The host shows the
// menu, asks here how big each item is and to draw it, and hands over the
// letters typed while a drop-down menu is open.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/DeviceContext.h"
#include "platform/MenuLook.h"
#include "ui/PictureList.h"

namespace tabulon {

// Menu item flags, as menu templates and menu items carry them.
namespace MenuFlag {
constexpr unsigned kString = 0x0000;
constexpr unsigned kGrayed = 0x0001;
constexpr unsigned kDisabled = 0x0002;
constexpr unsigned kChecked = 0x0008;
constexpr unsigned kPopup = 0x0010;
constexpr unsigned kEnd = 0x0080;  // templates: the last item of its level
constexpr unsigned kOwnerDraw = 0x0100;
constexpr unsigned kRadioCheck = 0x0200;  // checked, the item shows a dot
constexpr unsigned kByPosition = 0x0400;
constexpr unsigned kSeparator = 0x0800;
constexpr unsigned kSysMenu = 0x2000;  // menu-character requests: the window's own menu
}  // namespace MenuFlag

// The state of an item being drawn.
namespace MenuItemState {
constexpr unsigned kSelected = 0x0001;
constexpr unsigned kGrayed = 0x0002;
constexpr unsigned kDisabled = 0x0004;
constexpr unsigned kChecked = 0x0008;
constexpr unsigned kNoAccel = 0x0100;  // the desktop hides mnemonic underlines just now
}  // namespace MenuItemState

// Answers to a menu-character request: the code in the high half, the item's
// position in the low half.
namespace MenuChar {
constexpr std::uint32_t kIgnore = 0;
constexpr std::uint32_t kExecute = 2;
constexpr std::uint32_t Answer(std::uint32_t code, int position) {
    return (code << 16) | (static_cast<std::uint32_t>(position) & 0xFFFFu);
}
constexpr std::uint32_t CodeOf(std::uint32_t answer) { return answer >> 16; }
constexpr int PositionOf(std::uint32_t answer) { return static_cast<int>(answer & 0xFFFFu); }
}  // namespace MenuChar

using MenuHandle = std::uintptr_t;

// One item of a menu template, top to bottom. A popup's own items follow it;
// the last item of each level carries kEnd.
struct MenuTemplateItem {
    unsigned flags = 0;
    int id = 0;  // 0 with an empty text: a separator
    std::string text;
};

// What is kept for each item drawn here.
struct MenuItemData {
    std::string text;  // "&" before the mnemonic, a tab before the shortcut
    int pictureIndex = -1;
    int pictureResource = -1;
    unsigned flags = 0;            // the menu item's flags
    std::uintptr_t commandId = 0;  // a popup entry: the popup's handle
    std::unique_ptr<CPictureList> pictures;
};

struct MeasureItemRequest {
    IDeviceContext* dc = nullptr;  // to measure the text with
    std::uintptr_t itemId = 0;
    const MenuItemData* itemData = nullptr;
    int itemWidth = 0;   // answered
    int itemHeight = 0;  // answered
};

struct DrawItemRequest {
    IDeviceContext* dc = nullptr;
    Rect rect;           // right and bottom one past the item
    unsigned state = 0;  // MenuItemState
    std::uintptr_t itemId = 0;
    const MenuItemData* itemData = nullptr;
};

class CIconMenu {
public:
    // One item as the menu holds it. Owner-drawn items show their data's
    // text; plain ones (the menu bar) their own.
    struct Item {
        unsigned flags = 0;
        std::uintptr_t id = 0;  // command id; a popup entry: the popup's handle
        std::string text;
        CIconMenu* popup = nullptr;
        MenuItemData* data = nullptr;
    };

    static constexpr int kPictureWidth = 16;
    static constexpr int kPictureHeight = 15;
    // Where the text starts, and how far a shortcut keeps from the right edge.
    static constexpr int kTextLeft = kPictureWidth + 9;
    static constexpr int kShortcutRight = kPictureWidth;
    // What a tab between an item's text and its shortcut measures.
    static constexpr int kShortcutGap = 24;

    // The version class of the platform: 0 to 3; 1 and 3 have the new
    // shell's raised and sunken picture frames. Linux desktops count as 3.
    static int PlatformVersionClass();

    explicit CIconMenu(const IMenuLook& look, IPictureSource* pictures = nullptr,
                       int versionClass = PlatformVersionClass());
    ~CIconMenu();
    CIconMenu(const CIconMenu&) = delete;
    CIconMenu& operator=(const CIconMenu&) = delete;

    MenuHandle GetHandle() const { return m_handle; }
    int GetVersionClass() const { return m_versionClass; }
    bool IsNewShell() const { return m_versionClass == 1 || m_versionClass == 3; }

    // Builds the menu from a template: the top level becomes the menu bar, in
    // plain text; everything below is drawn here. False for an empty one.
    bool LoadIconMenu(std::span<const MenuTemplateItem> menuTemplate);
    // Appends an item drawn here; command id 0 is a separator. A picture
    // resource of -1 means none.
    void AppendIconItem(const std::string& text, unsigned flags, std::uintptr_t commandId, int pictureResource);
    // Appends a popup entry; the menu takes the popup over.
    void AppendIconItem(const std::string& text, unsigned flags, std::unique_ptr<CIconMenu> popup);
    // Gives the item of the command, here or in any popup below, a picture
    // and, when one is given, a new text. False when no item has the command.
    bool SetItemPicture(const std::optional<std::string>& text, int commandId, int pictureResource);

    void MeasureMenuItem(MeasureItemRequest& request) const;
    void DrawMenuItem(const DrawItemRequest& request) const;

    // The answer to a letter typed while the popup `menu` is open: execute
    // the item whose mnemonic it is, or kIgnore for the host's own handling.
    static std::uint32_t FindMnemonic(char32_t character, unsigned flags, MenuHandle menu);
    // Whether the handle is that of a popup built by this class.
    static bool IsIconMenu(MenuHandle menu);

    int GetMenuItemCount() const { return static_cast<int>(m_items.size()); }
    const Item* GetItem(int position) const;
    CIconMenu* GetSubMenu(int position) const;
    // The record of the command's item here or in a popup below, or none.
    const MenuItemData* FindItemData(int commandId) const;

private:
    Item* FindCommand(int commandId);
    void LoadPicture(MenuItemData& data) const;
    void Clear();

    const IMenuLook& m_look;
    IPictureSource* m_pictureSource;
    int m_versionClass;
    MenuHandle m_handle;
    std::vector<Item> m_items;
    std::vector<std::unique_ptr<MenuItemData>> m_data;
    std::vector<std::unique_ptr<CIconMenu>> m_subMenus;
    // Pictures may also be cut out by a mask colour instead of the button face.
    Colour m_maskColour = MakeColour(192, 192, 192);
    bool m_useMaskColour = false;
};

}  // namespace tabulon
