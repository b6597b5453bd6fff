// The plain page read against the stand-in web server (run beside
// tools/standin/with-standin), natively and under wine.
#include "common/page.h"

#include <gtest/gtest.h>

#include <string>

#include "common/read_body.h"
#include "support/loopback.h"
#include "support/standin_client.h"

namespace orvanta {
namespace {

using test::StandinRequests;
using test::StandinScript;
using test::StandinUrl;

class PageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(test::StandinPort(), 0) << "run beside tools/standin/with-standin";
    ASSERT_TRUE(test::StandinReset());
  }
};

TEST_F(PageTest, PlainGetWithoutTheFragment) {
  Bytes body;
  for (int i = 0; i < 2500; ++i) body.push_back(static_cast<std::uint8_t>(i * 13));  // zeros inside
  ASSERT_TRUE(StandinScript("/page", R"({"body_base64": ")" + test::Base64(body) + R"("})"));
  EXPECT_EQ(ReadPage(StandinUrl("/page?x=1#top")), body);

  std::vector<test::RecordedRequest> all = StandinRequests("/page");
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].request_line, "GET /page?x=1 HTTP/1.0");
  EXPECT_EQ(all[0].HeaderCount("Accept"), 1);
  EXPECT_EQ(all[0].Header("Accept"), "*/*");
  EXPECT_EQ(all[0].Header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
  EXPECT_EQ(all[0].HeaderCount("Cookie"), 0);
  EXPECT_TRUE(all[0].body.empty());
}

TEST_F(PageTest, AddressesThatCannotBeReadGiveNothing) {
  const std::string port = std::to_string(test::StandinPort());
  const std::string addresses[] = {
      "",
      "127.0.0.1:" + port + "/no-scheme",
      "ftp://127.0.0.1:" + port + "/file",
      "http://",
      "http://127.0.0.1:notaport/x",
      "#http://127.0.0.1:" + port + "/after-the-fragment",
  };
  for (const std::string& address : addresses) {
    SCOPED_TRACE(address);
    EXPECT_TRUE(ReadPage(address).empty());
  }
  EXPECT_TRUE(StandinRequests().empty());
}

TEST_F(PageTest, AnyStatusGivesItsBodyAndRedirectsAreFollowed) {
  ASSERT_TRUE(StandinScript("/missing", R"({"status": 404, "body": "missing page"})"));
  EXPECT_EQ(ReadPage(StandinUrl("/missing")), Bytes({'m', 'i', 's', 's', 'i', 'n', 'g', ' ', 'p', 'a', 'g', 'e'}));
  ASSERT_TRUE(StandinScript("/old", R"({"status": 302, "redirect": "/new"})"));
  ASSERT_TRUE(StandinScript("/new", R"({"body": "new"})"));
  EXPECT_EQ(ReadPage(StandinUrl("/old")), Bytes({'n', 'e', 'w'}));
}

TEST_F(PageTest, FailuresKeepWhatArrived) {
  EXPECT_TRUE(ReadPage("http://127.0.0.1:" + std::to_string(test::UnusedLoopbackPort()) + "/").empty());
  ASSERT_TRUE(StandinScript("/broken", R"({"body_fill": {"byte": 90, "length": 3000}, "drop_after": 2100})"));
  EXPECT_EQ(ReadPage(StandinUrl("/broken")), Bytes(2100, 90));
  ASSERT_TRUE(StandinScript("/endless", R"({"body_fill": {"byte": 1, "length": 65536}, "endless": true})"));
  EXPECT_EQ(ReadPage(StandinUrl("/endless")).size(), kBodyLimit);
}

}  // namespace
}  // namespace orvanta
