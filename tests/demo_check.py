#!/usr/bin/env python3
"""The demo as a user runs it with piped input: scripts/demo starts the
stand-in services, points the settings file at them and chats through
orvanta-host (under wine for the Windows build); every reply is checked.

Usage: demo_check.py SOURCE_DIR BUILD_DIR [--wine]
"""
import os
import re
import socket
import subprocess
import sys
import unittest
import urllib.parse

SOURCE_DIR, BUILD_DIR = sys.argv[1:3]
WINE = sys.argv[3:4] == ["--wine"]
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools", "standin"))
import services  # noqa: E402


def demo(*host_args, stdin=""):
    command = [os.path.join(SOURCE_DIR, "scripts", "demo"), "--no-setup", "--build-dir", BUILD_DIR]
    if WINE:
        command.append("--wine")
    done = subprocess.run(command + ["--", "-q"] + list(host_args), input=stdin.encode("utf-8"),
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=300)
    return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8", "replace")


def stand_in_address(stderr):
    # The demo names the server it started; the links in the replies point there.
    found = re.search(r"stand-in services at (http://127\.0\.0\.1:\d+)", stderr)
    assert found, stderr
    return found.group(1)


SETTINGS = os.path.join(BUILD_DIR, "config", "Orvanta.vt")


class DemoTest(unittest.TestCase):
    # The settings file is the one a user's own demo runs use: put it back.
    @classmethod
    def setUpClass(cls):
        cls.saved = None
        if os.path.exists(SETTINGS):
            with open(SETTINGS, "rb") as f:
                cls.saved = f.read()

    @classmethod
    def tearDownClass(cls):
        if cls.saved is None:
            if os.path.exists(SETTINGS):
                os.remove(SETTINGS)
        else:
            with open(SETTINGS, "wb") as f:
                f.write(cls.saved)

    def test_piped_chat(self):
        j = "\\\\n"
        chat = [
            ("你好", lambda b: "你说的是“你好”吗？我是离线的替身聊天服务，只会学舌。"),
            ("你是谁", lambda b: "你好，我是大家的聊天、玩伴，能帮你查询星座运势，还能陪你聊天。试试说：任意问题"),
            ("Hello", lambda b: "Hellothere,nicetomeetyou.Howareyoutoday?"),
            ("明天的火车", lambda b: "亲，已帮您找到列车信息" + j +
             "北京南-->上海虹桥G101二等座时间：06:36--12:40详细：%s/train/1" % b + j +
             "北京南-->上海D311软卧时间：19:34--07:33详细：%s/train/2" % b + j),
            ("来张图片", lambda b: "亲，已帮您找到图片%s/pictures/cat" % b),
            ("你升级了吗", lambda b: "不好意思，主人正在对我进行升级，相信很快我就能再和大家见面的！"),
            ("安静", lambda b: "(no reply)"),
            ("点歌月亮", lambda b: "%s/song/%s" % (b, services._song_id("月亮"))),
            ("搜歌月亮", lambda b: "歌曲月亮的链接如下：\n%s/song/%s" % (b, services._song_id("月亮"))),
            ("百科长城", lambda b: "Pellor百科：\n%s\n详情链接：%s/item/%s" % (
                services.ARTICLES["长城"], b, urllib.parse.quote("长城"))),
            ("百科没有的词", lambda b: "Pellor百科提示：百科未收入词条，或词条太长，请（更换）简化词条！"),
            ("短网址www.example.com", lambda b: "您的短网址：%s/t/%s" % (
                b, services._code("http://www.example.com"))),
            ("版本", lambda b: "Orvanta作者：Selwick\n简介：回归本源，回归智能~\n版本：V1.2.0（限量版）"),
        ]
        status, out, err = demo(stdin="".join(m + "\n" for m, _ in chat))
        self.assertEqual(status, 0, err)
        base = stand_in_address(err)
        self.assertEqual(out, "".join(expected(base) + "\n" for _, expected in chat), err)

    def test_nickname_export(self):
        for number, expected in (("12345", services.nickname_for("12345")), ("10000", "10000")):
            with self.subTest(number=number):
                status, out, err = demo("--call", "获取昵称", number)
                self.assertEqual(status, 0, err)
                self.assertEqual(out, expected + "\n")

    def test_settings_point_at_the_services_and_keep_the_rest(self):
        path = SETTINGS
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write("[前置]\r\n格式=小O\r\n[服务]\r\n聊天=old.example\r\n[10001]\r\n聊天=否\r\n".encode("gbk"))
        status, _, err = demo(stdin="")
        self.assertEqual(status, 0, err)
        address = stand_in_address(err)[len("http://"):]
        with open(path, "rb") as f:
            settings = f.read().decode("gbk")
        self.assertEqual(settings, "[前置]\r\n格式=小O\r\n[10001]\r\n聊天=否\r\n[服务]\r\n" + "".join(
            "%s=%s\r\n" % (key, address) for key in ("聊天", "点歌", "搜歌", "百科", "短网址", "昵称")))
        # The services went with the chat.
        port = int(address.rsplit(":", 1)[1])
        with self.assertRaises(OSError):
            socket.create_connection(("127.0.0.1", port), timeout=5).close()


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
