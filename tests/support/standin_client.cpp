#include "support/standin_client.h"

#include <cstdlib>

#include "support/loopback.h"

namespace orvanta::test {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string QueryValue(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '/' || c == '-' || c == '_' || c == '.';
    if (plain) {
      out += ch;
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

// One control request; the answer's body when the status is 200.
std::optional<std::string> Control(const std::string& method, const std::string& target,
                                   std::string_view body = {}) {
  int port = StandinPort();
  if (port == 0) return std::nullopt;
  std::string request = method + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                        "Connection: close\r\nContent-Length: " + std::to_string(body.size()) +
                        "\r\n\r\n" + std::string(body);
  std::string answer = LoopbackExchange(port, request);
  size_t head_end = answer.find("\r\n\r\n");
  if (answer.compare(0, 12, "HTTP/1.1 200") != 0 || head_end == std::string::npos)
    return std::nullopt;
  return answer.substr(head_end + 4);
}

RecordedRequest ParseRecord(std::string_view raw) {
  RecordedRequest r;
  if (!raw.empty() && static_cast<unsigned char>(raw[0]) == 0x16) {
    r.tls = true;
    return r;
  }
  size_t head_end = raw.find("\r\n\r\n");
  std::string_view head = raw.substr(0, head_end);
  if (head_end != std::string_view::npos) {
    std::string_view body = raw.substr(head_end + 4);
    r.body.assign(body.begin(), body.end());
  }
  bool first = true;
  while (!head.empty()) {
    size_t eol = head.find("\r\n");
    std::string_view line = head.substr(0, eol);
    head = eol == std::string_view::npos ? std::string_view() : head.substr(eol + 2);
    if (first) {
      r.request_line = std::string(line);
      size_t a = line.find(' '), b = line.rfind(' ');
      if (a != std::string_view::npos && b > a) {
        r.method = std::string(line.substr(0, a));
        r.target = std::string(line.substr(a + 1, b - a - 1));
        r.version = std::string(line.substr(b + 1));
      }
      first = false;
    } else {
      r.header_lines.emplace_back(line);
    }
  }
  return r;
}

}  // namespace

std::optional<std::string> RecordedRequest::Header(std::string_view name) const {
  for (const std::string& line : header_lines) {
    size_t colon = line.find(':');
    if (colon != std::string::npos && SameName(Trim(std::string_view(line).substr(0, colon)), name))
      return std::string(Trim(std::string_view(line).substr(colon + 1)));
  }
  return std::nullopt;
}

int RecordedRequest::HeaderCount(std::string_view name) const {
  int count = 0;
  for (const std::string& line : header_lines) {
    size_t colon = line.find(':');
    if (colon != std::string::npos && SameName(Trim(std::string_view(line).substr(0, colon)), name))
      ++count;
  }
  return count;
}

int StandinPort() {
  const char* port = std::getenv("ORVANTA_STANDIN_PORT");
  return port ? std::atoi(port) : 0;
}

std::string StandinUrl(std::string_view path) {
  return "http://127.0.0.1:" + std::to_string(StandinPort()) + std::string(path);
}

bool StandinScript(std::string_view path, std::string_view answer_json) {
  std::string script = "{" + JsonString(path) + ": " + std::string(answer_json) + "}";
  return Control("POST", "/__standin/script", script).has_value();
}

bool StandinReset() { return Control("POST", "/__standin/reset").has_value(); }

std::vector<RecordedRequest> StandinRequests(std::string_view path) {
  std::string target = "/__standin/raw";
  if (!path.empty()) target += "?path=" + QueryValue(path);
  std::vector<RecordedRequest> out;
  std::optional<std::string> all = Control("GET", target);
  if (!all) return out;
  std::string_view rest = *all;
  while (!rest.empty()) {
    size_t newline = rest.find('\n');
    if (newline == std::string_view::npos) break;
    size_t size = std::strtoul(std::string(rest.substr(0, newline)).c_str(), nullptr, 10);
    rest.remove_prefix(newline + 1);
    if (size > rest.size()) break;
    out.push_back(ParseRecord(rest.substr(0, size)));
    rest.remove_prefix(size);
  }
  return out;
}

std::string JsonString(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (char ch : bytes) {
    auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c >= 0x7F) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string Base64(std::string_view bytes) {
  static constexpr char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                 static_cast<unsigned char>(bytes[i + 1]) << 8 | static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += kDigits[(v >> 6) & 63];
    out += kDigits[v & 63];
  }
  if (i < bytes.size()) {
    unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kDigits[v >> 18];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string Base64(const Bytes& bytes) {
  return Base64(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace orvanta::test
