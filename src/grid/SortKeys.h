#pragma once
// The order a sort by one column gives a run of rows. The sort runs on
// compact keys (the first sixteen bytes of each text, folded, as two numbers,
// and where the whole text lies, in its cell) rather than on the cells: the same swaps as
// swapping whole rows each time, but the inner loops read one small array
// instead of a million cells, and the rows are put in their new order once.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/BigArray.h"
#include "grid/SortOrder.h"

namespace tabulon {

class CSortKeys {
public:
    // Starts a new run; the texts are then added in row order, and must stay
    // where and as they are until the sort is done. Room is made for the
    // count expected at once: growing by doubling would hold the old keys
    // and half as many again beside the new.
    void Clear(std::size_t expected = 0);
    void Add(std::string_view text, int row);
    // Adds text by its key in order instead (a run is keyed throughout or
    // not at all): the sort compares keys, made once for each distinct text
    // by the time it starts.
    void AddKeyed(std::string_view text, int row, const CSortOrder& order);
    // Makes a keyed run's keys now, for later runs to take (AddPrepared)
    // rather than to sort this one.
    void MakeKeysNow();
    // Adds the key prepared made for row instead, when it has one; rows are
    // looked for from at on, which moves on, so that runs taking keys top to
    // bottom find each at once.
    bool AddPrepared(const CSortKeys& prepared, std::size_t& at, int row, const CSortOrder& order);
    // Orders the keys by their texts without case, ascending or descending.
    // Keys whose texts tie keep the order this exact quicksort gives them,
    // which stored lists rely on. A long sort calls onProgress now and then
    // with the share of the work done so far, in thousandths.
    void Sort(bool ascending, const std::function<void(unsigned)>& onProgress = {});

    std::size_t Size() const { return m_keys.size(); }
    bool Keyed() const { return m_keyed; }
    // In a sorted keyed run: whether the key at place k equals the one
    // before it.
    bool SameKeyAsPrevious(std::size_t k) const;
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
        const char* text;
        // A text of up to sixteen bytes: kShort, its length, and which of
        // its bytes were folded (so the prefix tells the whole text and
        // its ties need not reach the cells); else the length.
        std::uint32_t shape;
        int row;
    };
    static constexpr std::uint32_t kShort = 0x80000000u;
    static constexpr int kCaseShift = 5;
    static std::uint64_t FoldedPrefix(std::string_view text, std::size_t from, std::uint32_t& folded);
    static std::uint64_t KeyPrefix(const char* key, std::size_t from);
    // In a keyed run, a Key's text is its key in order and its shape the
    // place of its text among the run's distinct texts.
    struct KeyedText {
        std::uint64_t prefix[2];
        const char* key;
        const char* text;
        std::size_t size;
    };
    std::string_view OriginalOf(const Key& key) const {
        const KeyedText& original = m_texts[key.shape];
        return {original.text, original.size};
    }
    static std::string_view TextOf(const Key& key) {
        return {key.text, (key.shape & kShort) ? key.shape & ((1u << kCaseShift) - 1) : key.shape};
    }
    int Compare(const Key& a, const Key& b) const;
    bool Differ(const Key& a, const Key& b) const;
    void Sort(bool ascending, int low, int high);
    void Tick(std::size_t keys);
    const std::function<void(unsigned)>* m_onProgress = nullptr;
    std::size_t m_visited = 0;
    std::size_t m_expected = 0;
    BigVector<Key> m_keys;
    // A keyed run: its distinct texts and their keys, in blocks that never
    // move once written. A long run finds the texts it meets again by their
    // hash (lists repeat their artists and authors many times) and makes
    // each distinct text's key once, on two threads where it can; a short
    // run makes each key as it comes.
    bool m_keyed = false;
    const CSortOrder* m_order = nullptr;
    bool m_keysToMake = false;
    BigVector<KeyedText> m_texts;
    class CKeyStore {
    public:
        const char* Add(std::string_view key);
        // Keeps one block for the next run unless all are to go.
        void Clear(bool keepOne);
        void Take(CKeyStore& other);

    private:
        struct Block {
            std::unique_ptr<char[]> bytes;
            std::size_t size;
        };
        std::vector<Block> m_blocks;
        std::size_t m_used = 0;
    };
    CKeyStore m_keyStore;
    std::string m_scratch;
    std::size_t m_expectedKeys = 0;
    // found is told the count of distinct texts now and then.
    void FindDistinctTexts(const std::function<void(std::size_t)>& found);
    void FindTextsAndMakeKeys();
    void MakeKeys(std::size_t from, std::size_t to, CSortOrder::CKeyMaker& maker, CKeyStore& store,
                  std::string& scratch);
};

}  // namespace tabulon
