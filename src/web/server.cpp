#include "web/server.h"

#include <fcntl.h>
#include <microhttpd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "tools/status.h"
#include "web/guard.h"
#include "web/instance.h"
#include "web/jobs.h"
#include "web/pages.h"
#include "web/text.h"
#include "web/upload.h"

namespace {

/// How much of a file a view page shows.
constexpr size_t kViewBytes = 2u << 20;
/// How long a job's page waits for the job to end before it says "Working".
constexpr auto kJobWait = std::chrono::seconds(2);
/// Per connection: its header lines and read buffer together (past them the
/// request is answered 431), and the form reader's buffer.
constexpr size_t kConnectionMemory = 32 * 1024;
constexpr size_t kFormBuffer = 16 * 1024;
/// Connections at once, and the seconds one may stay silent.
constexpr unsigned kMaxConnections = 512;
constexpr unsigned kIdleSeconds = 15;

const char* const kHtml = "text/html; charset=utf-8";

/// What one request keeps between the calls of the access handler.
struct Request {
  std::string rest;                         // the path after "/TOKEN"
  std::shared_ptr<Job> job;                 // a posted job, or the job of the page
  std::unique_ptr<UploadReceiver> upload;   // a post being received
  MHD_PostProcessor* form = nullptr;
  bool broken = false;                      // the form was refused part way
  bool waited = false;                      // the job's page waited once
  ~Request() { if (form != nullptr) MHD_destroy_post_processor(form); }
};

/// A page of its own, or a file, to answer with; `status` 0 when none was made.
struct Answer {
  unsigned status = 0;
  MHD_Response* response = nullptr;
};

Answer bytes_answer(unsigned status, std::string_view body, const char* type) {
  Answer a{status, MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()),
                                                   MHD_RESPMEM_MUST_COPY)};
  if (a.response != nullptr) MHD_add_response_header(a.response, "Content-Type", type);
  return a;
}

Answer page_answer(unsigned status, const std::string& html) {
  return bytes_answer(status, html, kHtml);
}

/// The file `path` of a job as the answer; no answer when it is gone.
Answer file_answer(const std::string& path, const char* type, const std::string& download) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (fd >= 0) ::close(fd);
    return {};
  }
  Answer a{200, MHD_create_response_from_fd64(static_cast<uint64_t>(st.st_size), fd)};
  if (a.response == nullptr) return ::close(fd), Answer{};
  MHD_add_response_header(a.response, "Content-Type", type);
  std::string disposition = "attachment; filename=\"" + download + "\"";
  MHD_add_response_header(a.response, "Content-Disposition", disposition.c_str());
  return a;
}

/// Sends `a` with the headers every answer carries.
MHD_Result send(MHD_Connection* c, Answer a) {
  if (a.response == nullptr) return MHD_NO;
  for (auto [name, value] : {
           std::pair{"Content-Security-Policy",
                     "default-src 'self'; script-src 'none'; object-src 'none'; base-uri 'none'; "
                     "form-action 'self'; frame-ancestors 'none'"},
           {"X-Content-Type-Options", "nosniff"},
           {"Cache-Control", "no-store"},
           {"Referrer-Policy", "no-referrer"},
           {"X-Frame-Options", "DENY"}}) {
    MHD_add_response_header(a.response, name, value);
  }
  MHD_Result queued = MHD_queue_response(c, a.status, a.response);
  MHD_destroy_response(a.response);
  return queued;
}

/// Not the page's: the same few bytes for any path, method or prober.
Answer not_found() { return bytes_answer(404, "Not Found\n", "text/plain; charset=utf-8"); }

Answer redirect(const std::string& location) {
  Answer a = page_answer(303, message_page("See other", "This page is at " + location + ".", ""));
  if (a.response != nullptr) MHD_add_response_header(a.response, "Location", location.c_str());
  return a;
}

std::string_view header(MHD_Connection* c, const char* name) {
  const char* v = MHD_lookup_connection_value(c, MHD_HEADER_KIND, name);
  return v == nullptr ? std::string_view() : std::string_view(v);
}

/// A snapshot of a finished job's result; false while it runs.
bool finished_result(Job& job, JobResult* r, JobState* state) {
  std::lock_guard lock(job.mutex);
  *state = job.state;
  if (job.state != JobState::kDone) return false;
  *r = job.result;
  return true;
}

