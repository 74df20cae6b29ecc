#include "import/parameter_array.h"

namespace TQML {

void CParameterArray::Resize(std::size_t n) {
    if (n < elements_.size()) {
        elements_.resize(n);
        return;
    }
    elements_.reserve(n);
    while (elements_.size() < n)
        elements_.push_back(CreateElement());
}

}  // namespace TQML
