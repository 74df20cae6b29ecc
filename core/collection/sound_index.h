#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "collection/sound.h"

// What a search asks for: the sounds whose name, a memo or a tag contains text (ignoring case and width,
// see FoldForSearch; empty text: every sound), only favourites, and only those carrying a tag.
struct SoundFilter {
    std::string text;
    bool favouritesOnly = false;
    std::string tag;  // empty: any; compared ignoring case and width
};

// The summaries of the collection's sounds in memory, most recently seen first, with the folded text
// that searches look in. Built once from the store's summaries (ICollectionStore::ReadSummaries) and
// brought up to date with the summaries of the sounds that changed. Not shared between threads without a
// lock; a search does not change it.
class CSoundIndex {
  public:
    void Reset(std::vector<SoundSummary> summaries);
    // Puts in each summary, replacing the one with its id, and orders the list again.
    void Update(std::vector<SoundSummary> summaries);

    std::size_t Size() const { return order_.size(); }
    // Row 0 is the most recently seen sound.
    const SoundSummary& At(std::size_t row) const { return summaries_[order_[row]]; }
    // The row of a sound; -1 when it is not in the index.
    std::ptrdiff_t RowOf(SoundId id) const;

    // The rows that match, in order.
    std::vector<std::size_t> Search(const SoundFilter& filter) const;
    // Every tag in use, sorted, each once (as first written).
    std::vector<std::string> Tags() const;

  private:
    // The folded name, memos and tags of a summary, separated by line breaks.
    static std::string SearchText(const SoundSummary& summary);
    void Order();
    std::ptrdiff_t EntryOf(SoundId id) const;

    // The summaries in the order they came, and the search text of each ("entries").
    std::vector<SoundSummary> summaries_;
    std::vector<std::string> texts_;
    std::vector<std::uint32_t> order_;       // the entries in list order
    std::vector<std::uint32_t> byId_;        // the entries by id
    std::vector<std::uint32_t> rowOfEntry_;  // the row of each entry
    std::string haystack_;                   // the texts of the rows, in row order
    std::vector<std::size_t> rowStart_;      // where each row's text starts in it, and its end
};
