"""A DNS server of the test's own on one address, port 53: every query is logged to LOG as one
line and answered with one MX record whose exchange name is, by MODE, "127.0.0.1" (good), runs
past the end of its record (overrun) or is a compression pointer to itself (loop).
dns_responder.py ADDRESS MODE LOG"""
import socket
import struct
import sys

address, mode, log = sys.argv[1], sys.argv[2], sys.argv[3]

EXCHANGES = {
    "good": b"\x03127\x010\x010\x011\x00",
    # A first label of 40 characters in a record that holds 6.
    "overrun": b"\x28mx\x00",
}


def answer(query):
    question = query[12:]
    header = query[:2] + struct.pack(">HHHHH", 0x8180, 1, 1, 0, 0)
    rdata_offset = 12 + len(question) + 12
    if mode == "loop":
        # The exchange name starts right after the preference and points at itself.
        exchange = struct.pack(">H", 0xC000 | (rdata_offset + 2))
    else:
        exchange = EXCHANGES[mode]
    rdata = struct.pack(">H", 10) + exchange
    record = struct.pack(">HHHIH", 0xC00C, 15, 1, 60, len(rdata)) + rdata
    return header + question + record


server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
server.bind((address, 53))
print("ready", flush=True)
while True:
    query, peer = server.recvfrom(512)
    with open(log, "a") as f:
        f.write("query %d bytes\n" % len(query))
    if len(query) > 12:
        server.sendto(answer(query), peer)
