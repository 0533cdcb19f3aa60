#include "web/server.h"

#include <httplib.h>

#include <condition_variable>
#include <cstdio>
#include <memory>
#include <thread>

#include "tools/status.h"
#include "web/archive.h"
#include "web/guard.h"
#include "web/jobs.h"
#include "web/pages.h"
#include "web/text.h"
#include "web/token.h"
#include "web/upload.h"

namespace {

/// How much of a file a view page shows.
constexpr size_t kViewBytes = 2u << 20;
/// How long a post waits for its job before it shows the working page.
constexpr auto kPostWait = std::chrono::seconds(2);

const char* const kHtml = "text/html; charset=utf-8";

void send_message(httplib::Response& res, int status, std::string_view title,
                  std::string_view sentence) {
  res.status = status;
  res.set_content(message_page(title, sentence), kHtml);
}

/// The words for a refused or failed request, by status.
void send_status(httplib::Response& res, int status) {
  switch (status) {
    case 403:
      return send_message(res, 403, "Not allowed",
                          "This page opens only from the address kinroll-web printed when it "
                          "started, on the computer it runs on.");
    case 404:
      return send_message(res, 404, "Not here",
                          "There is nothing at this address. Results are removed a while after "
                          "they were last looked at, and when kinroll-web ends.");
    case 413:
      return send_message(res, 413, "Too much at once",
                          "The files are larger than printouts can be. Send the month's "
                          "printouts only.");
    default:
      return send_message(res, status, "Something went wrong",
                          "The request could not be served (status " + std::to_string(status) +
                              ").");
  }
}

/// Streams the file `path` as the response, `keep` held until it is sent.
bool send_file(httplib::Response& res, const std::string& path, const char* type,
               std::shared_ptr<Job> keep) {
  FILE* fp = std::fopen(path.c_str(), "rb");
  if (fp == nullptr) return false;
  std::fseek(fp, 0, SEEK_END);
  long size = std::ftell(fp);
  std::shared_ptr<FILE> file(fp, std::fclose);
  res.set_content_provider(
      static_cast<size_t>(size), type,
      [file, keep](size_t offset, size_t length, httplib::DataSink& sink) {
        char buf[64 * 1024];
        size_t n = std::min(length, sizeof buf);
        if (std::fseek(file.get(), static_cast<long>(offset), SEEK_SET) != 0) return false;
        n = std::fread(buf, 1, n, file.get());
        return n > 0 && sink.write(buf, n);
      });
  return true;
}

/// A snapshot of a finished job's result; false while it runs.
bool finished_result(Job& job, JobResult* r, JobState* state) {
  std::lock_guard lock(job.mutex);
  *state = job.state;
  if (job.state != JobState::kDone) return false;
  *r = job.result;
  return true;
}

bool is_written(const JobResult& r, const std::string& name) {
  for (const WrittenFile& f : r.written) {
    if (f.name == name) return true;
  }
  return false;
}

/// Everything the archive holds: the files written, then what kinroll printed.
std::vector<ArchiveEntry> archive_entries(const Job& job, const JobResult& r) {
  std::vector<ArchiveEntry> entries;
  for (const WrittenFile& f : r.written) entries.push_back({f.name, job.work() + "/" + f.name});
  entries.push_back({"kinroll-console.txt", job.folder + "/batch.out"});
  entries.push_back({"kinroll-messages.txt", job.folder + "/batch.err"});
  return entries;
}

/// The server: settings, token, jobs and routes.
class Server {
 public:
  explicit Server(const ServerSettings& s)
      : settings_(s), token_(random_hex(16)), jobs_(s.programs, s.keep) {}

  int run(const sigset_t& stop);

 private:
  void routes();
  bool refused(const httplib::Request& req, httplib::Response& res);
  void post_job(const httplib::Request& req, httplib::Response& res,
                const httplib::ContentReader& reader);
  /// The finished job of the address, or null after an answer.
  std::shared_ptr<Job> finished(const httplib::Request& req, httplib::Response& res,
                                JobResult* r);

