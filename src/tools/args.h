#pragma once
// The command line of the one-job programs that sit beside the menu program:
// long options ("--csv FILE", "--csv=FILE", "--help"), short ones ("-h",
// "-u unit", "-uunit") and positional names of folders and files.

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// One option a program accepts: a long name without its leading "--" and,
/// when it has one, a short letter. Either spelling is stored under `name`.
struct ToolOption {
  const char* name;
  bool takes_value;  ///< "--name VALUE", "--name=VALUE", "-x VALUE", "-xVALUE"; else a flag
  char letter = 0;   ///< the short spelling "-x"; 0 for none
};

/// A command line taken apart, options and positional arguments each in the
/// order given.
struct ToolArgs {
  /// Option name and value ("" for a flag).
  std::vector<std::pair<std::string, std::string>> options;
  std::vector<std::string> positional;

  /// The value of the last `name` given; null when it was not given. Valid
  /// while the ToolArgs is unchanged.
  const std::string* value(std::string_view name) const;
  /// True when `name` was given at least once.
  bool has(std::string_view name) const { return value(name) != nullptr; }
};

/// Takes apart argv[1] to argv[argc - 1]. An argument beginning with "--" is
/// a long option that must be one of `known`; one that takes a value takes
/// the text after '=' or else the next argument, whatever it looks like. An
/// argument beginning with a single '-' (but not "-" alone) is a short
/// option that must be a letter of `known`, standing alone when it is a
/// flag; one that takes a value takes the rest of the argument or else the
/// next argument. "--" alone ends the options: every later argument is
/// positional. Every other argument, "-" among them, is positional. Returns
/// false, with `error` saying why ("unknown option --x", "unknown option
/// -x", "option --csv needs a value", "option -u needs a value", "option
/// --help takes no value"), at the first bad option; `args` then holds what
/// came before it.
bool parse_tool_args(int argc, char** argv, std::span<const ToolOption> known, ToolArgs* args,
                     std::string* error);
