#pragma once

#include <ctime>

namespace kelvane {

// The local date and time of `instant`; false when the system cannot tell it (an
// instant past what its calendar reaches).
bool LocalTime(std::time_t instant, std::tm& local);

}  // namespace kelvane
