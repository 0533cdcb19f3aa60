#pragma once
// Who may use the page: the checks every request passes before it is
// served, kept apart from the server so that they read as a table.

#include <string>
#include <string_view>
#include <vector>

/// What a request carries that the checks look at.
struct RequestFacts {
  std::string_view host;        ///< the Host header
  std::string_view origin;      ///< the Origin header, or empty
  std::string_view fetch_site;  ///< the Sec-Fetch-Site header, or empty
  bool is_post = false;
};

/// Why a request is refused; kAllowed when it is not.
enum class Refusal { kAllowed, kWrongHost, kCrossSite };

/// The Host headers that name the server listening on `address` (numeric,
/// as ListenAddress::text) and `port`: "ADDR:PORT" ("[ADDR]" for IPv6), and
/// for a loopback address also "localhost:PORT".
std::vector<std::string> allowed_hosts(const std::string& address, bool loopback, int port);

/// The address is the key: true when `path` is "/TOKEN" or begins with
/// "/TOKEN/" for the server's `token` (compared in a time that does not
/// depend on where they first differ), with `*rest` set to what follows
/// TOKEN ("" or "/..."). Any other path is not the page's.
bool strip_token(std::string_view path, std::string_view token, std::string_view* rest);

/// Checks a request that named the token, in this order: the Host header
/// is one of `hosts` (no page for a name that was pointed at this computer
/// from elsewhere); a post comes from this page (an Origin or
/// Sec-Fetch-Site header, when sent, names this server; an Origin of
/// "null" only with Sec-Fetch-Site "same-origin").
Refusal check_request(const RequestFacts& facts, const std::vector<std::string>& hosts);
