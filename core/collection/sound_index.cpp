#include "collection/sound_index.h"

#include <algorithm>
#include <functional>
#include <set>

#include "collection/memo_text.h"

CSoundIndex::Entry CSoundIndex::MakeEntry(SoundSummary summary) {
    Entry entry;
    entry.text = SearchTextOfBytes(summary.name);
    const auto add = [&](const std::string& bytes) {
        if (bytes.empty()) return;
        entry.text += '\n';
        entry.text += SearchTextOfBytes(bytes);
    };
    for (const std::string& memo : summary.memosSeen)
        add(memo);
    for (const std::string& tag : summary.tags)
        add(tag);
    entry.summary = std::move(summary);
    return entry;
}

void CSoundIndex::Reset(std::vector<SoundSummary> summaries) {
    entries_.clear();
    entryOf_.clear();
    entries_.reserve(summaries.size());
    entryOf_.reserve(summaries.size());
    for (SoundSummary& summary : summaries) {
        entryOf_[summary.id] = static_cast<std::uint32_t>(entries_.size());
        entries_.push_back(MakeEntry(std::move(summary)));
    }
    Order();
}

void CSoundIndex::Update(std::vector<SoundSummary> summaries) {
    for (SoundSummary& summary : summaries) {
        const auto known = entryOf_.find(summary.id);
        if (known != entryOf_.end()) {
            entries_[known->second] = MakeEntry(std::move(summary));
        } else {
            entryOf_[summary.id] = static_cast<std::uint32_t>(entries_.size());
            entries_.push_back(MakeEntry(std::move(summary)));
        }
    }
    Order();
}

void CSoundIndex::Order() {
    order_.resize(entries_.size());
    for (std::uint32_t i = 0; i < order_.size(); ++i)
        order_[i] = i;
    std::sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
        const SoundSummary& x = entries_[a].summary;
        const SoundSummary& y = entries_[b].summary;
        if (x.lastSeen != y.lastSeen) return x.lastSeen > y.lastSeen;
        if (x.lastRank != y.lastRank) return x.lastRank > y.lastRank;
        return x.id > y.id;
    });
    rowOfEntry_.resize(entries_.size());
    for (std::uint32_t row = 0; row < order_.size(); ++row)
        rowOfEntry_[order_[row]] = row;
}

std::ptrdiff_t CSoundIndex::RowOf(SoundId id) const {
    const auto known = entryOf_.find(id);
    return known == entryOf_.end() ? -1 : static_cast<std::ptrdiff_t>(rowOfEntry_[known->second]);
}

std::vector<std::size_t> CSoundIndex::Search(const SoundFilter& filter) const {
    const std::string text = FoldForSearch(filter.text);
    const std::string tag = FoldForSearch(filter.tag);
    const std::boyer_moore_horspool_searcher searcher(text.begin(), text.end());
    std::vector<std::size_t> found;
    for (std::size_t row = 0; row < order_.size(); ++row) {
        const Entry& entry = entries_[order_[row]];
        if (filter.favouritesOnly && !entry.summary.favourite) continue;
        if (!tag.empty() && std::none_of(entry.summary.tags.begin(), entry.summary.tags.end(),
                                         [&](const std::string& own) { return FoldForSearch(own) == tag; }))
            continue;
        if (!text.empty() && std::search(entry.text.begin(), entry.text.end(), searcher) == entry.text.end())
            continue;
        found.push_back(row);
    }
    return found;
}

std::vector<std::string> CSoundIndex::Tags() const {
    std::set<std::string> seen;
    std::vector<std::string> tags;
    for (const Entry& entry : entries_)
        for (const std::string& tag : entry.summary.tags)
            if (seen.insert(FoldForSearch(tag)).second) tags.push_back(tag);
    std::sort(tags.begin(), tags.end());
    return tags;
}
