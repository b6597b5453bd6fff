#!/usr/bin/env python3
"""Stand-in web server: a loopback HTTP/1.1 server for the tests and the demo.

    python3 standin.py [--port 0] [--port-file FILE] [--lifetime SECONDS] [--services]

Listens on 127.0.0.1 (port 0: one the system picks), prints "PORT <n>" on
stdout, writes <n> to --port-file when given, and exits by itself after
--lifetime seconds (default 600). Standard library only; one thread per
connection; persistent HTTP/1.1 connections are kept as clients ask.

Every request that is not a control request is recorded and answered as the
script says. With --services, a path that has no script entry is handed to
services.py beside this file (see "Services" below); otherwise it gets 404.

Control endpoints (never recorded)
----------------------------------
POST /__standin/script    body: a JSON object {path: answer, ...}. Each entry
                          replaces the one for that path; null removes it.
                          Answers "ok".
GET  /__standin/requests  JSON list of the recorded requests, oldest first.
                          ?path=P keeps only those whose path is P.
GET  /__standin/raw       the same requests for clients without JSON: for each
                          one the decimal byte count, "\\n", then the request as
                          it came (request line, header lines, empty line, each
                          ended by CRLF, then the body bytes). ?path=P filters.
POST /__standin/reset     forgets every script entry and every record.
POST /__standin/stop      stops the server.

Script keys
-----------
A key is a path ("/a/b") or a path with its query ("/a/b?x=1"); an entry for
the exact path and query wins over one for the path alone. The value is one
answer, or a list of answers given to successive requests (the last repeats).

An answer is an object; every field may be left out:
  status       integer, default 200 (302 when "redirect" is given)
  reason       reason phrase, default the standard one
  headers      [[name, value], ...]: header lines sent in this order as given;
               names may repeat (several Set-Cookie lines)
  redirect     adds a Location line with this value
  body         text, sent as UTF-8
  body_base64  raw body bytes (zero bytes allowed)
  body_fill    {"byte": b, "length": n}: n bytes of value b
  length       "content-length" (default): a Content-Length line;
               "close": no length, the body ends when the connection closes;
               "chunked": chunked transfer coding
  delay        seconds to wait before answering
  hang         seconds (true: until the client goes or the server stops) to
               keep the connection open without answering at all
  drop         true: close the connection at once without answering
  drop_after   n: announce the whole body, send only its first n bytes, close
  trickle      {"chunk": bytes, "interval": seconds}: send the body slowly
  endless      true: no length; send the body again and again until the
               client goes (with "trickle" also slowly)

A request may also describe its own answer: GET /__standin/answer?status=302&
header=Location:%20/x&body=hello (header may repeat; also delay=SECONDS).
Such requests are recorded like any other.

Records
-------
Each record is {"seq", "connection", "method", "target", "path", "query",
"version", "request_line", "headers": [[name, value], ...] in the order
received, "header_lines": [...] as received, "body_base64", "proxied",
"tls"}. "connection" numbers the TCP connections, so reuse shows.

Proxy: a request whose target is in absolute form ("GET http://host:port/p
HTTP/1.1") is recorded with "proxied": true and answered from the script for
its path, as the target host would answer it. CONNECT gets 501.

A connection whose first byte is 0x16 (a TLS ClientHello) is recorded with
"tls": true and closed; the server does not speak TLS.

Services
--------
services.py defines handle(method, path, query, headers, body): method and
path (undecoded, without the query) are str, query the raw text after "?"
(empty when none), headers a list of (name, value) str pairs in order, body
bytes. It returns (status, [(name, value), ...], body_bytes), or None for 404.
The module is imported at its first use; when it is missing, every such path
gets 404. A Content-Length line is added unless the service gave one.
"""

import argparse
import base64
import http.client
import json
import os
import select
import socket
import socketserver
import sys
import threading
import time
import traceback
import urllib.parse

CONTROL_PREFIX = "/__standin/"
MAX_HEAD = 256 * 1024  # request line plus header lines

_lock = threading.Lock()
_script = {}    # key -> list of answers
_served = {}    # key -> how many answers of its list were given
_records = []   # dicts, oldest first
_raw = []       # bytes of each record, same order
_counters = {"seq": 0, "connection": 0}
_services = {"loaded": False, "module": None}
_stopping = threading.Event()
_with_services = False


