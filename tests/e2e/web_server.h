#pragma once
// Starts kinroll-web on an ephemeral loopback port for a test, with a
// temporary folder (TMPDIR), a state folder (XDG_STATE_HOME) and a
// configuration folder (XDG_CONFIG_HOME) of its own, and talks to it
// through the test client.

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
#include "e2e/http_client.h"

namespace e2e {

/// One kinroll-web process.
class WebServer {
 public:
  /// Starts the server with `args` after "--port 0"; `env` adds variables.
  /// The state folder is `state` when given (to share it between servers),
  /// else one of its own; the configuration folder is "config" beside it.
  explicit WebServer(std::vector<std::string> args = {}, std::vector<std::string> env = {},
                     std::string state = "") {
    int out[2];
    if (pipe(out) != 0) return;
    tmp_ = scratch_.path("tmp");
    fs::create_directory(tmp_);
    state_ = state.empty() ? scratch_.path("state") : state;
    config_ = (fs::path(state_).parent_path() / "config").string();
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      close(out[0]);
      setenv("TMPDIR", tmp_.c_str(), 1);
      setenv("XDG_STATE_HOME", state_.c_str(), 1);
      setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
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
    while (std::count(printed.begin(), printed.end(), '\n') < 2) {
      struct pollfd p = {out[0], POLLIN, 0};
      if (std::chrono::steady_clock::now() > deadline || poll(&p, 1, 100) < 0) break;
      char buf[512];
      ssize_t n = (p.revents != 0) ? ::read(out[0], buf, sizeof buf) : 0;
      if (p.revents != 0 && n <= 0) break;
      if (n > 0) printed.append(buf, static_cast<size_t>(n));
    }
    close(out[0]);
    size_t at = printed.find("http://");
    size_t slash = at == std::string::npos ? at : printed.find('/', at + 7);
    if (slash == std::string::npos) return;
    host_ = printed.substr(at + 7, slash - at - 7);
    base_ = printed.substr(slash, printed.find('\n', slash) - slash);  // "/TOKEN/"
    base_.pop_back();
    port_ = std::stoi(host_.substr(host_.rfind(':') + 1));
  }

  ~WebServer() { stop(); }
  WebServer(const WebServer&) = delete;
  WebServer& operator=(const WebServer&) = delete;

  bool started() const { return port_ > 0; }
  /// Where every address of the page begins: "/TOKEN".
  const std::string& base() const { return base_; }
  const std::string& host() const { return host_; }
  int port() const { return port_; }
  pid_t pid() const { return pid_; }
  /// The folder the server makes its private folder in.
  const std::string& tmp() const { return tmp_; }
  const std::string& state() const { return state_; }
  const std::string& config() const { return config_; }

  /// GET `path`, a whole path: base() + "/..." for the page's own.
  HttpResponse get(const std::string& path, const HttpHeaders& headers = {}) const {
    return http_request(port_, "GET", path, headers);
  }

  /// Posts the form of `parts` to the page's BASE/jobs.
  HttpResponse post(const std::vector<FormPart>& parts, const HttpHeaders& headers = {}) const {
    std::string type;
    std::string body = multipart(parts, &type);
    HttpHeaders all = headers;
    all.emplace_back("Content-Type", type);
    return http_request(port_, "POST", base_ + "/jobs", all, body);
  }

  /// Sends `sig` (SIGTERM) and waits (at most 20 s, then SIGKILL) for the
  /// end. Returns the exit status, or -1 after a signal or a kill.
  int stop(int sig = SIGTERM) {
    if (pid_ <= 0) return status_;
    kill(pid_, sig);
    int raw = 0;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (waitpid(pid_, &raw, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &raw, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return status_;
  }

 private:
  Scratch scratch_;
  std::string tmp_;
  std::string state_;
  std::string config_;
  pid_t pid_ = -1;
  int status_ = -1;
  std::string host_;
  std::string base_;
  int port_ = 0;
};

/// One file of a form: field, name the browser gives, bytes.
using FormFile = FormPart;

/// The form of the page with `files` and the unit.
inline std::vector<FormPart> form(const std::vector<FormFile>& files, const std::string& unit) {
  std::vector<FormPart> parts{{"unit", "", unit}};
  parts.insert(parts.end(), files.begin(), files.end());
  return parts;
}

/// Posts `files` for `unit` and follows the job until its results page is
/// there (at most 60 s). Returns the page, and sets `*job` to the job's
/// address ("/TOKEN/jobs/ID"); empty when the post was refused.
inline std::string run_web_job(const WebServer& server, const std::vector<FormFile>& files,
                               const std::string& unit, std::string* job) {
  HttpResponse res = server.post(form(files, unit));
  if (res.status != 303) return "";
  *job = res.header("location");
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    HttpResponse page = server.get(*job);
    if (page.status != 200) return "";
    if (page.body.find("<h1>Working") == std::string::npos) return page.body;
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

/// The archive of the finished job at `job`, once it is made (at most 60 s).
inline HttpResponse fetch_archive(const WebServer& server, const std::string& job) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  HttpResponse zip;
  do {
    zip = server.get(job + "/archive.zip");
  } while (zip.status == 404 && std::chrono::steady_clock::now() < deadline &&
           (std::this_thread::sleep_for(std::chrono::milliseconds(20)), true));
  return zip;
}

}  // namespace e2e
