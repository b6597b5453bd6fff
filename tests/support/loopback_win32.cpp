#include <winsock2.h>
#include <ws2tcpip.h>

#include "support/loopback.h"

namespace orvanta::test {
namespace {

bool WinsockReady() {
  static const bool ready = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return ready;
}

sockaddr_in Loopback(int port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<u_short>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return addr;
}

}  // namespace

std::string LoopbackExchange(int port, const std::string& request) {
  if (!WinsockReady()) return {};
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return {};
  DWORD limit = 10000;
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
  setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
  sockaddr_in addr = Loopback(port);
  std::string answer;
  if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
    size_t sent = 0;
    while (sent < request.size()) {
      int n = send(s, request.data() + sent, static_cast<int>(request.size() - sent), 0);
      if (n <= 0) break;
      sent += static_cast<size_t>(n);
    }
    char buffer[65536];
    for (int n; (n = recv(s, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, n);
  }
  closesocket(s);
  return answer;
}

int UnusedLoopbackPort() {
  if (!WinsockReady()) return 0;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in addr = Loopback(0);
  int size = sizeof addr;
  int port = 0;
  if (s != INVALID_SOCKET && bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&addr), &size) == 0)
    port = ntohs(addr.sin_port);
  if (s != INVALID_SOCKET) closesocket(s);
  return port;
}

int StalledLoopbackPort() {
  static const int port = [] {
    if (!WinsockReady()) return 0;
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = Loopback(0);
    int size = sizeof addr;
    if (listener == INVALID_SOCKET ||
        bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(listener, 0) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &size) != 0)
      return 0;
    // One connection that is never accepted fills the queue.
    SOCKET filler = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (filler == INVALID_SOCKET ||
        connect(filler, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
      return 0;
    return static_cast<int>(ntohs(addr.sin_port));
  }();
  return port;
}

}  // namespace orvanta::test
