#pragma once
// Which items a page lists and under which letters: the index rows of the
// page of old and the letter groups of today's page follow the same rules.

#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

class CGridCtrl;

// The items a page leaves out, and the first few of them by name.
struct LeftOut {
    static constexpr std::size_t kNamed = 3;
    int count = 0;
    int items = 0;
    bool anyLetter = false;  // letters beyond A to Z are listed too
    std::vector<std::string> names;

    void Add(const CGridCtrl& grid, int row);
    std::string Message() const;
};

// What a page makes of the walk: a letter's index row (or group), with its
// anchor unless the letter had one further up, and an item, which follows
// the index row of a letter when indexed is true.
class ILetterGroupSink {
public:
    virtual ~ILetterGroupSink() = default;
    virtual void Letter(std::string_view name, bool anchor) = 0;
    virtual void Item(int row, bool indexed) = 0;
};

struct LetterGroupOptions {
    int mode = 0;               // the index mode, 0 to 4
    bool otherLetters = false;  // letters beyond A to Z follow Z
    // Letters beyond A to Z in UTF-8 whatever the encoding of their text,
    // so that the same letter in either makes one group.
    bool utf8Letters = false;
};

// Walks the grid's items (none without a grid) in their order (after the sort): the index rows
// the mode gives and the items that are listed, to sink; the items left
// out, to leftOut.
void WalkLetterGroups(const CGridCtrl* grid, const LetterGroupOptions& options, ILetterGroupSink& sink,
                      LeftOut& leftOut);

}  // namespace tabulon
