#pragma once
// The time that an output file is stamped with, fixed by SOURCE_DATE_EPOCH
// for builds and tests that want the same bytes from run to run.

#include <ctime>

/// The last second a stamp may name, 31 Dec 3000 23:59:59 UTC: the last one
/// libical writes, and far past any ward's printouts.
inline constexpr long long kLastStamp = 32535215999;

/// Stores in `*stamp` the time of the output: SOURCE_DATE_EPOCH when it is
/// set (for output that is the same byte for byte from run to run), else
/// now. Returns false after tool_error() when it is set but is not a number
/// of seconds ("SOURCE_DATE_EPOCH is not a number of seconds: TEXT"), or
/// names one past kLastStamp ("SOURCE_DATE_EPOCH is past the year 3000:
/// TEXT").
bool output_stamp(std::time_t* stamp);
