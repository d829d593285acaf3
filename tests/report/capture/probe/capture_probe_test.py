#!/usr/bin/env python3
"""Runs the capture probe's cases under Wine and checks what they print."""
import re
import subprocess
import sys

WINE_RUN, PROBE, SOURCE = sys.argv[1:4]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(case):
    result = subprocess.run(["bash", WINE_RUN, PROBE, case], capture_output=True, timeout=120)
    out = result.stdout.decode("latin-1")
    print("--- %s: exit code %d, %d bytes out; stderr: %s" %
          (case, result.returncode, len(out), result.stderr.decode("latin-1")[:300]))
    return result.returncode, out


def field(report, number):
    match = re.search(r"^  %s [^:]*: (.*)$" % re.escape(number), report, re.M)
    return match.group(1).rstrip("\r") if match else None


def marked_line(marker):
    with open(SOURCE, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if line.rstrip().endswith("// Probe fault: " + marker):
                return number
    raise SystemExit("no marker for " + marker)


def unescape(page_text):
    text = page_text.replace("<br>\r\n", "\r\n").replace("&nbsp;", " ")
    for entity, char in (("&quot;", '"'), ("&#039;", "'"), ("&lt;", "<"), ("&gt;", ">"),
                         ("&amp;", "&")):
        text = text.replace(entity, char)
    return text


# Kind 2: the report as a page in the configured template, on the standard output.
rc, out = run("html-page")
page = re.fullmatch(r"<html><head>(.*?)</head><body><pre>(.*)</pre></body></html>"
                    r"manager returned 0\r\n", out, re.S)
check(rc == 0 and page is not None, "html-page: one page in the template, then the manager's answer")
if page:
    head, body = page.groups()
    check("<title>Probe page</title>" in head and "<!-- OskedaLog ID:" in head,
          "html-page: the title is text 2, the identifying comment is there: %r" % head)
    check(re.search(r"<(?!br>)", body) is None and '"' not in body and "'" not in body,
          "html-page: nothing in the report is markup")
    report = unescape(body)
    check(report.startswith("OskedaLog 5.1.12\r\n\r\n"), "html-page: the report text comes back whole")
    check(field(report, "2.4") == "Exception", "html-page: 2.4 %r" % field(report, "2.4"))
    check(field(report, "2.5") == "Probe <page> & \"quotes\" 'apostrophes'.",
          "html-page: 2.5 %r" % field(report, "2.5"))
    check("Call Stack Information:" in report and "|Address |" in report,
          "html-page: the call stack's header row keeps its spaces")

# A throw that runs into a noexcept frame is reported as it is raised, before the stack is
# unwound (so before the clean-up on the way runs), with the throw site first.
rc, out = run("uncaught")
check(rc == 1 and out.count("OskedaLog 5.1.12") == 1, "uncaught: one report, exit code 1")
check(out.find("OskedaLog 5.1.12") < out.find("cleanup ran"),
      "uncaught: reported before the clean-up ran")
check(field(out, "2.4") == "Exception" and field(out, "2.5") == "Probe escaped.",
      "uncaught: 2.4 and 2.5 of the throw")
own = re.search(r"^\|([0-9A-F]{8})\|CaptureProbe\.exe *\|[^|]*CaptureProbe\.cpp *\|[^|]*\|"
                r"([^|]*)\|(\d+)", out, re.M)
check(own is not None and own.group(2).strip() == "Escape"
      and int(own.group(3)) == marked_line("uncaught") and own.group(1) == field(out, "2.2"),
      "uncaught: the first frame of the probe is the throw, at its marked line")

# With handled exceptions unreported the same throw is reported by the terminate handler,
# once the stack was unwound to the noexcept frame.
rc, out = run("uncaught-unreported")
check(rc == 1 and out.count("OskedaLog 5.1.12") == 1, "uncaught-unreported: one report")
check(0 <= out.find("cleanup ran") < out.find("OskedaLog 5.1.12"),
      "uncaught-unreported: reported after the clean-up ran")
check(field(out, "2.5") == "Probe escaped.", "uncaught-unreported: the same exception")

# ExceptionManager leaves an excluded thread's exception, and every exception while handled
# exceptions are not reported, to the program (true), and reports otherwise (false).
rc, out = run("scope")
lines = [l for l in out.split("\r\n") if "manager returned" in l]
check(rc == 0 and lines == ["excluded thread: manager returned 1",
                            "handled off: manager returned 1", "reported: manager returned 0"],
      "scope: the manager's answers %r" % lines)
check(out.count("OskedaLog 5.1.12") == 1
      and out.find("handled off") < out.find("OskedaLog 5.1.12") < out.find("reported: "),
      "scope: only the last exception is reported")

print("%d failure(s)" % len(failures))
sys.exit(1 if failures else 0)
