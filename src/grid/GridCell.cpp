#include "grid/GridCell.h"

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

CGridCell::CGridCell() = default;
CGridCell::~CGridCell() { DropAttributes(); }

CGridCell::Attributes& CGridCell::OwnAttributes() {
    if (Attributes* extra = Extra()) return *extra;
    auto* extra = new Attributes;
    extra->grid = reinterpret_cast<CGridCtrl*>(m_grid);
    static_assert(alignof(Attributes) >= 2, "the mark needs a free pointer bit");
    m_grid = reinterpret_cast<std::uintptr_t>(extra) | kHasAttributes;
    return *extra;
}

void CGridCell::DropAttributes() noexcept {
    Attributes* extra = Extra();
    if (!extra) return;
    m_grid = reinterpret_cast<std::uintptr_t>(extra->grid);
    delete extra;
}

void CGridCell::SetText(const std::string& text) {
    // A text longer than the string holds in itself gets a block of its
    // own size: assigning would round it up (to 30 bytes for 16), and a
    // million texts carry that slack.
    if (text.size() > m_text.capacity()) {
        m_text = std::string(text);
        return;
    }
    m_text = text;
}

void CGridCell::SetGrid(CGridCtrl* grid) {
    if (Attributes* extra = Extra())
        extra->grid = grid;
    else
        m_grid = reinterpret_cast<std::uintptr_t>(grid);
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
    if (m_format != kUnset) return TextFormats::FromBits(m_format);
    CGridCellBase* def = GetDefaultCell();
    return def ? def->GetFormat() : TextFormats::FromBits(m_format);
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
    m_text.clear();
    m_data = 0;
    m_format = kUnset;
    m_backColour = kDefaultBackColour;
    DropAttributes();
    m_grid = 0;
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
    const bool opened =
        grid->CreateCellEditBox(rect, EditAlignment(GetFormat()), editId, row, col, GetText(), firstChar) != nullptr;
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

void CGridCellCheckBox::SetText(const std::string& text) {
    const bool checked = !text.empty();
    if (checked != GetCheck()) SetCheck(checked);
}

const std::string& CGridCellCheckBox::GetText() const {
    static const std::string checkedText = "X";
    return m_checked ? checkedText : EmptyText();
}

void CGridCellCheckBox::Reset() {
    CGridCell::Reset();
    m_checked = 0;
    m_row = -1;
    m_col = -1;
}

void CGridCellCheckBox::SetCheck(std::optional<bool> value) {
    const bool checked = value ? *value : !m_checked;
    if (CGridCtrl* grid = GetGrid(); grid && !grid->NoteCheckChange(m_row, m_col, GetCheck())) return;
    m_checked = checked;
    if (CGridCtrl* grid = GetGrid()) {
        grid->NotifyCellChanged(m_row, m_col);
        grid->Refresh();
        grid->SendMessageToParent(m_row, m_col, GridNotify::kEndEdit);
    }
}

bool CGridCellCheckBox::Draw(IDeviceContext* dc, int, int, Rect rect, bool) {
    if (!dc || rect.right <= rect.left || rect.bottom <= rect.top) return false;
    dc->SaveState();
    if (IsSelected() || IsDropHighlighted()) dc->FrameRect(rect, MakeColour(0, 0, 0));
    const int margin = static_cast<int>(GetMargin());
    rect.left += margin;
    rect.right -= margin;
    CGridCtrl* grid = GetGrid();
    const int checkHeight =
        (grid ? grid->GetDesktop() : HeadlessDesktop()).GetSystemMetric(SysMetric::MenuCheckHeight) + 2;
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
