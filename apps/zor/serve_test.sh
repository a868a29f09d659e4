#!/usr/bin/env bash
# zor serve and zor get end to end on loopback: bodies fetched with curl and zor get compared byte
# for byte over HTTP and HTTPS (a self-signed pair made with openssl), HEAD and keep-alive, paths
# that try to leave the directory, and the requests a server on a network must refuse or survive:
# smuggling shapes, oversized and endless heads, a client trickling bytes, clients that vanish,
# and 10,000 connections at once.
# Every step is bounded by a time-out. Usage: serve_test.sh path/to/zor
set -u
zor=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tests/support/wait_until.sh"
dir=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; rm -rf "$dir"; }
trap cleanup EXIT
cd "$dir"
fails=0
fail() { echo "FAIL: $*"; fails=$((fails + 1)); }
same() { cmp -s "$1" "$2" || fail "$1 and $2 differ"; }

mkdir -p www/sub "www/with space"
head -c 1024 /dev/urandom > www/small.bin
head -c 3000000 /dev/urandom > www/large.bin
printf '<h1>index</h1>\n' > www/index.html
printf 'body { }\n' > www/sub/style.css
printf 'x\n' > "www/with space/a b.txt"
printf 'secret\n' > secret.txt
ln -s "$dir/secret.txt" www/out.txt
ln -s "$dir" www/updir

# start NAME ARGS...: starts zor serve, sets port_NAME from its first line
start() {
  local name=$1; shift
  "$zor" serve --dir www --port 0 --headTimeout "${head_timeout:-1500}" "$@" > "$name.out" 2> "$name.err" &
  local pid=$!
  pids+=("$pid")
  eval "pid_$name=$pid"
  if wait_until grep -q '://127.0.0.1:[0-9]*/ ' "$name.out"; then
    eval "port_$name=$(sed -n 's|.*://127.0.0.1:\([0-9]*\)/ .*|\1|p' "$name.out")"
    return 0
  fi
  fail "zor serve $name did not print its port"; cat "$name.out" "$name.err"; return 1
}
# raw PORT BYTES: sends bytes on one connection, prints the first answer line (bounded 5 s)
raw() {
  timeout 5 bash -c 'exec 3<>/dev/tcp/127.0.0.1/'"$1"'; printf "%b" "$2" >&3; head -n 1 <&3 | tr -d "\r"' _ "$1" "$2"
}
status_of() { curl -s -o /dev/null -w '%{http_code}' --max-time 10 --path-as-is "$@"; }

start plain || exit 1
p=$port_plain
base=http://127.0.0.1:$p

# ---- bodies with curl and zor get
for f in small.bin large.bin index.html sub/style.css; do
  curl -s --max-time 20 -o "c.$(basename $f)" "$base/$f" || fail "curl $f"
  same "www/$f" "c.$(basename $f)"
  timeout 20 "$zor" get "$base/$f" --out "g.$(basename $f)" 2> get.err || { fail "zor get $f"; cat get.err; }
  same "www/$f" "g.$(basename $f)"
done
timeout 20 "$zor" get "$base/small.bin" > g.stdout 2> get.err
same www/small.bin g.stdout
grep -q '^HTTP/1.1 200 OK' get.err || fail "zor get printed no status line"
grep -q '^Content-Type: application/octet-stream' get.err || fail "zor get printed no fields"
curl -s --max-time 10 "$base/" | cmp -s - www/index.html || fail "directory without index.html"
curl -s --max-time 10 "$base/with%20space/a%20b.txt" | cmp -s - "www/with space/a b.txt" || fail "percent-encoded name"
curl -s --max-time 10 -D h.txt -o /dev/null "$base/sub/style.css"
grep -qi '^Content-Type: text/html' h.txt || fail "css type from the Mime table"

# ---- HEAD, keep-alive, 404, 405
curl -s --max-time 10 -I "$base/large.bin" > head.txt
grep -q '^Content-Length: 3000000' head.txt || fail "HEAD length"; 
[ "$(curl -s --max-time 10 -X HEAD "$base/small.bin" | wc -c)" = 0 ] || fail "HEAD sent a body"
curl -sv --max-time 10 -o /dev/null -o /dev/null "$base/small.bin" "$base/index.html" 2> ka.txt
grep -q 'Re-using existing connection' ka.txt || fail "keep-alive: the second request opened a new connection"
[ "$(status_of "$base/nothing")" = 404 ] || fail "missing file"
[ "$(status_of -X POST -d x "$base/small.bin")" = 405 ] || fail "POST"

# ---- paths that try to leave the directory
for path in "/../secret.txt" "/%2e%2e/secret.txt" "/sub/%2E%2E/%2e%2e/secret.txt" "/..%2fsecret.txt" "/out.txt" "/updir/secret.txt" "/%00" "/sub/../../secret.txt"; do
  [ "$(status_of "$base$path")" = 404 ] || fail "path $path was not refused"
