#pragma once
// File names made from texts of the reports and configuration files.

#include <string>
#include <string_view>

/// `text` as one part of a file name: every '/' turned into '_', so that a
/// file named after an abbreviation or heading stays inside the folder it is
/// written to, however the text climbs ("../x" gives ".._x").
std::string file_part(std::string_view text);
