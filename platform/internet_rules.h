// Rules both internet layers follow, so that Windows and POSIX agree where
// WinInet leaves a choice to its caller, and so that no request runs without
// bound: which redirects are followed and where they lead, which proxy a list
// names, and which bytes of a request object or header text may go on the wire.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/internet.h"

namespace orvanta::platform::internet_rules {

inline constexpr int kMaxRedirects = 10;

constexpr char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
constexpr bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

inline std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// Calls fn(line) for each non-empty line of text; CR, LF or CR LF end a line.
// An empty line inside a header text would end the header block early.
template <typename Fn>
void ForEachLine(std::string_view text, Fn fn) {
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    if (i > start) fn(text.substr(start, i - start));
    start = i + 1;
  }
}

// A header text holds a line with this name (letter case ignored).
inline bool HasHeaderLine(std::string_view headers, std::string_view name) {
  bool found = false;
  ForEachLine(headers, [&](std::string_view line) {
    std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && EqualsIgnoreCase(TrimSpaces(line.substr(0, colon)), name))
      found = true;
  });
  return found;
}

// An agent or header value ends at its first line break: anything after it
// would become a header line of its own.
inline std::string_view FirstLine(std::string_view text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

// The server a proxy list names for http: an "http=" entry or an entry that
// names no protocol. Entries are separated by spaces or semicolons. nullopt
// when the list names none, as "http=" alone does.
inline std::optional<std::string> HttpProxyServer(std::string_view list) {
  std::optional<std::string> bare;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= list.size(); ++i) {
    if (i < list.size() && list[i] != ' ' && list[i] != ';' && list[i] != '\t') continue;
    std::string_view entry = list.substr(start, i - start);
    start = i + 1;
    std::size_t eq = entry.find('=');
    if (eq == std::string_view::npos) {
      if (!entry.empty() && !bare) bare = std::string(entry);
    } else if (EqualsIgnoreCase(entry.substr(0, eq), "http") && eq + 1 < entry.size()) {
      return std::string(entry.substr(eq + 1));
    }
  }
  return bare;
}

// The request object with the bytes a request line cannot carry (controls,
// space, DEL) percent-encoded; everything else goes as given.
inline std::string EscapeObject(std::string_view object) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(object.size());
  for (char ch : object) {
    auto c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c == 0x7F) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out.empty() ? std::string("/") : out;
}

// A host name that can go into a request: letters, digits, '-', '.', '_'.
inline bool IsValidHost(std::string_view host) {
  if (host.empty()) return false;
  for (char c : host)
    if (!IsAlpha(c) && !IsDigit(c) && c != '-' && c != '.' && c != '_') return false;
  return true;
}

inline int EffectivePort(int port, bool secure) { return port != 0 ? port : secure ? 443 : 80; }

// Where one request goes.
struct Target {
  bool secure = false;
  std::string host;
  int port = 80;
  std::string object = "/";
};

// The first request's target; port 0 is the default port of its scheme.
inline Target FirstTarget(std::string_view host, int port, std::string_view object,
                          std::uint32_t flags) {
  bool secure = (flags & kFlagSecure) != 0;
  return {secure, std::string(host), EffectivePort(port, secure),
          object.empty() ? std::string("/") : std::string(object)};
}

// The next request of a redirect, or nullopt when the answer is final: auto
// redirect off, the tenth redirect already followed, no redirect status, no
// usable Location, a scheme other than http and https, or a change between
// http and https that the flags do not allow.
struct Hop {
  Target target;
  std::string verb;
  bool keep_body = false;
};

inline std::optional<Hop> NextHop(const Target& from, int status, std::string_view location,
                                  std::string_view verb, std::uint32_t flags, int hops_so_far) {
  if ((flags & kFlagNoAutoRedirect) || hops_so_far >= kMaxRedirects) return std::nullopt;
  if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308)
    return std::nullopt;
  std::string_view loc = TrimSpaces(location);
  loc = loc.substr(0, loc.find('#'));
  if (loc.empty()) return std::nullopt;

  Hop hop;
  hop.target = from;
  std::string_view authority_and_path;
  bool has_authority = false;
  std::size_t mark = loc.find_first_of(":/?");
  if (mark != std::string_view::npos && loc[mark] == ':' && mark > 0 && IsAlpha(loc[0])) {
    std::string scheme;
    for (char c : loc.substr(0, mark)) scheme += Lower(c);
    if (scheme != "http" && scheme != "https") return std::nullopt;
    std::string_view rest = loc.substr(mark + 1);
    if (rest.substr(0, 2) != "//") return std::nullopt;
    hop.target.secure = scheme == "https";
    authority_and_path = rest.substr(2);
    has_authority = true;
  } else if (loc.substr(0, 2) == "//") {
    authority_and_path = loc.substr(2);
    has_authority = true;
  } else if (loc[0] == '/') {
    hop.target.object = std::string(loc);
  } else {
    std::string_view base = from.object;
    base = base.substr(0, base.find('?'));
    if (loc[0] != '?') base = base.substr(0, base.rfind('/') + 1);
    hop.target.object = std::string(base) + std::string(loc);
  }

  if (has_authority) {
    std::size_t end = authority_and_path.find_first_of("/?");
    std::string_view authority = authority_and_path.substr(0, end);
    std::string_view path = end == std::string_view::npos ? "" : authority_and_path.substr(end);
    std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);
    std::size_t colon = authority.find(':');
    int port = 0;
    if (colon != std::string_view::npos) {
      std::string_view digits = authority.substr(colon + 1);
      if (digits.size() > 5) return std::nullopt;
      for (char c : digits) {
        if (!IsDigit(c)) return std::nullopt;
        port = port * 10 + (c - '0');
      }
      if (port > 65535) return std::nullopt;
      authority = authority.substr(0, colon);
    }
    if (!IsValidHost(authority)) return std::nullopt;
    hop.target.host = std::string(authority);
    hop.target.port = EffectivePort(port, hop.target.secure);
    hop.target.object = path.empty() ? "/" : path[0] == '?' ? "/" + std::string(path) : std::string(path);
  }

  if (!from.secure && hop.target.secure && !(flags & kFlagIgnoreRedirectToHttps)) return std::nullopt;
  if (from.secure && !hop.target.secure && !(flags & kFlagIgnoreRedirectToHttp)) return std::nullopt;

  hop.keep_body = status == 307 || status == 308;
  hop.verb = std::string(verb);
  if ((status == 303 && verb != "HEAD") || ((status == 301 || status == 302) && verb == "POST"))
    hop.verb = "GET";
  return hop;
}

}  // namespace orvanta::platform::internet_rules
