// The test side of the stand-in web server (tools/standin): scripting its
// answers and reading back the requests it received, over plain loopback
// sockets. The test program runs under tools/standin/with-standin, which
// passes the server's port in ORVANTA_STANDIN_PORT.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"

namespace orvanta::test {

struct RecordedRequest {
  std::string request_line;               // "GET /p?q HTTP/1.1"
  std::string method, target, version;
  std::vector<std::string> header_lines;  // as received, in order
  Bytes body;
  bool tls = false;                       // a TLS handshake, not HTTP

  // Value (trimmed) of the first header of that name, letter case ignored.
  std::optional<std::string> Header(std::string_view name) const;
  int HeaderCount(std::string_view name) const;
};

// Port of the server; 0 when the program does not run beside one.
int StandinPort();
// "http://127.0.0.1:<port>" followed by path.
std::string StandinUrl(std::string_view path);
// Sets the answer for one path (see tools/standin/standin.py for the fields);
// answer is a JSON object, or a JSON list of answers used in turn.
bool StandinScript(std::string_view path, std::string_view answer_json);
bool StandinReset();
// Recorded requests, oldest first; only those for path when it is given.
std::vector<RecordedRequest> StandinRequests(std::string_view path = {});

// Builders for answer JSON.
std::string JsonString(std::string_view bytes);  // each byte as one code point
std::string Base64(const Bytes& bytes);
std::string Base64(std::string_view bytes);

}  // namespace orvanta::test
