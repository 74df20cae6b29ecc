#include "collection/sound_index.h"

#include <algorithm>
#include <functional>
#include <set>

#include "collection/memo_text.h"

CSoundIndex::Row CSoundIndex::MakeRow(SoundSummary summary) {
    Row row;
    row.text = SearchTextOfBytes(summary.name);
    const auto add = [&](const std::string& bytes) {
        if (bytes.empty()) return;
        row.text += '\n';
        row.text += SearchTextOfBytes(bytes);
    };
    if (summary.hasRecent)
        for (const std::string& memo : summary.recent.memos)
            add(memo);
    for (const std::string& memo : summary.otherMemos)
        add(memo);
    for (const std::string& tag : summary.tags)
        add(tag);
    row.summary = std::move(summary);
    return row;
}

void CSoundIndex::Reset(std::vector<SoundSummary> summaries) {
    rows_.clear();
    rows_.reserve(summaries.size());
    for (SoundSummary& summary : summaries)
        rows_.push_back(MakeRow(std::move(summary)));
    Order();
}

void CSoundIndex::Update(std::vector<SoundSummary> summaries) {
    for (SoundSummary& summary : summaries) {
        const auto known = rowOf_.find(summary.id);
        if (known != rowOf_.end()) {
            rows_[known->second] = MakeRow(std::move(summary));
        } else {
            rowOf_[summary.id] = rows_.size();
            rows_.push_back(MakeRow(std::move(summary)));
        }
    }
    Order();
}

void CSoundIndex::Order() {
    std::sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) {
        const SoundSummary& x = a.summary;
        const SoundSummary& y = b.summary;
        if (x.lastSeen != y.lastSeen) return x.lastSeen > y.lastSeen;
        if (x.lastRank != y.lastRank) return x.lastRank > y.lastRank;
        return x.id > y.id;
    });
    rowOf_.clear();
    rowOf_.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i)
        rowOf_[rows_[i].summary.id] = i;
}

std::ptrdiff_t CSoundIndex::RowOf(SoundId id) const {
    const auto known = rowOf_.find(id);
    return known == rowOf_.end() ? -1 : static_cast<std::ptrdiff_t>(known->second);
}

std::vector<std::size_t> CSoundIndex::Search(const SoundFilter& filter) const {
    const std::string text = FoldForSearch(filter.text);
    const std::string tag = FoldForSearch(filter.tag);
    const std::boyer_moore_horspool_searcher searcher(text.begin(), text.end());
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        if (filter.favouritesOnly && !row.summary.favourite) continue;
        if (!tag.empty() && std::none_of(row.summary.tags.begin(), row.summary.tags.end(),
                                         [&](const std::string& own) { return FoldForSearch(own) == tag; }))
            continue;
        if (!text.empty() && std::search(row.text.begin(), row.text.end(), searcher) == row.text.end())
            continue;
        found.push_back(i);
    }
    return found;
}

std::vector<std::string> CSoundIndex::Tags() const {
    std::set<std::string> seen;
    std::vector<std::string> tags;
    for (const Row& row : rows_)
        for (const std::string& tag : row.summary.tags)
            if (seen.insert(FoldForSearch(tag)).second) tags.push_back(tag);
    std::sort(tags.begin(), tags.end());
    return tags;
}