  ServerSettings settings_;
  std::string token_;
  std::vector<std::string> hosts_;
  JobTable jobs_;
  httplib::Server http_;
};

bool Server::refused(const httplib::Request& req, httplib::Response& res) {
  std::string host = req.get_header_value("Host");
  std::string query_token = req.get_param_value("token");
  std::string cookie = req.get_header_value("Cookie");
  std::string origin = req.get_header_value("Origin");
  std::string site = req.get_header_value("Sec-Fetch-Site");
  RequestFacts facts{host, query_token, cookie, origin, site, req.method == "POST"};
  if (check_request(facts, hosts_, token_) != Refusal::kAllowed) {
    send_status(res, 403);
    return true;
  }
  if (!query_token.empty() && req.method == "GET") {
    // The token goes into the cookie and out of the address bar.
    res.set_header("Set-Cookie", std::string(kTokenCookie) + "=" + token_ +
                                     "; Path=/; HttpOnly; SameSite=Strict");
    res.set_redirect(req.path, 303);
    return true;
  }
  return false;
}

void Server::post_job(const httplib::Request&, httplib::Response& res,
                      const httplib::ContentReader& reader) {
  std::shared_ptr<Job> job = jobs_.create("Ward");
  if (job == nullptr) {
    return send_message(res, 503, "Busy",
                        "Other lists are being made right now. Wait a minute and send again.");
  }
  UploadReceiver upload(*job);
  bool ok = reader(
      [&](const httplib::MultipartFormData& part) {
        return upload.begin(part.name, part.filename);
      },
      [&](const char* data, size_t size) { return upload.add(data, size); });
  ok = ok && upload.finish();
  if (ok && !same_secret(upload.token(), token_)) {
    jobs_.discard(job);
    return send_status(res, 403);
  }
  if (!ok) {
    jobs_.discard(job);
    if (upload.status() == 413 || upload.status() == 400 || upload.status() == 500) {
      return send_message(res, upload.status(),
                          upload.status() == 413 ? "Too much at once" : "Not sent",
                          upload.why());
    }
    return send_status(res, res.status >= 400 ? res.status : 400);
  }
  std::string unit = latin1_from_utf8(upload.unit());
  job->unit = unit.empty() ? "Ward" : unit;
  upload.place();
  jobs_.start(job);
  jobs_.wait_done(job, kPostWait);
  res.set_redirect("/jobs/" + job->id, 303);
}

std::shared_ptr<Job> Server::finished(const httplib::Request& req, httplib::Response& res,
                                      JobResult* r) {
  std::shared_ptr<Job> job = jobs_.find(req.matches[1]);
  JobState state;
  if (job == nullptr) {
    send_status(res, 404);
  } else if (!finished_result(*job, r, &state)) {
    res.set_content(working_page(*job, state), kHtml);
  } else {
    return job;
  }
  return nullptr;
}

void Server::routes() {
  http_.set_default_headers({
      {"Content-Security-Policy",
       "default-src 'self'; script-src 'none'; object-src 'none'; base-uri 'none'; "
       "form-action 'self'; frame-ancestors 'none'"},
      {"X-Content-Type-Options", "nosniff"},
      {"Cache-Control", "no-store"},
      {"Referrer-Policy", "same-origin"},
      {"X-Frame-Options", "DENY"},
  });
  http_.set_payload_max_length(kMaxJobBytes + (1u << 20));
  http_.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    return refused(req, res) ? httplib::Server::HandlerResponse::Handled
                             : httplib::Server::HandlerResponse::Unhandled;
  });
  http_.set_error_handler(httplib::Server::HandlerWithResponse(
      [](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
        send_status(res, res.status);
        return httplib::Server::HandlerResponse::Handled;
      }));
  http_.Get("/", [this](const httplib::Request&, httplib::Response& res) {
    res.set_content(form_page(token_), kHtml);
  });
  http_.Get("/style.css", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(kStyleSheet, "text/css; charset=utf-8");
  });
  http_.Post("/jobs", [this](const httplib::Request& req, httplib::Response& res,
                             const httplib::ContentReader& reader) {
    post_job(req, res, reader);
  });
  http_.Get(R"(/jobs/([0-9a-f]{32})/?)", [this](const httplib::Request& req,
                                                 httplib::Response& res) {
    JobResult r;
    if (auto job = finished(req, res, &r)) res.set_content(results_page(*job, r), kHtml);
  });
  http_.Get(R"(/jobs/([0-9a-f]{32})/(view|file)/([A-Za-z0-9._-]+))",
            [this](const httplib::Request& req, httplib::Response& res) {
              JobResult r;
              auto job = finished(req, res, &r);
              if (job == nullptr) return;
              std::string name = req.matches[3];
              std::string path = job->work() + "/" + name;
              if (!is_written(r, name)) return send_status(res, 404);
              if (req.matches[2] == "file") {
                res.set_header("Content-Disposition", "attachment; filename=\"" + name + "\"");
                if (!send_file(res, path, "application/octet-stream", job)) send_status(res, 404);
                return;
              }
              std::string bytes = read_whole(path);
              bool truncated = bytes.size() > kViewBytes;
              if (truncated) bytes.resize(kViewBytes);
              res.set_content(view_page(*job, name, bytes, truncated), kHtml);
            });
  http_.Get(R"(/jobs/([0-9a-f]{32})/archive\.zip)", [this](const httplib::Request& req,
                                                            httplib::Response& res) {
    JobResult r;
    auto job = finished(req, res, &r);
    if (job == nullptr) return;
    std::string zip = job->folder + "/kinroll-results.zip";
    std::string error;
    {
      // Made on the first download, once.
      std::lock_guard lock(job->mutex);
      if (::access(zip.c_str(), F_OK) != 0 && !write_archive(zip, archive_entries(*job, r), &error)) {
        return send_message(res, 500, "No archive", "The archive could not be made: " + error);
      }
    }
    res.set_header("Content-Disposition", "attachment; filename=\"kinroll-results.zip\"");
    if (!send_file(res, zip, "application/zip", job)) send_status(res, 404);
  });
}

