#include "collection/sound_index.h"

#include <algorithm>
#include <functional>
#include <set>

#include "collection/memo_text.h"

std::string CSoundIndex::SearchText(const SoundSummary& summary) {
    std::string text;
    std::size_t size = summary.name.size();
    for (const std::string& memo : summary.memosSeen)
        size += memo.size() + 1;
    for (const std::string& tag : summary.tags)
        size += tag.size() + 1;
    text.reserve(size);
    AppendSearchText(text, summary.name);
    const auto add = [&](const std::string& bytes) {
        if (bytes.empty()) return;
        text += '\n';
        AppendSearchText(text, bytes);
    };
    for (const std::string& memo : summary.memosSeen)
        add(memo);
    for (const std::string& tag : summary.tags)
        add(tag);
    return text;
}

void CSoundIndex::Reset(std::vector<SoundSummary> summaries) {
    summaries_ = std::move(summaries);
    texts_.clear();
    texts_.reserve(summaries_.size());
    for (const SoundSummary& summary : summaries_)
        texts_.push_back(SearchText(summary));
    Order();
}

void CSoundIndex::Update(std::vector<SoundSummary> summaries) {
    for (SoundSummary& summary : summaries) {
        const std::ptrdiff_t entry = EntryOf(summary.id);
        std::string text = SearchText(summary);
        if (entry >= 0) {
            summaries_[static_cast<std::size_t>(entry)] = std::move(summary);
            texts_[static_cast<std::size_t>(entry)] = std::move(text);
        } else {
            summaries_.push_back(std::move(summary));
            texts_.push_back(std::move(text));
        }
    }
    Order();
}

std::ptrdiff_t CSoundIndex::EntryOf(SoundId id) const {
    const auto found =
        std::lower_bound(byId_.begin(), byId_.end(), id,
                         [&](std::uint32_t entry, SoundId wanted) { return summaries_[entry].id < wanted; });
    if (found == byId_.end() || summaries_[*found].id != id) return -1;
    return static_cast<std::ptrdiff_t>(*found);
}

void CSoundIndex::Order() {
    // The keys side by side, so that sorting does not wander through the summaries.
    struct Key {
        CollectionTime lastSeen;
        std::int64_t lastRank;
        SoundId id;
        std::uint32_t entry;
    };
    std::vector<Key> keys(summaries_.size());
    for (std::uint32_t i = 0; i < keys.size(); ++i)
        keys[i] = {summaries_[i].lastSeen, summaries_[i].lastRank, summaries_[i].id, i};
    std::sort(keys.begin(), keys.end(), [](const Key& x, const Key& y) {
        if (x.lastSeen != y.lastSeen) return x.lastSeen > y.lastSeen;
        if (x.lastRank != y.lastRank) return x.lastRank > y.lastRank;
        return x.id > y.id;
    });
    order_.resize(keys.size());
    for (std::size_t row = 0; row < keys.size(); ++row)
        order_[row] = keys[row].entry;
    rowOfEntry_.resize(summaries_.size());
    for (std::uint32_t row = 0; row < order_.size(); ++row)
        rowOfEntry_[order_[row]] = row;
    // The texts in row order, each ended by a zero byte, which no folded text holds.
    std::size_t size = 0;
    for (const std::string& text : texts_)
        size += text.size() + 1;
    haystack_.clear();
    haystack_.reserve(size);
    rowStart_.clear();
    rowStart_.reserve(order_.size() + 1);
    for (std::uint32_t entry : order_) {
        rowStart_.push_back(haystack_.size());
        haystack_ += texts_[entry];
        haystack_ += '\0';
    }
    rowStart_.push_back(haystack_.size());
    // The store gives the summaries by id: then they are in order already.
    byId_.resize(summaries_.size());
    for (std::uint32_t i = 0; i < byId_.size(); ++i)
        byId_[i] = i;
    const auto byId = [&](std::uint32_t a, std::uint32_t b) { return summaries_[a].id < summaries_[b].id; };
    if (!std::is_sorted(byId_.begin(), byId_.end(), byId)) std::sort(byId_.begin(), byId_.end(), byId);
}

std::ptrdiff_t CSoundIndex::RowOf(SoundId id) const {
    const std::ptrdiff_t entry = EntryOf(id);
    return entry < 0 ? -1 : static_cast<std::ptrdiff_t>(rowOfEntry_[static_cast<std::size_t>(entry)]);
}

std::vector<std::size_t> CSoundIndex::Search(const SoundFilter& filter) const {
    const std::string text = FoldForSearch(filter.text);
    const std::string tag = FoldForSearch(filter.tag);
    const auto passes = [&](std::size_t row) {
        const SoundSummary& summary = summaries_[order_[row]];
        if (filter.favouritesOnly && !summary.favourite) return false;
        return tag.empty() || std::any_of(summary.tags.begin(), summary.tags.end(),
                                          [&](const std::string& own) { return FoldForSearch(own) == tag; });
    };
    std::vector<std::size_t> found;
    if (text.empty()) {
        for (std::size_t row = 0; row < order_.size(); ++row)
            if (passes(row)) found.push_back(row);
        return found;
    }
    // One pass over the texts of all rows, one after the other: a match names its row, and the search goes on
    // at the next row.
    const std::boyer_moore_horspool_searcher searcher(text.begin(), text.end());
    auto from = haystack_.begin();
    while (true) {
        const auto hit = std::search(from, haystack_.end(), searcher);
        if (hit == haystack_.end()) break;
        const auto offset = static_cast<std::size_t>(hit - haystack_.begin());
        const std::size_t row = static_cast<std::size_t>(
            std::upper_bound(rowStart_.begin(), rowStart_.end(), offset) - rowStart_.begin() - 1);
        if (passes(row)) found.push_back(row);
        from = haystack_.begin() + static_cast<std::ptrdiff_t>(rowStart_[row + 1]);
    }
    return found;
}

std::vector<std::string> CSoundIndex::Tags() const {
    std::set<std::string> seen;
    std::vector<std::string> tags;
    for (const SoundSummary& summary : summaries_)
        for (const std::string& tag : summary.tags)
            if (seen.insert(FoldForSearch(tag)).second) tags.push_back(tag);
    std::sort(tags.begin(), tags.end());
    return tags;
}
