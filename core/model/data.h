#pragma once

#include "model/parameter_array.h"
#include "model/patch.h"

using CPatchArray = CConcreteParameterArray<CPatch>;

// One patch list.
class CData {
  public:
    virtual ~CData() = default;

    // The patch list; there is one data type (1, patch data), and every type answers it.
    CPatchArray& GetArray() { return patches_; }
    const CPatchArray& GetArray() const { return patches_; }

  private:
    CPatchArray patches_;
};
