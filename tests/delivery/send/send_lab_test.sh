#!/usr/bin/env bash
# The delivery sequence end to end: the send lab raises, its report goes to a relay (aiosmtpd)
# and an upload server of the test's own, in a network namespace with only loopback up, and
# send_check.py reads what they received with Python's email package, GNU tar, pngcheck and
# xmllint. The send-progress dialog's screenshot is kept under BUILD/screenshots.
# send_lab_test.sh WINE_RUN SENDLAB_EXE SOURCE_DIR BUILD
# SENDLAB_DIALOG_FLAGS: the dialog case's DialogFlags (default dfBannerLook; empty for the
# system's own caption).
set -euo pipefail
source "$(dirname "$0")/../../../cmake/netns-wine.sh"
dm_enter_namespace "$@"
wine_run=$1 lab=$2 src=$3 build=$4
dm_own_wineserver "$(dm_build_of "$lab")" send

dm_scratch
dm_serve "$work/relay.log" /usr/bin/python3 "$src/send_relay.py" "$work/relay" 2525
dm_serve "$work/slow.log" /usr/bin/python3 "$src/send_relay.py" "$work/relay" 2527 2.5
dm_serve "$work/web.log" /usr/bin/python3 "$src/../web/web_server.py" "$work/web" 8080

win() { echo "Z:${1//\//\\}"; }
options() {  # case name, option lines...
  local name=$1; shift
  { echo "[Options]"
    echo "MailSender = lab@dialmoor.test"
    echo "MailRecipients = dev@dialmoor.test"
    echo "MailSubject = SendLab report"
    echo "MailServer = 127.0.0.1"
    echo "LogFolder = $(win "$work/logs")\\"
    printf '%s\n' "$@" | grep -q '^DialogFlags' || echo "DialogFlags ="
    printf '%s\n' "$@"; } >"$work/$name.ini"
}
run_case() {  # name: runs the lab with that case's options, then checks the servers
  local name=$1 lab_case=${2:-throw}
  rm -rf "$work/relay" "$work/web" "$work/x"; mkdir -p "$work/relay" "$work/web" "$work/logs"
  timeout 120 bash "$wine_run" "$lab" --options "$(win "$work/$name.ini")" "$lab_case" \
    >"$work/$name.out" 2>"$work/$name.err" || { cat "$work/$name.err"; exit 1; }
  tr -d '\r' <"$work/$name.err" >"$work/$name.tmp" && mv "$work/$name.tmp" "$work/$name.err"
}

# Mail and upload of one archive with the text copy, the screenshot and the XML copy.
options both "MailChannel = mcSmtpClient" "MailServerPort = 2525" "WebChannel = wcHttp" \
  "UploadURL = http://127.0.0.1/upload" "UploadPort = 8080" \
  "SendFlags = sfCompressAttachments, sfAttachXmlLog, sfAttachScreenshot"
run_case both
/usr/bin/python3 "$src/send_check.py" both "$work" || { cat "$work/both.err"; exit 1; }

# In the background the program goes on while the relay holds the mail back.
options thread "MailChannel = mcSmtpClient" "MailServerPort = 2527" "SendFlags = sfSendInThread"
run_case thread
/usr/bin/python3 "$src/send_check.py" thread "$work" || { cat "$work/thread.err"; exit 1; }

# Nobody listens: the handler's retry runs the mail step again, then the archive is kept in
# the log folder; GNU tar reads it back.
options unsent "MailChannel = mcSmtpClient" "MailServerPort = 2599" \
  "SendFlags = sfCompressAttachments" "BehaviourFlags = bfKeepUnsent"
rm -rf "$work/logs"
SENDLAB_RETRIES=1 run_case unsent
[ "$(grep -c '^error 5: \[SMTP\] Connection error' "$work/unsent.err")" = 2 ] ||
  { cat "$work/unsent.err"; exit 1; }
# The log folder also holds the log itself; one archive is kept.
[ "$(cd "$work/logs" && ls -- *.tgz)" = CompressFiles.tgz ] || { ls -la "$work/logs"; exit 1; }
tar tzf "$work/logs/CompressFiles.tgz" | grep -qx SendLab.osk || exit 1

# The whole log goes out: with duplicates logged, the second run of the same fault delivers a
# text copy and an XML copy that hold both reports.
options wholelog "MailChannel = mcSmtpClient" "MailServerPort = 2525" "LogFlags =" \
  "SendFlags = sfSendWholeLog, sfAttachXmlLog"
rm -rf "$work/logs"
for count in 1 2; do
  run_case wholelog
  /usr/bin/python3 "$src/send_check.py" wholelog "$work" "$count" || { cat "$work/wholelog.err"; exit 1; }
done

# The send-progress dialog during a long SMTP send: shown on top, its status line with the
# recipient counter in the dialog font, its bar moving, its caption bar painted as a banner,
# closed at the end; a screenshot for people to look at. Wine draws the frame and caption
# itself only when no window manager is to decorate the window.
DIALMOOR_WINE_ROOT=$build bash "$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' \
  /v Decorated /t REG_SZ /d N /f >/dev/null
head -c 6000000 /dev/urandom >"$work/big.bin"
mkdir -p "$build/screenshots"
options dialog "MailChannel = mcSmtpClient" "MailServerPort = 2525" "SendFlags = sfShowSendDialog" \
  "ExtraFiles = $(win "$work/big.bin")" "DialogFlags = ${SENDLAB_DIALOG_FLAGS-dfBannerLook}"
SENDLAB_SHOT=$(win "$build/screenshots/send-dialog.png") run_case dialog dialog
/usr/bin/python3 "$src/send_check.py" dialog "$work" || { cat "$work/dialog.err"; exit 1; }
echo "send lab: all cases passed"