bool is_written(const JobResult& r, std::string_view name) {
  for (const WrittenFile& f : r.written) {
    if (f.name == name) return true;
  }
  return false;
}

/// The server: settings, token, jobs, the HTTP daemon and the job pages
/// that wait for their job.
class Server {
 public:
  explicit Server(const ServerSettings& s)
      : settings_(s),
        base_("/" + s.token),
        jobs_(s.programs, s.keep, base_, [this](const Job& job) { wake(&job); }) {}

  int run(const sigset_t& stop);

 private:
  /// A job's page waiting for its job (suspended), until `until`.
  struct Waiter {
    MHD_Connection* connection;
    const Job* job;
    std::chrono::steady_clock::time_point until;
  };

  static MHD_Result on_request(void* self, MHD_Connection* c, const char* url, const char* method,
                               const char*, const char* data, size_t* size, void** state);
  static void on_done(void* self, MHD_Connection*, void** state, MHD_RequestTerminationCode);
  MHD_Result first_call(MHD_Connection* c, std::string_view url, std::string_view method,
                        Request* req);
  MHD_Result begin_post(MHD_Connection* c, Request* req);
  MHD_Result end_post(MHD_Connection* c, Request* req);
  MHD_Result get(MHD_Connection* c, Request* req);
  MHD_Result job_page(MHD_Connection* c, Request* req);
  Answer job_file(Job& job, std::string_view what);
  Answer message(unsigned status, std::string_view title, std::string_view sentence) {
    return page_answer(status, message_page(title, sentence, base_ + "/"));
  }
  Answer gone_page() {
    return message(404, "Not here",
                   "There is nothing at this address. Results are removed a while after they were "
                   "last looked at, and when kinroll-web ends.");
  }
  /// Resumes the pages waiting for `job` (null: for any job) or past their time.
  void wake(const Job* job);

  ServerSettings settings_;
  std::string base_;
  std::vector<std::string> hosts_;
  JobTable jobs_;
  std::mutex wait_mutex_;  // guards waiters_ and stopping_
  std::vector<Waiter> waiters_;
  bool stopping_ = false;
};

MHD_Result Server::on_request(void* self, MHD_Connection* c, const char* url, const char* method,
                              const char*, const char* data, size_t* size, void** state) {
  auto* server = static_cast<Server*>(self);
  auto* req = static_cast<Request*>(*state);
  // Refusals are answered at the first call, with the header lines, and the
  // connection closed; pages at the next, once the request is in whole, so
  // that the connection is kept for the browser's next request.
  if (req == nullptr) {
    *state = req = new Request;
    return server->first_call(c, url, method, req);
  }
  if (req->upload == nullptr) return server->get(c, req);
  if (*size == 0) return server->end_post(c, req);
  if (!req->broken) req->broken = MHD_post_process(req->form, data, *size) != MHD_YES;
  *size = 0;
  return MHD_YES;
}

void Server::on_done(void* self, MHD_Connection*, void** state, MHD_RequestTerminationCode) {
  auto* req = static_cast<Request*>(*state);
  if (req == nullptr) return;
  // An upload cut off (the browser closed, the server stops) leaves no job.
  if (req->upload != nullptr) static_cast<Server*>(self)->jobs_.discard(req->job);
  delete req;
  *state = nullptr;
}

MHD_Result Server::first_call(MHD_Connection* c, std::string_view url, std::string_view method,
                              Request* req) {
  std::string_view rest;
  if (!strip_token(url, settings_.token, &rest)) return send(c, not_found());
  bool post = method == "POST";
  RequestFacts facts{header(c, "Host"), header(c, "Origin"), header(c, "Sec-Fetch-Site"), post};
  if (check_request(facts, hosts_) != Refusal::kAllowed) {
    return send(c, message(403, "Not allowed",
                           "This page opens only from the address kinroll-web printed when it "
                           "started, on the computer it runs on."));
  }
  if (post && rest == "/jobs") return begin_post(c, req);
  if (method != "GET" && method != "HEAD") {
    return send(c, message(405, "Not here", "Only pages and files are served here."));
  }
  req->rest = rest;
  return MHD_YES;
}

