#include "tools/args.h"

#include <optional>

const std::string* ToolArgs::value(std::string_view name) const {
  for (auto it = options.rbegin(); it != options.rend(); ++it) {
    if (it->first == name) return &it->second;
  }
  return nullptr;
}

bool parse_tool_args(int argc, char** argv, std::span<const ToolOption> known, ToolArgs* args,
                     std::string* error) {
  // Fails with the message `before`, the option as given, `after`.
  auto fail = [error](std::string_view before, std::string_view spelled, std::string_view after) {
    error->assign(before).append(spelled).append(after);
    return false;
  };
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
    // The option as the messages name it (a long one without its value),
    // and a value given within the argument.
    std::string_view spelled = arg;
    std::optional<std::string_view> value;
    const ToolOption* opt = nullptr;
    if (arg[1] == '-') {
      std::string_view name = arg.substr(2);
      if (size_t eq = name.find('='); eq != std::string_view::npos) {
        value = name.substr(eq + 1);
        name = name.substr(0, eq);
      }
      spelled = arg.substr(0, 2 + name.size());
      for (const ToolOption& k : known) {
        if (name == k.name) opt = &k;
      }
      if (opt != nullptr && !opt->takes_value && value) {
        return fail("option ", spelled, " takes no value");
      }
    } else {
      if (arg.size() > 2) value = arg.substr(2);
      for (const ToolOption& k : known) {
        if (k.letter != 0 && arg[1] == k.letter) opt = &k;
      }
      // A flag stands alone: "-hu" is no option.
      if (opt != nullptr && !opt->takes_value && value) opt = nullptr;
    }
    if (opt == nullptr) return fail("unknown option ", spelled, "");
    if (opt->takes_value && !value) {
      if (i + 1 == argc) return fail("option ", spelled, " needs a value");
      value = argv[++i];
    }
    // A flag, which came without a value, stores "".
    args->options.emplace_back(opt->name, value.value_or(""));
  }
  return true;
}
