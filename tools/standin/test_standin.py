#!/usr/bin/env python3
"""Checks of the stand-in web server itself: scripting, records, answer
shapes, proxy and TLS records, services hook and lifetime."""

import base64
import http.client
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))


class Server:
    def __init__(self, *extra, directory=HERE):
        self.dir = tempfile.mkdtemp()
        port_file = os.path.join(self.dir, "port")
        self.proc = subprocess.Popen(
            [sys.executable, os.path.join(directory, "standin.py"), "--port-file", port_file] + list(extra),
            stdout=subprocess.PIPE)
        line = self.proc.stdout.readline().decode()
        assert line.startswith("PORT "), line
        self.port = int(line.split()[1])
        with open(port_file) as f:
            self.port_in_file = int(f.read())

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(5)
        self.proc.stdout.close()
        shutil.rmtree(self.dir, ignore_errors=True)

    def request(self, method, target, body=None, headers=None):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        conn.request(method, target, body=body, headers=headers or {})
        answer = conn.getresponse()
        data = answer.read()
        conn.close()
        return answer, data

    def script(self, entries):
        answer, _ = self.request("POST", "/__standin/script", json.dumps(entries))
        assert answer.status == 200

    def records(self, path=None):
        _, data = self.request("GET", "/__standin/requests" + ("?path=" + path if path else ""))
        return json.loads(data)

    def raw(self, request, read_timeout=5.0):
        """Sends raw bytes and returns everything until close (or timeout)."""
        s = socket.create_connection(("127.0.0.1", self.port), timeout=read_timeout)
        s.sendall(request)
        out = b""
        try:
            while True:
                data = s.recv(65536)
                if not data:
                    break
                out += data
        except socket.timeout:
            out += b"<timeout>"
        s.close()
        return out


class StandinTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server("--lifetime", "120")

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def setUp(self):
        self.server.request("POST", "/__standin/reset")

    def test_port_is_printed_and_written(self):
        self.assertEqual(self.server.port, self.server.port_in_file)

    def test_records_requests_as_received(self):
        self.server.script({"/a": {"status": 201, "body": "made", "headers": [
            ["Set-Cookie", "a=1; path=/"], ["Set-Cookie", "b=2"], ["X-Z", "z"]]}})
        out = self.server.raw(b"POST /a?q=1 HTTP/1.1\r\nHost: h\r\nX-B: 2\r\nx-a: 1\r\n"
                              b"X-B: 3\r\nContent-Length: 3\r\nConnection: close\r\n\r\na\x00b")
        self.assertTrue(out.startswith(b"HTTP/1.1 201 Created\r\n"), out)
        self.assertIn(b"\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2\r\nX-Z: z\r\n", out)
        self.assertTrue(out.endswith(b"\r\n\r\nmade"))

        [r] = self.server.records("/a")
        self.assertEqual(r["request_line"], "POST /a?q=1 HTTP/1.1")
        self.assertEqual((r["method"], r["path"], r["query"]), ("POST", "/a", "q=1"))
        self.assertEqual(r["header_lines"], ["Host: h", "X-B: 2", "x-a: 1", "X-B: 3",
                                             "Content-Length: 3", "Connection: close"])
        self.assertEqual(base64.b64decode(r["body_base64"]), b"a\x00b")
        self.assertFalse(r["proxied"])

        _, raw = self.server.request("GET", "/__standin/raw?path=/a")
        count, rest = raw.split(b"\n", 1)
        self.assertEqual(int(count), len(rest))
        self.assertTrue(rest.startswith(b"POST /a?q=1 HTTP/1.1\r\nHost: h\r\n"))
        self.assertTrue(rest.endswith(b"\r\n\r\na\x00b"))

    def test_answers_in_turn_and_query_entries(self):
        self.server.script({"/turn": [{"body": "one"}, {"body": "two"}],
                            "/q": {"body": "path"}, "/q?x=1": {"body": "exact"}})
        bodies = [self.server.request("GET", "/turn")[1] for _ in range(3)]
        self.assertEqual(bodies, [b"one", b"two", b"two"])
        self.assertEqual(self.server.request("GET", "/q?x=1")[1], b"exact")
        self.assertEqual(self.server.request("GET", "/q?x=2")[1], b"path")
        self.assertEqual(self.server.request("GET", "/unscripted")[0].status, 404)

    def test_body_forms_and_lengths(self):
        self.server.script({
            "/b64": {"body_base64": base64.b64encode(b"\x00\xff\x00").decode()},
            "/fill": {"body_fill": {"byte": 7, "length": 5}, "length": "chunked"},
            "/close": {"body": "until close", "length": "close"},
            "/moved": {"redirect": "/there"},
            "/bytes": {"headers": [["X-G", "\u00b0\u00a1"]]},
        })
        self.assertEqual(self.server.request("GET", "/b64")[1], b"\x00\xff\x00")
        answer, data = self.server.request("GET", "/fill")
        self.assertEqual((answer.getheader("Transfer-Encoding"), data), ("chunked", b"\x07" * 5))
        self.assertEqual(self.server.request("GET", "/close")[1], b"until close")
        answer, _ = self.server.request("GET", "/moved")
        self.assertEqual((answer.status, answer.getheader("Location")), (302, "/there"))
        out = self.server.raw(b"GET /bytes HTTP/1.1\r\nConnection: close\r\n\r\n")
        self.assertIn(b"X-G: \xb0\xa1\r\n", out)

    def test_broken_and_slow_answers(self):
        self.server.script({
            "/drop": {"drop": True},
            "/partial": {"body": "0123456789", "drop_after": 4},
            "/hang": {"hang": True},
            "/delay": {"body": "late", "delay": 0.3},
            "/trickle": {"body": "abc", "trickle": {"chunk": 1, "interval": 0.1}},
            "/endless": {"body": "x" * 1000, "endless": True},
        })
        get = b"GET %s HTTP/1.1\r\nConnection: close\r\n\r\n"
        self.assertEqual(self.server.raw(get % b"/drop"), b"")
        out = self.server.raw(get % b"/partial")
        self.assertIn(b"Content-Length: 10\r\n", out)
        self.assertTrue(out.endswith(b"\r\n\r\n0123"))
        self.assertEqual(self.server.raw(get % b"/hang", read_timeout=0.5), b"<timeout>")
        start = time.monotonic()
        self.assertEqual(self.server.request("GET", "/delay")[1], b"late")
        self.assertGreaterEqual(time.monotonic() - start, 0.25)
        self.assertTrue(self.server.raw(get % b"/trickle").endswith(b"\r\n\r\nabc"))

        s = socket.create_connection(("127.0.0.1", self.server.port), timeout=5)
        s.sendall(get % b"/endless")
        received = b""
        while len(received) < 300000:
            received += s.recv(65536)
        s.close()
        self.assertNotIn(b"Content-Length", received.split(b"\r\n\r\n")[0])

    def test_keeps_connections_open(self):
        self.server.script({"/k": {"body": "k"}})
        conn = http.client.HTTPConnection("127.0.0.1", self.server.port, timeout=5)
        for _ in range(2):
            conn.request("GET", "/k")
            self.assertEqual(conn.getresponse().read(), b"k")
        conn.close()
        first, second = self.server.records("/k")
        self.assertEqual(first["connection"], second["connection"])

    def test_proxy_and_tls_records(self):
        self.server.script({"/via": {"body": "as the target"}})
        out = self.server.raw(b"GET http://far.example:81/via?x=1 HTTP/1.1\r\nHost: far.example:81\r\n"
                              b"Connection: close\r\n\r\n")
        self.assertTrue(out.endswith(b"as the target"))
        [r] = self.server.records("/via")
        self.assertTrue(r["proxied"])
        self.assertEqual(r["target"], "http://far.example:81/via?x=1")

        self.server.raw(b"\x16\x03\x01\x00\x05hello", read_timeout=3)
        tls = [r for r in self.server.records() if r["tls"]]
        self.assertEqual(len(tls), 1)

    def test_self_described_answer_and_reset(self):
        answer, data = self.server.request(
            "GET", "/__standin/answer?status=302&header=Location:%20/x&header=X-A:%201&body=hi")
        self.assertEqual((answer.status, answer.getheader("Location"), answer.getheader("X-A"), data),
                         (302, "/x", "1", b"hi"))
        self.assertEqual(len(self.server.records("/__standin/answer")), 1)
        self.server.script({"/gone": {"body": "here"}})
        self.server.request("POST", "/__standin/reset")
        self.assertEqual(self.server.records(), [])
        self.assertEqual(self.server.request("GET", "/gone")[0].status, 404)

    def test_bad_script_is_refused(self):
        answer, _ = self.server.request("POST", "/__standin/script", "{not json")
        self.assertEqual(answer.status, 400)


