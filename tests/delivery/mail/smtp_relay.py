"""SMTP relays for the mail tests: one without login, one with AUTH LOGIN (allowed without TLS,
on loopback only). Each message is stored as N.eml with N.json holding the envelope."""
import asyncio
import itertools
import json
import os
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
counter = itertools.count(1)


class Handler:
    def __init__(self, name):
        self.name = name

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith("nobody@"):
            return "550 no such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        n = next(counter)
        with open(os.path.join(out, f"{n}.eml"), "wb") as f:
            f.write(envelope.original_content)
        login = session.auth_data.login.decode() if isinstance(session.auth_data, LoginPassword) else None
        with open(os.path.join(out, f"{n}.json"), "w") as f:
            json.dump({"relay": self.name, "from": envelope.mail_from, "to": envelope.rcpt_tos,
                       "login": login, "password": session.auth_data.password.decode() if login else None}, f)
        return "250 Message accepted for delivery"


def authenticator(server, session, envelope, mechanism, auth_data):
    ok = isinstance(auth_data, LoginPassword) and auth_data.login == b"dev" and auth_data.password == b"s3cret"
    return AuthResult(success=ok, auth_data=auth_data)


plain = Controller(Handler("plain"), hostname="127.0.0.1", port=int(sys.argv[2]))
login = Controller(Handler("login"), hostname="127.0.0.1", port=int(sys.argv[3]),
                   authenticator=authenticator, auth_require_tls=False)
plain.start()
login.start()
print("ready", flush=True)
try:
    asyncio.new_event_loop().run_forever()
finally:
    plain.stop()
    login.stop()
