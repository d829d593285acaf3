#!/usr/bin/env bash
# DialmoorSend under Wine against a real SMTP relay (aiosmtpd) and a real upload server, in a
# network namespace of the test's own with only loopback up:
# dialmoor_send_test.sh WINE_RUN DIALMOORSEND_EXE SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/../../cmake/netns-wine.sh"
dm_enter_namespace "$@"
wine_run=$1 tool=$2 src=$3
dm_own_wineserver "$(dm_build_of "$tool")" send

dm_scratch
dm_serve "$work/relay.log" /usr/bin/python3 "$src/delivery/mail/smtp_relay.py" "$work/mail" 2525 2526
dm_serve "$work/http.log" /usr/bin/python3 "$src/delivery/web/web_server.py" "$work/http" 8080

win() { echo "Z:${1//\//\\}"; }
head -c 4000 /dev/urandom >"$work/crash.bin"
printf 'Dialmoor report\r\n.\r\nend' >"$work/Dialmoor.osk"
printf 'Dialmoor report\r\n.\r\nend\r\n\r\n\r\n' >"$work/expected.osk"
options() {  # upload path
  cat >"$work/options.ini" <<INI
[Options]
MailChannel = mcSmtpClient
MailServer = 127.0.0.1
MailServerPort = 2525
MailSender = app@dialmoor.test
MailRecipients = dev@x.test
MailSubject = "Dialmoor error report"
MailBodyText = "Please look at this."
ReportInMailBody = true
WebChannel = wcHttp
UploadURL = http://localhost/$1
UploadPort = 8080
INI
}
run() {  # name, expected exit code, arguments...
  local name=$1 expected=$2; shift 2
  local status=0
  bash "$wine_run" "$tool" "$@" >"$work/$name.out" 2>"$work/$name.err" || status=$?
  tr -d '\r' <"$work/$name.out" >"$work/$name.txt"
  [ "$status" = "$expected" ] || { echo "$name: exit $status, expected $expected"; cat "$work/$name.out" "$work/$name.err"; exit 1; }
}

run no-arguments 2
run no-report 2 --options "$(win "$work/options.ini")"
run unreadable-options 2 --options "$(win "$work/none.ini")" "$(win "$work/Dialmoor.osk")"

# Mail with the report in its body and the given file attached; the upload carries the text
# copy of the report and the file.
options upload
run delivered 0 --options "$(win "$work/options.ini")" --file "$(win "$work/crash.bin")" \
  --file "$(win "$work/missing.bin")" "$(win "$work/Dialmoor.osk")"
[ ! -s "$work/delivered.out" ] || { cat "$work/delivered.out"; exit 1; }
/usr/bin/python3 - "$work" <<'PY'
import email, email.policy, json, sys
work = sys.argv[1]
message = email.message_from_binary_file(open(work + "/mail/1.eml", "rb"), policy=email.policy.default)
envelope = json.load(open(work + "/mail/1.json"))
assert envelope["to"] == ["dev@x.test"] and envelope["from"] == "app@dialmoor.test", envelope
assert message["Subject"] == "Dialmoor error report", message["Subject"]
parts = list(message.iter_parts())
# The email package gives text parts with plain line ends.
text = parts[0].get_payload(decode=True).replace(b"\r\n", b"\n")
assert text == b"Please look at this.\n\n\nDialmoor report\n.\nend\n\n\n\n", text
names = [p.get_filename() for p in parts[1:]]
assert names == ["crash.bin"], names
assert parts[1].get_payload(decode=True) == open(work + "/crash.bin", "rb").read()
PY
/usr/bin/python3 "$src/delivery/web/web_check.py" "$work/http" 0 noauth \
  "file:oz_upload_file_0:Dialmoor.osk:$work/expected.osk" "file:oz_upload_file_1:crash.bin:$work/crash.bin"

# The upload fails: the recorded line is printed and the exit code says not delivered.
options fail
run failed 1 --options "$(win "$work/options.ini")" "$(win "$work/Dialmoor.osk")"
[ "$(cat "$work/failed.txt")" = "HTTP error code: 500 (Internal Server Error)" ] ||
  { cat "$work/failed.out"; exit 1; }
echo "DialmoorSend: all cases passed"
