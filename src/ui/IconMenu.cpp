#include "ui/IconMenu.h"

#include <algorithm>
#include <unordered_map>

#include "base/ShownText.h"

namespace tabulon {

namespace {

// The handles of every popup built here, and the menu behind each.
std::unordered_map<MenuHandle, CIconMenu*>& Popups() {
    static std::unordered_map<MenuHandle, CIconMenu*> popups;
    return popups;
}

MenuHandle NewHandle() {
    static MenuHandle next = 0x1000;
    return next++;
}

// The text before the first tab, and the shortcut after the last one.
struct SplitText {
    std::string label;
    std::string shortcut;
};

SplitText Split(const std::string& text) {
    const auto first = text.find('\t');
    if (first == std::string::npos) return {text, {}};
    return {text.substr(0, first), text.substr(text.rfind('\t') + 1)};
}

void Fill(IDeviceContext& dc, const Rect& r, Colour c) { dc.FillRect(r, c); }

// A one-pixel frame, light along the top and left, dark along the bottom and
// right; a sunken one the other way round.
void Frame3D(IDeviceContext& dc, const Rect& r, Colour topLeft, Colour bottomRight) {
    Fill(dc, {r.left, r.top, r.right - 1, r.top + 1}, topLeft);
    Fill(dc, {r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
    Fill(dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
    Fill(dc, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

// Shapes set pixel by pixel, so they come out the same on every screen.
void Pixels(IDeviceContext& dc, Point at, std::span<const char* const> rows, Colour c) {
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
        for (int x = 0; rows[y][x]; ++x)
            if (rows[y][x] == 'X') Fill(dc, {at.x + x, at.y + y, at.x + x + 1, at.y + y + 1}, c);
}

constexpr const char* kRadioDot[] = {
    "..XX..", ".XXXX.", "XXXXXX", "XXXXXX", ".XXXX.", "..XX..",
};

// The character after the item's "&" mark, lower-cased; "&&" is a plain "&".
std::string MnemonicOf(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        const auto lead = static_cast<unsigned char>(text[i + 1]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        std::string mark = text.substr(i + 1, length);
        for (char& c : mark)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return mark;
    }
    return {};
}

std::string Utf8LowerOf(char32_t c) {
    if (c >= U'A' && c <= U'Z') c = c - U'A' + U'a';
    return Utf8Of(c);
}

}  // namespace

int CIconMenu::PlatformVersionClass() {
    static const int versionClass = 3;
    return versionClass;
}

CIconMenu::CIconMenu(const IMenuLook& look, IPictureSource* pictures, int versionClass)
    : m_look(look), m_pictureSource(pictures), m_versionClass(versionClass), m_handle(NewHandle()) {}

CIconMenu::~CIconMenu() { Clear(); }

void CIconMenu::Clear() {
    for (const auto& sub : m_subMenus) Popups().erase(sub->GetHandle());
    m_subMenus.clear();
    m_items.clear();
    m_data.clear();
}

const CIconMenu::Item* CIconMenu::GetItem(int position) const {
    if (position < 0 || position >= GetMenuItemCount()) return nullptr;
    return &m_items[static_cast<std::size_t>(position)];
}

CIconMenu* CIconMenu::GetSubMenu(int position) const {
    const Item* item = GetItem(position);
    return item ? item->popup : nullptr;
}

bool CIconMenu::LoadIconMenu(std::span<const MenuTemplateItem> menuTemplate) {
    if (menuTemplate.empty()) return false;
    Clear();
    // Each open level, and whether its own entry was the last of the level
    // above, so that closing it closes that one too.
    struct Level {
        CIconMenu* menu;
        bool endsParent;
    };
    std::vector<Level> levels{{this, false}};
    for (const MenuTemplateItem& entry : menuTemplate) {
        if (levels.empty()) break;  // the template's top level has ended
        CIconMenu* current = levels.back().menu;
        const unsigned flags = entry.flags & ~MenuFlag::kEnd;
        if (entry.flags & MenuFlag::kPopup) {
            auto popup = std::make_unique<CIconMenu>(m_look, m_pictureSource, m_versionClass);
            CIconMenu* opened = popup.get();
            current->AppendIconItem(entry.text, flags, std::move(popup));
            levels.push_back({opened, (entry.flags & MenuFlag::kEnd) != 0});
            continue;
        }
        current->AppendIconItem(entry.text, flags, static_cast<std::uintptr_t>(entry.id), -1);
        if (entry.flags & MenuFlag::kEnd) {
            bool endsParent = true;
            while (endsParent && !levels.empty()) {
                endsParent = levels.back().endsParent;
                levels.pop_back();
            }
        }
    }
    // The menu bar shows plain text.
    for (Item& item : m_items) {
        item.flags &= ~MenuFlag::kOwnerDraw;
        if (item.data) item.text = item.data->text;
    }
    return true;
}

void CIconMenu::AppendIconItem(const std::string& text, unsigned flags, std::uintptr_t commandId, int pictureResource) {
    if (commandId == 0)
        flags = (flags & MenuFlag::kByPosition) | MenuFlag::kSeparator | MenuFlag::kOwnerDraw;
    else
        flags |= MenuFlag::kOwnerDraw;
    auto data = std::make_unique<MenuItemData>();
    data->text = commandId == 0 ? std::string() : text;
    data->pictureResource = pictureResource;
    data->flags = flags;
    data->commandId = commandId;
    if (pictureResource >= 0) LoadPicture(*data);
    m_items.push_back({flags & ~MenuFlag::kByPosition, commandId, data->text, nullptr, data.get()});
    m_data.push_back(std::move(data));
}

void CIconMenu::AppendIconItem(const std::string& text, unsigned flags, std::unique_ptr<CIconMenu> popup) {
    if (!popup) return;
    flags |= MenuFlag::kPopup | MenuFlag::kOwnerDraw;
    const MenuHandle handle = popup->GetHandle();
    Popups()[handle] = popup.get();
    auto data = std::make_unique<MenuItemData>();
    data->text = text;
    data->flags = flags;
    data->commandId = handle;
    m_items.push_back({flags & ~MenuFlag::kByPosition, handle, text, popup.get(), data.get()});
    m_data.push_back(std::move(data));
    m_subMenus.push_back(std::move(popup));
}

CIconMenu::Item* CIconMenu::FindCommand(int commandId) {
    for (Item& item : m_items) {
        if (item.popup) {
            if (Item* found = item.popup->FindCommand(commandId)) return found;
        } else if (!(item.flags & MenuFlag::kSeparator) && item.id == static_cast<std::uintptr_t>(commandId)) {
            return &item;
        }
    }
    return nullptr;
}

const MenuItemData* CIconMenu::FindItemData(int commandId) const {
    const Item* item = const_cast<CIconMenu*>(this)->FindCommand(commandId);
    return item ? item->data : nullptr;
}

bool CIconMenu::SetItemPicture(const std::optional<std::string>& text, int commandId, int pictureResource) {
    if (commandId == 0) return false;
    Item* item = FindCommand(commandId);
    if (!item) return false;
    if (!item->data) {
        // An item added in plain text gets its record now; the menu that
        // holds it keeps it.
        auto data = std::make_unique<MenuItemData>();
        data->text = item->text;
        data->commandId = item->id;
        item->data = data.get();
        m_data.push_back(std::move(data));
    }
    MenuItemData& data = *item->data;
    if (text) data.text = *text;
    data.pictureResource = pictureResource;
    LoadPicture(data);
    // The item's state (checked, greyed) stays as it was.
    item->flags |= MenuFlag::kOwnerDraw;
    data.flags = item->flags;
    item->text = data.text;
    return true;
}

void CIconMenu::LoadPicture(MenuItemData& data) const {
    data.pictureIndex = -1;
    data.pictures.reset();
    const int resource = data.pictureResource;
    data.pictureResource = -1;
    if (resource < 0 || !m_pictureSource) return;
    int index = 0;
    if (const std::vector<int> buttons = m_pictureSource->ToolbarCommands(resource); !buttons.empty()) {
        // A toolbar without a button for the command has no picture for it.
        const auto it = std::find(buttons.begin(), buttons.end(), static_cast<int>(data.commandId));
        if (it == buttons.end()) return;
        index = static_cast<int>(it - buttons.begin());
    }
    const std::optional<Bitmap> bitmap = m_pictureSource->LoadBitmap(resource);
    if (!bitmap) return;
    auto pictures = std::make_unique<CPictureList>(Size{kPictureWidth, kPictureHeight});
    const Colour transparent = m_useMaskColour ? m_maskColour : m_look.GetColour(MenuColour::ButtonFace);
    const CPictureList::ButtonColours greys{
        m_look.GetColour(MenuColour::ButtonText), m_look.GetColour(MenuColour::ButtonShadow),
        m_look.GetColour(MenuColour::ButtonFace), m_look.GetColour(MenuColour::ButtonHighlight)};
    const int first = pictures->AddMasked(*bitmap, transparent, greys);
    if (first < 0 || first + index >= pictures->GetImageCount()) return;
    data.pictureIndex = first + index;
    data.pictureResource = resource;
    data.pictures = std::move(pictures);
}

void CIconMenu::MeasureMenuItem(MeasureItemRequest& request) const {
    const MenuItemData* data = request.itemData;
    const int barHeight = m_look.GetMenuBarHeight();
    if (data && (data->flags & MenuFlag::kSeparator)) {
        request.itemWidth = 0;
        request.itemHeight = barHeight / 2;
        return;
    }
    int textWidth = 0;
    if (IDeviceContext* dc = request.dc; dc && data) {
        dc->SaveState();
        dc->SelectFont(m_look.GetMenuFont());
        if (m_versionClass == 0) {
            // The old platform measures the text as one line and falls short;
            // widen it by three average characters.
            int w = dc->GetTextExtent(data->text).cx + 3;
            const int characters = std::max<int>(1, static_cast<int>(data->text.size()));
            textWidth = w + (w / characters) * 3;
        } else {
            // The label and its shortcut, each as the menu shows it, with the
            // tab between them as wide as kShortcutGap.
            const SplitText parts = Split(data->text);
            const auto width = [&](const std::string& part) {
                Rect r{0, 0, 0, 0};
                dc->DrawText(part, r, TextFormat::kSingleLine | TextFormat::kCalcRect);
                return r.Width();
            };
            textWidth = width(parts.label);
            if (!parts.shortcut.empty()) textWidth += kShortcutGap + width(parts.shortcut);
        }
        dc->RestoreState();
    }
    request.itemWidth = textWidth + 2 * kPictureWidth + 1;
    request.itemHeight = std::max(barHeight, kPictureHeight + 4);
}

void CIconMenu::DrawMenuItem(const DrawItemRequest& request) const {
    if (!request.dc || !request.itemData) return;
    IDeviceContext& dc = *request.dc;
    const MenuItemData& data = *request.itemData;
    const Rect& r = request.rect;
    const auto colour = [&](MenuColour which) { return m_look.GetColour(which); };
    const Colour menu = colour(MenuColour::Menu);
    dc.SaveState();

    if (data.flags & MenuFlag::kSeparator) {
        Fill(dc, r, menu);
        const int middle = r.top + r.Height() / 2;
        Fill(dc, {r.left, middle - 1, r.right, middle}, colour(MenuColour::ButtonShadow));
        Fill(dc, {r.left, middle, r.right, middle + 1}, colour(MenuColour::ButtonHighlight));
        dc.RestoreState();
        return;
    }

    const bool selected = request.state & MenuItemState::kSelected;
    const bool checked = request.state & MenuItemState::kChecked;
    const bool disabled = request.state & (MenuItemState::kGrayed | MenuItemState::kDisabled);
    CPictureList* pictures = data.pictures.get();
    const bool hasPicture = pictures && data.pictureIndex >= 0 && data.pictureIndex < pictures->GetImageCount();
    const bool newShell = IsNewShell();

    // The background; a selected item keeps the picture column in the menu's
    // colour when it shows a picture or a check.
    if (!selected) {
        Fill(dc, r, menu);
        dc.SetTextColour(colour(MenuColour::MenuText));
    } else {
        const int from = (hasPicture || checked) ? r.left + kPictureWidth + 5 : r.left;
        if (from > r.left) Fill(dc, {r.left, r.top, from, r.bottom}, menu);
        Fill(dc, {from, r.top, r.right, r.bottom}, colour(MenuColour::Highlight));
        dc.SetTextColour(colour(MenuColour::HighlightText));
    }

    // The picture column.
    const int f = std::max(0, (r.Height() - kPictureHeight - 4) / 2);
    const Rect box{r.left + 1, r.top + f + 1, r.left + 1 + kPictureWidth + 2, r.top + f + 1 + kPictureHeight + 2};
    const Point at{r.left + 2, r.top + f + 2};
    const Colour light = colour(MenuColour::ButtonHighlight);
    const Colour shadow = colour(MenuColour::ButtonShadow);
    if (hasPicture) {
        if (disabled) {
            pictures->DrawDisabled(dc, data.pictureIndex, at, light, shadow);
        } else {
            if (selected) {
                Fill(dc, box, menu);
                if (newShell) checked ? Frame3D(dc, box, shadow, light) : Frame3D(dc, box, light, shadow);
            } else if (checked) {
                Fill(dc, box, colour(MenuColour::Light3D));
                if (newShell) Frame3D(dc, box, shadow, light);
            }
            pictures->Draw(dc, data.pictureIndex, at);
        }
    } else if (checked) {
        const Rect area{at.x, at.y, at.x + kPictureWidth, at.y + kPictureHeight};
        Fill(dc, area, (selected || !newShell) ? menu : colour(MenuColour::Light3D));
        if (newShell) Frame3D(dc, area, shadow, light);
        const Colour mark = colour(MenuColour::MenuText);
        if (data.flags & MenuFlag::kRadioCheck)
            Pixels(dc, {area.left + 5, area.top + 4}, kRadioDot, mark);
        else
            Pixels(dc, {area.left + 4, area.top + 4}, kCheckMarkPixels, mark);
    }

    // The text, and the shortcut right-aligned after its tab.
    const SplitText parts = Split(data.text);
    TextFormats format = TextFormat::kSingleLine | TextFormat::kVCenter;
    if (request.state & MenuItemState::kNoAccel) format |= TextFormat::kHidePrefix;
    dc.SetTransparentBackground();
    dc.SelectFont(m_look.GetMenuFont());
    const auto text = [&](int dx, int dy) {
        Rect label{r.left + kTextLeft + dx, r.top + dy, r.right + dx, r.bottom + dy};
        dc.DrawText(parts.label, label, format | TextFormat::kLeft);
        if (parts.shortcut.empty()) return;
        Rect shortcut{r.left + kTextLeft + dx, r.top + dy, r.right - kShortcutRight + dx, r.bottom + dy};
        dc.DrawText(parts.shortcut, shortcut, format | TextFormat::kRight);
    };
    if (!disabled) {
        text(0, 0);
    } else if (selected) {
        dc.SetTextColour(menu);
        text(0, 0);
    } else {
        dc.SetTextColour(light);
        text(1, 1);
        dc.SetTextColour(colour(MenuColour::GrayText));
        text(0, 0);
    }
    dc.RestoreState();
}

bool CIconMenu::IsIconMenu(MenuHandle menu) { return Popups().contains(menu); }

std::uint32_t CIconMenu::FindMnemonic(char32_t character, unsigned flags, MenuHandle menu) {
    if (!(flags & MenuFlag::kPopup)) return MenuChar::kIgnore;
    const auto it = Popups().find(menu);
    if (it == Popups().end()) return MenuChar::kIgnore;
    const std::string mark = Utf8LowerOf(character);
    const CIconMenu& popup = *it->second;
    for (int i = 0; i < popup.GetMenuItemCount(); ++i) {
        const Item& item = popup.m_items[static_cast<std::size_t>(i)];
        const std::string& text = item.data ? item.data->text : item.text;
        if (MnemonicOf(text) == mark) return MenuChar::Answer(MenuChar::kExecute, i);
    }
    return MenuChar::kIgnore;
}

}  // namespace tabulon
