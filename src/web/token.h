#pragma once
// Random secrets: the access token and the job names.

#include <string>
#include <string_view>

/// `bytes` random bytes from the kernel's generator (getrandom), as
/// lower-case hexadecimal digits. Aborts the program when the generator
/// cannot be read: no secret is better than a guessable one.
std::string random_hex(size_t bytes);

/// True when `given` is `secret`, compared in a time that does not depend
/// on where they first differ.
bool same_secret(std::string_view given, std::string_view secret);