int Server::run(const sigset_t& stop) {
  if (!jobs_.ok()) {
    tool_error("cannot make a private temporary folder");
    return kExitTrouble;
  }
  routes();
  int port = settings_.port;
  bool bound = port == 0 ? (port = http_.bind_to_any_port(settings_.listen)) > 0
                         : http_.bind_to_port(settings_.listen, port);
  if (!bound) {
    tool_error("cannot listen on %s port %d", settings_.listen.c_str(), settings_.port);
    return kExitTrouble;
  }
  hosts_ = allowed_hosts(settings_.listen, port);
  if (!is_loopback(settings_.listen)) {
    tool_error("warning: listening on %s, which other computers may reach; the ward's "
               "names, addresses and birth dates are then served to whoever has the address",
               settings_.listen.c_str());
  }
  std::printf("Open this address in a browser on this computer (Ctrl-C ends):\nhttp://%s/?token=%s\n",
              hosts_[0].c_str(), token_.c_str());
  std::fflush(stdout);

  std::thread listener([this] { http_.listen_after_bind(); });
  std::mutex mutex;
  std::condition_variable cv;
  bool stopping = false;
  std::thread sweeper([&] {
    std::unique_lock lock(mutex);
    while (!cv.wait_for(lock, std::chrono::seconds(1), [&] { return stopping; })) {
      lock.unlock();
      jobs_.sweep();
      lock.lock();
    }
  });
  int sig = 0;
  sigwait(&stop, &sig);
  http_.stop();
  listener.join();
  {
    std::lock_guard lock(mutex);
    stopping = true;
  }
  cv.notify_all();
  sweeper.join();
  jobs_.shutdown();
  int jobs = jobs_.started();
  tool_error("stopped after %d job%s; every job folder is removed", jobs, jobs == 1 ? "" : "s");
  return kExitSame;
}

}  // namespace

int run_server(const ServerSettings& settings, const sigset_t& stop) {
  Server server(settings);
  return server.run(stop);
}
