// Taking an address apart for a request (host, port, request object) and
// reading the value of a response header line. Plain text work that never
// fails: an address that makes no sense still yields some host, port and path.
#pragma once

#include "common/text.h"

namespace orvanta {

// Trimmed text after the first ':'; empty when the line has none.
Text HeaderValue(std::string_view line);
// Lower-cased host after "https://" or "http://" (a bare host counts as
// http). domain_only keeps the last two labels; keep_port keeps ":port".
// An address with "?" right after the host keeps the query in the host.
Text AddressHost(std::string_view address, bool domain_only = false, bool keep_port = false);
// The number after the host's last ':', 0 when it is not one; else 443 for
// an address starting "https" in any letter case, 80 otherwise.
int AddressPort(std::string_view address);
// From the first '/' after the host to the end, letter case kept; "/" when
// there is none.
Text AddressPath(std::string_view address);

}  // namespace orvanta
