#include "plugin/address.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace orvanta {
namespace {

struct AddressCase {
  const char* address;
  const char* host;              // both options off
  const char* host_with_port;    // keep_port
  const char* domain;            // domain_only
  const char* domain_with_port;  // both
  int port;
  const char* path;
};

TEST(AddressTest, SplitsAddresses) {
  const AddressCase cases[] = {
      {"HTTPS://WWW.Example.COM:8443/Some/Path?Q=Mixed", "www.example.com", "www.example.com:8443",
       "example.com", "example.com:8443", 8443, "/Some/Path?Q=Mixed"},
      {"Example.com", "example.com", "example.com", "example.com", "example.com", 80, "/"},
      {"http://a.b.c.d/x", "a.b.c.d", "a.b.c.d", "c.d", "c.d", 80, "/x"},
      {"http://localhost/", "localhost", "localhost", "localhost", "localhost", 80, "/"},
      // The labels are taken before the port is cut.
      {"http://www.sub.example.com:81/p", "www.sub.example.com", "www.sub.example.com:81",
       "example.com", "example.com:81", 81, "/p"},
      // No scheme, but "http://" later on: the host comes after it.
      {"www.x.com/go?u=http://inner.host/path", "inner.host", "inner.host", "inner.host",
       "inner.host", 80, "/path"},
      // A query straight after the host stays in the host.
      {"http://example.com?q=1", "example.com?q=1", "example.com?q=1", "example.com?q=1",
       "example.com?q=1", 80, "/"},
      {"http://example.com:abc/x", "example.com", "example.com:abc", "example.com",
       "example.com:abc", 0, "/x"},
      {"HTTP://Host:8080", "host", "host:8080", "host", "host:8080", 8080, "/"},
      {"httpS://x.y", "x.y", "x.y", "x.y", "x.y", 443, "/"},
      // Only the host's colon gives the port, never one in the path.
      {"http://host:8080/a:b", "host", "host:8080", "host", "host:8080", 8080, "/a:b"},
      {"https://h.example/Ab", "h.example", "h.example", "h.example", "h.example", 443, "/Ab"},
      {"", "", "", "", "", 80, "/"},
  };
  for (const AddressCase& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(AddressHost(c.address), c.host);
    EXPECT_EQ(AddressHost(c.address, false, true), c.host_with_port);
    EXPECT_EQ(AddressHost(c.address, true, false), c.domain);
    EXPECT_EQ(AddressHost(c.address, true, true), c.domain_with_port);
    EXPECT_EQ(AddressPort(c.address), c.port);
    EXPECT_EQ(AddressPath(c.address), c.path);
  }
}

TEST(AddressTest, DoubleByteHostsKeepTheirTrailBytes) {
  // 0xB0 0x41: the trail byte is an 'A' that lower-casing must not touch.
  const Text address = "http://\xB0\x41.COM:88/\xB0\x41Path";
  EXPECT_EQ(AddressHost(address), "\xB0\x41.com");
  EXPECT_EQ(AddressHost(address, true, true), "\xB0\x41.com:88");
  EXPECT_EQ(AddressPort(address), 88);
  EXPECT_EQ(AddressPath(address), "/\xB0\x41Path");
  EXPECT_EQ(AddressHost(test::Gbk("http://例子.中国/路径")), test::Gbk("例子.中国"));
  EXPECT_EQ(AddressPath(test::Gbk("http://例子.中国/路径")), test::Gbk("/路径"));
}

TEST(AddressTest, HeaderValue) {
  const struct {
    const char* line;
    const char* value;
  } cases[] = {
      {"Location: http://a.b/c?d=1", "http://a.b/c?d=1"},
      {"Name:   spaced value  ", "spaced value"},
      {"NoColon", ""},
      {"", ""},
      {"Set-Cookie:", ""},
      {"X:\xA1\xA1v\xA1\xA1", "v"},  // full-width spaces
      {"A: b: c", "b: c"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(HeaderValue(c.line), c.value);
  }
}

}  // namespace
}  // namespace orvanta
