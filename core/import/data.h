#pragma once

#include "import/parameter_array.h"
#include "import/patch.h"

namespace TQML {

using CPatchArray = CConcreteParameterArray<CPatch>;

// One list of earlier patches.
class CData {
  public:
    virtual ~CData() = default;
    CPatchArray& GetArray() { return patches_; }
    const CPatchArray& GetArray() const { return patches_; }

  private:
    CPatchArray patches_;
};

// Holds one list of earlier patches.
class CDocument {
  public:
    virtual ~CDocument() = default;
    CData& GetData() { return data_; }
    CPatchArray& Patches() { return data_.GetArray(); }
    const CPatchArray& Patches() const { return data_.GetArray(); }

  private:
    CData data_;
};

}  // namespace TQML
