"""Stand-ins for the six web services that the plug-in's commands talk to.

The stand-in server (standin.py --services) hands every request that no
script answers to handle(); the request path tells the services apart, so one
server on one port serves them all:

  /openapi/api                          chat-answer service (JSON, UTF-8)
  /ws/NSearch                           music site A, search page (HTML, UTF-8)
  /s                                    music site B, search page (HTML, UTF-8)
  /search, /item/<word>                 encyclopedia search page and article
  /v1/data/link_conv/rd_dispatcher.php  link shortener (percent-encoded link)
  /t/<code>                             a short link: redirects to its long link
  /fcg-bin/cgi_get_score.fcg            QQ-space score service (GBK)
  /song/<id>                            the song pages the music sites link to

The chat-answer service picks the kind of answer from the words of the
message (CHAT_TOPICS below, listed in the README); every other message gets a
plain answer that repeats it. Everything here is made up and offline.
"""

import hashlib
import html
import json
import urllib.parse

JSON_TYPE = "application/json; charset=utf-8"
HTML_TYPE = "text/html; charset=utf-8"


def _compact(obj):
    # The plug-in reads fields between markers such as "text":" and },{ , so
    # the answer must be written without spaces between the JSON tokens.
    return json.dumps(obj, ensure_ascii=False, separators=(",", ":")).encode("utf-8")


def _param(raw, name, rest=False):
    """The value of name in the raw query, percent-decoded as UTF-8.

    With rest, everything after "name=" up to the end of the query, '&'
    included (a link to shorten keeps its own query)."""
    marker = name + "="
    start = 0
    while True:
        at = raw.find(marker, start)
        if at < 0:
            return None
        if at == 0 or raw[at - 1] == "&":
            break
        start = at + 1
    value = raw[at + len(marker):]
    if not rest:
        value = value.split("&", 1)[0]
    return urllib.parse.unquote(value, encoding="utf-8", errors="replace")


def _host(headers):
    for name, value in headers or []:
        if name.lower() == "host" and value:
            return value.strip()
    return "127.0.0.1"


def _answer(status, content_type, body):
    return status, [("Content-Type", content_type), ("Content-Length", str(len(body)))], body


def _html(body_text, status=200):
    page = "<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\"></head><body>\r\n%s\r\n</body></html>\r\n"
    return _answer(status, HTML_TYPE, (page % body_text).encode("utf-8"))


def _code(text, length=6):
    return hashlib.sha1(text.encode("utf-8")).hexdigest()[:length]


# ----------------------------------------------------------------------------
# Chat-answer service

def _list_answer(code, found, kind, entries):
    """A list answer builder: each entry gets its detail link on the server."""
    def build(base):
        return {"code": code, "text": "亲，已帮您找到" + found, "list": [
            dict(entry, icon="", detailurl="%s/%s/%d" % (base, kind, number))
            for number, entry in enumerate(entries, 1)]}
    return build


def _answer_of(obj):
    return lambda _base: obj


def _link(base):
    return {"code": 200000, "text": "亲，已帮您找到图片", "url": base + "/pictures/cat"}


INTRODUCTION = ("你好，我是大家的语音助手，能帮你查找附近美食，银行，商场，酒店等相关场所；"
                "能帮你打电话，发短信；能帮助上网，打开网页，打开应用与程序，还能陪你聊天。"
                "试试说：小灵你好")

