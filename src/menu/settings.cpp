#include "menu/settings.h"

#include <cstdio>

std::string unit = "Ward";
Text Instapp;
std::string datestr;

std::string format_datestr(const std::tm& tm) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%2.2d/%2.2d/%2.2d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year % 100);
  return buf;
}

void make_datestr() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  datestr = format_datestr(tm);
}
