#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
"""A real SMTP server for the mail tests (Debian's python3-aiosmtpd) on loopback: plain,
STARTTLS or TLS from the start. Each message goes to DIR/N.json with its envelope and the
account that logged in, and every command line to DIR/commands.log; the first line printed is
the port once it listens.

Faulty servers for the client's bounds: "starttls-inject" writes a plain-text reply right behind
its answer to STARTTLS, as someone on the way could; "flood-line" greets and answers EHLO with
one line that never ends, "flood-reply" with continuation lines that never end (each up to
FLOOD_LIMIT bytes, then silence until the client goes)."""
import argparse, json, logging, os, signal, socket, socketserver, ssl, threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, SMTP

FLOOD_LIMIT = 16 * 1024 * 1024


class Keeper:
    def __init__(self, folder, implicit_tls):
        self.folder, self.count, self.implicit_tls = folder, 0, implicit_tls

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        login = session.auth_data.login.decode() if session.auth_data else None
        record = {"from": envelope.mail_from, "to": envelope.rcpt_tos, "login": login,
                  "tls": self.implicit_tls or session.ssl is not None,
                  "data": envelope.original_content.decode("utf-8", "replace")}
        with open(os.path.join(self.folder, f"{self.count}.json"), "w") as f:
            json.dump(record, f)
        return "250 OK"


class CommandLog(logging.Handler):
    """aiosmtpd logs each command line it reads as '%r >> %r' (peer, line)."""

    def __init__(self, folder):
        super().__init__()
        self.path = os.path.join(folder, "commands.log")

    def emit(self, record):
        if record.msg == "%r >> %r":
            with open(self.path, "ab") as f:
                f.write(record.args[1] + b"\n")


class InjectingSMTP(SMTP):
    async def push(self, status):
        if status == "220 Ready to start TLS":
            status += "\r\n250 injected"  # one write, so it comes in the same piece
        await super().push(status)


class InjectingController(Controller):
    def factory(self):
        return InjectingSMTP(self.handler, **self.SMTP_kwargs)


class Flood(socketserver.StreamRequestHandler):
    def handle(self):
        self.wfile.write(b"220 flood.example ESMTP\r\n")
        with open(os.path.join(self.server.folder, "commands.log"), "ab") as f:
            f.write(self.rfile.readline().rstrip(b"\r\n") + b"\n")
        line = self.server.mode == "flood-line"
        piece = b"x" * 65536 if line else (b"x" * 70 + b"\r\n250-") * 800
        sent = 0
        try:
            self.wfile.write(b"250-")
            while sent < FLOOD_LIMIT:
                self.wfile.write(piece)
                sent += len(piece)
            self.rfile.read()  # until the client goes
        except OSError:
            pass


def serve_flood(mode, folder):
    server = socketserver.ThreadingTCPServer(("127.0.0.1", 0), Flood)
    server.daemon_threads = True
    server.mode, server.folder = mode, folder
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def accept(server, session, envelope, mechanism, auth_data):
    return AuthResult(success=auth_data.login == b"u" and auth_data.password == b"p")


def serve_mail(mode, folder, cert, key):
    context = None
    if mode != "plain":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(cert, key)
    starttls = mode.startswith("starttls")
    keeper = Keeper(folder, mode == "ssl")
    # Only STARTTLS counts as TLS for the server's own AUTH rule; TLS from the start is TLS too.
    options = dict(authenticator=accept, auth_require_tls=starttls)
    if starttls:
        options.update(tls_context=context, require_starttls=True)
    # The controller checks that it listens by connecting to its port, so it needs a number.
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    kind = InjectingController if mode == "starttls-inject" else Controller
    controller = kind(keeper, hostname="127.0.0.1", port=port,
                      ssl_context=context if mode == "ssl" else None,
                      server_hostname="127.0.0.1", **options)
    controller.start()
    return controller


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("mode", choices=["plain", "starttls", "ssl", "starttls-inject", "flood-line",
                                     "flood-reply"])
    ap.add_argument("folder")
    ap.add_argument("--cert")
    ap.add_argument("--key")
    a = ap.parse_args()
    log = logging.getLogger("mail.log")
    log.setLevel(logging.INFO)
    log.addHandler(CommandLog(a.folder))
    controller = None
    if a.mode.startswith("flood"):
        port = serve_flood(a.mode, a.folder)
    else:
        controller = serve_mail(a.mode, a.folder, a.cert, a.key)
        port = controller.port
    print(port, flush=True)
    done = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: done.set())
    done.wait()
    if controller:
        controller.stop()


if __name__ == "__main__":
    main()
