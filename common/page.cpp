#include "common/page.h"

#include <algorithm>
#include <mutex>

#include "common/read_body.h"
#include "platform/internet.h"

namespace orvanta {
namespace {

namespace net = platform;

constexpr std::string_view kPageAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr int kReadBlock = 1024;

// One session for the whole process, opened at the first call that can open
// it; a failed open is tried again by the next call.
struct KeptSession {
  std::mutex mutex;
  net::InternetSession* session = nullptr;
  ~KeptSession() { net::ReleaseKeptSession(session); }
};

net::InternetSession* PageSession() {
  static KeptSession kept;
  std::lock_guard<std::mutex> lock(kept.mutex);
  if (!kept.session) kept.session = net::OpenInternet(kPageAgent, net::kInternetOpenDirect, "");
  return kept.session;
}

}  // namespace

Bytes ReadWholeBody(net::InternetRequest* request) {
  Bytes body;
  std::uint8_t block[kReadBlock];
  while (body.size() < kBodyLimit) {
    int want = static_cast<int>(std::min<std::size_t>(kReadBlock, kBodyLimit - body.size()));
    int got = net::ReadInternetData(request, block, want);
    if (got <= 0) break;
    body.insert(body.end(), block, block + got);
  }
  return body;
}

Bytes ReadPage(std::string_view address) {
  if (address.empty()) return {};
  std::optional<net::UrlParts> parts = net::CrackUrl(address.substr(0, address.find('#')));
  // Only http and https can be fetched with an HTTP GET.
  if (!parts || !parts->http) return {};
  net::InternetSession* session = PageSession();
  if (!session) return {};
  net::InternetConnection* connection = net::ConnectInternet(session, parts->host, parts->port);
  if (!connection) return {};
  std::uint32_t flags = net::kFlagReload | net::kFlagNoCacheWrite | (parts->secure ? net::kFlagSecure : 0);
  net::InternetRequest* request =
      net::OpenHttpRequest(connection, "GET", parts->path, "HTTP/1.0", "Accept: */* \r\n", flags);
  Bytes body;
  if (request && net::SendHttpRequest(request, "Accept: */*\r\n\r\n", nullptr, 0))
    body = ReadWholeBody(request);
  if (request) net::CloseInternet(request);
  net::CloseInternet(connection);
  return body;
}

}  // namespace orvanta
