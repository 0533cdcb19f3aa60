#include "web/guard.h"

#include <arpa/inet.h>

#include "web/token.h"

std::vector<std::string> allowed_hosts(const std::string& address, int port) {
  std::string p = ":";
  p += std::to_string(port);
  std::string host;
  bool v6 = address.find(':') != std::string::npos;
  host.append(v6 ? "[" : "").append(address).append(v6 ? "]" : "").append(p);
  std::vector<std::string> hosts{host};
  if (is_loopback(address)) hosts.push_back(std::string("localhost").append(p));
  return hosts;
}

bool is_loopback(std::string_view address) {
  std::string a(address);
  unsigned char buf[16];
  if (inet_pton(AF_INET, a.c_str(), buf) == 1) return buf[0] == 127;
  if (inet_pton(AF_INET6, a.c_str(), buf) == 1) {
    for (int i = 0; i < 15; ++i) {
      if (buf[i] != 0) return false;
    }
    return buf[15] == 1;
  }
  return false;
}

std::string_view cookie_value(std::string_view header, std::string_view name) {
  while (!header.empty()) {
    size_t end = header.find(';');
    std::string_view pair = header.substr(0, end);
    header = end == std::string_view::npos ? std::string_view() : header.substr(end + 1);
    while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
    size_t eq = pair.find('=');
    if (eq != std::string_view::npos && pair.substr(0, eq) == name) return pair.substr(eq + 1);
  }
  return {};
}

Refusal check_request(const RequestFacts& facts, const std::vector<std::string>& hosts,
                      std::string_view token) {
  bool host_ok = false;
  for (const std::string& h : hosts) host_ok = host_ok || facts.host == h;
  if (!host_ok) return Refusal::kWrongHost;
  std::string_view given = facts.query_token;
  if (given.empty()) given = cookie_value(facts.cookie, kTokenCookie);
  if (!same_secret(given, token)) return Refusal::kNoToken;
  if (facts.is_post) {
    bool origin_ok = facts.origin.empty();
    for (const std::string& h : hosts) origin_ok = origin_ok || facts.origin == "http://" + h;
    bool site_ok = facts.fetch_site.empty() || facts.fetch_site == "same-origin" ||
                   facts.fetch_site == "none";
    if (!origin_ok || !site_ok) return Refusal::kCrossSite;
  }
  return Refusal::kAllowed;
}