def _reason(status):
    return http.client.responses.get(status, "Unknown")


def _body_of(answer):
    if "body_base64" in answer:
        return base64.b64decode(answer["body_base64"])
    if "body_fill" in answer:
        fill = answer["body_fill"]
        return bytes([int(fill.get("byte", 0)) & 0xFF]) * int(fill.get("length", 0))
    return str(answer.get("body", "")).encode("utf-8")


def _next_answer(path, query):
    with _lock:
        for key in ((path + "?" + query) if query else None, path):
            if key is None or key not in _script:
                continue
            answers = _script[key]
            index = min(_served.get(key, 0), len(answers) - 1)
            _served[key] = _served.get(key, 0) + 1
            return answers[index]
    return None


def _answer_from_query(query):
    answer = {"headers": []}
    for name, value in urllib.parse.parse_qsl(query, keep_blank_values=True):
        if name == "status":
            answer["status"] = int(value)
        elif name == "header" and ":" in value:
            hname, hvalue = value.split(":", 1)
            answer["headers"].append([hname.strip(), hvalue.strip()])
        elif name == "body":
            answer["body"] = value
        elif name == "delay":
            answer["delay"] = float(value)
    return answer


def _service_answer(method, path, query, headers, body):
    if not _with_services:
        return None
    with _lock:
        if not _services["loaded"]:
            _services["loaded"] = True
            sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
            try:
                import services  # noqa: F401  (written separately; may be absent)
                _services["module"] = services
            except ModuleNotFoundError as e:
                if e.name != "services":
                    raise
        module = _services["module"]
    if module is None:
        return None
    result = module.handle(method, path, query, list(headers), body)
    if result is None:
        return None
    status, out_headers, out_body = result
    out_headers = [[str(n), str(v)] for n, v in out_headers]
    if not any(n.lower() == "content-length" for n, _ in out_headers):
        out_headers.append(["Content-Length", str(len(out_body))])
    return {"status": status, "headers": out_headers, "body_base64":
            base64.b64encode(bytes(out_body)).decode("ascii"), "length": "given"}


class _ClientGone(Exception):
    pass


