"""A misbehaving SMTP server for one connection: smtp_scripted.py PORT MODE. Modes:
badgreeting, nodigits, ehlo-half (EHLO lines half a second apart), ehlo-two (two seconds
apart), close-in-data (closes after the first bytes of the message)."""
import socket
import sys
import time

port, mode = int(sys.argv[1]), sys.argv[2]
server = socket.socket()
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind(("127.0.0.1", port))
server.listen(1)
print("ready", flush=True)
conn, _ = server.accept()
pending = b""


def line():
    global pending
    while b"\r\n" not in pending:
        data = conn.recv(4096)
        if not data:
            sys.exit(0)
        pending += data
    text, pending = pending.split(b"\r\n", 1)
    return text.decode()


def send(*chunks, gap=0.0):
    for i, chunk in enumerate(chunks):
        if i:
            time.sleep(gap)
        conn.sendall(chunk.encode())


if mode == "badgreeting":
    send("554 no service here\r\n")
    time.sleep(1)
    sys.exit(0)
send("220 scripted\r\n")
answers = {"RSET": "250 reset\r\n", "AUTH": "334 VXNlcm5hbWU6\r\n", "MAIL": "250 ok\r\n",
           "RCPT": "250 ok\r\n", "DATA": "354 go ahead\r\n"}
logins = 0
while True:
    command = line()
    verb = command.split(" ")[0]
    if mode == "nodigits":
        send("Hello there\r\n")
    elif verb == "EHLO":
        gap = 0.5 if mode == "ehlo-half" else 2.0
        send("250-scripted\r\n", "250-SIZE 1000000\r\n", "250 AUTH LOGIN\r\n", gap=gap)
    elif verb == "HELO":
        send("250 hello\r\n")
    elif verb in answers and verb != "AUTH" or command == "AUTH LOGIN":
        send(answers[verb])
        if verb == "DATA":
            if mode == "close-in-data":
                conn.recv(10)
                conn.close()
                sys.exit(0)
            while not pending.endswith(b"\r\n.\r\n"):
                pending += conn.recv(65536)
            pending = b""
            send("250 queued\r\n")
    else:
        logins += 1
        send("334 UGFzc3dvcmQ6\r\n" if logins == 1 else "235 welcome\r\n")
