#pragma once
// Quoting values for a command line run through the system command
// interpreter, so that no file name or title is taken as shell syntax.

#include <string>
#include <string_view>

#include "model/text.h"

/// `s` as one shell word: unchanged when it holds only A-Z a-z 0-9 and
/// _ . / + - , : @ % (and is not empty), else in single quotes with each '
/// written as '\''.
std::string shell_word(std::string_view s);

/// `s` for use inside double quotes: '"', '\\', '$' and '`' get a backslash.
std::string shell_dquoted(std::string_view s);

/// Runs `cmd` through the system command interpreter (/bin/sh -c) and waits
/// for it; both output streams are flushed first so that the command's
/// output follows what was printed. The command's own result is its
/// business: none is returned. But a command that ended by SIGINT or SIGQUIT
/// ends the program by the same signal (end_by_signal(): temporary files
/// removed, finished files kept), and such a signal sent to the program
/// while the command runs is held back until the command is over, then
/// taken.
void run_shell_command(const std::string& cmd);

/// The converter command "%s %s \"%s\"": `app` verbatim, `base` as one
/// shell word, and `quoted_title`, which the caller has escaped for the
/// double quotes (shell_dquoted).
std::string converter_command(std::string_view app, std::string_view base,
                              std::string_view quoted_title);

/// Hands the written document `base` to the converter `app`, the one way
/// every list reaches a converter: prints `progress` (a format taking the
/// command) on standard output and runs the command as run_shell_command()
/// does. Does nothing when `app` is absent or empty.
void hand_to_converter(const Text& app, std::string_view base, std::string_view quoted_title,
                       const char* progress);
