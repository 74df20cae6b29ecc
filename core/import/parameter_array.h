#pragma once

#include <memory>
#include <vector>

#include "import/parameter.h"

namespace TQML {

// An owning list of earlier patches; the element type comes from the virtual factory.
class CParameterArray {
  public:
    CParameterArray() = default;
    CParameterArray(const CParameterArray&) = delete;
    CParameterArray& operator=(const CParameterArray&) = delete;
    virtual ~CParameterArray() = default;

    // A new element of the list's type, freshly reset.
    virtual std::unique_ptr<CParameter> CreateElement() const = 0;

    std::size_t GetSize() const { return elements_.size(); }
    CParameter& GetAt(std::size_t index) { return *elements_[index]; }
    const CParameter& GetAt(std::size_t index) const { return *elements_[index]; }
    // Deletes the elements from position n on, or appends factory-made ones up to n.
    void Resize(std::size_t n);
    void RemoveAll() { elements_.clear(); }
    void Swap(CParameterArray& other) noexcept { elements_.swap(other.elements_); }

  protected:
    void Append(std::unique_ptr<CParameter> element) { elements_.push_back(std::move(element)); }

  private:
    std::vector<std::unique_ptr<CParameter>> elements_;
};

template <class T>
class CConcreteParameterArray : public CParameterArray {
  public:
    std::unique_ptr<CParameter> CreateElement() const override { return std::make_unique<T>(); }

    T& operator[](std::size_t index) { return static_cast<T&>(GetAt(index)); }
    const T& operator[](std::size_t index) const { return static_cast<const T&>(GetAt(index)); }
    void Add(std::unique_ptr<T> element) { Append(std::move(element)); }
};

}  // namespace TQML
