// Plain loopback sockets for the test programs, so that they can talk to the
// stand-in server without the code under test.
#pragma once

#include <string>

namespace orvanta::test {

// Sends request to 127.0.0.1:port and returns everything the server sends
// back until it closes the connection (empty on failure; 10 s at most).
std::string LoopbackExchange(int port, const std::string& request);
// A loopback port on which nothing listens (free when this returned).
int UnusedLoopbackPort();

}  // namespace orvanta::test