done
[ "$(raw $p 'GET ../secret.txt HTTP/1.1\r\nHost: x\r\n\r\n')" = "HTTP/1.1 404 Not Found" ] || fail "relative resource"

# ---- requests to refuse: each gets 400 and the server goes on
expect_first() {  # expect_first LINE BYTES NAME
  local got; got=$(raw $p "$2")
  [ "$got" = "$1" ] || fail "$3: first answer line '$got'"
}
expect_first "HTTP/1.1 400 Bad Request" 'GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n' "length with transfer coding"
expect_first "HTTP/1.1 400 Bad Request" 'GET / HTTP/1.1\r\nContent-Length: 3\r\ncontent-length: 4\r\n\r\nabcd' "two lengths"
expect_first "HTTP/1.1 400 Bad Request" 'GET / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n' "transfer coding"
expect_first "HTTP/1.1 400 Bad Request" 'GET / HTTP/1.1\nHost: x\n\n' "bare LF"
expect_first "HTTP/1.1 400 Bad Request" 'hello\r\n\r\n' "garbage"
expect_first "HTTP/1.1 400 Bad Request" 'GET / HTTP/9.9\r\n\r\n' "version"
# Field lines a proxy may read otherwise, and control bytes in the request line.
expect_first "HTTP/1.1 400 Bad Request" 'GET / HTTP/1.1\r\nHost : x\r\n\r\n' "blank before a colon"
expect_first "HTTP/1.1 400 Bad Request" 'GET / HTTP/1.1\r\nHost: x\r\nX-A: 1\r\n  folded\r\n\r\n' "folded field line"
expect_first "HTTP/1.1 400 Bad Request" 'GET /index.html HTTP/1.1\r\n Host: x\r\n\r\n' "blank before the first field"
expect_first "HTTP/1.1 400 Bad Request" 'GET /index\x01.html HTTP/1.1\r\n\r\n' "control byte"
expect_first "HTTP/1.1 400 Bad Request" 'GET\t/index.html HTTP/1.1\r\n\r\n' "tab in the request line"
# A request line with a control byte that never ends is answered at once, not dropped at the
# head's deadline.
expect_first "HTTP/1.1 400 Bad Request" 'GET /\x1b[2J' "unfinished request line with a control byte"
expect_first "HTTP/1.1 200 OK" 'GET /index.html HTTP/1.1\r\nHost: x \r\nX-A: b c\r\n\r\n' "blanks inside and after values"
big=$(head -c 20000 /dev/zero | tr '\0' a)
expect_first "HTTP/1.1 400 Bad Request" "GET / HTTP/1.1\r\nX: $big\r\n\r\n" "head over 16 KiB"
expect_first "HTTP/1.1 400 Bad Request" "GET / HTTP/1.1\r\nX: $big" "head that never ends"
# A body of a GET is read past; the next request on the connection is answered.
got=$(timeout 5 bash -c 'exec 3<>/dev/tcp/127.0.0.1/'"$p"'; printf "GET /index.html HTTP/1.1\r\nContent-Length: 5\r\n\r\nhelloGET /nothing HTTP/1.1\r\nConnection: close\r\n\r\n" >&3; cat <&3 | grep -a -c "^HTTP/1.1 "')
[ "$got" = 2 ] || fail "pipelined requests after a body: $got answers"

# A client sending one byte every 0.4 s is cut off by the head deadline, before it has sent all.
timeout 15 bash -c 'trap "" PIPE; exec 3<>/dev/tcp/127.0.0.1/'"$p"'; for c in G E T " " / " " H T T P / 1 . 1 X X X X X X X X X X X X X X X X X X X X; do printf "%s" "$c" >&3 2>/dev/null || exit 0; sleep 0.4; done; exit 1'
[ $? = 0 ] || fail "a trickling client was not cut off"
# Clients that vanish in the middle of a request or of a response.
timeout 5 bash -c 'exec 3<>/dev/tcp/127.0.0.1/'"$p"'; printf "GET /small.bin HTTP/1.1\r\nHo" >&3; exec 3>&-'
timeout 5 bash -c 'exec 3<>/dev/tcp/127.0.0.1/'"$p"'; printf "GET /large.bin HTTP/1.1\r\n\r\n" >&3; head -c 1000 <&3 >/dev/null; exec 3>&-'
wait_until grep -q "closed the connection in the middle of a request" plain.err || fail "no log line for a vanished requester"
wait_until grep -q "did not arrive within 1500 ms" plain.err || fail "no log line for the head deadline"
wait_until grep -q "request head larger than 16384 bytes" plain.err || fail "no log line for the oversized head"
wait_until grep -q "ambiguous body length" plain.err || fail "no log line for the smuggling shape"
wait_until grep -q "GET / with a folded field line or a blank before a colon, 400" plain.err || fail "no log line for a folded field line"
wait_until grep -q "a control byte in the request line, 400" plain.err || fail "no log line for a control byte"

