#!/usr/bin/env bash
# Runs the zor file commands end to end: round trips, damaged inputs and bad arguments, each with
# its exit code and result line. Usage: commands_test.sh path/to/zor
set -u
zor=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
dir=$(mktemp -d)
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
head -c 300 s.xtree > cut.xtree
expect 9 tree --in cut.xtree
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
for _ in $(seq 1 200); do [ -s single.pid ] && break; sleep 0.05; done
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
