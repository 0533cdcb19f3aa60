#pragma once
// A blocking HTTP/1.1 client for the tests of kinroll-web: one request a
// connection, on the loopback address, read to its end.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

/// What a server answered; status 0 when nothing came.
struct HttpResponse {
  int status = 0;
  std::map<std::string, std::string> headers;  ///< names in lower case
  std::string body;

  /// The header `name` (lower case); empty when it was not sent.
  std::string header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? "" : it->second;
  }
};

using HttpHeaders = std::vector<std::pair<std::string, std::string>>;

/// Sends `method` `path` with `headers` (a Host header naming 127.0.0.1 and
/// `port` unless one is given) and `body` to 127.0.0.1:`port` on a new
/// connection that closes after the answer, and reads the answer whole.
inline HttpResponse http_request(int port, const std::string& method, const std::string& path,
                                 const HttpHeaders& headers = {}, const std::string& body = "") {
  HttpResponse res;
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    if (fd >= 0) close(fd);
    return res;
  }
  std::string request = method + " " + path + " HTTP/1.1\r\nConnection: close\r\n";
  bool host = false;
  for (const auto& [name, value] : headers) {
    request += name + ": " + value + "\r\n";
    host = host || name == "Host";
  }
  if (!host) request += "Host: 127.0.0.1:" + std::to_string(port) + "\r\n";
  if (!body.empty() || method == "POST") {
    request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  }
  request += "\r\n" + body;
  // A server may answer and close before it has read everything: what it
  // answered is read all the same.
  for (size_t sent = 0; sent < request.size();) {
    ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  shutdown(fd, SHUT_WR);
  std::string raw;
  char buf[65536];
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) raw.append(buf, static_cast<size_t>(n));
  close(fd);
  size_t head_end = raw.find("\r\n\r\n");
  if (!raw.starts_with("HTTP/1.") || head_end == std::string::npos) return res;
  res.status = std::stoi(raw.substr(9, 3));
  for (size_t at = raw.find("\r\n") + 2; at < head_end;) {
    size_t end = raw.find("\r\n", at);
    std::string line = raw.substr(at, end - at);
    at = end + 2;
    size_t colon = line.find(':');
    std::string name = line.substr(0, colon);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t value = line.find_first_not_of(' ', colon + 1);
    res.headers[name] = value == std::string::npos ? "" : line.substr(value);
  }
  res.body = raw.substr(head_end + 4);
  return res;
}

/// One part of a multipart form: a file named `name` as the browser sends
/// it, or a text field when `name` is empty.
struct FormPart {
  std::string field;
  std::string name;
  std::string bytes;
};

/// The multipart/form-data body of `parts`; `*type` gets its Content-Type.
inline std::string multipart(const std::vector<FormPart>& parts, std::string* type) {
  const std::string boundary = "----kinroll-test-boundary-7d1c";
  *type = "multipart/form-data; boundary=" + boundary;
  std::string body;
  for (const FormPart& p : parts) {
    body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + p.field + "\"";
    if (!p.name.empty()) {
      body += "; filename=\"" + p.name + "\"\r\nContent-Type: text/plain";
    }
    body += "\r\n\r\n" + p.bytes + "\r\n";
  }
  return body + "--" + boundary + "--\r\n";
}

}  // namespace e2e
