#include "web/guard.h"

#include <algorithm>

#include "web/token.h"

std::vector<std::string> allowed_hosts(const std::string& address, bool loopback, int port) {
  std::string p = ":" + std::to_string(port);
  bool v6 = address.find(':') != std::string::npos;
  std::vector<std::string> hosts{(v6 ? "[" + address + "]" : address) + p};
  if (loopback) hosts.push_back("localhost" + p);
  return hosts;
}

bool strip_token(std::string_view path, std::string_view token, std::string_view* rest) {
  if (!path.starts_with('/')) return false;
  path.remove_prefix(1);
  size_t end = std::min(path.find('/'), path.size());
  if (!same_secret(path.substr(0, end), token)) return false;
  *rest = path.substr(end);
  return true;
}

Refusal check_request(const RequestFacts& facts, const std::vector<std::string>& hosts) {
  auto named = [&](std::string_view h) { return std::ranges::find(hosts, h) != hosts.end(); };
  if (!named(facts.host)) return Refusal::kWrongHost;
  if (facts.is_post) {
    // Under "Referrer-Policy: no-referrer" a browser names the origin of
    // the page's own form "null", and says same-origin beside it.
    bool origin_ok = facts.origin.empty() ||
                     (facts.origin.starts_with("http://") && named(facts.origin.substr(7))) ||
                     (facts.origin == "null" && facts.fetch_site == "same-origin");
    bool site_ok = facts.fetch_site.empty() || facts.fetch_site == "same-origin" ||
                   facts.fetch_site == "none";
    if (!origin_ok || !site_ok) return Refusal::kCrossSite;
  }
  return Refusal::kAllowed;
}
