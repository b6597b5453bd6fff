"""Checks that the stand-in services answer with what the plug-in cuts out of
their pages: the markers, the field names of each list answer, the encodings.
Run: python3 tools/standin/test_services.py"""

import os
import sys
import unittest
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import services  # noqa: E402

HOST = [("Host", "127.0.0.1:8123")]
BASE = "http://127.0.0.1:8123"


def get(path, query=""):
    return services.handle("GET", path, query, HOST, b"")


def quoted(text):
    return urllib.parse.quote(text, safe="")


def chat(info, key="0a9b8c7d6e5f40312a3b4c5d6e7f8091"):
    status, headers, body = get("/openapi/api", "key=%s&info=%s" % (key, quoted(info)))
    return status, dict(headers), body.decode("utf-8")


def between(text, left, right):
    at = text.find(left)
    if at < 0:
        return None
    at += len(left)
    end = text.find(right, at)
    return None if end < 0 else text[at:end]


# The fields that the plug-in reads from each entry of a list answer.
LIST_FIELDS = {
    301000: ("name", "author", "detailurl"),
    302000: ("article", "source", "detailurl"),
    304000: ("name", "count", "detailurl"),
    305000: ("start", "terminal", "checi", "zuoxi", "starttime", "endtime", "detailurl"),
    306000: ("flight", "route", "starttime", "endtime", "state", "price", "detailurl"),
    308000: ("name", "info", "detailurl"),
    309000: ("name", "price", "satisfaction", "count", "detailurl"),
    310000: ("number", "info", "detailurl"),
    311000: ("name", "price", "detailurl"),
}


class ChatServiceTest(unittest.TestCase):
    def test_each_topic_word_gives_its_code(self):
        cases = [
            ("今天有什么新闻", 302000), ("明天去上海的火车", 305000), ("查一下航班", 306000),
            ("推荐一本小说", 301000), ("下载个应用", 304000), ("番茄炒蛋怎么做", 308000),
            ("我想买保温杯", 309000), ("彩票开奖了吗", 310000), ("附近的酒店", 311000),
            ("来张猫的图片", 200000), ("你是谁", 100000), ("Hello robot", 100000),
            ("你升级了吗", 40002), ("我累了", 40005), ("服务器还好吗", 40006),
            ("安静一会儿", 40004), ("随便说点什么", 100000),
        ]
        for info, code in cases:
            with self.subTest(info=info):
                status, headers, body = chat(info)
                self.assertEqual(status, 200)
                self.assertIn("utf-8", headers["Content-Type"])
                self.assertEqual(between(body, '"code":', ","), str(code))

    def test_answers_are_written_without_spaces_between_tokens(self):
        for info in ("新闻", "火车", "你是谁", "图片"):
            with self.subTest(info=info):
                body = chat(info)[2]
                self.assertNotIn('": ', body)
                self.assertNotIn('", "', body)

    def test_list_answers_hold_every_field_the_plug_in_reads(self):
        words = {301000: "小说", 302000: "新闻", 304000: "应用", 305000: "火车", 306000: "航班",
                 308000: "菜谱", 309000: "商品", 310000: "彩票", 311000: "酒店"}
        for code, word in words.items():
            with self.subTest(code=code):
                body = chat(word)[2]
                self.assertTrue(between(body, '"text":"', '"'))
                entries = body.split("},{")
                for entry in entries:
                    for field in LIST_FIELDS[code]:
                        self.assertTrue(between(entry, '"%s":"' % field, '"'), (field, entry))
                self.assertTrue(between(entries[0], '"detailurl":"', '"').startswith(BASE))

    def test_plain_answer_ends_with_its_text(self):
        # Code 100000 is cut up to the quote and brace that close the answer.
        body = chat("随便说点什么")[2]
        self.assertTrue(between(body, '"text":"', '"}'))
        self.assertIn("随便说点什么", body)

    def test_link_answer_has_text_then_url(self):
        body = chat("图片")[2]
        self.assertTrue(between(body, '"text":"', '",'))
        self.assertTrue(between(body, '"url":"', '"').startswith(BASE + "/"))

    def test_introduction_holds_the_phrases_the_plug_in_replaces(self):
        body = chat("你是谁")[2]
        for phrase in ("我是大家的语音助手", "打开应用与程序", "小灵你好",
                       "能帮你查找附近美食，银行，商场，酒店等相关场所；能帮你打电话，发短信；能帮助上网，打开网页，"):
            self.assertIn(phrase, body)

    def test_missing_key_and_empty_message(self):
        status, _, body = get("/openapi/api", "info=x")
        self.assertEqual(between(body.decode("utf-8"), '"code":', ","), "40001")
        self.assertEqual(between(chat("")[2], '"code":', ","), "40002")