# Words that choose an answer, first match wins (letter case ignored); the
# README lists them.
CHAT_TOPICS = [
    (("新闻",), _list_answer(302000, "相关新闻", "news", [
        {"article": "替身城市今日开通第一条无人驾驶公交线路", "source": "替身日报"},
        {"article": "本地图书馆延长周末开放时间", "source": "替身晚报"},
        {"article": "秋季运动会下周开幕，报名即将截止", "source": "替身体育"}])),
    (("火车", "列车"), _list_answer(305000, "列车信息", "train", [
        {"trainnum": "G101", "start": "北京南", "terminal": "上海虹桥", "starttime": "06:36",
         "endtime": "12:40", "checi": "G101", "zuoxi": "二等座"},
        {"trainnum": "D311", "start": "北京南", "terminal": "上海", "starttime": "19:34",
         "endtime": "07:33", "checi": "D311", "zuoxi": "软卧"}])),
    (("航班", "飞机"), _list_answer(306000, "航班信息", "flight", [
        {"flight": "CA1501", "route": "北京-上海", "starttime": "08:00", "endtime": "10:15",
         "state": "计划", "price": "1130"}])),
    (("小说",), _list_answer(301000, "小说信息", "book", [
        {"name": "替身传说", "author": "佚名"}, {"name": "离线的星空", "author": "小欧"}])),
    (("应用", "下载"), _list_answer(304000, "应用信息", "app", [
        {"name": "替身天气", "count": "12万"}, {"name": "离线词典", "count": "3万"}])),
    (("菜谱", "怎么做"), _list_answer(308000, "菜谱信息", "dish", [
        {"name": "番茄炒蛋", "info": "番茄、鸡蛋、盐、糖"},
        {"name": "青椒土豆丝", "info": "土豆、青椒、醋"}])),
    (("商品", "买"), _list_answer(309000, "商品信息", "goods", [
        {"name": "替身牌保温杯", "price": "49", "satisfaction": "98%", "count": "1200"}])),
    (("彩票",), _list_answer(310000, "彩票信息", "lottery", [
        {"number": "03 11 19 24 30 + 07", "info": "第2015001期"}])),
    (("酒店",), _list_answer(311000, "酒店信息", "hotel", [
        {"name": "替身大酒店", "price": "388"}, {"name": "离线青年旅舍", "price": "96"}])),
    (("图片", "照片"), _link),
    (("你是谁", "介绍"), _answer_of({"code": 100000, "text": INTRODUCTION})),
    (("hello", "english"), _answer_of(
        {"code": 100000, "text": "Hello there, nice to meet you. How are you today?"})),
    (("升级",), _answer_of({"code": 40002, "text": "请求内容info为空"})),
    (("累了", "不想玩"), _answer_of({"code": 40005, "text": "暂不支持该功能"})),
    (("维护", "服务器"), _answer_of({"code": 40006, "text": "服务器升级中"})),
    (("安静", "别说话"), _answer_of({"code": 40004, "text": "当天请求次数已使用完"})),
]


def chat_answer(info, base):
    """The JSON object the chat-answer service gives for the message info."""
    if not info:
        return {"code": 40002, "text": "请求内容info为空"}
    folded = info.lower()
    for words, topic in CHAT_TOPICS:
        if any(word in folded for word in words):
            return topic(base)
    return {"code": 100000, "text": "你说的是“%s”吗？我是离线的替身聊天服务，只会学舌。" % info}


def _chat(raw, base):
    if not _param(raw, "key"):
        return _answer(200, JSON_TYPE, _compact({"code": 40001, "text": "参数key错误"}))
    return _answer(200, JSON_TYPE, _compact(chat_answer(_param(raw, "info") or "", base)))


# ----------------------------------------------------------------------------
# Music sites

def _song_id(keyword):
    return _code(keyword or "-", 8)


# Per search path: the query key of the song words, the page without a
# result, the page with one ({link}, {key} and {base} filled in).
MUSIC_SITES = {
    "/ws/NSearch": ("key", "<div class=\"m_list\"><p class=\"no_result\">请输入歌名</p></div>",
                    "<div class=\"m_list\">\r\n<ul>\r\n<li>\r\n"
                    " <p class=\"m_name\"><a href=\"{link}\" title=\"{key}\">{key}</a></p>\r\n"
                    " <p class=\"s_name\"><a href=\"{base}/singer/1\">替身乐队</a></p>\r\n"
                    "</li>\r\n</ul>\r\n</div>"),
    "/s": ("q", "<div class=\"songlist\"></div>",
           "<div class=\"songlist\"><ul><li><span class=\"chk\">"
           "<span class=\"checkbox\">&nbsp;</span><span class=\"num\">01</span></span>"
           "<span class=\"title\"><a href=\"{link}\">{key}</a></span>"
           "<span class=\"singer\">替身乐队</span></li></ul></div>"),
}


def _music(path, raw, base):
    query_key, no_result, result = MUSIC_SITES[path]
    key = _param(raw, query_key) or ""
    if not key.strip():
        return _html(no_result)
    link = "%s/song/%s" % (base, _song_id(key))
    return _html(result.format(link=link, key=html.escape(key), base=base))


def _song_page(path):
    return _html("<h1>演示歌曲 %s</h1><p>替身服务里没有音乐，只有这一页。</p>" % path.rsplit("/", 1)[-1])


