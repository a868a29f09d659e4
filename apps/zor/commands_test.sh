#!/usr/bin/env bash
# Runs the zor file commands end to end: round trips, damaged inputs and bad arguments, each with
# its exit code and result line. Usage: commands_test.sh path/to/zor
set -u
zor=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
. "$(dirname "$0")/../../tests/support/wait_until.sh"
# No dot in the directory's name: a filter pattern matches the whole absolute path, and "*.h" finds
# its first ".h" (a name like tmp.hX3... would take it from every file below).
dir=$(mktemp -d -t zor_commands_XXXXXXXX)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
fails=0
expect() {  # expect CODE COMMAND...: the command ends with CODE
  local want=$1; shift
  "$zor" "$@" >out.txt 2>err.txt
  local got=$?
  if [ "$got" != "$want" ]; then
    echo "FAIL: zor $* ended with $got, expected $want"; cat out.txt err.txt; fails=$((fails + 1))
  fi
}
same() { cmp -s "$1" "$2" || { echo "FAIL: $1 and $2 differ"; fails=$((fails + 1)); }; }

seq 1 20000 > plain.txt
printf 'a\0b\0\0c' > zeros.bin
: > empty.txt

expect 0 md5 --file plain.txt
want=$(md5sum plain.txt | cut -d' ' -f1 | tr a-f A-F)
[ "$(cat out.txt)" = "$want  plain.txt" ] || { echo "FAIL: md5 printed '$(cat out.txt)'"; fails=$((fails + 1)); }

for f in plain.txt zeros.bin empty.txt; do
  expect 0 compress --in "$f" --out "$f.z"
  expect 0 uncompress --in "$f.z" --out "$f.back"
  same "$f" "$f.back"
done
for f in plain.txt zeros.bin; do
  expect 0 frame --in "$f" --out "$f.f"
  expect 0 unframe --in "$f.f" --out "$f.fback"
  same "$f" "$f.fback"
done
grep -q "^unframed 'zeros.bin.f' " out.txt || { echo "FAIL: result line '$(cat out.txt)'"; fails=$((fails + 1)); }

# One flipped byte in the middle: refused with the checksum code, nothing written.
cp plain.txt.z bad.z; printf 'X' | dd of=bad.z bs=1 seek=200 conv=notrunc 2>/dev/null
expect 10 uncompress --in bad.z --out bad.out
grep -q "CHECKSUM" err.txt || { echo "FAIL: no checksum line"; cat err.txt; fails=$((fails + 1)); }
[ ! -e bad.out ] || { echo "FAIL: a damaged block was written out"; fails=$((fails + 1)); }
cp plain.txt.f bad.f; printf 'X' | dd of=bad.f bs=1 seek=200 conv=notrunc 2>/dev/null
expect 10 unframe --in bad.f --out bad.out
expect 10 uncompress --in plain.txt --out bad.out
expect 10 unframe --in empty.txt --out bad.out

# Geometry: the point test and the triangulation; bad polygon text is a bad argument, a polygon
# that crosses itself a mathematical failure.
expect 0 geometry --polygon "0,0 4,0 4,3 0,3" --point "1,1"
for line in "polygon 4 points, area 12, bounds (0, 0, 4, 3)" "point 1,1 inside" "triangulation 2 triangles, area 12"; do
  grep -qxF "$line" out.txt || { echo "FAIL: geometry printed no '$line'"; cat out.txt; fails=$((fails + 1)); }
