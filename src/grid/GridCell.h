#pragma once

#include <cstdint>
#include <memory>

#include "grid/CellText.h"
#include "grid/GridCellBase.h"

namespace tabulon {

// The ordinary text cell.
class CGridCell : public CGridCellBase {
public:
    static const CellClass& Class();
    const CellClass& GetRuntimeClass() const override { return Class(); }
    CGridCell();
    ~CGridCell() override;
    CGridCell(const CGridCell&) = delete;
    CGridCell& operator=(const CGridCell&) = delete;

    void SetText(std::string_view text) override { m_text.Assign(text); }
    void SetImage(int image) override;
    void SetData(std::uint32_t data) override { m_data = data; }
    void SetFormat(TextFormats format) override;
    void SetTextColour(Colour colour) override;
    void SetBackColour(Colour colour) override;
    void SetFont(const LogFont* font) override;
    void SetMargin(unsigned margin) override;
    void SetGrid(CGridCtrl* grid) override;

    std::string_view GetText() const override { return m_text.View(); }
    int GetImage() const override { return Extra() ? Extra()->image : -1; }
    std::uint32_t GetData() const override { return m_data; }
    TextFormats GetFormat() const override;
    Colour GetTextColour() const override { return Extra() ? Extra()->textColour : kDefaultColour; }
    Colour GetBackColour() const override;
    const LogFont* GetFont() const override;
    const LogFont* GetFontObject() const override;
    CGridCtrl* GetGrid() const override;
    unsigned GetMargin() const override;
    bool IsDefaultFont() const override { return !OwnFont(); }
    bool IsEditing() const override { return Extra() && Extra()->editing; }

    void Reset() override;

    bool Edit(int row, int col, const Rect& rect, Point point, unsigned editId, unsigned firstChar) override;
    void EndEdit() override;
    void OnEndEdit() override;

    // What Edit would open the box with: right, centred or left.
    static TextFormats EditAlignment(TextFormats format);
    // A grid that goes: its cells no longer name it.
    static void ForgetGrid(const CGridCtrl* grid);

protected:
    // Raw values, for the classes that must not resolve them.
    TextFormats StoredFormat() const;
    unsigned StoredMargin() const { return Extra() ? Extra()->margin : kUnsetMargin; }
    const LogFont* OwnFont() const { return Extra() ? Extra()->font.get() : nullptr; }

private:
    static constexpr Colour kDefaultBackColour = 0x00FFFFFF;
    static constexpr unsigned kUnsetMargin = 0xFFFFFFFFu;

    // What few cells have: a text colour, a margin, an image or a font of
    // their own, an edit under way, and what does not fit the places below.
    // Kept beside the cell, made when the first of them is set, gone on
    // Reset.
    struct Attributes {
        CGridCtrl* grid = nullptr;
        Colour textColour = kDefaultColour;
        unsigned margin = kUnsetMargin;
        int image = -1;
        unsigned format = 0;
        Colour backColour = 0;
        bool editing = false;
        std::unique_ptr<LogFont> font;
    };
    static constexpr std::uint8_t kHasAttributes = 0x80;
    static constexpr std::uint8_t kGridPlaces = 0x7F;

    const Attributes* Extra() const { return (m_owner & kHasAttributes) ? Find(this) : nullptr; }
    Attributes* Extra() { return (m_owner & kHasAttributes) ? Find(this) : nullptr; }
    static Attributes* Find(const CGridCell* cell);
    // The attributes, made now when the cell had none.
    Attributes& OwnAttributes();
    void DropAttributes() noexcept;

    // A list holds millions of these, 24 bytes each: the format and back
    // colour are places in tables of the few values cells take (the last
    // place means the value is in the Attributes), the grid a place in the
    // table of grids with the mark of the Attributes beside it.
    std::uint8_t m_format = 0;
    std::uint8_t m_backColour = 0;
    std::uint8_t m_owner = 0;
    std::uint32_t m_data = 0;
    CCellText m_text;
};

// Supplies the attributes a cell leaves unset, and the default row height and
// column width. Four per grid.
class CGridDefaultCell : public CGridCell {
public:
    static const CellClass& Class();
    const CellClass& GetRuntimeClass() const override { return Class(); }
    // Takes the desktop's message font; measured on its screen context.
    explicit CGridDefaultCell(class IDesktop* desktop = nullptr);

    void SetData(std::uint32_t) override {}
    void SetState(CellStates) override {}
    CellStates GetState() const override;
    TextFormats GetFormat() const override { return StoredFormat(); }
    unsigned GetMargin() const override { return StoredMargin(); }
    const LogFont* GetFont() const override { return OwnFont(); }
    const LogFont* GetFontObject() const override { return OwnFont(); }
    void SetFont(const LogFont* font) override;

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    void SetWidth(int width) { m_width = width; }
    void SetHeight(int height) { m_height = height; }

private:
    class IDesktop* m_desktop;
    int m_width = 30;
    int m_height = 10;
};

// The check box that marks items in 'New items'.
class CGridCellCheckBox : public CGridCell {
public:
    static const CellClass& Class();
    const CellClass& GetRuntimeClass() const override { return Class(); }
    CGridCellCheckBox() = default;

    void SetText(std::string_view text) override;
    std::string_view GetText() const override;
    void SetCoords(int row, int col) override {
        m_row = row;
        m_col = col;
    }
    bool KeepsCoords() const override { return true; }
    void Reset() override;

    bool GetCheck() const { return m_checked != 0; }
    // With no value the check turns over.
    void SetCheck(std::optional<bool> value = std::nullopt);

    bool Draw(IDeviceContext* dc, int row, int col, Rect rect, bool eraseBackground) override;
    bool Edit(int row, int col, const Rect& rect, Point point, unsigned editId, unsigned firstChar) override;
    void OnClickDown(Point point) override;

private:
    unsigned char m_checked = 0;
    int m_row = -1;
    int m_col = -1;
};

}  // namespace tabulon
