"""Checks what the relays received: smtp_relay_check.py OUTDIR WORKDIR CASE."""
import email
import email.policy
import glob
import json
import os
import sys

out, work, case = sys.argv[1], sys.argv[2], sys.argv[3]
BOUNDARY = "=_xcjvnxkbhvfkxzhfdbvzldjhfv"


def messages():
    found = []
    for path in sorted(glob.glob(os.path.join(out, "*.eml")), key=lambda p: int(os.path.basename(p)[:-4])):
        with open(path, "rb") as f:
            raw = f.read()
        with open(path[:-4] + ".json") as f:
            meta = json.load(f)
        found.append((raw, email.message_from_bytes(raw, policy=email.policy.compat32), meta))
    return found


def fail(text):
    print(f"{case}: {text}")
    sys.exit(1)


def check_report_mail(raw, msg, recipient):
    if msg["To"] != f"<{recipient}>" or msg["From"] != "<app@dialmoor.test>":
        fail(f"headers {msg['From']} {msg['To']}")
    if msg["Subject"] != "Dialmoor error report" or msg["MIME-Version"] != "1.0":
        fail("subject or version")
    if msg.get_content_type() != "multipart/mixed" or msg.get_param("boundary") != BOUNDARY:
        fail("content type")
    if not msg["Message-ID"].endswith("@dialmoor.invalid>") or msg["Date"] is None:
        fail("message id or date")
    parts = msg.get_payload()
    if len(parts) != 3:
        fail(f"{len(parts)} parts")
    with open(os.path.join(work, "body.txt"), "rb") as f:
        body = f.read()
    # The report's lone "." line and the line that begins with "." arrive unchanged.
    if parts[0].get_payload(decode=True) != body + b"\r\n":
        fail("body text")
    expected = [("report.bin", "application/octet-stream"), ("Shot.png", "image/png")]
    for part, (name, ctype) in zip(parts[1:], expected):
        with open(os.path.join(work, name), "rb") as f:
            original = f.read()
        if part.get_content_type() != ctype or part.get_filename() != name:
            fail(f"part {name}: {part.get_content_type()} {part.get_filename()}")
        if part.get_payload(decode=True) != original:
            fail(f"part {name}: bytes differ")
    if not raw.endswith(f"--{BOUNDARY}--\r\n".encode()):
        fail("closing boundary")


found = messages()
if case == "plain":
    if [m["to"] for _, _, m in found] != [["a@x.test"], ["b@x.test"]]:
        fail(f"recipients {[m['to'] for _, _, m in found]}")
    for (raw, msg, meta), rcpt in zip(found, ["a@x.test", "b@x.test"]):
        if meta["relay"] != "plain" or meta["login"] is not None:
            fail("relay")
        check_report_mail(raw, msg, rcpt)
elif case == "login":
    if len(found) != 1 or found[0][2]["login"] != "dev" or found[0][2]["password"] != "s3cret":
        fail(f"login {[m for _, _, m in found]}")
    check_report_mail(found[0][0], found[0][1], "c@x.test")
elif case == "direct":
    if [m["to"] for _, _, m in found] != [["d@dialmoor.test"]] or found[0][2]["relay"] != "plain":
        fail(f"recipients {[m for _, _, m in found]}")
    check_report_mail(found[0][0], found[0][1], "d@dialmoor.test")
elif case == "refused":
    if [m["to"] for _, _, m in found] != [["good@x.test"]]:
        fail(f"recipients {[m['to'] for _, _, m in found]}")
else:
    fail("unknown case")
print(f"{case}: ok")
