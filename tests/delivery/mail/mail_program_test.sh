#!/usr/bin/env bash
# The mail program route under Wine, in a prefix of the test's own: a MAPI library of the test's
# own registered as the default mail client (under the current user, under the machine only, or
# found as "mapi32.dll"), and a mailto handler of the test's own that is started only when MAPI
# failed. Nothing here opens a socket.
# mail_program_test.sh WINE_RUN DRIVER MAPI_DLL MAPI_NOLOGOFF_DLL HANDLER SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/../../../cmake/netns-wine.sh"
wine_run=$(realpath "$1") driver=$(realpath "$2") mapi=$(realpath "$3")
nologoff=$(realpath "$4") handler=$(realpath "$5")
build=$(dm_build_of "$driver")
export DIALMOOR_WINE_ROOT=$build
dm_own_wineserver "$build" mailprogram

dm_scratch
win() { echo "Z:${1//\//\\}"; }
mkdir "$work/bin"
cp "$driver" "$mapi" "$nologoff" "$handler" "$work/bin/"
export DIALMOOR_TEST_DIR DIALMOOR_MAILTO_EXE DIALMOOR_MAPI_RECORD DIALMOOR_MAILTO_RECORD
DIALMOOR_TEST_DIR=$(win "$work/bin")
DIALMOOR_MAILTO_EXE=$(win "$work/bin/$(basename "$handler")")
DIALMOOR_MAPI_RECORD=$(win "$work/mapi.txt")
DIALMOOR_MAILTO_RECORD=$(win "$work/mailto.txt")
cd "$work"

printf 'Dialmoor error\r\nreport' >subject.txt
printf 'Hello\r\n1+1 caf\xe9' >body.txt
printf 'Report line 1\r\nEIP 0040 & more' >report.txt
printf 'shot' >Shot.png

# The registry of one case: no mail client, no mailto handler and Wine's own mapi32.dll, plus
# the given lines.
registry() {
  { printf 'REGEDIT4\n\n[-HKEY_CURRENT_USER\\Software\\Clients\\Mail]\n'
    printf '[-HKEY_LOCAL_MACHINE\\Software\\Clients\\Mail]\n'
    printf '[-HKEY_CLASSES_ROOT\\mailto]\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\DllOverrides]\n"mapi32"=-\n\n'
    printf '%s\n' "$@"; } >case.reg
  bash "$wine_run" regedit /S "$(win "$work/case.reg")"
}
client() {  # hive, client name, library path as stored
  printf '[%s\\Software\\Clients\\Mail]\n@="%s"\n[%s\\Software\\Clients\\Mail\\%s]\n"DLLPath"="%s"\n' \
    "$1" "$2" "$1" "$2" "$3"
}
handler_key='[HKEY_CLASSES_ROOT\mailto\shell\open\command]
@="\"%DIALMOOR_MAILTO_EXE%\" %1"'

fail() { echo "$case: $*"; for f in out.txt mapi.txt mailto.txt; do [ -f $f ] && { echo "--- $f"; cat $f; }; done; exit 1; }
run() {  # expected exit code, driver arguments...
  local expected=$1; shift
  rm -f mapi.txt mailto.txt
  local status=0
  bash "$wine_run" "$work/bin/$(basename "$driver")" "$@" subject.txt body.txt report.txt \
    >out.txt 2>&1 || status=$?
  tr -d '\r' <out.txt >out.tmp && mv out.tmp out.txt
  [ "$status" = "$expected" ] || fail "exit $status, expected $expected"
}
expect_record() {  # file, expected lines
  local file=$1; shift
  printf '%s\n' "$@" >expected.txt
  diff expected.txt "$file" >/dev/null || { diff expected.txt "$file" || true; fail "$file differs"; }
}
bs='\' e9=$'\xe9'
here=$(win "$work")

case=current-user
registry "$(client HKEY_CURRENT_USER TestMail '%DIALMOOR_TEST_DIR%\\TestMapi.dll')" \
  "$(client HKEY_LOCAL_MACHINE Other 'Z:\\nowhere\\Other.dll')" "$handler_key"
run 0 --window --file report.txt --name Report_20261208_1200.txt --file missing.bin \
  --file "$here${bs}Shot.png" "a@x.test; b@x.test,"
expect_record mapi.txt \
  "logon parent=window profile=null password=null flags=1 reserved=0" \
  "send session=ours parent=window flags=1 reserved=0" \
  "message reserved=0 subject=[Dialmoor error report] note=[Hello\\x0D\\x0A1+1 caf$e9] type=null date=null conversation=null flags=0 originator=null" \
  "recipients 2" \
  "recipient reserved=0 class=1 name=[a@x.test] address=[SMTP:a@x.test] eid=0/null" \
  "recipient reserved=0 class=1 name=[b@x.test] address=[SMTP:b@x.test] eid=0/null" \
  "files 2 set" \
  "file reserved=0 flags=0 position=4294967295 path=[$here${bs}report.txt] name=[Report_20261208_1200.txt] type=null exists" \
  "file reserved=0 flags=0 position=4294967295 path=[$here${bs}Shot.png] name=[Shot.png] type=null exists" \
  "logoff session=ours parent=window flags=0 reserved=0"
