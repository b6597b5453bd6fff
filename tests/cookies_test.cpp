#include "plugin/cookies.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

struct MergeCase {
  const char* old_cookies;
  const char* new_cookies;
  const char* merged;           // MergeCookies
  const char* merged_distinct;  // MergeCookiesDistinct
  const char* new_after;        // new_cookies as both leave it
};

TEST(CookiesTest, MergesNewIntoOld) {
  const MergeCase cases[] = {
      {"a=1; b=2", "b=3", "b=3; a=1", "b=3; a=1", "b=3"},
      {"a=1; c=5", "a=deleted", "c=5", "c=5", "a=deleted"},
      {"a=1", "b=2;a=deleted", "b=2", "b=2", "b=2;a=deleted"},
      {"", "a=DELETED", "a=DELETED", "a=DELETED", "a=DELETED"},
      {"", "", "", "", ""},
      {"a = 1 ; b=2 ;", "", "a=1; b=2", "a=1; b=2", ""},
      {"", "x=hello world", "x=helloworld", "x=helloworld", "x=helloworld"},
      {"", "a=1;a=2", "a=1; a=2", "a=1; a=2", "a=1;a=2"},
      {"", "a=1;a=1", "a=1; a=1", "a=1", "a=1;a=1"},
      {"a=1;a=9", "", "a=1", "a=1", ""},
      {"sid=1; a=1", "sid=42; lang=cn; ", "sid=42; lang=cn; a=1", "sid=42; lang=cn; a=1",
       "sid=42;lang=cn;"},
      {"flag", "flag=1", "flag=1", "flag=1", "flag=1"},
      {"a=\xA1\xA1" "1", "", "a=1", "a=1", ""},  // full-width space
      // Names compare byte for byte: "A" does not replace "a".
      {"a=1", "A=2", "A=2; a=1", "A=2; a=1", "A=2"},
  };
  for (const MergeCase& c : cases) {
    SCOPED_TRACE(std::string(c.old_cookies) + " | " + c.new_cookies);
    Text cookies = c.old_cookies, fresh = c.new_cookies;
    EXPECT_EQ(MergeCookies(cookies, fresh), c.merged);
    EXPECT_EQ(cookies, c.merged);
    EXPECT_EQ(fresh, c.new_after);

    cookies = c.old_cookies;
    fresh = c.new_cookies;
    EXPECT_EQ(MergeCookiesDistinct(cookies, fresh), c.merged_distinct);
    EXPECT_EQ(cookies, c.merged_distinct);
    EXPECT_EQ(fresh, c.new_after);
  }
}

TEST(CookiesTest, CookieNameAndLookUp) {
  const struct {
    const char* item;
    const char* name;
  } names[] = {{"a=1", "a"}, {" name =v", "name"}, {"flag", "flag"}, {" flag ", "flag"},
               {"=v", ""},   {"a=b=c", "a"},      {"", ""}};
  for (const auto& c : names) {
    SCOPED_TRACE(c.item);
    EXPECT_EQ(CookieName(c.item), c.name);
  }

  const TextArray items = {"a=1", "B=2", " c =3"};
  EXPECT_TRUE(HasCookieName(items, "B"));
  EXPECT_TRUE(HasCookieName(items, "c"));
  EXPECT_FALSE(HasCookieName(items, "b"));
  EXPECT_FALSE(HasCookieName(items, ""));
  EXPECT_FALSE(HasCookieName({}, ""));
  EXPECT_TRUE(HasCookieName({"=x"}, ""));
}

TEST(CookiesTest, RemoveDuplicateItemsAndItemIndex) {
  const struct {
    const char* text;
    const char* separator;
    const char* result;
  } cases[] = {
      {"a; b; a", "; ", "a; b"},
      {"", "; ", ""},
      {"A; a", "; ", "A; a"},
      {"x,y,x,,", ",", "x,y,"},
      {"abc", "", "abc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(RemoveDuplicateItems(c.text, c.separator), c.result);
  }

  const TextArray items = {"a", "b", "a"};
  EXPECT_EQ(ItemIndex(items, "a"), 1);
  EXPECT_EQ(ItemIndex(items, "b"), 2);
  EXPECT_EQ(ItemIndex(items, "A"), -1);
  EXPECT_EQ(ItemIndex(items, "c"), -1);
  EXPECT_EQ(ItemIndex({}, ""), -1);
}

}  // namespace
}  // namespace orvanta
