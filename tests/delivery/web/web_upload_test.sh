#!/usr/bin/env bash
# Uploads report files to real servers under Wine: a Python HTTP server that stores every POST,
# the same server over HTTPS with certificates made here, and vsftpd. Everything runs in a
# network namespace of its own with only loopback up, and in a mount namespace in which the
# machine's CA folder holds only the test's own authority:
# web_upload_test.sh WINE_RUN PROBE_EXE SOURCE_DIR
set -euo pipefail
source "$(dirname "$0")/../../../cmake/netns-wine.sh"
dm_enter_namespace "$@"
wine_run=$1 probe=$2 src=$3
dm_own_wineserver "$(dm_build_of "$probe")" web

dm_scratch

# A test authority, a server certificate for localhost, one naming another host, and one for
# localhost from an authority nobody trusts. Wine takes its roots from the machine's CA files,
# so only the test's authority is trusted here.
cd "$work"
ca() {  # name
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Dialmoor test $1" \
    -keyout "$1.key" -out "$1.crt" 2>/dev/null
}
leaf() {  # name, authority, host
  openssl req -newkey rsa:2048 -nodes -subj "/CN=$3" -keyout "$1.key" -out "$1.csr" 2>/dev/null
  printf 'subjectAltName=DNS:%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n' "$3" >"$1.ext"
  openssl x509 -req -in "$1.csr" -CA "$2.crt" -CAkey "$2.key" -CAcreateserial -days 2 \
    -extfile "$1.ext" -out "$1.crt" 2>/dev/null
}
ca authority; ca stranger
leaf good authority localhost
leaf misnamed authority other.dialmoor.test
leaf untrusted stranger localhost
mkdir "$work/certs"
cp authority.crt "$work/certs/ca-certificates.crt"
mount --bind "$work/certs" /etc/ssl/certs
cd - >/dev/null

start() { local name=$1; shift; dm_serve "$work/$name.log" "$@"; }  # name, command...
start http /usr/bin/python3 "$src/web_server.py" "$work/http" 8080
start https /usr/bin/python3 "$src/web_server.py" "$work/https" 8443 "$work/good.crt" "$work/good.key"
start misnamed /usr/bin/python3 "$src/web_server.py" "$work/misnamed" 8444 "$work/misnamed.crt" "$work/misnamed.key"
start untrusted /usr/bin/python3 "$src/web_server.py" "$work/untrusted" 8445 "$work/untrusted.crt" "$work/untrusted.key"

mkdir -p "$work/ftp/root/incoming" "$work/ftp/empty"
chmod 555 "$work/ftp/root"; chmod 777 "$work/ftp/root/incoming"
cat >"$work/ftp/vsftpd.conf" <<CONF
listen=YES
listen_address=127.0.0.1
listen_port=2121
background=NO
run_as_launching_user=YES
seccomp_sandbox=NO
anonymous_enable=YES
no_anon_password=YES
anon_root=$work/ftp/root
anon_upload_enable=YES
write_enable=YES
anon_umask=022
local_enable=NO
pasv_enable=YES
pasv_address=127.0.0.1
pasv_min_port=30100
pasv_max_port=30110
secure_chroot_dir=$work/ftp/empty
CONF
/usr/sbin/vsftpd "$work/ftp/vsftpd.conf" >"$work/ftp.log" 2>&1 &
dm_servers+=($!)
for _ in $(seq 50); do (exec 3<>/dev/tcp/127.0.0.1/2121) 2>/dev/null && break; sleep 0.1; done

head -c 3001 /dev/urandom >"$work/report.bin"
head -c 2048 /dev/urandom >"$work/Shot.png"
printf 'line one\r\nline two\r\n' >"$work/log.txt"
win() { echo "Z:${1//\//\\}"; }

run_case() {  # name, expected exit code, probe arguments...
  local name=$1 expected=$2; shift 2
  local status=0
  bash "$wine_run" "$probe" "$@" >"$work/$name.out" 2>&1 || status=$?
  tr -d '\r' <"$work/$name.out" >"$work/$name.txt"
  if [ "$status" != "$expected" ]; then
    echo "$name: exit $status, expected $expected"; cat "$work/$name.out"; exit 1
  fi
}
expect_line() {  # name, line
  grep -qxF "$2" "$work/$1.txt" || { echo "$1: no line '$2'"; cat "$work/$1.txt"; exit 1; }
}
uploads() { ls "$work/$1" 2>/dev/null | grep -c '\.body$' || true; }

