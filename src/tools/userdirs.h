#pragma once
// What the programs remember for a user lives in the user's own folders,
// as the XDG base directory rules name them: settings and keys under
// $XDG_CONFIG_HOME/kinroll, state (the web page's address, its running
// instances) under $XDG_STATE_HOME/kinroll. The folders are the user's
// alone (mode 0700) and so is every file in them (mode 0600).

#include <string>
#include <string_view>

/// Which of the user's folders.
enum class UserFolder { kConfig, kState };

/// "kinroll" under $XDG_CONFIG_HOME (else $HOME/.config) or $XDG_STATE_HOME
/// (else $HOME/.local/state); a variable counts only when it holds an
/// absolute path. Empty when neither it nor $HOME does. Nothing is made.
std::string user_folder(UserFolder which);

/// Makes the folder `dir` and every missing folder above it, mode 0700;
/// folders already there are left as they are. False, with errno set, when
/// one cannot be made or `dir` names something that is not a folder.
bool make_folders(const std::string& dir);

/// make_folders(`dir`), then takes every permission for group and others
/// off `dir` itself (only), so that it is the user's alone.
bool make_private_folder(const std::string& dir);

/// Writes `text` to the file `path` whole, mode 0600: into a temporary file
/// beside it, then renamed over it. False, with errno set, when it cannot
/// be written; an older file at `path` then stays as it was.
bool write_private_file(const std::string& path, std::string_view text);

/// The folder part of `path` ("." when it has none, "/" for a file at the
/// root).
std::string folder_of(const std::string& path);
