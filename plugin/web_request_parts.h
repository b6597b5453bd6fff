// The steps of a full request that need no network: the agent, the flag word,
// the completed header text and the scan of the answer's header block. The
// request routines are built from them; tests check them one by one.
#pragma once

#include <cstdint>
#include <optional>

#include "common/text.h"

namespace orvanta {

// The caller's User-Agent line (name found in any letter case), else
// default_agent. A lone line without "\r\n" after it gives the trimmed text
// after the first colon of the whole header text.
Text RequestAgent(std::string_view headers, std::string_view default_agent);
// INTERNET_FLAG_* word: reload and need-file always, no-cookies and
// no-auto-redirect as asked, then secure for an address whose first five
// characters are "https" in any letter case, else ignore-redirect-to-https.
std::uint32_t RequestFlags(std::string_view address, bool no_cookies, bool no_redirect);
// Appends, each only when its name is not yet in headers (case-sensitive,
// anywhere), Referer, Accept, Accept-Language and Content-Type; then a Cookie
// line when cookies is not empty, without looking for one.
void CompleteHeaders(Text& headers, std::string_view address, std::string_view cookies);
// The Location and Set-Cookie lines of a raw header block: location becomes
// the value of the last line holding "Location:" (unchanged when there is
// none); new_cookies the first part of each Set-Cookie line, joined by "; ".
void ScanAnswerHeaders(std::string_view raw_headers, Text& location, Text& new_cookies);

}  // namespace orvanta
