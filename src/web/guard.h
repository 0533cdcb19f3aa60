#pragma once
// Who may use the page: the checks every request passes before it is
// served, kept apart from the server so that they read as a table.

#include <string>
#include <string_view>
#include <vector>

/// The cookie that keeps the access token after the first visit.
inline constexpr const char* kTokenCookie = "kinroll_token";

/// What a request carries that the checks look at.
struct RequestFacts {
  std::string_view host;         ///< the Host header
  std::string_view query_token;  ///< the "token" parameter of the address, or empty
  std::string_view cookie;       ///< the Cookie header, or empty
  std::string_view origin;       ///< the Origin header, or empty
  std::string_view fetch_site;   ///< the Sec-Fetch-Site header, or empty
  bool is_post = false;
};

/// Why a request is refused; kAllowed when it is not.
enum class Refusal { kAllowed, kWrongHost, kNoToken, kCrossSite };

/// The Host headers that name the server listening on `address` (a
/// numeric address as given to --listen) and `port`: "ADDR:PORT" ("[ADDR]"
/// for IPv6), and for a loopback address also "localhost:PORT".
std::vector<std::string> allowed_hosts(const std::string& address, int port);

/// True when `address` is a loopback address (127.0.0.0/8 or ::1).
bool is_loopback(std::string_view address);

/// The value of the cookie `name` in the Cookie header `header`; empty when
/// it is not there.
std::string_view cookie_value(std::string_view header, std::string_view name);

/// Checks a request in this order: the Host header is one of `hosts` (no
/// page for a name that was pointed at this computer from elsewhere); the
/// token is `token`, in the address or the cookie; a post comes from this
/// page (an Origin or Sec-Fetch-Site header, when sent, names this server).
/// The token of a post's form is checked when the form is read.
Refusal check_request(const RequestFacts& facts, const std::vector<std::string>& hosts,
                      std::string_view token);