done
[ "$(grep -c '^  ' out.txt)" = 2 ] || { echo "FAIL: geometry did not list two triangles"; fails=$((fails + 1)); }
expect 0 geometry --polygon "0,0 4,0 4,3 0,3" --point "4,1"
grep -qxF "point 4,1 outside" out.txt || { echo "FAIL: the right edge counts as outside"; fails=$((fails + 1)); }
expect 0 geometry --polygon "0,0 6,0 6,6 4,6 4,2 2,2 2,6 0,6"
grep -qxF "triangulation 6 triangles, area 28" out.txt || { echo "FAIL: U shape '$(cat out.txt)'"; fails=$((fails + 1)); }
expect 3 geometry --polygon "0,0 4,4 4,0 0,4" --point "1,1"
grep -qxF "triangulation failed: the polygon is not simple" out.txt || { echo "FAIL: bow-tie"; fails=$((fails + 1)); }
expect 6 geometry --polygon "0,0 4,x 1,1"
grep -q "no point x,y" err.txt || { echo "FAIL: no line for bad polygon text"; cat err.txt; fails=$((fails + 1)); }
expect 6 geometry --polygon "0,0 4,0"
expect 6 geometry --polygon "0,0 4,0 4,3" --point "1"
expect 6 geometry --polygon "0,0 4,0 nan,3"
expect 6 geometry

# Missing files, directories and arguments.
expect 4 md5 --file no-such-file
expect 4 md5 --file "$dir"
expect 4 compress --in no-such-file --out x
expect 6 compress --in plain.txt
expect 6 md5
expect 5 compress --in plain.txt --out "$dir"
expect 6 no-such-command
# The logger's keys: a file sink rotated by the minute; an unknown period is a configuration error.
expect 0 md5 --file plain.txt --logFile run --logDir logs --logRotate minute --verbose true
ls logs/run_*_*.txt >/dev/null 2>&1 || { echo "FAIL: no rotated log file in logs/"; fails=$((fails + 1)); }
grep -q "\] PID:" logs/run_*_*.txt || { echo "FAIL: the log file holds no header line"; fails=$((fails + 1)); }
expect 2 md5 --file plain.txt --logFile run --logDir logs --logRotate week

# "--HELP" in any case is the library runner's: the help text and exit code 20.
for h in --help --HELP "md5 --help"; do
  expect 20 $h
  grep -q "uncompress --in G --out F" out.txt || { echo "FAIL: zor $h does not list uncompress"; fails=$((fails + 1)); }
done
for h in help -h; do
  expect 0 $h
  grep -q "^exit codes:" out.txt || { echo "FAIL: zor $h shows no help"; fails=$((fails + 1)); }
done

