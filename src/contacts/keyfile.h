#pragma once
// The secret key that the UIDs are made with (uid.h). It lives in a file of
// its own, made once with random bytes and kept, so that the UIDs stay the
// same from one month's printouts to the next. The key never goes into an
// output file.

#include <string>

/// Fewest characters a key file must hold.
inline constexpr size_t kMinKeyLength = 32;

/// Permission bits a key file must not have: any for its group or for
/// others (read, write or execute), as ssh has it for a private key. Read
/// bits would let others make the UIDs; write bits, change them.
inline constexpr unsigned kKeyOthersBits = 077;

/// The key file used when none is named: "kinroll/contacts.key" under
/// $XDG_CONFIG_HOME, or else under $HOME/.config; empty when neither
/// variable is set to an absolute path.
std::string default_key_path();

/// Reads the key from the file `path`: its bytes, trailing line ends
/// removed. When the file does not exist, first makes it, with 32 random
/// bytes as 64 hexadecimal digits and a line end, readable by its owner
/// only (mode 0600), making the folder it goes in (mode 0700) when that is
/// missing; a file made meanwhile by another run is read instead. Returns
/// false after tool_error() when the file cannot be read or made, is not a
/// regular file, has any of kKeyOthersBits ("chmod 600 it"), holds fewer
/// than 32 characters, or holds nothing but blanks, NUL bytes and line
/// ends; `*key` is then unchanged.
bool load_or_create_key(const std::string& path, std::string* key);
