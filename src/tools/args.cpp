#include "tools/args.h"

const std::string* ToolArgs::value(std::string_view name) const {
  const std::string* found = nullptr;
  for (const auto& [opt, val] : options) {
    if (opt == name) found = &val;
  }
  return found;
}

namespace {

/// Takes the short option `arg` ("-x", "-xVALUE") at argv[*i], moving *i
/// past a value taken from the next argument. Returns false after setting
/// `error`.
bool take_short(std::string_view arg, int argc, char** argv, int* i,
                std::span<const ToolOption> known, ToolArgs* args, std::string* error) {
  const ToolOption* opt = nullptr;
  for (const ToolOption& k : known) {
    if (k.letter != 0 && arg[1] == k.letter) opt = &k;
  }
  std::string_view rest = arg.substr(2);
  if (opt == nullptr || (!opt->takes_value && !rest.empty())) {
    *error = "unknown option " + std::string(arg);
    return false;
  }
  if (!opt->takes_value || !rest.empty()) {
    args->options.emplace_back(opt->name, rest);
  } else if (*i + 1 < argc) {
    args->options.emplace_back(opt->name, argv[++*i]);
  } else {
    *error = "option " + std::string(arg) + " needs a value";
    return false;
  }
  return true;
}

}  // namespace

bool parse_tool_args(int argc, char** argv, std::span<const ToolOption> known, ToolArgs* args,
                     std::string* error) {
  bool options_end = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (options_end || arg.size() < 2 || arg[0] != '-') {
      args->positional.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    if (arg[1] != '-') {
      if (!take_short(arg, argc, argv, &i, known, args, error)) return false;
      continue;
    }
    std::string_view name = arg.substr(2);
    std::string_view inline_value;
    bool has_inline = false;
    if (size_t eq = name.find('='); eq != std::string_view::npos) {
      inline_value = name.substr(eq + 1);
      name = name.substr(0, eq);
      has_inline = true;
    }
    const ToolOption* opt = nullptr;
    for (const ToolOption& k : known) {
      if (name == k.name) opt = &k;
    }
    if (opt == nullptr) {
      *error = "unknown option --" + std::string(name);
      return false;
    }
    if (!opt->takes_value) {
      if (has_inline) {
        *error = "option --" + std::string(name) + " takes no value";
        return false;
      }
      args->options.emplace_back(name, "");
      continue;
    }
    if (has_inline) {
      args->options.emplace_back(name, inline_value);
    } else if (i + 1 < argc) {
      args->options.emplace_back(name, argv[++i]);
    } else {
      *error = "option --" + std::string(name) + " needs a value";
      return false;
    }
  }
  return true;
}