class PageServicesTest(unittest.TestCase):
    def test_music_site_a_page_holds_the_link_marker(self):
        page = get("/ws/NSearch", "type=all&key=" + quoted("月亮代表我的心"))[2].decode("utf-8")
        link = between(page, ' <p class="m_name"><a href="', '"')
        self.assertTrue(link.startswith(BASE + "/song/"))
        self.assertEqual(get(link[len(BASE):])[0], 200)

    def test_music_site_b_page_holds_the_first_marker(self):
        page = get("/s", "frsug=0&q=" + quoted("月亮"))[2].decode("utf-8")
        marker = ('checkbox">&nbsp;</span><span class="num">01</span></span>'
                  '<span class="title"><a href="')
        self.assertTrue(between(page, marker, '"').startswith(BASE + "/song/"))

    def test_search_keyword_lands_in_the_page_escaped(self):
        page = get("/ws/NSearch", "type=all&key=" + quoted('<b>"x"'))[2].decode("utf-8")
        self.assertNotIn("<b>", page)

    def test_encyclopedia_found_and_its_article(self):
        word = "百科长城"
        page = get("/search", "word=%s&&pic=1&sug=1" % quoted(word))[2].decode("utf-8")
        link = between(page, '<h2>\r\n<a href="', '" target="_blank"><em>')
        self.assertEqual(link, BASE + "/item/" + quoted("长城"))
        article = get(link[len(BASE):])[2].decode("utf-8")
        summary = between(article, 'name="Description" content="',
                          '" /><meta name="Keywords" content="')
        self.assertIn("长城", summary)

    def test_encyclopedia_without_result_or_without_description(self):
        page = get("/search", "word=" + quoted("百科没有这个词"))[2].decode("utf-8")
        self.assertIsNone(between(page, '<h2>\r\n<a href="', '"'))
        page = get("/search", "word=" + quoted("百科空白"))[2].decode("utf-8")
        link = between(page, '<h2>\r\n<a href="', '" target="_blank"><em>')
        article = get(link[len(BASE):])[2].decode("utf-8")
        self.assertNotIn('name="Description"', article)


class ShortenerAndScoreTest(unittest.TestCase):
    def test_short_link_is_percent_encoded_and_leads_back(self):
        query = "orig_link=http%3A%2F%2Fwww.example.com/a?b=1&c=2"
        status, _, body = get("/v1/data/link_conv/rd_dispatcher.php", query)
        self.assertEqual(status, 200)
        self.assertNotIn(b"/", body)
        short = urllib.parse.unquote(body.decode("ascii"))
        self.assertTrue(short.startswith(BASE + "/t/"))
        status, headers, _ = get(short[len(BASE):])
        self.assertEqual(status, 302)
        self.assertEqual(dict(headers)["Location"], "http://www.example.com/a?b=1&c=2")

    def test_empty_link_gets_an_empty_body(self):
        for query in ("orig_link=http%3A%2F%2F", "orig_link=", ""):
            with self.subTest(query=query):
                self.assertEqual(get("/v1/data/link_conv/rd_dispatcher.php", query)[2], b"")

    def test_score_page_is_gbk_with_a_long_enough_nickname(self):
        body = get("/fcg-bin/cgi_get_score.fcg", "mask=7&uins=12345")[2]
        cut = between(body.decode("gbk"), ',"', '",')
        self.assertEqual(cut, services.nickname_for("12345"))
        self.assertGreaterEqual(len(cut.encode("gbk")), 26)
        short = between(get("/fcg-bin/cgi_get_score.fcg", "mask=7&uins=10000")[2].decode("gbk"),
                        ',"', '",')
        self.assertLessEqual(len(short.encode("gbk")), 25)


class DispatchTest(unittest.TestCase):
    def test_unknown_path_is_left_to_the_server(self):
        self.assertIsNone(get("/favicon.ico"))

    def test_link_of_a_request_without_host_header(self):
        page = services.handle("GET", "/s", "q=x", [], b"")[2].decode("utf-8")
        self.assertIn('href="http://127.0.0.1/song/', page)


if __name__ == "__main__":
    unittest.main()