class ServicesAndLifetimeTest(unittest.TestCase):
    def test_services_hook(self):
        copy = tempfile.mkdtemp()
        try:
            shutil.copy(os.path.join(HERE, "standin.py"), copy)
            # Without services.py every unscripted path is 404.
            server = Server("--services", directory=copy)
            try:
                self.assertEqual(server.request("GET", "/svc")[0].status, 404)
            finally:
                server.stop()
            with open(os.path.join(copy, "services.py"), "w") as f:
                f.write("def handle(method, path, query, headers, body):\n"
                        "    if path != '/svc':\n"
                        "        return None\n"
                        "    names = ','.join(n for n, _ in headers)\n"
                        "    return 200, [('X-Names', names)], (method + ' ' + query + ' ').encode() + body\n")
            server = Server("--services", directory=copy)
            try:
                server.script({"/scripted": {"body": "script wins"}})
                answer, data = server.request("POST", "/svc?k=v", body=b"payload", headers={"X-T": "1"})
                self.assertEqual(data, b"POST k=v payload")
                self.assertIn("X-T", answer.getheader("X-Names"))
                self.assertEqual(server.request("GET", "/other")[0].status, 404)
                self.assertEqual(server.request("GET", "/scripted")[1], b"script wins")
            finally:
                server.stop()
        finally:
            shutil.rmtree(copy, ignore_errors=True)

    def test_stops_by_itself(self):
        server = Server("--lifetime", "1")
        try:
            server.proc.wait(10)
        finally:
            server.stop()
        self.assertEqual(server.proc.returncode, 0)

    def test_stop_endpoint(self):
        server = Server()
        try:
            server.request("POST", "/__standin/stop")
            server.proc.wait(10)
        finally:
            server.stop()


if __name__ == "__main__":
    unittest.main()
