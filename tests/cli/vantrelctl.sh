#!/usr/bin/env bash
# vantrelctl as a user runs it: a script of commands against simulated keyboards of both families,
# read back from the keyboards' saved state and from the tool's own output.
set -uo pipefail
build=$1 source=$2
source "$source/tests/support/scratch_home.sh"
make_scratch_home
trap 'kill $pid 2>/dev/null; rm -rf "$home"' EXIT
cmake --install "$build" --prefix "$home/prefix" >/dev/null || { echo "install failed"; exit 1; }
ctl=$home/prefix/bin/vantrelctl program=$home/prefix/bin/vantrel
state=$XDG_DATA_HOME/"Vantrel Files"/simulator
passed=0 failed=0
check() { # check NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL $1: expected '$2', got '$3'"; fi
}
code() { "$@" >/dev/null 2>&1; echo $?; }
value() { python3 "$source/tests/cli/sim_state.py" "$@"; }
B="$ctl --simulate=201"
A="$ctl --simulate=100"

# Help for everything, with an example.
check "help" 0 "$(code "$ctl" --help)"
for c in list status profile key macro light reset update; do
  "$ctl" "$c" --help | grep -q 'Example' && check "help $c" 0 0 || check "help $c" "an example" "none"
done

# Family B: a simple slot, a macro and a shortcut in complex slots, a light mode.
check "key set" 0 "$(code $B key set 'Caps Lock' key:esc)"
check "simple slot key" 57 "$(value "$state/201-0.state" b.simple.keys 1)"
check "simple slot code" 41 "$(value "$state/201-0.state" b.simple.codes 1)"
cat >"$home/Copy paste.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<macro><macroinfo name="x" times="2" type="1" delaytime="0"/><macroitems>
<item desc="A" type="2" value="65" delay_time="20"/><item desc="A" type="3" value="65" delay_time="20"/>
</macroitems></macro>
XML
check "macro import" 0 "$(code $B macro import "$home/Copy paste.xml")"
check "macro on a key" 0 "$(code $B key set X 'macro:Copy paste')"
check "complex slot holds X" 27 "$(value "$state/201-0.state" b.complex.1 2)"
check "macro repeat" 2 "$(value "$state/201-0.state" b.complex.1 3)"
check "shortcut" 0 "$(code $B key set Z shortcut:ctrl+c)"
check "shortcut slot" 29 "$(value "$state/201-0.state" b.complex.2 2)"
check "light" 0 "$(code $B light set 4 --color '#112233')"
check "free colour mode" "3 0 17 34 3 51" "$(value "$state/201-0.state" b.light.feature)"
check "json" 1 "$($B --json status | python3 -c 'import json,sys; d=json.load(sys.stdin); print(int(d["connected"] and d["model"]=="Vantrel T201"))')"

# Profiles: new, switch, export, import under the file's name.
check "profile new" 0 "$(code $B profile new)"
check "profile switch" 0 "$(code $B profile switch 'Profile 1')"
check "profile export" 0 "$(code $B profile export 'Profile 1' "$home/Gaming.v1.xml")"
check "profile import" 0 "$(code $B profile import "$home/Gaming.v1.xml")"
check "imported is active" "* Gaming" "$($B profile list | grep '^\*')"
check "imported keys" 3 "$($B key list | wc -l)"

# Bad input: a one-line error, exit 2 for usage and 1 for failures, and nothing changed.
before=$($B key list)
check "unknown command" 2 "$(code $B frobnicate)"
check "unknown key" 2 "$(code $B key set NoSuchKey key:esc)"
check "bad colour" 2 "$(code $B light set 1 --color '#GGG')"
check "colour name" 2 "$(code $B light set 1 --color red-ish)"
check "brightness out of range" 2 "$(code $B light set 1 --brightness 99)"
check "unknown profile" 2 "$(code $B profile switch Nope)"
check "missing file" 1 "$(code $B macro import "$home/missing.xml")"
check "one line" 1 "$($B key set NoSuchKey key:esc 2>&1 | wc -l)"
check "store unchanged" "$before" "$($B key list)"
check "no keyboard" 1 "$(code "$ctl" key set A key:b)"

# Reset: defaults and factory state.
check "reset needs --yes" 2 "$(code $B reset)"
check "reset" 0 "$(code $B reset --yes)"
check "slots freed" 0 "$(value "$state/201-0.state" b.simple.keys 1)"
check "profiles back to three" 3 "$($B profile list | wc -l)"

# Family A: the key table and per-key colours.
position=$(python3 -c "
import xml.etree.ElementTree as E
for k in E.parse('$source/data/layouts/k100.xml').iter('key'):
    if int(k.get('code'), 16) == 4: print(k.get('key_index'), k.get('light_index'))")
read -r index light <<<"$position"
check "family A key" 0 "$(code $A key set A key:b)"
check "key table code" 5 "$(value "$state/100-0.state" a.keys $((2 * index)))"
check "key table kind" 32 "$(value "$state/100-0.state" a.keys $((2 * index + 1)))"
printf 'A #FF8000\n# a comment\n\n' >"$home/colours.txt"
check "per-key colours" 0 "$(code $A light keys "$home/colours.txt")"
check "colour red" 255 "$(value "$state/100-0.state" a.colours $((4 * light)))"
check "colour green" 128 "$(value "$state/100-0.state" a.colours $((4 * light + 1)))"
check "bad colour file" 2 "$(printf 'A blue\n' >"$home/bad.txt"; code $A light keys "$home/bad.txt")"

# A running Vantrel answers instead, so the two never drive the keyboard at once.
"$program" --simulate=201 >/dev/null 2>&1 &
pid=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/Vantrel.sock" ] && break; sleep 0.05; done
sleep 0.5
check "handed over" "Keyboard: Vantrel T201 via cable" "$("$ctl" status 2>&1 | head -n 1)"
send_quit "$XDG_RUNTIME_DIR/Vantrel.sock"
wait $pid
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
