#include <ctime>

#include "platform/local_time.h"

namespace kelvane {

bool LocalTime(std::time_t instant, std::tm& local) { return localtime_r(&instant, &local) != nullptr; }

}  // namespace kelvane
