#include "tools/stamp.h"

#include <cerrno>
#include <cstdlib>

#include "tools/status.h"

bool output_stamp(std::time_t* stamp) {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch == nullptr) {
    *stamp = std::time(nullptr);
    return true;
  }
  errno = 0;
  char* end = nullptr;
  long long seconds = std::strtoll(epoch, &end, 10);
  if (epoch[0] < '0' || epoch[0] > '9' || *end != '\0' || errno != 0) {
    tool_error("SOURCE_DATE_EPOCH is not a number of seconds: %s", epoch);
    return false;
  }
  if (seconds > kLastStamp) {
    tool_error("SOURCE_DATE_EPOCH is past the year 3000: %s", epoch);
    return false;
  }
  *stamp = static_cast<std::time_t>(seconds);
  return true;
}
