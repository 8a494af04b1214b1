#include "codes/width_conversion.h"

namespace kelvane {

std::string ToHalfWidth(std::string_view text) { return std::string(text); }

}  // namespace kelvane
