#include "model/parameter_array.h"

#include <algorithm>

CParameterArray::CParameterArray(const CParameterArray& source) : initial_(source.initial_) {
    elements_.reserve(source.GetSize());
    for (const auto& element : source.elements_)
        elements_.push_back(element->Clone());
}

CParameterArray& CParameterArray::operator=(const CParameterArray& source) {
    Assign(source);
    return *this;
}

void CParameterArray::Assign(const CParameterArray& source) {
    if (&source == this) return;
    std::vector<std::unique_ptr<CParameter>> copy;
    copy.reserve(source.GetSize());
    for (const auto& element : source.elements_)
        copy.push_back(element->Clone());
    elements_ = std::move(copy);
}

void CParameterArray::InitializeElement(CParameter& element) const {
    if (const CParameter* first = initial_ ? initial_->InitialElement() : nullptr)
        element.Assign(*first);
    else
        element.Initialize();
}

void CParameterArray::Resize(std::size_t n) {
    if (n <= elements_.size()) {
        elements_.resize(n);
        return;
    }
    elements_.reserve(n);
    while (elements_.size() < n) {
        auto element = CreateElement();
        InitializeElement(*element);
        elements_.push_back(std::move(element));
    }
}

void CParameterArray::InsertAt(std::size_t index, std::unique_ptr<CParameter> element) {
    index = std::min(index, elements_.size());
    elements_.insert(elements_.begin() + static_cast<std::ptrdiff_t>(index), std::move(element));
}

void CParameterArray::DeleteSelection(std::span<const int> selection) {
    for (int position : selection)
        if (Contains(position)) elements_[static_cast<std::size_t>(position)].reset();
    std::erase_if(elements_, [](const auto& element) { return !element; });
}

void CParameterArray::InitializeSelection(std::span<const int> selection) {
    for (int position : selection)
        if (Contains(position)) InitializeElement(*elements_[static_cast<std::size_t>(position)]);
}

void CParameterArray::CopySelection(std::span<const int> selection, CParameterArray& clipboard) const {
    // Clone first: the clipboard may be this very list.
    std::vector<std::unique_ptr<CParameter>> copies;
    for (int position : selection)
        if (Contains(position)) copies.push_back(elements_[static_cast<std::size_t>(position)]->Clone());
    clipboard.elements_ = std::move(copies);
}

int CParameterArray::InsertClipboard(int position, const CParameterArray& clipboard) {
    std::vector<std::unique_ptr<CParameter>> copies;
    copies.reserve(clipboard.GetSize());
    for (const auto& element : clipboard.elements_)
        copies.push_back(element->Clone());
    const auto at = static_cast<std::size_t>(std::clamp<long>(position, 0, static_cast<long>(GetSize())));
    elements_.insert(elements_.begin() + static_cast<std::ptrdiff_t>(at),
                     std::make_move_iterator(copies.begin()), std::make_move_iterator(copies.end()));
    return static_cast<int>(copies.size());
}

void CParameterArray::ReplaceSelection(std::span<const int> selection, const CParameterArray& clipboard) {
    if (clipboard.IsEmpty() || selection.empty()) return;
    std::vector<std::unique_ptr<CParameter>> copies;
    copies.reserve(selection.size());
    for (std::size_t i = 0; i < selection.size(); ++i)
        copies.push_back(clipboard.elements_[i % clipboard.GetSize()]->Clone());
    for (std::size_t i = 0; i < selection.size(); ++i)
        if (Contains(selection[i])) elements_[static_cast<std::size_t>(selection[i])] = std::move(copies[i]);
}

void CParameterArray::ExchangeSelection(std::span<const int> selection) {
    if (selection.empty()) return;
    const int first = selection.front();
    const int last = selection.back();
    if (!Contains(first) || !Contains(last)) return;
    std::swap(elements_[static_cast<std::size_t>(first)], elements_[static_cast<std::size_t>(last)]);
}
