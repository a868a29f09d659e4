#!/usr/bin/env bash
# zor serve against nginx serving the same 1 KB file with keep-alive on loopback, plain and TLS,
# measured by wrk (1 thread, 50 connections, DURATION seconds each). nginx runs as a plain
# process with a temporary configuration: one worker, no daemon, its pid and logs in the
# temporary directory, access log off. Prints requests per second and the ratio zor / nginx, and
# each server's CPU time per request (the steadier figure when other work shares the cores).
# Usage: bench/serve_wrk.sh path/to/zor [DURATION]
set -euo pipefail
zor=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
duration=${2:-5}
dir=$(mktemp -d /tmp/zor_serve_wrk.XXXXXX)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$dir"; }
trap cleanup EXIT
mkdir -p "$dir/www"
chmod 755 "$dir" "$dir/www"  # the nginx worker may run as another user
head -c 1024 /dev/urandom > "$dir/www/file.bin"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$dir/key.pem" -out "$dir/cert.pem" -days 2 -subj /CN=localhost >/dev/null 2>&1

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'; }
ngx_plain=$(free_port); ngx_tls=$(free_port)
cat > "$dir/nginx.conf" <<CONF
worker_processes 1;
daemon off;
pid $dir/nginx.pid;
error_log $dir/nginx_error.log warn;
events { worker_connections 1024; }
http {
  access_log off;
  client_body_temp_path $dir/body; proxy_temp_path $dir/proxy; fastcgi_temp_path $dir/fcgi;
  uwsgi_temp_path $dir/uwsgi; scgi_temp_path $dir/scgi;
  keepalive_requests 1000000;
  server { listen 127.0.0.1:$ngx_plain; root $dir/www; }
  server { listen 127.0.0.1:$ngx_tls ssl; ssl_certificate $dir/cert.pem; ssl_certificate_key $dir/key.pem; root $dir/www; }
}
CONF
nginx -c "$dir/nginx.conf" -p "$dir" & pids+=($!)
"$zor" serve --dir "$dir/www" --port 0 > "$dir/zor_plain.out" 2>/dev/null & pids+=($!)
"$zor" serve --dir "$dir/www" --port 0 --cert "$dir/cert.pem" --key "$dir/key.pem" > "$dir/zor_tls.out" 2>/dev/null & pids+=($!)
port_of() { for _ in $(seq 1 100); do p=$(sed -n 's|.*://127.0.0.1:\([0-9]*\)/ .*|\1|p' "$1"); [ -n "$p" ] && { echo "$p"; return; }; sleep 0.1; done; echo "no port in $1" >&2; exit 1; }
zor_plain=$(port_of "$dir/zor_plain.out"); zor_tls=$(port_of "$dir/zor_tls.out")
sleep 0.5
for url in "http://127.0.0.1:$ngx_plain" "https://127.0.0.1:$ngx_tls" "http://127.0.0.1:$zor_plain" "https://127.0.0.1:$zor_tls"; do
  curl -sk --max-time 5 "$url/file.bin" | cmp -s - "$dir/www/file.bin" || { echo "$url does not serve the file" >&2; exit 1; }
done
# The server's CPU time (user + system, clock ticks) from /proc: with wrk and the servers sharing
# the cores, CPU time per request is the steadier figure on a busy machine.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
ngx_worker=$(pgrep -P "${pids[0]}" | head -n 1)
# run URL PID: requests per second and CPU microseconds per request, one wrk run
run() {
  local before after out reqs
  before=$(ticks "$2")
  out=$(wrk -t1 -c50 -d"${duration}s" "$1/file.bin")
  after=$(ticks "$2")
  reqs=$(echo "$out" | awk '/requests in/ {print $1}')
  echo "$(echo "$out" | awk '/Requests\/sec/ {print $2}') $(echo "($after - $before) * 1000000 / $hz / $reqs" | bc -l)"
}
read -r np npc <<< "$(run "http://127.0.0.1:$ngx_plain" "$ngx_worker")"
read -r zp zpc <<< "$(run "http://127.0.0.1:$zor_plain" "${pids[1]}")"
read -r nt ntc <<< "$(run "https://127.0.0.1:$ngx_tls" "$ngx_worker")"
read -r zt ztc <<< "$(run "https://127.0.0.1:$zor_tls" "${pids[2]}")"
printf '| case | nginx req/s | zor serve req/s | zor / nginx | nginx CPU us/req | zor CPU us/req | nginx / zor CPU |\n'
printf '|---|---|---|---|---|---|---|\n'
row() { printf '| %s | %s | %s | %.2f | %.1f | %.1f | %.2f |\n' "$1" "$2" "$3" "$(echo "$3 / $2" | bc -l)" "$4" "$5" "$(echo "$4 / $5" | bc -l)"; }
row "http, 1 KB, keep-alive" "$np" "$zp" "$npc" "$zpc"
row "https, 1 KB, keep-alive" "$nt" "$zt" "$ntc" "$ztc"
