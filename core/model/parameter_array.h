#pragma once

#include <memory>
#include <span>
#include <vector>

#include "model/parameter.h"

// Where a list's new elements take their content from: while it offers an element, every new element is
// a copy of it; otherwise new elements are initialised by their own type. The program's initial-data
// library is the one in use.
class IInitialData {
  public:
    virtual ~IInitialData() = default;
    // The element that new elements copy, or none.
    virtual const CParameter* InitialElement() const = 0;
};

// An ordered list that owns its elements; copies between lists are deep. Positions are 0-based; a
// selection lists positions in the order the list window supplies them. Positions outside the list are
// ignored.
class CParameterArray {
  public:
    CParameterArray() = default;
    CParameterArray(const CParameterArray& source);
    CParameterArray& operator=(const CParameterArray& source);
    CParameterArray(CParameterArray&&) noexcept = default;
    CParameterArray& operator=(CParameterArray&&) noexcept = default;
    virtual ~CParameterArray() = default;

    // A new element of the list's type with empty memos and no sections (not yet initialised).
    virtual std::unique_ptr<CParameter> CreateElement() const = 0;

    std::size_t GetSize() const { return elements_.size(); }
    bool IsEmpty() const { return elements_.empty(); }
    CParameter& GetAt(std::size_t index) { return *elements_[index]; }
    const CParameter& GetAt(std::size_t index) const { return *elements_[index]; }

    // Deletes all own elements and appends a clone of each element of source (nothing for itself).
    void Assign(const CParameterArray& source);
    // Where new elements take their content from (none: their own initial state). Copies of the list share
    // it; Assign keeps the list's own.
    void SetInitialData(std::shared_ptr<const IInitialData> initial) { initial_ = std::move(initial); }
    const std::shared_ptr<const IInitialData>& GetInitialData() const { return initial_; }
    // Gives element its initial content: a copy of the initial data's element, or its own initial state.
    void InitializeElement(CParameter& element) const;

    // Cuts the list to n elements, or appends initialised new elements up to n.
    void Resize(std::size_t n);
    void RemoveAll() { elements_.clear(); }
    void Swap(CParameterArray& other) noexcept { elements_.swap(other.elements_); }

    void DeleteSelection(std::span<const int> selection);
    void InitializeSelection(std::span<const int> selection);
    // Empties clipboard and appends clones of the selected elements in selection order.
    void CopySelection(std::span<const int> selection, CParameterArray& clipboard) const;
    // Inserts clones of all clipboard elements before position; returns how many were inserted.
    int InsertClipboard(int position, const CParameterArray& clipboard);
    // Puts a clone of clipboard element i mod clipboard size at the i-th selected position.
    void ReplaceSelection(std::span<const int> selection, const CParameterArray& clipboard);
    // Swaps the elements at the first and the last selected position.
    void ExchangeSelection(std::span<const int> selection);

  protected:
    void Append(std::unique_ptr<CParameter> element) { elements_.push_back(std::move(element)); }
    void InsertAt(std::size_t index, std::unique_ptr<CParameter> element);

  private:
    bool Contains(int position) const {
        return position >= 0 && static_cast<std::size_t>(position) < GetSize();
    }

    std::vector<std::unique_ptr<CParameter>> elements_;
    std::shared_ptr<const IInitialData> initial_;
};

// A patch list of one element type. Every element is a T: elements are made by CreateElement or cloned
// from lists of the same type.
template <class T>
class CConcreteParameterArray : public CParameterArray {
  public:
    CConcreteParameterArray() = default;
    CConcreteParameterArray(const CConcreteParameterArray&) = default;
    CConcreteParameterArray& operator=(const CConcreteParameterArray&) = default;
    CConcreteParameterArray(CConcreteParameterArray&&) noexcept = default;
    CConcreteParameterArray& operator=(CConcreteParameterArray&&) noexcept = default;

    std::unique_ptr<CParameter> CreateElement() const override { return std::make_unique<T>(); }

    T& operator[](std::size_t index) { return static_cast<T&>(GetAt(index)); }
    const T& operator[](std::size_t index) const { return static_cast<const T&>(GetAt(index)); }

    void Add(std::unique_ptr<T> element) { Append(std::move(element)); }
    void Insert(std::size_t index, std::unique_ptr<T> element) { InsertAt(index, std::move(element)); }
};
