"""Reads one stored upload back and compares it with what was sent.
web_check.py OUTDIR INDEX [noauth | auth:USER:PASSWORD] [field:NAME=VALUE | file:FIELD:NAME:PATH]...
The part headers are read with Python's email package. The parts must arrive in the order given, and no others."""
import base64
import email.parser
import email.policy
import sys

outdir, index = sys.argv[1], sys.argv[2]
headers = {}
with open("%s/%s.headers" % (outdir, index)) as f:
    for line in f.read().splitlines()[1:]:
        key, _, value = line.partition(": ")
        headers[key.lower()] = value
body = open("%s/%s.body" % (outdir, index), "rb").read()


def fail(message):
    sys.exit("upload %s: %s" % (index, message))


content_type = headers.get("content-type", "")
if not content_type.startswith("multipart/form-data; boundary=" + "-" * 27):
    fail("content type " + content_type)
boundary = content_type.split("boundary=")[1]
if len(boundary) != 39 or any(c not in "0123456789ABCDEF" for c in boundary[27:]):
    fail("boundary " + boundary)
if not body.endswith(("--%s--\r\n" % boundary).encode()):
    fail("no closing boundary")
# Split by hand, so that the bytes compared are exactly the bytes that arrived.
chunks = body.split(b"--" + boundary.encode())
if chunks[0] != b"" or chunks[-1] != b"--\r\n":
    fail("framing")
parts = []
for chunk in chunks[1:-1]:
    if not chunk.startswith(b"\r\n") or not chunk.endswith(b"\r\n"):
        fail("part framing")
    head, sep, data = chunk[2:-2].partition(b"\r\n\r\n")
    if not sep:
        fail("part without headers")
    part = email.parser.BytesHeaderParser(policy=email.policy.HTTP).parsebytes(head + b"\r\n\r\n")
    parts.append((part, data))
expected = [a for a in sys.argv[3:] if a.startswith(("field:", "file:"))]
if len(parts) != len(expected):
    fail("%d parts, expected %d" % (len(parts), len(expected)))
for (part, data), want in zip(parts, expected):
    disposition = part.get("Content-Disposition", "")
    if want.startswith("field:"):
        name, _, value = want[6:].partition("=")
        if 'name="%s"' % name not in disposition or data != value.encode():
            fail("field %s: %r %r" % (name, disposition, data))
    else:
        field, name, path = want[5:].split(":", 2)
        original = open(path, "rb").read()
        if ('name="%s"' % field not in disposition or 'filename="%s"' % name not in disposition
                or part.get_content_type() != "application/octet-stream" or data != original):
            fail("file %s: %r, %d bytes of %d" % (field, disposition, len(data or b""), len(original)))
for arg in sys.argv[3:]:
    if arg == "noauth" and "authorization" in headers:
        fail("unexpected " + headers["authorization"])
    if arg.startswith("auth:"):
        wanted = "Basic " + base64.b64encode(arg[5:].encode()).decode()
        if headers.get("authorization") != wanted:
            fail("authorization %r, expected %r" % (headers.get("authorization"), wanted))
