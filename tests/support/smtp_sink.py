#!/usr/bin/python3
"""An SMTP server for the tests: takes every message and keeps it as files.

Usage: smtp_sink.py DIRECTORY [--port N] [--auth USER:PASSWORD] [--no-login]

Listens on 127.0.0.1 (port 0: a free one) and writes the port to DIRECTORY/port once it accepts
connections. Message n goes to DIRECTORY/n.envelope (lines "from ADDRESS", "to ADDRESS" per recipient,
"login USER" when the session authenticated) and DIRECTORY/n.eml (the raw content bytes), written
.eml first, so a test that sees n.envelope finds both complete. With --auth the server offers AUTH
(LOGIN and PLAIN, or PLAIN alone with --no-login) without TLS and accepts only that user.
Runs until it is killed.
"""

import argparse
import os
import signal
import socket
import threading
import warnings

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult


class Keeper:
    def __init__(self, directory):
        self.directory = directory
        self.count = 0
        self.lock = threading.Lock()

    async def handle_DATA(self, server, session, envelope):
        with self.lock:
            self.count += 1
            number = self.count
        base = os.path.join(self.directory, str(number))
        with open(base + ".eml", "wb") as content:
            content.write(envelope.original_content or b"")
        lines = ["from " + (envelope.mail_from or "")]
        lines += ["to " + rcpt for rcpt in envelope.rcpt_tos]
        credentials = getattr(session, "auth_data", None)
        if session.authenticated and credentials is not None:
            lines.append("login " + credentials.login.decode("latin-1"))
        with open(base + ".envelope.tmp", "w") as out:
            out.write("\n".join(lines) + "\n")
        os.rename(base + ".envelope.tmp", base + ".envelope")
        return "250 OK kept"


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def authenticator_for(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = auth_data.login.decode() == user and auth_data.password.decode() == password
        return AuthResult(success=ok, handled=False, auth_data=auth_data)
    return authenticate


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("directory")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--auth")
    parser.add_argument("--no-login", action="store_true")
    args = parser.parse_args()

    options = {}
    if args.auth:
        user, password = args.auth.split(":", 1)
        options = dict(authenticator=authenticator_for(user, password), auth_require_tls=False)
        if args.no_login:
            options["auth_exclude_mechanism"] = ["LOGIN"]
    port = args.port or free_port()
    controller = Controller(Keeper(args.directory), hostname="127.0.0.1", port=port,
                            decode_data=False, **options)
    controller.start()
    with open(os.path.join(args.directory, "port.tmp"), "w") as out:
        out.write(str(port))
    os.rename(os.path.join(args.directory, "port.tmp"), os.path.join(args.directory, "port"))
    signal.sigwait({signal.SIGTERM, signal.SIGINT})
    controller.stop()


if __name__ == "__main__":
    warnings.simplefilter("ignore")
    signal.pthread_sigmask(signal.SIG_BLOCK, {signal.SIGTERM, signal.SIGINT})
    main()
