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
// A loopback port whose queue of connections is full, so that a connection
// attempt neither succeeds nor fails until the client gives up. It stays so
// for the rest of the program; 0 when it could not be set up.
int StalledLoopbackPort();

}  // namespace orvanta::test
