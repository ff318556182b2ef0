#include "grid/GridCell.h"

#include <array>
#include <unordered_map>

#include "grid/CellEditBox.h"
#include "grid/GridCtrl.h"
#include "platform/Desktop.h"

namespace tabulon {

namespace {
constexpr unsigned kUnset = 0xFFFFFFFFu;
constexpr unsigned kReturnKey = 13;

template <typename Cell>
std::unique_ptr<CGridCellBase> Make() {
    return std::make_unique<Cell>();
}
}  // namespace

// ---- CGridCell ----

const CellClass& CGridCell::Class() {
    static const CellClass c{"CGridCell", &CGridCellBase::Class(), &Make<CGridCell>};
    return c;
}

namespace {

// The few values a field of millions of cells takes, each kept once for the
// life of the program; a cell holds its value's place. Place 0 is the value
// of a new cell, the last place is never given out.
template <typename T>
class CValueTable {
public:
    static constexpr std::uint8_t kFull = 0xFF;
    explicit CValueTable(T fresh) { m_values[0] = fresh; }
    // The place of value, kFull when the table has no room for it.
    std::uint8_t PlaceOf(T value) {
        if (m_values[m_last] == value) return m_last;
        for (unsigned i = 0; i < m_count; ++i)
            if (m_values[i] == value) return m_last = static_cast<std::uint8_t>(i);
        if (m_count == kFull) return kFull;
        m_values[m_count] = value;
        return m_last = static_cast<std::uint8_t>(m_count++);
    }
    T At(std::uint8_t place) const { return m_values[place]; }

private:
    std::array<T, kFull> m_values{};
    unsigned m_count = 1;
    std::uint8_t m_last = 0;
};

CValueTable<unsigned>& Formats() {
    static CValueTable<unsigned> table(kUnset);
    return table;
}

CValueTable<Colour>& BackColours() {
    static CValueTable<Colour> table(0x00FFFFFF);
    return table;
}

// The grids that have cells, at the places their cells hold; place 0 is no
// grid. A grid that goes leaves its place free for the next.
std::array<CGridCtrl*, 0x7F>& Grids() {
    static std::array<CGridCtrl*, 0x7F> grids{};
    return grids;
}

}  // namespace

static_assert(sizeof(CGridCell) == 24, "a cell is three words: its class, its small fields, its text");

CGridCell::CGridCell() = default;
CGridCell::~CGridCell() { DropAttributes(); }

namespace {
// Few cells have attributes, so a table beside the cells costs less than a
// word in each. It lasts as long as the process: a cell may go after the
// statics have.
template <typename Attributes>
std::unordered_map<const void*, Attributes>& AttributeTable() {
    static auto* table = new std::unordered_map<const void*, Attributes>;
    return *table;
}
}  // namespace

CGridCell::Attributes* CGridCell::Find(const CGridCell* cell) {
    return &AttributeTable<Attributes>().find(cell)->second;
}

CGridCell::Attributes& CGridCell::OwnAttributes() {
    if (Attributes* extra = Extra()) return *extra;
    Attributes& made = AttributeTable<Attributes>()[this];
    m_owner |= kHasAttributes;
    return made;
}

void CGridCell::DropAttributes() noexcept {
    if (!(m_owner & kHasAttributes)) return;
    // A grid kept there goes with them.
    if ((m_owner & kGridPlaces) == kGridPlaces) m_owner = 0;
    m_owner &= kGridPlaces;
    AttributeTable<Attributes>().erase(this);
}

void CGridCell::SetGrid(CGridCtrl* grid) {
    std::array<CGridCtrl*, 0x7F>& grids = Grids();
    std::uint8_t place = 0;
    if (grid) {
        std::uint8_t free = 0;
        for (std::uint8_t i = 1; i < kGridPlaces && !place; ++i) {
            if (grids[i] == grid) place = i;
            if (!grids[i] && !free) free = i;
        }
        if (!place && free) grids[place = free] = grid;
        // More grids at once than places: this cell keeps its grid itself.
        if (!place) {
            OwnAttributes().grid = grid;
            place = kGridPlaces;
        }
    }
    m_owner = static_cast<std::uint8_t>((m_owner & kHasAttributes) | place);
}

CGridCtrl* CGridCell::GetGrid() const {
    const std::uint8_t place = m_owner & kGridPlaces;
    if (place == kGridPlaces) return Extra()->grid;
    return Grids()[place];
}

void CGridCell::ForgetGrid(const CGridCtrl* grid) {
    for (CGridCtrl*& known : Grids())
        if (known == grid) known = nullptr;
}

void CGridCell::SetFormat(TextFormats format) {
    const std::uint8_t place = Formats().PlaceOf(format.ToBits());
    if (place == CValueTable<unsigned>::kFull) OwnAttributes().format = format.ToBits();
    m_format = place;
}

TextFormats CGridCell::StoredFormat() const {
    if (m_format == CValueTable<unsigned>::kFull) return TextFormats::FromBits(Extra()->format);
    return TextFormats::FromBits(Formats().At(m_format));
}

void CGridCell::SetBackColour(Colour colour) {
    const std::uint8_t place = BackColours().PlaceOf(colour);
    if (place == CValueTable<Colour>::kFull) OwnAttributes().backColour = colour;
    m_backColour = place;
}

Colour CGridCell::GetBackColour() const {
    if (m_backColour == CValueTable<Colour>::kFull) return Extra()->backColour;
    return BackColours().At(m_backColour);
}

// Setting the default to a cell without attributes of its own costs nothing.
void CGridCell::SetTextColour(Colour colour) {
    if (Extra() || colour != kDefaultColour) OwnAttributes().textColour = colour;
}

void CGridCell::SetImage(int image) {
    if (Extra() || image != -1) OwnAttributes().image = image;
}

void CGridCell::SetMargin(unsigned margin) {
    if (Extra() || margin != kUnsetMargin) OwnAttributes().margin = margin;
}

void CGridCell::SetFont(const LogFont* font) {
    if (!font) {
        if (Attributes* extra = Extra()) extra->font.reset();
        return;
    }
    Attributes& extra = OwnAttributes();
    if (extra.font)
        *extra.font = *font;
    else
        extra.font = std::make_unique<LogFont>(*font);
}

TextFormats CGridCell::GetFormat() const {
    const TextFormats stored = StoredFormat();
    if (stored.ToBits() != kUnset) return stored;
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetFormat() : stored;
}

const LogFont* CGridCell::GetFont() const {
    if (const LogFont* own = OwnFont()) return own;
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetFont() : nullptr;
}

// The host makes a real font from the record whenever it is asked to select
// one, so the record itself serves as the font object.
const LogFont* CGridCell::GetFontObject() const {
    if (const LogFont* own = OwnFont()) return own;
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetFontObject() : nullptr;
}

unsigned CGridCell::GetMargin() const {
    if (StoredMargin() != kUnset) return StoredMargin();
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetMargin() : kUnset;
}

void CGridCell::Reset() {
    CGridCellBase::Reset();
    m_text.Clear();
    m_data = 0;
    m_format = 0;
    m_backColour = 0;
    DropAttributes();
    m_owner = 0;
}

TextFormats CGridCell::EditAlignment(TextFormats format) {
    if (format & TextFormat::kRight) return TextFormat::kRight;
    if (format & TextFormat::kCenter) return TextFormat::kCenter;
    return TextFormat::kLeft;
}

bool CGridCell::Edit(int row, int col, const Rect& rect, Point, unsigned editId, unsigned firstChar) {
    CGridCtrl* grid = GetGrid();
    if (!grid) return false;
    // The grid owns the box; the cell only knows that it is being edited.
    OwnAttributes().editing = true;
    const bool opened = grid->CreateCellEditBox(rect, EditAlignment(GetFormat()), editId, row, col,
                                                std::string(GetText()), firstChar) != nullptr;
    // Without a window to edit in there is no edit.
    if (!opened) OwnAttributes().editing = false;
    return opened;
}

void CGridCell::EndEdit() {
    // The grid owns the box and knows whether it is still open.
    if (IsEditing() && GetGrid()) GetGrid()->EndEditing();
}

void CGridCell::OnEndEdit() {
    if (Attributes* extra = Extra()) extra->editing = false;
}

// ---- CGridDefaultCell ----

const CellClass& CGridDefaultCell::Class() {
    static const CellClass c{"CGridDefaultCell", &CGridCell::Class(), &Make<CGridDefaultCell>};
    return c;
}

CGridDefaultCell::CGridDefaultCell(IDesktop* desktop) : m_desktop(desktop ? desktop : &HeadlessDesktop()) {
    SetFormat(TextFormat::kSingleLine | TextFormat::kVCenter | TextFormat::kNoPrefix | TextFormat::kEndEllipsis);
    SetTextColour(kDefaultColour);
    SetBackColour(0x00FFFFFF);
    const LogFont font = m_desktop->GetMessageFont();
    SetFont(&font);
}

CellStates CGridDefaultCell::GetState() const { return CGridCell::GetState() | CellState::kReadOnly; }

void CGridDefaultCell::SetFont(const LogFont* font) {
    if (!font) return;
    CGridCell::SetFont(font);
    std::unique_ptr<IDeviceContext> screen = m_desktop->CreateScreenContext();
    if (!screen) {
        SetMargin(3);
        m_width = 40;
        m_height = 16;
        return;
    }
    screen->SaveState();
    screen->SelectFont(*font);
    SetMargin(static_cast<unsigned>(screen->GetTextExtent(" ").cx));
    const Size sample = screen->GetTextExtent(" XXXXXXXXXXXX ");
    m_width = sample.cx;
    m_height = sample.cy * 3 / 2;
    screen->RestoreState();
}

// ---- CGridCellCheckBox ----

const CellClass& CGridCellCheckBox::Class() {
    static const CellClass c{"CGridCellCheckBox", &CGridCell::Class(), &Make<CGridCellCheckBox>};
    return c;
}

void CGridCellCheckBox::SetText(std::string_view text) {
    const bool checked = !text.empty();
    if (checked != GetCheck()) SetCheck(checked);
}

std::string_view CGridCellCheckBox::GetText() const { return m_checked ? "X" : ""; }

void CGridCellCheckBox::Reset() {
    CGridCell::Reset();
    m_checked = 0;
    m_row = -1;
    m_col = -1;
}

void CGridCellCheckBox::SetCheck(std::optional<bool> value) {
    const bool checked = value ? *value : !m_checked;
    CGridCtrl* grid = GetGrid();
    if (!grid) {
        m_checked = checked;
        return;
    }
    // The grid records the tick it had, and tells of the new one.
    if (grid->ChangeCheck(m_row, m_col, GetCheck(), [this, checked] { m_checked = checked; })) {
        grid->Refresh();
        grid->SendMessageToParent(m_row, m_col, GridNotify::kEndEdit);
    }
}

bool CGridCellCheckBox::Draw(IDeviceContext* dc, int, int, Rect rect, bool) {
    if (!dc || rect.right <= rect.left || rect.bottom <= rect.top) return false;
    dc->SaveState();
    CGridCtrl* grid = GetGrid();
    const IDesktop& desktop = grid ? grid->GetDesktop() : HeadlessDesktop();
    // In the text's colour, which is black on a light scheme.
    if (IsSelected() || IsDropHighlighted()) dc->FrameRect(rect, desktop.GetSysColour(SysColour::WindowText));
    const int margin = static_cast<int>(GetMargin());
    rect.left += margin;
    rect.right -= margin;
    const int checkHeight = desktop.GetSystemMetric(SysMetric::MenuCheckHeight) + 2;
    if (checkHeight < rect.bottom - rect.top) {
        rect.top += (rect.bottom - rect.top - checkHeight) / 2;
        rect.bottom = rect.top + checkHeight;
    }
    dc->DrawCheckBox(rect, GetCheck());
    dc->RestoreState();
    return true;
}

bool CGridCellCheckBox::Edit(int, int, const Rect&, Point, unsigned, unsigned firstChar) {
    if (firstChar == ' ' || firstChar == kReturnKey) SetCheck();
    return false;
}

void CGridCellCheckBox::OnClickDown(Point) { SetCheck(); }

}  // namespace tabulon