# Fields and files with their names and bytes; a missing file in the middle leaves a gap in
# the numbering; no login, no Authorization header.
run_case plain 0 http localhost 8080 upload/reports --field product=Dialmoor --field "note=a b" \
  --file "$(win "$work/report.bin")" --file "$(win "$work/missing.bin")" --file "$(win "$work/Shot.png")"
/usr/bin/python3 "$src/web_check.py" "$work/http" 0 noauth field:product=Dialmoor "field:note=a b" \
  "file:oz_upload_file_0:report.bin:$work/report.bin" "file:oz_upload_file_2:Shot.png:$work/Shot.png"
grep -qx 'POST /upload/reports' "$work/http/0.headers" || { cat "$work/http/0.headers"; exit 1; }
# The body goes out in 1024-byte chunks, each reported.
size=$(stat -c %s "$work/http/0.body")
expect_line plain "progress 1 1 $(( (size + 1023) / 1024 )) $size/$size"

# Basic authorisation with a user alone, and with a password alone.
run_case user 0 http localhost 8080 upload --user dev --file "$(win "$work/log.txt")"
/usr/bin/python3 "$src/web_check.py" "$work/http" 1 auth:dev: "file:oz_upload_file_0:log.txt:$work/log.txt"
run_case password 0 http localhost 8080 upload --password s3cret --file "$(win "$work/log.txt")"
/usr/bin/python3 "$src/web_check.py" "$work/http" 2 auth::s3cret "file:oz_upload_file_0:log.txt:$work/log.txt"

# Redirects are not followed, and any status but 200 fails with its text.
run_case moved 1 http localhost 8080 moved --file "$(win "$work/log.txt")"
expect_line moved "result 302"; expect_line moved "text Found"
run_case fail 1 http localhost 8080 fail --file "$(win "$work/log.txt")"
expect_line fail "result 500"; expect_line fail "text Internal Server Error"
[ "$(uploads http)" = 5 ] || { echo "http: $(uploads http) uploads, expected 5"; exit 1; }

# Nobody listening.
run_case refused 1 http localhost 8099 upload --file "$(win "$work/log.txt")"
expect_line refused "result 12029"; expect_line refused "text The attempt to connect to the server failed."

# HTTPS with the test's authority; a certificate for another host; an authority not trusted.
run_case https 0 https localhost 8443 secure --field k=v --file "$(win "$work/report.bin")"
/usr/bin/python3 "$src/web_check.py" "$work/https" 0 noauth field:k=v "file:oz_upload_file_0:report.bin:$work/report.bin"
run_case misnamed 1 https localhost 8444 secure --file "$(win "$work/log.txt")"
expect_line misnamed "result 12038"; expect_line misnamed "text SSL certificate host name field is incorrect."
# Wine reports an authority it does not trust as 12057 (revocation check failed) where Windows
# reports 12045 (unknown authority): either is a refusal.
run_case untrusted 1 https localhost 8445 secure --file "$(win "$work/log.txt")"
grep -qxE 'result (12057|12045)' "$work/untrusted.txt" || { cat "$work/untrusted.txt"; exit 1; }
[ "$(uploads misnamed)" = 0 ] && [ "$(uploads untrusted)" = 0 ] || { echo "upload past a bad certificate"; exit 1; }

# FTP: every existing file lands in the folder under its name with its bytes.
run_case ftp 0 ftp 127.0.0.1 2121 incoming --user anonymous --password dev@dialmoor.test \
  --file "$(win "$work/report.bin")" --file "$(win "$work/missing.bin")" --file "$(win "$work/Shot.png")"
cmp "$work/report.bin" "$work/ftp/root/incoming/report.bin"
cmp "$work/Shot.png" "$work/ftp/root/incoming/Shot.png"
[ "$(ls "$work/ftp/root/incoming" | wc -l)" = 2 ] || { ls "$work/ftp/root/incoming"; exit 1; }
expect_line ftp "progress 1 1 5 2048/5049"
# A refused login: the server's last reply is the error text.
run_case ftp-login 1 ftp 127.0.0.1 2121 incoming --user bob --password wrong --file "$(win "$work/log.txt")"
grep -q '^text 530 ' "$work/ftp-login.txt" || { cat "$work/ftp-login.txt"; exit 1; }
# Nothing to send connects nowhere.
run_case ftp-empty 0 ftp 127.0.0.1 2999 incoming
echo "web upload: all cases passed (untrusted authority: $(grep ^result "$work/untrusted.txt"); refused FTP login: $(grep ^text "$work/ftp-login.txt"))"
