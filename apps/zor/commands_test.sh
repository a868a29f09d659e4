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
expect 0 --help
grep -q "uncompress --in G --out F" out.txt || { echo "FAIL: --help does not list uncompress"; fails=$((fails + 1)); }
for h in help -h "md5 --help"; do
  expect 0 $h
  grep -q "^exit codes:" out.txt || { echo "FAIL: zor $h shows no help"; fails=$((fails + 1)); }
done

[ "$fails" = 0 ] && echo "all zor command checks passed"
exit "$fails"
