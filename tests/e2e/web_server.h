#pragma once
// Starts kinroll-web on an ephemeral loopback port for a test, and talks to
// it through cpp-httplib's client.

#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "e2e/harness.h"

namespace e2e {

/// One kinroll-web process, with its own temporary folder (TMPDIR).
class WebServer {
 public:
  /// Starts the server with `args` after "--port 0"; `env` adds variables.
  explicit WebServer(std::vector<std::string> args = {},
                     std::vector<std::string> env = {}) {
    int out[2];
    if (pipe(out) != 0) return;
    tmp_ = scratch_.path("tmp");
    fs::create_directory(tmp_);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      setenv("TMPDIR", tmp_.c_str(), 1);
      for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
      std::vector<char*> argv{const_cast<char*>(KINROLL_WEB_BINARY), const_cast<char*>("--port"),
                              const_cast<char*>("0")};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    // The address comes on the second line; at most 10 s.
    std::string printed;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (printed.find("token=") == std::string::npos ||
           printed.find('\n', printed.find("token=")) == std::string::npos) {
      struct pollfd p = {out[0], POLLIN, 0};
      if (std::chrono::steady_clock::now() > deadline || poll(&p, 1, 100) < 0) break;
      char buf[512];
      ssize_t n = (p.revents != 0) ? ::read(out[0], buf, sizeof buf) : 0;
      if (p.revents != 0 && n <= 0) break;
      if (n > 0) printed.append(buf, static_cast<size_t>(n));
    }
    close(out[0]);
    size_t at = printed.find("http://");
    size_t tok = printed.find("/?token=");
    if (at == std::string::npos || tok == std::string::npos) return;
    host_ = printed.substr(at + 7, tok - at - 7);
    token_ = printed.substr(tok + 8, 32);
    port_ = std::stoi(host_.substr(host_.rfind(':') + 1));
  }

  ~WebServer() { stop(); }
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  bool started() const { return port_ > 0; }
  const std::string& token() const { return token_; }
  const std::string& host() const { return host_; }
  int port() const { return port_; }
  /// The folder the server makes its private folder in.
  const std::string& tmp() const { return tmp_; }

  /// A client of the server, with the token's cookie unless `with_cookie` is false.
  httplib::Client client(bool with_cookie = true) const {
    httplib::Client cli("127.0.0.1", port_);
    cli.set_read_timeout(60, 0);
    if (with_cookie) cli.set_default_headers({{"Cookie", "kinroll_token=" + token_}});
    return cli;
  }

  /// Sends SIGTERM and waits (at most 20 s, then SIGKILL) for the end.
  /// Returns the exit status, or -1 after a signal or a kill.
  int stop() {
    if (pid_ <= 0) return status_;
    kill(pid_, SIGTERM);
    int raw = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (waitpid(pid_, &raw, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &raw, 0);
        raw = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    status_ = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return status_;
  }

 private:
  Scratch scratch_;
  std::string tmp_;
  pid_t pid_ = -1;
  int status_ = -1;
  std::string host_;
  std::string token_;
  int port_ = 0;
};

/// One file of a form: field, name the browser gives, bytes.
struct FormFile {
  std::string field;
  std::string name;
  std::string bytes;
};

/// The multipart form of the page with `files`, the unit and the token.
inline httplib::MultipartFormDataItems form(const std::vector<FormFile>& files,
                                            const std::string& unit, const std::string& token) {
  httplib::MultipartFormDataItems items{{"token", token, "", ""}, {"unit", unit, "", ""}};
  for (const FormFile& f : files) items.push_back({f.field, f.bytes, f.name, "text/plain"});
  return items;
}

/// Posts `files` for `unit` and follows the job until its results page is
/// there (at most 60 s). Returns the page, and sets `*job` to the job's
/// address ("/jobs/ID"); empty when the post was refused.
inline std::string run_web_job(const WebServer& server, const std::vector<FormFile>& files,
                               const std::string& unit, std::string* job) {
  httplib::Client cli = server.client();
  auto res = cli.Post("/jobs", form(files, unit, server.token()));
  if (!res || res->status != 303) return "";
  *job = res->get_header_value("Location");
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    auto page = cli.Get(job->c_str());
    if (!page || page->status != 200) return "";
    if (page->body.find("Working") == std::string::npos) return page->body;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return "";
}

/// Every entry of the zip archive `bytes`, by name.
inline std::map<std::string, std::string> unzip(const std::string& bytes) {
  std::map<std::string, std::string> files;
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  zip_t* zip = src == nullptr ? nullptr : zip_open_from_source(src, ZIP_RDONLY, &error);
  if (zip == nullptr) {
    if (src != nullptr) zip_source_free(src);
    zip_error_fini(&error);
    ADD_FAILURE() << "not a zip archive";
    return files;
  }
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
    zip_stat_t st;
    zip_stat_index(zip, static_cast<zip_uint64_t>(i), 0, &st);
    std::string data(st.size, '\0');
    zip_file_t* f = zip_fopen_index(zip, static_cast<zip_uint64_t>(i), 0);
    zip_int64_t got = f == nullptr ? -1 : zip_fread(f, data.data(), st.size);
    if (f != nullptr) zip_fclose(f);
    EXPECT_EQ(got, static_cast<zip_int64_t>(st.size)) << st.name;
    files[st.name] = data;
  }
  zip_close(zip);
  zip_error_fini(&error);
  return files;
}

}  // namespace e2e
