#pragma once
// Quoting values for a command line run through the system command
// interpreter, so that no file name or title is taken as shell syntax.

#include <string>
#include <string_view>

/// `s` as one shell word: unchanged when it holds only A-Z a-z 0-9 and
/// _ . / + - , : @ % (and is not empty), else in single quotes with each '
/// written as '\''.
std::string shell_word(std::string_view s);

/// `s` for use inside double quotes: '"', '\\', '$' and '`' get a backslash.
std::string shell_dquoted(std::string_view s);
