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

# Missing files, directories and arguments.
expect 4 md5 --file no-such-file
expect 4 md5 --file "$dir"
expect 4 compress --in no-such-file --out x
expect 6 compress --in plain.txt
expect 6 md5
expect 5 compress --in plain.txt --out "$dir"
expect 6 no-such-command
expect 0 --help
grep -q "uncompress --in G --out F" out.txt || { echo "FAIL: --help does not list uncompress"; fails=$((fails + 1)); }
for h in help -h "md5 --help"; do
  expect 0 $h
  grep -q "^exit codes:" out.txt || { echo "FAIL: zor $h shows no help"; fails=$((fails + 1)); }
done

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

[ "$fails" = 0 ] && echo "all zor command checks passed"
exit "$fails"