# ----------------------------------------------------------------------------
# Encyclopedia

ARTICLES = {
    "Orvanta": "Orvanta是一个聊天机器人插件，能点歌、搜歌、查百科和缩短网址。",
    "长城": "长城是古代中国为抵御外敌而修筑的规模浩大的军事工程。",
    "熊猫": "大熊猫是中国特有的哺乳动物，以竹子为主要食物。",
    "替身": "替身服务是在本机上代替真实网络服务回答请求的小程序。",
}
# Words whose article has no description tag (it shows the "not found" reply).
ARTICLES_WITHOUT_DESCRIPTION = {"空白"}


def _search_word(raw):
    word = _param(raw, "word") or ""
    # The plug-in sends the whole message, command word included.
    return word[2:].strip() if word.startswith("百科") else word.strip()


def _encyclopedia_search(raw, base):
    word = _search_word(raw)
    if word not in ARTICLES and word not in ARTICLES_WITHOUT_DESCRIPTION:
        return _html("<div class=\"no-result\">抱歉，没有找到与“%s”相关的词条。</div>" % html.escape(word))
    link = "%s/item/%s" % (base, urllib.parse.quote(word, safe=""))
    return _html("<dl class=\"search-list\"><dd>\r\n<h2>\r\n<a href=\"%s\" target=\"_blank\">"
                 "<em>%s</em></a>\r\n</h2>\r\n</dd></dl>" % (link, word))


def _encyclopedia_article(path):
    word = urllib.parse.unquote(path[len("/item/"):], encoding="utf-8", errors="replace")
    if word in ARTICLES:
        head = ("<meta name=\"Description\" content=\"%s\" /><meta name=\"Keywords\" content=\"%s\" />"
                % (ARTICLES[word], word))
    else:
        head = "<meta name=\"Keywords\" content=\"%s\" />" % word
    page = "<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\">%s<title>%s</title></head>" \
           "<body><h1>%s</h1></body></html>\r\n" % (head, word, word)
    return _answer(200, HTML_TYPE, page.encode("utf-8"))


# ----------------------------------------------------------------------------
# Link shortener

# Short links handed out so far, so that /t/<code> can send the user on.
_SHORT_LINKS = {}


def _shorten(raw, base):
    link = _param(raw, "orig_link", rest=True) or ""
    if link.strip() in ("", "http://", "https://"):
        return _answer(200, "text/plain", b"")
    code = _code(link)
    _SHORT_LINKS[code] = link
    short = "%s/t/%s" % (base, code)
    return _answer(200, "text/plain", urllib.parse.quote(short, safe="").encode("ascii"))


def _follow(path):
    link = _SHORT_LINKS.get(path[len("/t/"):])
    if link is None:
        return _html("<p>这个短网址不存在。</p>", status=404)
    return 302, [("Location", link), ("Content-Length", "0")], b""


# ----------------------------------------------------------------------------
# QQ-space score service

def nickname_for(number):
    """The made-up nickname of a QQ number; 10000 has one too short to count."""
    if number == "10000":
        return "小O"
    return "演示昵称%s号（来自替身服务）" % number


def _score(raw):
    number = _param(raw, "uins") or ""
    page = 'portraitCallBack({"%s":["http://qlogo.invalid/%s",0,0,0,0,0,"%s",0]})' % (
        number, number, nickname_for(number))
    return _answer(200, "text/html; charset=gbk", page.encode("gbk", errors="replace"))


# ----------------------------------------------------------------------------

def handle(method, path, query, headers, body):
    """Answer one request (path without its query, query the raw text after
    "?", headers a list of (name, value) pairs): (status, [(name, value), ...],
    body bytes), or None when the path belongs to no service."""
    del method, body  # every service answers GET, and a body changes nothing
    raw = query or ""
    base = "http://" + _host(headers)
    if path == "/openapi/api":
        return _chat(raw, base)
    if path in MUSIC_SITES:
        return _music(path, raw, base)
    if path.startswith("/song/"):
        return _song_page(path)
    if path == "/search":
        return _encyclopedia_search(raw, base)
    if path.startswith("/item/"):
        return _encyclopedia_article(path)
    if path == "/v1/data/link_conv/rd_dispatcher.php":
        return _shorten(raw, base)
    if path.startswith("/t/"):
        return _follow(path)
    if path == "/fcg-bin/cgi_get_score.fcg":
        return _score(raw)
    return None
