#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
"""A real SMTP server for the mail tests (Debian's python3-aiosmtpd) on loopback: plain,
STARTTLS or TLS from the start. Each message goes to DIR/N.json with its envelope and the
account that logged in, each command line to DIR/commands.log; the first line printed is the
port once it listens. Faulty ones: "starttls-inject" writes a plain-text reply right behind its
answer to STARTTLS; "flood-line" answers EHLO with a line that never ends, "flood-reply" with
continuation lines that never end (16 MiB, then silence until the client goes)."""
import argparse, json, logging, os, signal, socket, socketserver, ssl, threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, SMTP


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


def log_command(folder, line):
    with open(os.path.join(folder, "commands.log"), "ab") as f:
        f.write(line.rstrip(b"\r\n") + b"\n")


class CommandLog(logging.Handler):
    """aiosmtpd logs each command line it reads as '%r >> %r' (peer, line)."""

    def __init__(self, folder):
        super().__init__()
        self.folder = folder

    def emit(self, record):
        if record.msg == "%r >> %r":
            log_command(self.folder, record.args[1])


class InjectingSMTP(SMTP):
    async def push(self, status):
        if status == "220 Ready to start TLS":
            status += "\r\n250 injected"  # one write, so that it comes in the same piece
        await super().push(status)


class InjectingController(Controller):
    def factory(self):
        return InjectingSMTP(self.handler, **self.SMTP_kwargs)


class Flood(socketserver.StreamRequestHandler):
    def handle(self):
        self.wfile.write(b"220 flood.example ESMTP\r\n")
        log_command(self.server.folder, self.rfile.readline())
        piece = (b"x" * 65536 if self.server.mode == "flood-line"
                 else (b"x" * 70 + b"\r\n250-") * 800)
        try:
            self.wfile.write(b"250-")
            for _ in range(16 * 1024 * 1024 // len(piece)):
                self.wfile.write(piece)
            self.rfile.read()
        except OSError:
            pass


def accept(server, session, envelope, mechanism, auth_data):
    return AuthResult(success=auth_data.login == b"u" and auth_data.password == b"p")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("mode", choices=["plain", "starttls", "ssl", "starttls-inject", "flood-line",
                                     "flood-reply"])
    ap.add_argument("folder")
    ap.add_argument("--cert")
    ap.add_argument("--key")
    a = ap.parse_args()
    if a.mode.startswith("flood"):
        flood = socketserver.ThreadingTCPServer(("127.0.0.1", 0), Flood)
        flood.daemon_threads, flood.mode, flood.folder = True, a.mode, a.folder
        threading.Thread(target=flood.serve_forever, daemon=True).start()
        print(flood.server_address[1], flush=True)
        signal.pause()  # until SIGTERM ends it
        return
    logging.getLogger("mail.log").setLevel(logging.INFO)
    logging.getLogger("mail.log").addHandler(CommandLog(a.folder))
    starttls = a.mode.startswith("starttls")
    context = None
    if a.mode != "plain":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(a.cert, a.key)
    keeper = Keeper(a.folder, a.mode == "ssl")
    # Only STARTTLS counts as TLS for the server's own AUTH rule; TLS from the start is TLS too.
    options = dict(authenticator=accept, auth_require_tls=starttls)
    if starttls:
        options.update(tls_context=context, require_starttls=True)
    # The controller checks that it listens by connecting to its port, so it needs a number.
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    kind = InjectingController if a.mode == "starttls-inject" else Controller
    controller = kind(keeper, hostname="127.0.0.1", port=port,
                      ssl_context=context if a.mode == "ssl" else None,
                      server_hostname="127.0.0.1", **options)
    controller.start()
    print(controller.port, flush=True)
    done = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: done.set())
    done.wait()
    controller.stop()


if __name__ == "__main__":
    main()
