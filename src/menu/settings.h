#pragma once
// Program-wide settings: unit name, converter command and today's date.

#include <ctime>
#include <string>

#include "model/kinroll.h"

/// Unit name used in list titles and converter commands ("Ward" unless -u).
extern std::string unit;

/// Converter command that turns a text list into a handheld document; absent
/// when no -i option named one.
extern Text Instapp;

/// Today's date as MM/DD/YY, made once at start-up.
extern std::string datestr;

/// The date text "%2.2d/%2.2d/%2.2d" of month, day and year modulo 100.
std::string format_datestr(const std::tm& tm);

/// Sets `datestr` from the current local time.
void make_datestr();