MHD_Result Server::get(MHD_Connection* c, Request* req) {
  std::string_view rest = req->rest;
  if (rest.starts_with("/jobs/") && rest.size() >= 38 && (rest.size() == 38 || rest[38] == '/')) {
    if (req->job == nullptr) req->job = jobs_.find(std::string(rest.substr(6, 32)));
    std::string_view what = rest.substr(std::min<size_t>(rest.size(), 39));
    if (req->job != nullptr && what.empty()) return job_page(c, req);
    if (req->job != nullptr) return send(c, job_file(*req->job, what));
  }
  if (rest.empty()) return send(c, redirect(base_ + "/"));
  if (rest == "/") return send(c, page_answer(200, form_page(base_)));
  if (rest == "/style.css") return send(c, bytes_answer(200, kStyleSheet, "text/css; charset=utf-8"));
  return send(c, gone_page());
}

MHD_Result Server::begin_post(MHD_Connection* c, Request* req) {
  std::string_view type = header(c, "Content-Type");
  std::string_view length = header(c, "Content-Length");
  if (!type.starts_with("multipart/form-data")) {
    return send(c, message(400, "Not sent", "The form sent is not this page's form."));
  }
  if (length.empty() || std::strtoull(std::string(length).c_str(), nullptr, 10) > kMaxJobBytes + (1u << 20)) {
    return send(c, message(length.empty() ? 411 : 413, "Too much at once",
                           "The files together are larger than 256 MB."));
  }
  std::string why;
  req->job = jobs_.create(&why);
  if (req->job == nullptr && why.empty()) {
    return send(c, message(503, "Busy",
                           "Other lists are being made right now. Wait a minute and send again."));
  }
  if (req->job == nullptr) return send(c, message(500, "Something went wrong", "The lists cannot be made: " + why + "."));
  req->upload = std::make_unique<UploadReceiver>(*req->job);
  req->form = MHD_create_post_processor(
      c, kFormBuffer,
      [](void* r, MHD_ValueKind, const char* key, const char* filename, const char*, const char*,
         const char* data, uint64_t offset, size_t size) {
        return static_cast<Request*>(r)->upload->piece(key != nullptr ? key : "",
                                                       filename != nullptr ? filename : "",
                                                       offset, data, size)
                   ? MHD_YES
                   : MHD_NO;
      },
      req);
  req->broken = req->form == nullptr;
  return MHD_YES;
}

MHD_Result Server::end_post(MHD_Connection* c, Request* req) {
  // Received whole: from here the job is the table's, not the request's.
  std::unique_ptr<UploadReceiver> upload = std::move(req->upload);
  std::shared_ptr<Job> job = req->job;
  if (req->broken || !upload->finish()) {
    jobs_.discard(job);
    unsigned status = upload->status() != 0 ? upload->status() : 400;
    return send(c, message(status, status == 413 ? "Too much at once" : "Not sent",
                           status != 400 ? upload->why() : "The form sent is not this page's form."));
  }
  std::string unit = latin1_from_utf8(upload->unit());
  job->unit = unit.empty() ? "Ward" : unit;
  upload->place();
  jobs_.start(job);
  return send(c, redirect(job->base + "/jobs/" + job->id));
}

MHD_Result Server::job_page(MHD_Connection* c, Request* req) {
  Job& job = *req->job;
  JobResult r;
  JobState state;
  if (!finished_result(job, &r, &state)) {
    std::lock_guard lock(wait_mutex_);
    if (!req->waited && !stopping_) {
      // Answered when the job ends, or after kJobWait with "Working".
      req->waited = true;
      waiters_.push_back({c, &job, std::chrono::steady_clock::now() + kJobWait});
      MHD_suspend_connection(c);
      return MHD_YES;
    }
    return send(c, page_answer(200, working_page(job, state)));
  }
  if (r.folder_gone || ::access(job.work().c_str(), F_OK) != 0) {
    return send(c, message(410, "Results gone",
                           "The files of these results were removed from this computer while "
                           "kinroll-web ran. Send the printouts again."));
  }
  ArchiveState archive;
  {
    std::lock_guard lock(job.mutex);
    archive = job.archive_state;
  }
  return send(c, page_answer(200, results_page(job, r, archive)));
}

