// Full HTTP requests: method, body, cookie text, extra headers, redirect
// control and proxy; one internet handle, connection and request per call.
#pragma once

#include <optional>

#include "common/bytes.h"
#include "common/text.h"

namespace orvanta {

// The optional arguments of a request, in their documented order. In-out and
// out members are rewritten by the call; a caller that does not care simply
// drops the struct afterwards.
struct RequestArgs {
  int method = 0;                 // 1 POST; 0 GET without body; other: GET with body
  Text post_text;                 // body when post_bytes is empty
  std::optional<Text> cookies;    // in-out; WebRequestEx: given switches off platform cookies
  Text new_cookies;               // out: the cookies this response set
  Text headers;                   // in-out: extra lines; on return the block sent
  Text location;                  // in-out: redirect target, else the raw header block
  bool no_redirect = false;
  Bytes post_bytes;               // in-out: filled from post_text when a body is sent
  std::optional<Text> proxy;      // given: proxy mode with "http=" + proxy
  Text raw_headers;               // out: the raw response header block
};

Bytes WebRequest(std::string_view address, RequestArgs& args);
Bytes WebRequestEx(std::string_view address, RequestArgs& args);
// WebRequest, then the body decoded from UTF-8 to GBK. Always proxy mode:
// a left-out proxy is passed on as given and empty, i.e. the list "http=".
Text FetchText(std::string_view address, RequestArgs& args);

// Scratch-argument forms: every optional argument left out but method.
Bytes WebRequestEx(std::string_view address);
Text FetchText(std::string_view address, int method = 0);

}  // namespace orvanta
