"""Reads what the relay and the upload server received in one send-lab case and checks it.
send_check.py CASE WORKDIR [REPORTS]: REPORTS, the number of reports the whole log holds."""
import email
import email.policy
import glob
import io
import json
import os
import re
import subprocess
import sys
import tarfile

case, work = sys.argv[1], sys.argv[2]


def fail(message):
    print(f"{case}: {message}")
    sys.exit(1)


def mails():
    found = []
    for path in sorted(glob.glob(os.path.join(work, "relay", "*.eml"))):
        with open(path, "rb") as f:
            message = email.message_from_binary_file(f, policy=email.policy.default)
        with open(path[:-4] + ".json") as f:
            found.append((message, json.load(f)))
    return found


def attachments(message):
    return {part.get_filename(): part.get_payload(decode=True)
            for part in message.iter_attachments()}


def lab_times():
    times = {}
    with open(os.path.join(work, case + ".err"), errors="replace") as f:
        for line in f:
            m = re.match(r"(fault|went on|delivery over) (\d+)", line.strip())
            if m:
                times[m.group(1)] = int(m.group(2))
    return times


def untar(data, where):
    os.makedirs(where, exist_ok=True)
    with open(os.path.join(where, "archive.tgz"), "wb") as f:
        f.write(data)
    # GNU tar is the reader that counts.
    subprocess.run(["tar", "xzf", "archive.tgz"], cwd=where, check=True)
    return sorted(n for n in os.listdir(where) if n != "archive.tgz")


def uploads():
    bodies = []
    for path in sorted(glob.glob(os.path.join(work, "web", "*.body"))):
        with open(path[:-5] + ".headers") as f:
            headers = f.read()
        boundary = re.search(r"boundary=(\S+)", headers).group(1)
        with open(path, "rb") as f:
            raw = f.read()
        parsed = email.message_from_bytes(
            b"Content-Type: multipart/form-data; boundary=" + boundary.encode() + b"\r\n\r\n" + raw,
            policy=email.policy.default)
        bodies.append({part.get_param("filename", header="content-disposition"):
                       part.get_payload(decode=True) for part in parsed.iter_parts()})
    return bodies


def banner_colours():
    """The banner's gradient, active and inactive: from the start colour, each band 0.96 of
    the one above."""
    colours = set()
    for colour in ((0x82, 0x9A, 0xC2), (0x97, 0x97, 0x97)):
        for _ in range(40):
            colours.add(colour)
            colour = tuple(int(c * 0.96) for c in colour)
    return colours


got = mails()
if case == "both":
    if len(got) != 1:
        fail(f"{len(got)} mails at the relay, expected 1")
    files = attachments(got[0][0])
    if list(files) != ["CompressFiles.tgz"]:
        fail(f"mail attachments {list(files)}")
    names = untar(files["CompressFiles.tgz"], os.path.join(work, "x"))
    if names != ["Screenshot.png", "SendLab.osk", "SendLab.xml"]:
        fail(f"archive holds {names}")
    with open(os.path.join(work, "x", "SendLab.osk"), "rb") as f:
        text = f.read()
    if b"SendLab failure" not in text or not text.endswith(b"\r\n\r\n\r\n"):
        fail("the text copy is not the report")
    subprocess.run(["pngcheck", "-q", os.path.join(work, "x", "Screenshot.png")], check=True)
    subprocess.run(["xmllint", "--noout", os.path.join(work, "x", "SendLab.xml")], check=True)
    web = uploads()
    if len(web) != 1 or web[0].get("CompressFiles.tgz") != files["CompressFiles.tgz"]:
        fail("the upload server did not get the same archive")
elif case == "thread":
    if len(got) != 1:
        fail(f"{len(got)} mails at the relay, expected 1")
    times = lab_times()
    arrived = got[0][1]["arrived"]
    # The program went on while the relay still held the message back.
    if not times["fault"] <= times["went on"] < arrived - 500:
        fail(f"times {times}, mail arrived {arrived}")
elif case == "wholelog":
    expected = int(sys.argv[3])
    if len(got) != 1:
        fail(f"{len(got)} mails at the relay, expected 1")
    files = attachments(got[0][0])
    text = files.get("SendLab.osk", b"")
    # Each report begins with the product line.
    reports = len(re.findall(rb"(?:\A|\r\n)OskedaLog [0-9.]+\r\n", text))
    if reports != expected or text.count(b"SendLab failure") < expected:
        fail(f"the text copy holds {reports} reports, expected {expected}")
    xml = files.get("SendLab.xml", b"")
    if xml.count(b"<Log Version=") != expected:
        fail(f"the XML copy holds {xml.count(b'<Log Version=')} reports, expected {expected}")
elif case == "dialog":
    if len(got) != 1:
        fail(f"{len(got)} mails at the relay, expected 1")
    with open(os.path.join(work, case + ".err"), errors="replace") as f:
        lines = [line.strip() for line in f]
    if "dialog shown, top-most 1" not in lines or "dialog closed" not in lines:
        fail("the dialog was not shown on top and closed: " + repr(lines))
    if "status Message 1/1: Sending message..." not in lines:
        fail("no status line with the recipient counter: " + repr(lines))
    bars = {int(line[4:]) for line in lines if line.startswith("bar ")}
    if len([b for b in bars if 0 < b < 100]) < 3:
        fail(f"the bar did not move: {sorted(bars)}")
    if "screenshot 1" not in lines:
        fail("no screenshot of the dialog")
    if "status font ms sans serif" not in (line.lower() for line in lines):
        fail("the status line is not in the dialog font: " + repr(lines))
    pixel = next((tuple(map(int, line.split()[2:])) for line in lines
                  if line.startswith("caption pixel ")), None)
    flags = os.environ.get("SENDLAB_DIALOG_FLAGS", "dfBannerLook")
    if ("dfBannerLook" in flags) != (pixel in banner_colours()):
        fail(f"caption bar colour {pixel} with the dialog flags '{flags}'")
print(f"{case}: ok")