Answer Server::job_file(Job& job, std::string_view what) {
  JobResult r;
  JobState state;
  if (!finished_result(job, &r, &state)) return message(404, "Not yet", "These results are still being made.");
  if (what == "archive.zip") {
    std::unique_lock lock(job.mutex);
    if (job.archive_state == ArchiveState::kFailed) {
      return message(500, "No archive", "The archive could not be made: " + job.archive_error);
    }
    lock.unlock();
    Answer a = file_answer(job.archive(), "application/zip", "kinroll-results.zip");
    return a.response != nullptr ? a : message(404, "Not yet", "The archive is still being made: look again in a moment.");
  }
  for (std::string_view kind : {"view/", "file/"}) {
    std::string name(what.substr(std::min(what.size(), kind.size())));
    if (!what.starts_with(kind) || !is_written(r, name)) continue;
    std::string path = job.work() + "/" + name;
    if (kind == "file/") {
      Answer a = file_answer(path, "application/octet-stream", name);
      if (a.response != nullptr) return a;
      break;
    }
    std::string bytes(kViewBytes + 1, '\0');
    FILE* fp = std::fopen(path.c_str(), "rb");
    if (fp == nullptr) break;
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), fp));
    std::fclose(fp);
    bool truncated = bytes.size() > kViewBytes;
    if (truncated) bytes.resize(kViewBytes);
    return page_answer(200, view_page(job, name, bytes, truncated));
  }
  return gone_page();
}

void Server::wake(const Job* job) {
  auto now = std::chrono::steady_clock::now();
  std::lock_guard lock(wait_mutex_);
  std::erase_if(waiters_, [&](const Waiter& w) {
    bool due = job == nullptr ? stopping_ || w.until <= now : w.job == job;
    if (due) MHD_resume_connection(w.connection);
    return due;
  });
}

int Server::run(const sigset_t& stop) {
  FolderClaim claim;
  if (!jobs_.ok() || !claim.claim(settings_.state, jobs_.root())) {
    tool_error("cannot make a private temporary folder");
    return kExitTrouble;
  }
  int port = 0;
  int fd = open_listener(settings_.listen, settings_.port, &port);
  if (fd < 0 && errno == EADDRINUSE) {
    tool_error("port %d is in use (is kinroll-web already running? kinroll-web --open opens it)",
               settings_.port);
    return kExitTrouble;
  }
  MHD_Daemon* daemon =
      fd < 0 ? nullptr
             : MHD_start_daemon(MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME, 0,
                                nullptr, nullptr, &on_request, this, MHD_OPTION_LISTEN_SOCKET, fd,
                                MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory,
                                MHD_OPTION_CONNECTION_LIMIT, kMaxConnections,
                                MHD_OPTION_CONNECTION_TIMEOUT, kIdleSeconds,
                                MHD_OPTION_NOTIFY_COMPLETED, &on_done, this, MHD_OPTION_END);
  if (daemon == nullptr) {
    tool_error("cannot listen on %s port %d: %s", settings_.listen.text.c_str(), settings_.port,
               std::strerror(fd < 0 ? errno : EINVAL));
    if (fd >= 0) ::close(fd);
    return kExitTrouble;
  }
  hosts_ = allowed_hosts(settings_.listen.text, settings_.listen.loopback, port);
  if (!settings_.listen.loopback) {
    tool_error("warning: listening on %s, which other computers may reach; the ward's "
               "names, addresses and birth dates are then served to whoever has the address",
               settings_.listen.text.c_str());
  }
  std::string url = "http://" + hosts_[0] + base_ + "/";
  record_running(settings_.state, url);
  std::printf("Open this address in a browser on this computer (Ctrl-C ends):\n%s\n", url.c_str());
  std::fflush(stdout);

  // Wakes the pages that waited long enough, and removes old results.
  std::mutex mutex;
  std::condition_variable cv;
  bool ending = false;
  std::thread ticker([&] {
    std::unique_lock lock(mutex);
    for (int tick = 1; !cv.wait_for(lock, std::chrono::milliseconds(250), [&] { return ending; }); ++tick) {
      wake(nullptr);
      if (tick % 4 == 0) jobs_.sweep();
    }
  });
  int sig = 0;
  sigwait(&stop, &sig);
  {
    std::lock_guard lock(mutex);
    ending = true;
  }
  cv.notify_all();
  ticker.join();
  {
    std::lock_guard lock(wait_mutex_);
    stopping_ = true;
  }
  jobs_.shutdown();
  wake(nullptr);
  MHD_stop_daemon(daemon);
  int jobs = jobs_.started();
  tool_error("stopped after %d job%s; every job folder is removed", jobs, jobs == 1 ? "" : "s");
  return kExitSame;
}

}  // namespace

int run_server(const ServerSettings& settings, const sigset_t& stop) {
  Server server(settings);
  return server.run(stop);
}
