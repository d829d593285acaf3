"""Checks what Dialmoor's reports left at the relay, at the upload server and in the program's
folder, as copied there by the delivery driver.
delivery_check.py deliver WORKDIR SCREENSHOT_COPY | unsent WORKDIR"""
import email
import email.policy
import glob
import os
import re
import shutil
import struct
import subprocess
import sys
import zlib

case, work = sys.argv[1], sys.argv[2]
out = os.path.join(work, case)
REPORT_MARK = b"EFrozenApplication"


def fail(message):
    print(f"{case}: FAIL: {message}")
    sys.exit(1)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def mails():
    return [email.message_from_bytes(read(p), policy=email.policy.default)
            for p in sorted(glob.glob(os.path.join(work, "relay", "*.eml")))]


def uploads():
    bodies = []
    for path in sorted(glob.glob(os.path.join(work, "web", "*.body"))):
        headers = read(path[:-5] + ".headers").decode("latin-1")
        boundary = re.search(r"boundary=(\S+)", headers).group(1)
        parsed = email.message_from_bytes(
            b"Content-Type: multipart/form-data; boundary=" + boundary.encode() + b"\r\n\r\n" +
            read(path), policy=email.policy.default)
        bodies.append({part.get_param("filename", header="content-disposition"):
                       part.get_payload(decode=True) for part in parsed.iter_parts()})
    return bodies


def untar(archive, where):
    os.makedirs(where, exist_ok=True)
    # GNU tar is the reader that counts.
    subprocess.run(["tar", "xzf", archive], cwd=where, check=True)
    return sorted(os.listdir(where))


def palette_pixels(path):
    """Width, height and the RGB rows of an 8-bit palette PNG whose rows are all unfiltered."""
    data = read(path)
    pos, idat, palette = 8, b"", b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            if (depth, colour) != (8, 3):
                fail("the screenshot is not an 8-bit palette picture")
        elif kind == b"PLTE":
            palette = body
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    rows = []
    for y in range(height):
        row = raw[y * (width + 1):(y + 1) * (width + 1)]
        if row[0] != 0:
            fail(f"row {y} of the screenshot has filter {row[0]}")
        rows.append([palette[3 * i:3 * i + 3] for i in row[1:]])
    return width, height, rows


def check_shows_clock(png, bounds):
    """Most of the clock window's inside is its aqua face; hardly anything else on the screen is."""
    width, height, rows = palette_pixels(png)
    left, top, right, bottom = bounds
    aqua = b"\x00\xff\xff"
    inside = [rows[y][x] == aqua for y in range(top + 4, bottom - 4) for x in range(left + 4, right - 4)]
    outside = sum(row.count(aqua) for row in rows) - sum(inside)
    if not inside or sum(inside) < len(inside) // 2:
        fail(f"the screenshot does not show the clock at {bounds}")
    if outside > width * height // 100:
        fail(f"{outside} aqua pixels outside the clock window {bounds}")


def check_archive_contents(where):
    names = sorted(os.listdir(where))
    if names != ["Dialmoor.osk", "Dialmoor.xml", "Screenshot.png"]:
        fail(f"archive holds {names}")
    if REPORT_MARK not in read(os.path.join(where, "Dialmoor.osk")):
        fail("the archive's text copy is not the freeze report")
    subprocess.run(["pngcheck", "-q", os.path.join(where, "Screenshot.png")], check=True)
    subprocess.run(["xmllint", "--noout", os.path.join(where, "Dialmoor.xml")], check=True)


if case == "deliver":
    got = mails()
    if len(got) != 1:
        fail(f"{len(got)} mails at the relay, expected 1")
    files = {part.get_filename(): part.get_payload(decode=True)
             for part in got[0].iter_attachments()}
    if list(files) != ["CompressFiles.tgz"]:
        fail(f"mail attachments {list(files)}")
    archive = os.path.join(work, "mail.tgz")
    with open(archive, "wb") as f:
        f.write(files["CompressFiles.tgz"])
    where = os.path.join(work, "mail-archive")
    untar(archive, where)
    check_archive_contents(where)
    shutil.copyfile(os.path.join(where, "Screenshot.png"), sys.argv[3])
    bounds = [int(v) for v in read(os.path.join(out, "clock.txt")).split()]
    check_shows_clock(os.path.join(where, "Screenshot.png"), bounds)
    web = uploads()
    if len(web) != 1 or web[0].get("CompressFiles.tgz") != files["CompressFiles.tgz"]:
        fail(f"{len(web)} uploads; the upload server did not get the same archive")
    first = read(os.path.join(out, "first.osk"))
    if first.count(REPORT_MARK) == 0:
        fail("the log holds no freeze report")
    # Nothing logged for the same freeze again; the mail and upload counts are checked above,
    # after the second freeze.
    if read(os.path.join(out, "second.osk")) != first:
        fail("the log changed after the same freeze again")
    for listing in ("first.files", "second.files"):
        kept = [n for n in read(os.path.join(out, listing)).decode().split() if n.endswith(".tgz")]
        if kept:
            fail(f"a delivered report was kept as unsent: {kept}")
elif case == "unsent":
    if mails():
        fail("a mail arrived although the relay was stopped")
    kept = sorted(glob.glob(os.path.join(out, "CompressFiles*.tgz")))
    if [os.path.basename(k) for k in kept] != ["CompressFiles.tgz"]:
        fail(f"kept archives {kept}")
    where = os.path.join(work, "kept-archive")
    untar(kept[0], where)
    check_archive_contents(where)
    boxes = read(os.path.join(out, "boxes.txt")).decode("latin-1").splitlines()
    print("\n".join(boxes))
    if not any(b.startswith("Error.|") and "[SMTP]" in b for b in boxes):
        fail("no box names the failed mail channel")
    if not any(b.startswith("Error.|HTTP error code: 500") for b in boxes):
        fail("no box names the failed upload channel")
    # Each channel's failure is recorded with its name; the debugger output shows the record.
    debug = read(os.path.join(out, "debug.txt")).decode("latin-1")
    print(debug)
    if not re.search(r'Code: eeEmailSMTPError .*Message: "\[SMTP\] Connection error', debug):
        fail("no recorded mail error naming SMTP")
    if not re.search(r'Code: eeWebHTTPError .*Message: "HTTP error code: 500 \(', debug):
        fail("no recorded web error naming HTTP")
    if len(uploads()) != 1:
        fail("the upload server was not asked once")
    if not boxes or boxes[-1] != "Information.|Sorry, sending the message didn't work. ":
        fail("the outcome box is not the failure message")
print(f"{case}: ok")
