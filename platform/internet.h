// The internet client under the request routines and the page read: the few
// WinInet operations they use, with WinInet's arguments and results. Windows
// calls WinInet itself; POSIX builds the same operations on libcurl.
//
// Both layers add the bounds a host process needs: connect, silence and
// whole-read time limits, at most ten redirects and only to http and https,
// and a proxy list that names no server meaning a direct connection.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvanta::platform {

struct InternetSession;     // InternetOpenA
struct InternetConnection;  // InternetConnectA
struct InternetRequest;     // HttpOpenRequestA

// Access types of InternetOpenA.
inline constexpr int kInternetOpenDirect = 1;
inline constexpr int kInternetOpenProxy = 3;

// Request flags of HttpOpenRequestA, with WinInet's values and meanings.
inline constexpr std::uint32_t kFlagReload = 0x80000000u;             // never read a cached copy
inline constexpr std::uint32_t kFlagNoCacheWrite = 0x04000000u;       // never store one
inline constexpr std::uint32_t kFlagNoCookies = 0x00080000u;          // leave the cookie store alone
inline constexpr std::uint32_t kFlagNoAutoRedirect = 0x00200000u;     // answer 3xx as it is
inline constexpr std::uint32_t kFlagSecure = 0x00800000u;             // TLS, certificate checked
inline constexpr std::uint32_t kFlagIgnoreRedirectToHttps = 0x00004000u;  // http may lead to https
inline constexpr std::uint32_t kFlagIgnoreRedirectToHttp = 0x00008000u;   // https may lead to http
inline constexpr std::uint32_t kFlagNeedFile = 0x00000010u;           // no effect without a cache

// The names differ from WinInet's, which <wininet.h> turns into macros.

// InternetOpenA. Null on failure. An empty proxy list, or one that names no server for
// http ("http="), opens a direct session; a named server serves http
// addresses only.
InternetSession* OpenInternet(std::string_view agent, int access_type, std::string_view proxy_list);
// InternetConnectA: no network traffic yet. Port 0 means the scheme's default; a port outside
// 0..65535 or an empty host gives null.
InternetConnection* ConnectInternet(InternetSession* session, std::string_view host, int port);
// HttpOpenRequestA. accept_type: one entry of the accept-type list, or nullopt for none.
InternetRequest* OpenHttpRequest(InternetConnection* connection, std::string_view verb,
                                 std::string_view object, std::string_view version,
                                 std::optional<std::string_view> accept_type, std::uint32_t flags);
// HttpSendRequestA: sends the request and waits for the answer's header block. The header text
// is sent line by line (CR, LF or CR LF end a line; empty lines are skipped).
bool SendHttpRequest(InternetRequest* request, std::string_view headers, const std::uint8_t* body,
                     std::size_t body_size);
// InternetReadFile: up to size body bytes; 0 at the end of the body, on failure and once the
// whole-read time limit has passed.
int ReadInternetData(InternetRequest* request, std::uint8_t* buffer, int size);
// HttpQueryInfoA with HTTP_QUERY_RAW_HEADERS_CRLF: the final answer's status line and header
// lines, each ended by CR LF, then an empty line. When the block and a zero
// byte fit into *length bytes they are written and *length becomes the block's
// length; otherwise false, the buffer is left alone and *length is the size
// needed. False, too, when no answer arrived.
bool QueryRawHeaders(InternetRequest* request, char* buffer, std::uint32_t* length);
// InternetCloseHandle. Close children before their parents: request, connection, session.
void CloseInternet(InternetRequest* request);
void CloseInternet(InternetConnection* connection);
void CloseInternet(InternetSession* session);
// For a session kept for the life of the library, when the library is
// unloaded. Frees it on POSIX; does nothing on Windows, where WinInet must
// not be called while the loader lock is held (the process is ending anyway).
void ReleaseKeptSession(InternetSession* session);

// The address parser of the page read (InternetCrackUrlA without escaping or
// unescaping). nullopt for an address without a scheme or host.
struct UrlParts {
  std::string scheme;    // as written
  std::string host;
  int port = 0;          // from the address, else the scheme's default (80, 443)
  std::string user;
  std::string password;
  std::string path;      // path and query, as written; may be empty
  bool secure = false;   // scheme https, any letter case
  bool http = false;     // scheme http or https
};
std::optional<UrlParts> CrackUrl(std::string_view address);

// Time limits of every request, process-wide. The defaults are the shipped
// bounds; tests lower them to keep the slow cases short.
struct InternetTimeouts {
  int connect_ms = 10000;  // to open the connection
  int silence_ms = 15000;  // without receiving anything
  int total_ms = 30000;    // from the send to the end of the body
};
namespace internet_detail {
inline std::atomic<int> connect_ms{InternetTimeouts{}.connect_ms};
inline std::atomic<int> silence_ms{InternetTimeouts{}.silence_ms};
inline std::atomic<int> total_ms{InternetTimeouts{}.total_ms};
}  // namespace internet_detail

inline void SetInternetTimeouts(const InternetTimeouts& timeouts) {
  internet_detail::connect_ms = timeouts.connect_ms;
  internet_detail::silence_ms = timeouts.silence_ms;
  internet_detail::total_ms = timeouts.total_ms;
}
inline InternetTimeouts GetInternetTimeouts() {
  return {internet_detail::connect_ms, internet_detail::silence_ms, internet_detail::total_ms};
}

}  // namespace orvanta::platform