# Many bad connections leave the memory where it was.
rss() { awk '/VmRSS/ {print $2}' /proc/"$pid_plain"/status; }
for _ in $(seq 1 50); do raw $p "GET / HTTP/1.1\r\nX: $big" > /dev/null; done
before=$(rss)
for _ in $(seq 1 100); do
  raw $p "GET / HTTP/1.1\r\nX: $big" > /dev/null
  timeout 5 bash -c 'exec 3<>/dev/tcp/127.0.0.1/'"$p"'; printf "GET /small.bin HTTP/1.1\r\nHo" >&3; exec 3>&-'
  timeout 5 bash -c 'exec 3<>/dev/tcp/127.0.0.1/'"$p"'; printf "GET /large.bin HTTP/1.1\r\n\r\n" >&3; head -c 100 <&3 > /dev/null; exec 3>&-'
done
after=$(rss)
[ $((after - before)) -lt 4000 ] || fail "memory grew from $before kB to $after kB over 300 bad connections"
# A peer that sends 20000 pipelined requests and reads no answer is held back, not buffered for.
printf 'GET /small.bin HTTP/1.1\r\nHost: x\r\n\r\n%.0s' $(seq 1 20000) > many.txt
timeout 4 bash -c 'exec 3<>/dev/tcp/127.0.0.1/'"$p"'; cat many.txt >&3; sleep 5'
grep -q "no progress" plain.err && fail "the held-back peer was already cut off"
after2=$(rss)
[ $((after2 - after)) -lt 8000 ] || fail "memory grew from $after kB to $after2 kB for a peer that reads nothing"
curl -s --max-time 10 -o c2.bin "$base/small.bin"; same www/small.bin c2.bin

# ---- 10,000 keep-alive connections at once, held idle and served again, beside a client that
# sends one byte a second (bench/serve_load.py; fewer connections where the system allows fewer
# descriptors). Its own bounds end it; the slow client is ended by the 10 s head deadline.
head_timeout=10000 start load || exit 1
many=10000
hard=$(ulimit -Hn)
[ "$hard" != unlimited ] && [ "$hard" -lt $((many + 200)) ] && many=$((hard - 200))
timeout 120 python3 "$here/../../bench/serve_load.py" --port "$port_load" --connections "$many" --pid "$pid_load" \
  --idle 2 --limit 60 > load.txt 2>&1 || { fail "serve_load.py with $many connections"; }
cat load.txt
kill -TERM "$pid_load"; wait "$pid_load" 2>/dev/null

# ---- zor get's exit codes
"$zor" get "$base/nothing" > /dev/null 2>&1; [ $? = 1 ] || fail "zor get of a 404 should end with 1"
"$zor" get "ftp://127.0.0.1/x" > /dev/null 2>&1; [ $? = 6 ] || fail "zor get of a bad URL should end with 6"
"$zor" get "http://127.0.0.1:1/x" > /dev/null 2>&1; [ $? = 5 ] || fail "zor get of a refused connection should end with 5"

# ---- TLS
if openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 -subj /CN=localhost > /dev/null 2>&1; then
  start tls --cert cert.pem --key key.pem || exit 1
  tbase=https://127.0.0.1:$port_tls
  for f in small.bin large.bin; do
    curl -sk --max-time 20 -o "t.$f" "$tbase/$f" || fail "curl https $f"
    same "www/$f" "t.$f"
    timeout 20 "$zor" get "$tbase/$f" --out "tg.$f" 2> /dev/null || fail "zor get https $f"
    same "www/$f" "tg.$f"
  done
  [ "$(curl -sk -o /dev/null -w '%{http_code}' --max-time 10 --path-as-is "$tbase/../secret.txt")" = 404 ] || fail "https escape"
  # A plain-text client on the TLS port, and a TLS client that stops mid-handshake, do no harm.
  raw "$port_tls" 'GET / HTTP/1.1\r\n\r\n' > /dev/null
  timeout 5 bash -c 'exec 3<>/dev/tcp/127.0.0.1/'"$port_tls"'; printf "\x16\x03\x01\x00" >&3; exec 3>&-'
  curl -sk --max-time 10 -o t2.bin "$tbase/small.bin"; same www/small.bin t2.bin
  wait_until grep -q "TLS handshake failed" tls.err || fail "no log line for a plain-text client on the TLS port"
  kill -TERM "$pid_tls"; wait "$pid_tls"; [ $? = 0 ] || fail "zor serve (TLS) did not end with 0 on SIGTERM"
else
  fail "openssl could not make a self-signed pair"
fi

kill -INT "$pid_plain"; wait "$pid_plain"; rc=$?
[ "$rc" = 0 ] || fail "zor serve did not end with 0 on SIGINT ($rc)"
grep -q "stopped after" plain.out || fail "no closing line"

[ "$fails" = 0 ] && echo "all zor serve and get checks passed"
exit "$fails"
