#pragma once
// The order a sort by one column gives a run of rows. The sort runs on
// compact keys (the first sixteen bytes of each text, folded, as two numbers,
// and where the whole text lies) rather than on the cells: the same swaps as
// swapping whole rows each time, but the inner loops read one small array
// instead of a million cells, and the rows are put in their new order once.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulon {

class CSortKeys {
public:
    // Starts a new run; the texts are then added in row order.
    void Clear();
    void Add(const std::string& text, int row);
    // Orders the keys by their texts without case, ascending or descending.
    // Keys whose texts tie keep the order this exact quicksort gives them,
    // which stored lists rely on. A long sort calls onProgress now and then
    // with the share of the work done so far, in thousandths.
    void Sort(bool ascending, const std::function<void(unsigned)>& onProgress = {});

    std::size_t Size() const { return m_keys.size(); }
    // The row whose text comes at place k of the order.
    int RowAt(std::size_t k) const { return m_keys[k].row; }
    // Gives the memory of a large run back instead of keeping it for the next.
    void ReleaseIfLarge();
    // Runs up to this long keep their scratch: sorting many small runs one
    // after another (the sort by all columns) then allocates nothing.
    static constexpr std::size_t kKeptRun = 4096;

private:
    struct Key {
        std::uint64_t prefix[2];
        std::size_t offset;  // where the text starts in m_texts
        std::uint32_t length;
        int row;
    };
    static std::uint64_t FoldedPrefix(const std::string& text, std::size_t from);
    std::string_view TextOf(const Key& key) const { return {m_texts.data() + key.offset, key.length}; }
    int Compare(const Key& a, const Key& b) const;
    bool Differ(const Key& a, const Key& b) const;
    void Sort(bool ascending, int low, int high);
    void Tick(std::size_t keys);
    const std::function<void(unsigned)>* m_onProgress = nullptr;
    std::size_t m_visited = 0;
    std::size_t m_expected = 0;
    std::vector<Key> m_keys;
    std::string m_texts;
};

}  // namespace tabulon