[ ! -s out.txt ] && [ ! -e mailto.txt ] || fail "MAPI delivered, yet an error or the mailto handler"

# Only on the main thread does MAPI get the main window.
case=other-thread
run 0 --window --other-thread a@x.test
grep -q '^logon parent=none ' mapi.txt && grep -q '^logoff session=ours parent=none ' mapi.txt ||
  fail "a parent window off the main thread"

# Under the machine only, the compose window asked for, the user cancels: still delivered.
case=machine-cancelled
registry "$(client HKEY_LOCAL_MACHINE TestMail '%DIALMOOR_TEST_DIR%\\TestMapi.dll')" "$handler_key"
DIALMOOR_MAPI_SEND=1 run 0 --show-dialog --file missing.bin a@x.test
grep -q '^send session=ours parent=none flags=9 reserved=0$' mapi.txt &&
  grep -qx 'files 0 null' mapi.txt && grep -q '^logoff ' mapi.txt || fail "flags 9, no files"
[ ! -s out.txt ] && [ ! -e mailto.txt ] || fail "a cancelled compose window is delivered"

# No client registered: "mapi32.dll" is loaded, here the test's library found beside the program.
case=mapi32
cp "$work/bin/$(basename "$mapi")" "$work/bin/mapi32.dll"
registry "$handler_key" '[HKEY_CURRENT_USER\Software\Wine\DllOverrides]' '"mapi32"="native"'
run 0 a@x.test
grep -q '^send session=ours ' mapi.txt || fail "mapi32.dll not used"
rm "$work/bin/mapi32.dll"

# The four failures, each with its message, and the mailto handler started after each.
mapi_failure() {  # message
  grep -qxF "MAPI failed: eeEmailMAPIError $1" out.txt || fail "no \"$1\""
  [ -s mailto.txt ] || fail "the mailto handler was not started"
}
case=no-library
registry "$(client HKEY_CURRENT_USER TestMail 'Z:\\nowhere\\TestMapi.dll')" "$handler_key" \
  '[HKEY_CURRENT_USER\Software\Wine\DllOverrides]' '"mapi32"=""'
run 0 "a@x.test; b@x.test" --file report.txt
mapi_failure "Cannot open the MAPI dll."
[ ! -e mapi.txt ] || fail "a library was called"
# The handler's command line: the address with the recipients unchanged, the subject and the
# body with the report encoded (a plus sign as %2B, the byte above 127 kept raw), a maximised
# window that is made top-most.
/usr/bin/python3 - "$DIALMOOR_MAILTO_EXE" <<'PY' || fail "mailto command line"
import sys
def enc(b):
    return b"".join(bytes([c]) if c == 45 or 48 <= c <= 57 or 65 <= c <= 90 or 97 <= c <= 122
                    or c >= 128 else b"%%%02X" % c for c in b)
body = open("body.txt", "rb").read() + b"\r\n\r\n\r\n" + open("report.txt", "rb").read()
expected = (b'"' + sys.argv[1].encode() + b'" mailto:a@x.test; b@x.test?Subject=' +
            enc(open("subject.txt", "rb").read()) + b"&Body=" + enc(body))
lines = open("mailto.txt", "rb").read().split(b"\n")
assert b"1%2B1%20caf\xe9%0D%0A%0D%0A%0D%0AReport" in expected
assert lines[0] == b"command " + expected, lines[0]
assert lines[1:4] == [b"show 1 3", b"topmost yes", b""], lines[1:]
PY

case=no-functions
registry "$(client HKEY_CURRENT_USER TestMail '%DIALMOOR_TEST_DIR%\\TestMapiNoLogoff.dll')" "$handler_key"
run 0 a@x.test
mapi_failure "Cannot found the MAPI functions."
[ ! -e mapi.txt ] || fail "a library without MAPILogoff was called"

case=logon-refused
registry "$(client HKEY_CURRENT_USER TestMail '%DIALMOOR_TEST_DIR%\\TestMapi.dll')" "$handler_key"
DIALMOOR_MAPI_LOGON=3 run 0 a@x.test
mapi_failure "Cannot LogOn into the MAPI service."
[ "$(cut -d' ' -f1 mapi.txt)" = logon ] || fail "sent after a refused logon"

# A failed send still logs off.
case=send-failed
DIALMOOR_MAPI_SEND=2 run 0 a@x.test
mapi_failure "Cannot send the MAPI message."
[ "$(cut -d' ' -f1 mapi.txt | tr '\n' ' ')" = "logon send message recipients recipient files logoff " ] ||
  fail "the session was not ended"

# A handler that cannot be started: the system's message, nothing delivered.
case=no-handler
registry "$(client HKEY_CURRENT_USER TestMail '%DIALMOOR_TEST_DIR%\\TestMapi.dll')" \
  '[HKEY_CLASSES_ROOT\mailto\shell\open\command]' '@="Z:\\nowhere\\mail.exe %1"'
DIALMOOR_MAPI_LOGON=3 run 1 a@x.test
grep -q '^shell failed: eeEmailShellError .' out.txt || fail "no shell error"
grep -qi 'not found\|cannot find' out.txt || fail "not the system's message"
echo "mail program: all cases passed"
