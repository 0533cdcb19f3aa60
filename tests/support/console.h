#pragma once
// Capturing standard output and standard error together, in the order the
// program wrote them, as a terminal would show them.

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>

namespace testsupport {

/// What `run` writes on standard output and standard error, both streams
/// flushed after each write so that their order is kept.
inline std::string both_streams(const std::function<void()>& run) {
  std::fflush(stdout);
  std::fflush(stderr);
  FILE* file = std::tmpfile();
  int saved_out = ::dup(1);
  int saved_err = ::dup(2);
  ::dup2(fileno(file), 1);
  ::dup2(fileno(file), 2);
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  run();
  std::fflush(stdout);
  std::fflush(stderr);
  ::dup2(saved_out, 1);
  ::dup2(saved_err, 2);
  ::close(saved_out);
  ::close(saved_err);
  std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
  std::string text;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  std::fclose(file);
  return text;
}

}  // namespace testsupport
