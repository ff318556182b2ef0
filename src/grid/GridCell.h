#pragma once

#include <cstdint>
#include <memory>

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

    void SetText(const std::string& text) override;
    void SetImage(int image) override;
    void SetData(std::uint32_t data) override { m_data = data; }
    void SetFormat(TextFormats format) override { m_format = format.ToBits(); }
    void SetTextColour(Colour colour) override;
    void SetBackColour(Colour colour) override { m_backColour = colour; }
    void SetFont(const LogFont* font) override;
    void SetMargin(unsigned margin) override;
    void SetGrid(CGridCtrl* grid) override;

    const std::string& GetText() const override { return m_text; }
    int GetImage() const override { return Extra() ? Extra()->image : -1; }
    std::uint32_t GetData() const override { return m_data; }
    TextFormats GetFormat() const override;
    Colour GetTextColour() const override { return Extra() ? Extra()->textColour : kDefaultColour; }
    Colour GetBackColour() const override { return m_backColour; }
    const LogFont* GetFont() const override;
    const LogFont* GetFontObject() const override;
    CGridCtrl* GetGrid() const override { return Extra() ? Extra()->grid : reinterpret_cast<CGridCtrl*>(m_grid); }
    unsigned GetMargin() const override;
    bool IsDefaultFont() const override { return !OwnFont(); }
    bool IsEditing() const override { return Extra() && Extra()->editing; }

    void Reset() override;

    bool Edit(int row, int col, const Rect& rect, Point point, unsigned editId, unsigned firstChar) override;
    void EndEdit() override;
    void OnEndEdit() override;

    // What Edit would open the box with: right, centred or left.
    static TextFormats EditAlignment(TextFormats format);

protected:
    // Raw values, for the classes that must not resolve them.
    TextFormats StoredFormat() const { return TextFormats::FromBits(m_format); }
    unsigned StoredMargin() const { return Extra() ? Extra()->margin : kUnsetMargin; }
    const LogFont* OwnFont() const { return Extra() ? Extra()->font.get() : nullptr; }

private:
    static constexpr Colour kDefaultBackColour = 0x00FFFFFF;
    static constexpr unsigned kUnsetMargin = 0xFFFFFFFFu;

    // What few cells have: a text colour, a margin, an image or a font of
    // their own, an edit under way. Made when the first of them is set, gone
    // on Reset. (The back colour is the cell's own: every item number has
    // one.)
    struct Attributes {
        CGridCtrl* grid = nullptr;
        Colour textColour = kDefaultColour;
        unsigned margin = kUnsetMargin;
        int image = -1;
        bool editing = false;
        std::unique_ptr<LogFont> font;
    };
    static constexpr std::uintptr_t kHasAttributes = 1;

    const Attributes* Extra() const {
        return (m_grid & kHasAttributes) ? reinterpret_cast<const Attributes*>(m_grid & ~kHasAttributes) : nullptr;
    }
    Attributes* Extra() {
        return (m_grid & kHasAttributes) ? reinterpret_cast<Attributes*>(m_grid & ~kHasAttributes) : nullptr;
    }
    // The attributes, made now when the cell had none.
    Attributes& OwnAttributes();
    void DropAttributes() noexcept;

    // Ordered so that nothing is padded: a large list holds millions of
    // these, 64 bytes each.
    std::uint32_t m_data = 0;
    std::string m_text;
    unsigned m_format = 0xFFFFFFFFu;
    Colour m_backColour = kDefaultBackColour;
    // The grid, or, with the lowest bit set, the cell's Attributes (which
    // hold the grid): one word for what nearly every cell leaves as it is.
    std::uintptr_t m_grid = 0;
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

    void SetText(const std::string& text) override;
    const std::string& GetText() const override;
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