# Trees: the sample in every form prints the same digest and text; damaged trees are refused.
expect 0 tree --sample --out s.xtree
grep -q "^wrote the plain sample tree 's.xtree' " out.txt || { echo "FAIL: tree result line '$(cat out.txt)'"; fails=$((fails + 1)); }
expect 0 tree --sample --out s.xtreez --compress true
expect 0 tree --sample --out s.b64 --base64 true
expect 0 tree --in s.xtree --md5 true
digest=$(cut -d' ' -f1 out.txt)
[ ${#digest} = 32 ] || { echo "FAIL: tree --md5 printed '$(cat out.txt)'"; fails=$((fails + 1)); }
for f in s.xtree s.xtreez s.b64; do
  expect 0 tree --in "$f" --md5 true
  [ "$(cat out.txt)" = "$digest  $f" ] || { echo "FAIL: $f digest '$(cat out.txt)'"; fails=$((fails + 1)); }
  expect 0 tree --in "$f"
  cp out.txt "$f.txt"
done
same s.xtree.txt s.xtreez.txt
same s.xtree.txt s.b64.txt
grep -q "^  activeCamera => /view/camera$" s.xtree.txt || { echo "FAIL: tree text"; head -3 s.xtree.txt; fails=$((fails + 1)); }
# A damaged tree is shown as far as it could be read, and still ends with 9.
head -c 300 s.xtree > cut.xtree
expect 9 tree --in cut.xtree
grep -q "^+ XTree, {Matrix2:Matrix2, " out.txt || { echo "FAIL: the start of a cut tree was not shown"; cat out.txt; fails=$((fails + 1)); }
grep -q "'cut.xtree' is a damaged plain tree: 3 entries could be read" err.txt || { echo "FAIL: cut tree line"; cat err.txt; fails=$((fails + 1)); }
head -c 1200 s.xtree > cut2.xtree
expect 9 tree --in cut2.xtree
[ "$(head -n 1 out.txt | cut -c 1-60)" = "$(head -n 1 s.xtree.txt | cut -c 1-60)" ] || { echo "FAIL: cut tree text"; head -1 out.txt; fails=$((fails + 1)); }
grep -q "^  lights: array of XTree \[1\]$" out.txt || { echo "FAIL: a cut array of trees"; cat out.txt; fails=$((fails + 1)); }
expect 9 tree --in cut2.xtree --md5 true
[ ! -s out.txt ] || { echo "FAIL: a damaged tree has no digest"; fails=$((fails + 1)); }
cp s.xtreez bad.xtreez; printf 'X' | dd of=bad.xtreez bs=1 seek=100 conv=notrunc 2>/dev/null
expect 10 tree --in bad.xtreez
grep -q "CHECKSUM" err.txt || { echo "FAIL: no checksum line for the tree"; cat err.txt; fails=$((fails + 1)); }
expect 10 tree --in plain.txt
expect 4 tree --in no-such-tree
expect 6 tree
# xml: a good file with an include and a schema, its query and the tree written back; a malformed
# file ends with 7 and names the place where the scanner stopped.
mkdir -p xml
printf '<root name="r">\n  <XGenericTypes>\n    <root><Attr name="k" type="int"/><Child type="item"/></root>\n    <item><Attr name="name"/></item>\n  </XGenericTypes>\n  <INCLUDE file="items.xml" includeRoot="false"/>\n</root>\n' > xml/main.xml
printf '<items>\n  <item name="a">first</item>\n  <item name="b" v="$(ZOR_XML_SH)"/>\n</items>\n' > xml/items.xml
ZOR_XML_SH=set expect 0 xml --in xml/main.xml --query /root/item@b --out xml/out.xml --types true
grep -q "^'xml/main.xml': 9 nodes, depth 4, " out.txt || { echo "FAIL: xml summary '$(head -1 out.txt)'"; fails=$((fails + 1)); }
grep -q '<item name="b" v="set" />' out.txt || { echo "FAIL: xml query"; cat out.txt; fails=$((fails + 1)); }
grep -q "description consistent, value types known" out.txt || { echo "FAIL: xml types"; cat out.txt; fails=$((fails + 1)); }
expect 0 xml --in xml/out.xml --query item@a
grep -q '^<item name="a" >first</item>$' out.txt || { echo "FAIL: xml round trip"; cat out.txt; fails=$((fails + 1)); }
expect 1 xml --in xml/out.xml --query item@zzz
printf '<a>\n  <b x="1">\n</b\n' > xml/bad.xml
expect 7 xml --in xml/bad.xml
grep -q "xml/bad.xml: line 4, column 1: malformed XML" err.txt || { echo "FAIL: xml position"; cat err.txt; fails=$((fails + 1)); }
expect 4 xml --in xml/none.xml
expect 6 xml
# xml --standard true: a DOCTYPE, CDATA, references and an apostrophe in a double-quoted value, in
# UTF-16 with a byte-order mark; written back escaped, and read back the same.
printf '<?xml version="1.0" encoding="UTF-16"?>\n<!DOCTYPE r [<!ENTITY e SYSTEM "file:///etc/passwd">]>\n<r a="it'"'"'s &amp; &#x41;"><![CDATA[<x>]]></r>\n' \
  | iconv -f UTF-8 -t UTF-16 > xml/std.xml
expect 0 xml --in xml/std.xml --standard true --query /r --out xml/std_out.xml
grep -qF "<r a=\"it's & A\" ><x></r>" out.txt || { echo "FAIL: xml standard query"; cat out.txt err.txt; fails=$((fails + 1)); }
grep -qF '<r a="it&apos;s &amp; A" >&lt;x&gt;</r>' xml/std_out.xml || { echo "FAIL: xml standard out"; cat xml/std_out.xml; fails=$((fails + 1)); }
expect 0 xml --in xml/std_out.xml --standard true --query /r
grep -qF "<r a=\"it's & A\" ><x></r>" out.txt || { echo "FAIL: xml standard round trip"; cat out.txt; fails=$((fails + 1)); }

# lines: statistics over every line ending, wrapping, empty, binary and invalid files; random:
# the MT19937 reference start, reproducible seeds, clock seeds, lines of words and bad numbers.
printf 'hello world\r\nsecond line\n\nthird\rpart\n\xc3\xa9t\xc3\xa9 \xe4\xb8\x80\xe3\x80\x82 end' > lines.txt
expect 0 lines --file lines.txt
grep -q "^'lines.txt': 53 bytes, 5 lines, 2 paragraphs, 1 empty lines, longest line 16 bytes$" out.txt || { echo "FAIL: lines summary"; cat out.txt; fails=$((fails + 1)); }
grep -q "^line endings: LF 3, CRLF 1, lone CR 1, none at end 1$" out.txt || { echo "FAIL: lines endings"; cat out.txt; fails=$((fails + 1)); }
grep -q "^verdict: valid UTF-8$" out.txt || { echo "FAIL: lines verdict"; cat out.txt; fails=$((fails + 1)); }
expect 0 lines --file lines.txt --max 5
grep -q "^index: lines:14, bytesTotal:53, bytesInLines:48, longestLine:5 (max 5 bytes a line, 9 continued pieces)$" out.txt || { echo "FAIL: lines wrap"; cat out.txt; fails=$((fails + 1)); }
expect 0 lines --file empty.txt
grep -q "^verdict: empty$" out.txt || { echo "FAIL: lines empty"; cat out.txt; fails=$((fails + 1)); }
printf 'ab\xff\xfecd\n' > bad-utf8.txt
expect 0 lines --file bad-utf8.txt
grep -q "^verdict: not valid UTF-8: 2 of 7 bytes outside valid sequences$" out.txt || { echo "FAIL: lines invalid"; cat out.txt; fails=$((fails + 1)); }
# Bytes that the detector's tally takes in but that are no UTF-8: a code point above U+10FFFF, a
# sequence cut by an ASCII byte. A character cut by the end of --scan is still valid.
printf '\xf4\x90\x80\x80\n' > above-max.txt
expect 0 lines --file above-max.txt
grep -q "^verdict: not valid UTF-8: an ill-formed sequence at byte 0$" out.txt || { echo "FAIL: lines above U+10FFFF"; cat out.txt; fails=$((fails + 1)); }
printf 'x\xc3A\xa9\n' > cut-short.txt
expect 0 lines --file cut-short.txt
grep -q "^verdict: not valid UTF-8: an ill-formed sequence at byte 1$" out.txt || { echo "FAIL: lines cut sequence"; cat out.txt; fails=$((fails + 1)); }
expect 0 lines --file lines.txt --scan 41
grep -q "^verdict: valid UTF-8 in the first 41 bytes$" out.txt || { echo "FAIL: lines scan cuts a character"; cat out.txt; fails=$((fails + 1)); }
expect 0 lines --file zeros.bin
grep -q "^verdict: binary" out.txt || { echo "FAIL: lines binary"; cat out.txt; fails=$((fails + 1)); }
head -c 3000000 /dev/zero | tr '\0' 'x' > one-line.txt
expect 0 lines --file one-line.txt --max 1000
grep -q "longest line 3.000.000 bytes" out.txt || { echo "FAIL: lines one line"; cat out.txt; fails=$((fails + 1)); }
expect 4 lines --file no-such.txt
expect 6 lines --file lines.txt --max 0
expect 6 lines
expect 0 random --seed 5489 --count 3
[ "$(head -1 out.txt)" = 3499211612 ] && [ "$(wc -l < out.txt)" = 3 ] || { echo "FAIL: random reference"; cat out.txt; fails=$((fails + 1)); }
expect 0 random --seed 42 --count 1000
cp out.txt r1.txt
expect 0 random --seed 42 --count 1000
same r1.txt out.txt
expect 0 random --count 5
cp out.txt c1.txt
expect 0 random --count 5
cmp -s c1.txt out.txt && { echo "FAIL: clock seeds repeat"; fails=$((fails + 1)); }
expect 0 random --seed 7 --count 4 --words true --len 30
[ "$(wc -l < out.txt)" = 4 ] && ! grep -qv '^[A-Za-z ]\{29\}\.$' out.txt || { echo "FAIL: random words"; cat out.txt; fails=$((fails + 1)); }
expect 0 random --seed 1 --count 0
[ -s out.txt ] && { echo "FAIL: random count 0 printed"; fails=$((fails + 1)); }
expect 6 random --count many
expect 6 random --seed -1
expect 6 random --words true --len 0
# checksum: the digests of md5sum, sha1sum and sha256sum, line for line (sha256 by default); an
# unknown algorithm ends with 6, a missing file or a directory with 4; piped output has no progress.
head -c 200000 /dev/urandom > rand.bin
for f in plain.txt zeros.bin empty.txt rand.bin; do
  for a in md5 sha1 sha256; do
    expect 0 checksum --file "$f" --algo "$a"
    [ "$(cat out.txt)" = "$(${a}sum "$f")" ] || { echo "FAIL: checksum $a of $f printed '$(cat out.txt)'"; fails=$((fails + 1)); }
    [ -s err.txt ] && { echo "FAIL: checksum $a of $f wrote to stderr"; cat err.txt; fails=$((fails + 1)); }
  done
done
expect 0 checksum --file rand.bin
[ "$(cat out.txt)" = "$(sha256sum rand.bin)" ] || { echo "FAIL: checksum default '$(cat out.txt)'"; fails=$((fails + 1)); }
expect 0 checksum --file rand.bin --algo SHA1
[ "$(cat out.txt)" = "$(sha1sum rand.bin)" ] || { echo "FAIL: checksum SHA1 '$(cat out.txt)'"; fails=$((fails + 1)); }
expect 6 checksum --file rand.bin --algo crc32
grep -q "unknown --algo 'crc32'" err.txt || { echo "FAIL: checksum bad algo text"; cat err.txt; fails=$((fails + 1)); }
[ -s out.txt ] && { echo "FAIL: checksum bad algo printed a result"; fails=$((fails + 1)); }
expect 4 checksum --file no-such-file
grep -q "checksum, no such file 'no-such-file'" err.txt || { echo "FAIL: checksum missing text"; cat err.txt; fails=$((fails + 1)); }
expect 4 checksum --file "$dir"
expect 6 checksum
# On a terminal a long checksum shows its percentage on stderr, and the result line stays the same.
if command -v script >/dev/null; then
  head -c 70000000 /dev/zero > long.bin
  script -qec "'$zor' checksum --file long.bin --algo md5" /dev/null > tty.txt
  grep -q "zor: long.bin   0 %" tty.txt || { echo "FAIL: checksum shows no progress on a terminal"; od -c tty.txt | head; fails=$((fails + 1)); }
  grep -q "$(md5sum long.bin)" tty.txt || { echo "FAIL: checksum result on a terminal"; fails=$((fails + 1)); }
  rm -f long.bin
fi
# dirs: a tree with a link loop, a selection by pattern and size, the sorted list; a missing
# directory ends with 4, a size that is no number with 6.
mkdir -p dirs/src/sub dirs/build
printf 'int a;\n' > dirs/src/a.cpp; printf '%0200d' 0 > dirs/src/sub/big.cpp; : > dirs/src/empty.h
printf 'x' > dirs/build/gen.cpp; ln -s .. dirs/src/sub/loop
expect 0 dirs --dir dirs --pattern "*.cpp;*.h" --not "*/build/*" --list true
grep -q "^'dirs': dirs:4, files:4, " out.txt || { echo "FAIL: dirs counts '$(head -1 out.txt)'"; fails=$((fails + 1)); }
grep -q "^selected 3 of 4 files, filter {\*.cpp, \*.h} ~{\*/build/\*} SIZE:{NO_AREA} TIME:{NO_AREA}$" out.txt || { echo "FAIL: dirs selection"; cat out.txt; fails=$((fails + 1)); }
[ "$(tail -3 out.txt | tr '\n' ' ')" = "dirs/src/a.cpp dirs/src/empty.h dirs/src/sub/big.cpp " ] || { echo "FAIL: dirs list"; cat out.txt; fails=$((fails + 1)); }
expect 0 dirs --dir dirs --pattern "*.cpp" --bigger 100
grep -q "^selected 1 of 4 files, filter {\*.cpp} ~{} SIZE:{> 100} TIME:{NO_AREA}$" out.txt || { echo "FAIL: dirs size"; cat out.txt; fails=$((fails + 1)); }
expect 4 dirs --dir dirs/none
expect 6 dirs --dir dirs --bigger lots
expect 6 dirs
# find: hits per line with markers in path order, the counters, exit 1 for nothing found, 9 with
# the syntax check's text for a bad query; binary and empty files are passed over.
mkdir -p find/sub
printf 'error here. warning there.\nonly error\n\nWarning: Error{x} errors\n' > find/a.txt
printf 'caf\xc3\xa9 error\n' > find/sub/b.md
printf 'error\001\002' > find/c.bin
: > find/empty.txt
expect 0 find --dir find --query "error & ~warning" --scope paragraph
printf 'find/a.txt:2: only [[error]]\nfind/a.txt:4: Warning: Error{x} [[error]]s\nfind/sub/b.md:1: caf\xc3\xa9 [[error]]\n' > want.txt
head -3 out.txt | cmp -s - want.txt || { echo "FAIL: find hits"; cat out.txt; fails=$((fails + 1)); }
grep -q "^files total:4, files :2, lines :5, .*hits :6, binary files skipped:1$" out.txt || { echo "FAIL: find counters"; cat out.txt; fails=$((fails + 1)); }
expect 0 find --dir find --files "*.md" --query "ERROR{i,w}" --summary false
[ "$(cat out.txt)" = "find/sub/b.md:1: café [[error]]" ] || { echo "FAIL: find files '$(cat out.txt)'"; fails=$((fails + 1)); }
expect 0 find --dir find --query "e\\w+s" --regex true --scope sentence --summary false
[ "$(cat out.txt)" = "find/a.txt:4: Warning: Error{x} [[errors]]" ] || { echo "FAIL: find regex '$(cat out.txt)'"; fails=$((fails + 1)); }
expect 1 find --dir find --query "nowhere"
# --list: the paths of the files with hits only, in path order, no counters.
expect 0 find --dir find --query "error & ~warning" --scope paragraph --list true
printf 'find/a.txt\nfind/sub/b.md\n' | cmp -s - out.txt || { echo "FAIL: find --list"; cat out.txt; fails=$((fails + 1)); }
expect 0 find --dir find/ --query "ERROR{i,w}" --list true --binary true
printf 'find/a.txt\nfind/c.bin\nfind/sub/b.md\n' | cmp -s - out.txt || { echo "FAIL: find --list --binary"; cat out.txt; fails=$((fails + 1)); }
expect 1 find --dir find --query "nowhere" --list true
[ ! -s out.txt ] || { echo "FAIL: find --list printed '$(cat out.txt)' for nothing found"; fails=$((fails + 1)); }
expect 9 find --dir find --query "(error"
grep -q "Brackets open/close must be symmetric +( -) => 0, but we have:1" err.txt || { echo "FAIL: find syntax text"; cat err.txt; fails=$((fails + 1)); }
expect 9 find --dir find --query "error{z}"
expect 6 find --dir find --query x --scope chapter
expect 4 find --dir find/none --query x
expect 6 find --dir find
# adapters and connect: the address list ends with loopback; connect reaches a line echo server on
# loopback, and refuses a URL without a port (6) and a closed port (5).
expect 0 adapters
[ "$(tail -1 out.txt)" = "127.0.0.1" ] || { echo "FAIL: adapters '$(cat out.txt)'"; fails=$((fails + 1)); }
python3 - > echo_port.txt <<'PY' &
import socket, sys
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(1); s.settimeout(20)
print(s.getsockname()[1], flush=True); sys.stdout.close()
c, _ = s.accept(); c.settimeout(20)
data = b""
while not data.endswith(b"\n"):
    part = c.recv(100)
    if not part: break
    data += part
c.sendall(b"echo:" + data); c.close()
PY
wait_until test -s echo_port.txt
port=$(cat echo_port.txt)
expect 0 connect --url "http://127.0.0.1:$port/" --send "hi there" --timeout 5000
[ "$(tail -1 out.txt)" = "echo:hi there" ] || { echo "FAIL: connect echo '$(cat out.txt)'"; fails=$((fails + 1)); }
grep -q "^connected 127.0.0.1:$port, local 127.0.0.1, peer 127.0.0.1, ssl:false$" out.txt || { echo "FAIL: connect line"; cat out.txt; fails=$((fails + 1)); }
wait
expect 6 connect --url ftp://127.0.0.1/file
expect 6 connect --url "http://[::1"
expect 6 connect
expect 5 connect --url "http://127.0.0.1:$port/" --timeout 2000
grep -q "CONNECTION REFUSED" err.txt || { echo "FAIL: connect refused line"; cat err.txt; fails=$((fails + 1)); }
# get: a bad URL ends with 6, a refused connection with 5, a missing URL with 6 (serve_test.sh
# runs serve and get against each other).
expect 6 get "ftp://127.0.0.1/x"
grep -q "get, bad URL 'ftp://127.0.0.1/x'" err.txt || { echo "FAIL: get bad URL text"; cat err.txt; fails=$((fails + 1)); }
expect 5 get "http://127.0.0.1:1/"
grep -q "BasicSocket::connectToHost, CONNECTION REFUSED" err.txt || { echo "FAIL: get refused text"; cat err.txt; fails=$((fails + 1)); }
expect 6 get
expect 6 serve
expect 4 serve --dir no/such/dir
# test: zor's registered checks through the test framework: a list with a passing, a failing and
# a missing test, exact result lines and exit codes; a single test, a filter, test mode.
mkdir -p checks
printf '# zor checks\nRegTestConfig --resetLogLineNumber true\nmd5.known\nmd5.check --text abc --md5 00000000000000000000000000000000\nno.such.test\nfile.relative --file list.txt  # after a name too\nfile.relative --file list.txt\nexit\nxml.parse\n' > checks/list.txt
expect 1 test --list checks/list.txt --logTrailler false
sed -E 's/[0-9]+,[0-9]{3}\.[0-9]{3} sec/S sec/' out.txt | grep -v -e '^PID:' -e '^CPU' -e '^OS ' -e '^lib:' > got.txt
cat > want.txt <<'WANT'
RegressionTests::addTest, test <no.such.test> not found
RegressionTests::execRegressionTests, run 3 tests now...
********************************************************************
TEST 'md5.known'
TEST [001] 'md5.known', in S sec, OK
TEST 'md5.check'
md5.check, digest 900150983CD24FB0D6963F7D28E17F72, expected 00000000000000000000000000000000
TEST [002] 'md5.check' Error:10 => 'checksum problem', in S sec
TEST 'file.relative'
TEST [003] 'file.relative', in S sec, OK
~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~~
~~~ RegressionTests: Total Tests:3, 2 are OK, 1 Failed
RegressionTests::execRegressionTests, run 3 tests within S sec
WANT
cmp -s want.txt got.txt || { echo "FAIL: test --list lines"; diff want.txt got.txt; fails=$((fails + 1)); }
expect 0 test --filter ROUND --logTrailler false
grep -qxF "*** RegressionTests: All 3 tests are OK" out.txt || { echo "FAIL: test --filter"; cat out.txt; fails=$((fails + 1)); }
expect 6 test --filter nothing --logTrailler false
grep -qxF "RegressionTests::execRegressionTests, no tests found with filter  <nothing>" out.txt || { echo "FAIL: empty filter"; cat out.txt; fails=$((fails + 1)); }
expect 0 test md5.check --text abc --md5 900150983cd24fb0d6963f7d28e17f72 --logTrailler false
grep -qE "^\*\*\* 'md5.check', result:0, executed in [0-9]+,[0-9]{3}\.[0-9]{3} sec$" out.txt || { echo "FAIL: single test"; cat out.txt; fails=$((fails + 1)); }
expect 10 test md5.check --text abc --md5 00 --logTrailler false
grep -qxF "EXIT_ZOR_ERROR 10 - 'checksum problem'" out.txt || { echo "FAIL: failing single test"; cat out.txt; fails=$((fails + 1)); }
expect 6 test no.such.test --logTrailler false
grep -qxF "test 'no.such.test' not found" out.txt || { echo "FAIL: unknown test"; cat out.txt; fails=$((fails + 1)); }
ZORTESTING=1 expect 0 xml.parse --logTrailler false
grep -qF "*** 'xml.parse', result:0" out.txt || { echo "FAIL: test mode"; cat out.txt; fails=$((fails + 1)); }
# ---- zor run and --single true
# run: output passed through, the child's exit code, untouched arguments after "--" (also words
# zor itself would read), a missing program (127), a signal (128+N), nothing to run (6).
expect 0 run -- /bin/sh -c 'printf "%s|" "$@"; echo' sh "two words" --HELP --in x ""
[ "$(cat out.txt)" = "two words|--HELP|--in|x||" ] || { echo "FAIL: run arguments '$(cat out.txt)'"; fails=$((fails + 1)); }
expect 3 run -- /bin/sh -c 'echo out; echo err >&2; exit 3'
[ "$(cat out.txt)" = "out" ] && [ "$(cat err.txt)" = "err" ] || { echo "FAIL: run output"; cat out.txt err.txt; fails=$((fails + 1)); }
expect 127 run -- ./no-such-program
grep -q "^zor: run, cannot start './no-such-program'" err.txt || { echo "FAIL: run start message"; cat err.txt; fails=$((fails + 1)); }
expect 137 run -- /bin/sh -c 'kill -9 $$'
expect 143 run -- /bin/sh -c 'kill -15 $$'
expect 6 run
expect 0 run --verbose true -- /bin/sh -c 'echo logged line'
grep -q "XProcess::stdOut, \[[0-9]*\] logged line" out.txt || { echo "FAIL: run --verbose"; cat out.txt; fails=$((fails + 1)); }
head -c 5000000 /dev/urandom > big.bin
"$zor" run -- /bin/cat big.bin > big.out 2>err.txt
same big.bin big.out
# --single true: a second instance is refused while the first runs and starts once it was killed.
rm -f single.pid
"$zor" run --single true -- /bin/sh -c 'echo $$ > single.pid; exec sleep 20' >/dev/null 2>&1 &
first=$!
wait_until test -s single.pid
expect 1 run --single true -- /bin/true
grep -q "another instance of zor is running (--single true), 'run' not started" err.txt \
  || { echo "FAIL: --single message"; cat err.txt; fails=$((fails + 1)); }
expect 0 run -- /bin/true
kill -9 "$first"; wait "$first" 2>/dev/null
[ -s single.pid ] && kill "$(cat single.pid)" 2>/dev/null
expect 0 run --single true -- /bin/true
expect 0 md5 --single true --file plain.txt

[ "$fails" = 0 ] && echo "all zor command checks passed"
exit "$fails"
