"""The relay of the delivery tests: stores each message as N.eml, with N.json holding the
envelope and the arrival time (ms since 1970), after an optional delay before it answers DATA.
send_relay.py OUTDIR PORT [DELAY_SECONDS]"""
import asyncio
import itertools
import json
import os
import sys
import time

from aiosmtpd.controller import Controller

out, port = sys.argv[1], int(sys.argv[2])
delay = float(sys.argv[3]) if len(sys.argv) > 3 else 0.0
os.makedirs(out, exist_ok=True)
counter = itertools.count(1)


class Handler:
    async def handle_DATA(self, server, session, envelope):
        if delay:
            await asyncio.sleep(delay)
        n = next(counter)
        with open(os.path.join(out, f"{n}.eml"), "wb") as f:
            f.write(envelope.original_content)
        with open(os.path.join(out, f"{n}.json"), "w") as f:
            json.dump({"from": envelope.mail_from, "to": envelope.rcpt_tos,
                       "arrived": time.time() * 1000}, f)
        return "250 Message accepted for delivery"


relay = Controller(Handler(), hostname="127.0.0.1", port=port, data_size_limit=0)
relay.start()
print("ready", flush=True)
try:
    asyncio.new_event_loop().run_forever()
finally:
    relay.stop()
