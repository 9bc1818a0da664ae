#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright 2026 The Senrokan developers
"""A real SMTP server for the mail tests (Debian's python3-aiosmtpd) on loopback: plain,
STARTTLS or TLS from the start. Each message goes to DIR/N.json with its envelope and the
account that logged in; the first line printed is the port once it listens."""
import argparse, json, os, signal, socket, ssl, threading

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


def accept(server, session, envelope, mechanism, auth_data):
    return AuthResult(success=auth_data.login == b"u" and auth_data.password == b"p")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("mode", choices=["plain", "starttls", "ssl"])
    ap.add_argument("folder")
    ap.add_argument("--cert")
    ap.add_argument("--key")
    a = ap.parse_args()
    context = None
    if a.mode != "plain":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(a.cert, a.key)
    keeper = Keeper(a.folder, a.mode == "ssl")
    # Only STARTTLS counts as TLS for the server's own AUTH rule; TLS from the start is TLS too.
    options = dict(authenticator=accept, auth_require_tls=a.mode == "starttls")
    if a.mode == "starttls":
        options.update(tls_context=context, require_starttls=True)
    # The controller checks that it listens by connecting to its port, so it needs a number.
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    controller = Controller(keeper, hostname="127.0.0.1", port=port,
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