class Handler(socketserver.BaseRequestHandler):
    def setup(self):
        self.sock = self.request
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.buffer = b""
        with _lock:
            _counters["connection"] += 1
            self.connection_id = _counters["connection"]

    # ---- reading
    def _fill(self):
        data = self.sock.recv(65536)
        if not data:
            raise _ClientGone()
        self.buffer += data

    def _read_head(self):
        while b"\r\n\r\n" not in self.buffer and b"\n\n" not in self.buffer:
            if len(self.buffer) > MAX_HEAD:
                raise _ClientGone()
            self._fill()
        crlf = self.buffer.find(b"\r\n\r\n")
        lf = self.buffer.find(b"\n\n")
        if crlf != -1 and (lf == -1 or crlf < lf):
            head, self.buffer = self.buffer[:crlf], self.buffer[crlf + 4:]
        else:
            head, self.buffer = self.buffer[:lf], self.buffer[lf + 2:]
        return [line.rstrip(b"\r") for line in head.split(b"\n")]

    def _read_exact(self, n):
        while len(self.buffer) < n:
            self._fill()
        data, self.buffer = self.buffer[:n], self.buffer[n:]
        return data

    def _read_line(self):
        while b"\n" not in self.buffer:
            self._fill()
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.rstrip(b"\r")

    def _read_body(self, headers):
        names = {n.lower(): v for n, v in headers}
        if "chunked" in names.get("transfer-encoding", "").lower():
            body = b""
            while True:
                size = int(self._read_line().split(b";")[0].strip() or b"0", 16)
                if size == 0:
                    while self._read_line():
                        pass
                    return body
                body += self._read_exact(size)
                self._read_line()
        length = names.get("content-length", "").strip()
        return self._read_exact(int(length)) if length.isdigit() else b""

    # ---- writing
    def _send(self, data):
        try:
            self.sock.sendall(data)
        except OSError:
            raise _ClientGone()

    def _wait(self, seconds):
        """Waits, or returns early (raising) when the client goes away."""
        end = None if seconds is True else time.monotonic() + float(seconds)
        while not _stopping.is_set():
            left = 0.2 if end is None else min(0.2, end - time.monotonic())
            if left <= 0:
                return
            readable, _, _ = select.select([self.sock], [], [], left)
            if readable:
                data = self.sock.recv(65536)
                if not data:
                    raise _ClientGone()
                self.buffer += data

    # ---- one connection
    def handle(self):
        try:
            first = self.sock.recv(1, socket.MSG_PEEK)
            if first == b"\x16":
                self._record_tls()
                return
            while not _stopping.is_set():
                if not self._one_request():
                    return
        except (_ClientGone, OSError):
            return

    def _record_tls(self):
        data = b""
        try:
            self.sock.settimeout(1.0)
            data = self.sock.recv(65536)
        except OSError:
            pass
        self._record({"method": "", "target": "", "path": "", "query": "",
                      "version": "", "request_line": "", "headers": [],
                      "header_lines": [], "proxied": False, "tls": True}, data, b"")

    def _record(self, record, raw_head, body):
        with _lock:
            _counters["seq"] += 1
            record["seq"] = _counters["seq"]
            record["connection"] = self.connection_id
            record["body_base64"] = base64.b64encode(body).decode("ascii")
            _records.append(record)
            _raw.append(raw_head + body)

    def _one_request(self):
        lines = self._read_head()
        while lines and not lines[0]:  # stray empty lines between requests
            lines = lines[1:]
        if not lines:
            return True
        request_line = lines[0].decode("latin-1")
        parts = request_line.split(" ")
        if len(parts) != 3:
            self._send(b"HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
            return False
        method, target, version = parts
        header_lines = [line.decode("latin-1") for line in lines[1:]]
        headers = []
        for line in header_lines:
            name, _, value = line.partition(":")
            headers.append((name.strip(), value.strip()))
        if any(n.lower() == "expect" and v.lower() == "100-continue" for n, v in headers):
            self._send(b"HTTP/1.1 100 Continue\r\n\r\n")
        body = self._read_body(headers)

        proxied = "://" in target
        split = urllib.parse.urlsplit(target if proxied else "http://standin" + target)
        path, query = split.path or "/", split.query
        keep_alive = version == "HTTP/1.1"
        for n, v in headers:
            if n.lower() in ("connection", "proxy-connection"):
                keep_alive = "close" not in v.lower() and (keep_alive or "keep-alive" in v.lower())

        if not proxied and path.startswith(CONTROL_PREFIX) and path != CONTROL_PREFIX + "answer":
            return self._control(method, path, query, body) and keep_alive

        raw_head = b"\r\n".join(lines) + b"\r\n\r\n"
        self._record({"method": method, "target": target, "path": path, "query": query,
                      "version": version, "request_line": request_line, "headers":
                      [list(h) for h in headers], "header_lines": header_lines,
                      "proxied": proxied, "tls": False}, raw_head, body)

        if method == "CONNECT":
            answer = {"status": 501, "body": "no tunnels here\n"}
        elif not proxied and path == CONTROL_PREFIX + "answer":
            answer = _answer_from_query(query)
        else:
            answer = _next_answer(path, query)
            if answer is None:
                try:
                    answer = _service_answer(method, path, query, headers, body)
                except Exception:
                    answer = {"status": 500, "body": traceback.format_exc()}
            if answer is None:
                answer = {"status": 404, "body": "not scripted: %s\n" % path}
        return self._answer(answer, method) and keep_alive

    def _control(self, method, path, query, body):
        name = path[len(CONTROL_PREFIX):]
        filt = urllib.parse.parse_qs(query).get("path", [None])[0]
        status, content_type, out, stop = 200, "text/plain", b"ok\n", False
        if name == "script" and method == "POST":
            try:
                entries = json.loads(body.decode("utf-8"))
                with _lock:
                    for key, value in entries.items():
                        _served.pop(key, None)
                        if value is None:
                            _script.pop(key, None)
                        else:
                            _script[key] = value if isinstance(value, list) and value else [value]
            except (ValueError, AttributeError) as e:
                status, out = 400, ("bad script: %s\n" % e).encode()
        elif name == "requests" and method == "GET":
            with _lock:
                chosen = [r for r in _records if filt is None or r["path"] == filt]
                out = json.dumps(chosen, indent=1).encode("utf-8")
            content_type = "application/json"
        elif name == "raw" and method == "GET":
            with _lock:
                chosen = [raw for r, raw in zip(_records, _raw) if filt is None or r["path"] == filt]
            out = b"".join(b"%d\n" % len(raw) + raw for raw in chosen)
            content_type = "application/octet-stream"
        elif name == "reset" and method == "POST":
            with _lock:
                _script.clear()
                _served.clear()
                _records.clear()
                _raw.clear()
        elif name == "stop" and method == "POST":
            stop = True
        else:
            status, out = 404, b"no such control endpoint\n"
        self._send(b"HTTP/1.1 %d %s\r\nContent-Type: %s\r\nContent-Length: %d\r\n\r\n" %
                   (status, _reason(status).encode(), content_type.encode(), len(out)) + out)
        if stop:
            threading.Thread(target=_stop_soon, daemon=True).start()
        return not stop

    def _answer(self, answer, method):
        if answer.get("drop"):
            return False
        if answer.get("hang"):
            self._wait(answer["hang"])
            return False
        if answer.get("delay"):
            self._wait(answer["delay"])

        status = int(answer.get("status", 302 if "redirect" in answer else 200))
        body = _body_of(answer)
        headers = [(str(n), str(v)) for n, v in answer.get("headers", [])]
        if "redirect" in answer:
            headers.append(("Location", str(answer["redirect"])))
        endless = bool(answer.get("endless"))
        length = "close" if endless else answer.get("length", "content-length")
        if length == "content-length":
            headers.append(("Content-Length", str(len(body))))
        elif length == "chunked":
            headers.append(("Transfer-Encoding", "chunked"))
        if length == "close":
            headers.append(("Connection", "close"))

        head = "HTTP/1.1 %d %s\r\n" % (status, answer.get("reason", _reason(status)))
        head += "".join("%s: %s\r\n" % h for h in headers) + "\r\n"
        try:  # "\u00XX" in the script stands for the byte XX
            self._send(head.encode("latin-1"))
        except UnicodeEncodeError:
            self._send(head.encode("utf-8"))
        if method == "HEAD" or status in (204, 304) or 100 <= status < 200:
            return length != "close"

        if "drop_after" in answer:
            self._send(body[:int(answer["drop_after"])])
            return False
        trickle = answer.get("trickle")
        while True:
            self._send_body(body, length == "chunked", trickle)
            if not endless or not body:
                break
        if length == "chunked":
            self._send(b"0\r\n\r\n")
        return length != "close"

    def _send_body(self, body, chunked, trickle):
        step = int(trickle.get("chunk", 1)) if trickle else 64 * 1024
        for start in range(0, len(body), max(step, 1)):
            piece = body[start:start + max(step, 1)]
            self._send(b"%x\r\n%s\r\n" % (len(piece), piece) if chunked else piece)
            if trickle:
                self._wait(float(trickle.get("interval", 0.1)))


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 128


_server = None


def _stop_soon():
    _stopping.set()
    if _server is not None:
        _server.shutdown()


def main():
    global _server, _with_services
    parser = argparse.ArgumentParser(description="Loopback stand-in web server.")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--port-file")
    parser.add_argument("--lifetime", type=float, default=600.0)
    parser.add_argument("--services", action="store_true")
    args = parser.parse_args()
    _with_services = args.services

    _server = Server(("127.0.0.1", args.port), Handler)
    port = _server.server_address[1]
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write("%d\n" % port)
        os.replace(tmp, args.port_file)
    print("PORT %d" % port, flush=True)

    # The server must never outlive its purpose, whatever its clients do.
    timer = threading.Timer(args.lifetime, _stop_soon)
    timer.daemon = True
    timer.start()
    try:
        _server.serve_forever(poll_interval=0.2)
    except KeyboardInterrupt:
        pass
    _stopping.set()
    _server.server_close()


if __name__ == "__main__":
    main()
