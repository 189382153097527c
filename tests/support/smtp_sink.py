#!/ usr / bin / python3
"""An SMTP server for the tests: takes every message and keeps it as files.

Usage: smtp_sink.py DIRECTORY [--port N] [--auth USER:PASSWORD] [--no-login]
                    [--tls CERT KEY [--require-starttls]]

Listens on 127.0.0.1 (port 0: a free one) and writes the port to DIRECTORY/port once it accepts
connections. Message n goes to DIRECTORY/n.envelope (lines "from ADDRESS", "to ADDRESS" per recipient,
"login USER" when the session authenticated, then "tls" when the message came over TLS and "auth
over tls" when the login was given over TLS) and DIRECTORY/n.eml (the raw content bytes), written
.eml first, so a test that sees n.envelope finds both complete. With --auth the server offers AUTH
(LOGIN and PLAIN, or PLAIN alone with --no-login), with or without TLS, and accepts only that user.
With --tls it offers STARTTLS with that certificate and key (PEM), and with --require-starttls it
refuses every command but EHLO, NOOP and QUIT before TLS.
Runs until it is killed.
"""

import argparse
import os
import signal
import socket
import ssl
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
        if session.ssl is not None:
            lines.append("tls")
        if getattr(session, "auth_over_tls", False):
            lines.append("auth over tls")
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
        session.auth_over_tls = session.ssl is not None
        return AuthResult(success=ok, handled=False, auth_data=auth_data)
    return authenticate


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("directory")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--auth")
    parser.add_argument("--no-login", action="store_true")
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--require-starttls", action="store_true")
    args = parser.parse_args()

    options = {}
    if args.auth:
        user, password = args.auth.split(":", 1)
        options = dict(authenticator=authenticator_for(user, password), auth_require_tls=False)
        if args.no_login:
            options["auth_exclude_mechanism"] = ["LOGIN"]
    if args.tls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(*args.tls)
        options.update(tls_context=context, require_starttls=args.require_starttls)
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
