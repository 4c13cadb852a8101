#!/usr/bin/env bash
# End-to-end checks of quillbox-report: byte-exact output, exit codes and the
# one-line error reports.
# usage: report_cli_test.sh PATH/TO/quillbox-report EXAMPLES_DIR
set -u
report=$1
examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

check() {  # name expected-file actual-file
  if cmp -s "$2" "$3"; then echo "ok   $1"; else echo "FAIL $1"; diff <(od -c "$2") <(od -c "$3") | head -20; failures=$((failures + 1)); fi
}
check_status() {  # name expected actual
  if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: exit $3, wanted $2"; failures=$((failures + 1)); fi
}

# The chart examples, written out byte by byte.
printf '[First Song\\x]\r\nHPR1=12\r\nHPR2=5\r\nHPR4=100\r\nHPR5=7\r\nHPR8=255\r\n[Second Song\\y]\r\nHPR1=3\r\nHPR2=3\r\nHPR3=3\r\nHPR4=3\r\nHPR8=1\r\nHPs3=15\r\nSCORE11=12345678\r\n' > "$work/two.ini"
printf '  MRL TPZ ONX PIP   SRN LUM BRI NOV\r\n+-----------------+-----------------+\r\n|  12   5   0 100 |   7   0   0 255 |  First Song\r\n|   3   3   3   3 |   0   0   0   1 |  Second Song\r\n+-----------------+-----------------+\r\n' > "$work/perfect.want"
"$report" --file "$work/two.ini" perfect > "$work/perfect.got"
check "perfect chart" "$work/perfect.want" "$work/perfect.got"

{ cat "$work/perfect.want"; printf 'dori-fen record chart "quillbox!" 0.90\r\n'; } > "$work/copy.want"
"$report" --copy --file "$work/two.ini" perfect > "$work/copy.got"
check "copy adds the signature line" "$work/copy.want" "$work/copy.got"

printf '2 : Second Song / ONYX\r\n\r\nplayed 15 times\r\n\r\nHi perfect 3\r\n\r\nscore best3\r\n  1 : 0(0)\r\n  2 : 0(0)\r\n  3 : 0(0)' > "$work/detail.want"
"$report" --file "$work/two.ini" detail 2 3 > "$work/detail.got"
check "part detail ends at the parenthesis" "$work/detail.want" "$work/detail.got"

# On a terminal the part detail ends its line, so the prompt does not follow
# on the same line; redirected, it ends at the parenthesis (checked above).
if command -v script > /dev/null; then
  script -qec "'$report' --file '$work/two.ini' detail 2 3" /dev/null > "$work/tty.got"
  [ "$(tail -c 1 "$work/tty.got" | od -An -tx1)" = " 0a" ] && grep -q '3 : 0(0)' "$work/tty.got"
  check_status "part detail on a terminal ends its line" 0 $?
fi

# A title's controls (ESC ] retitles the terminal, ESC [ 2 J clears it) reach
# a terminal as U+FFFD; redirected, every byte stays.
printf '[a\033]0;x\007\033[2Jb\\x]\r\nHPR1=1\r\n' > "$work/esc.ini"
sed 's/HPR1=1/HPR1=2/' "$work/esc.ini" > "$work/esc2.ini"
for args in "--file $work/esc.ini perfect" "compare $work/esc.ini $work/esc2.ini" "versus $work/esc.ini $work/esc2.ini"; do
  # shellcheck disable=SC2086
  "$report" $args > "$work/esc.got"
  grep -q $'a\e]0;x\a\e\[2Jb' "$work/esc.got"; check_status "'$args' redirected keeps the controls" 0 $?
  if command -v script > /dev/null; then
    script -qec "'$report' $args" /dev/null > "$work/esc.got"
    ! grep -q $'\e\|\a' "$work/esc.got" && grep -q 'a�\]0;x��\[2Jb' "$work/esc.got"
    check_status "'$args' on a terminal shows the controls" 0 $?
  fi
done

# Japanese titles come out as UTF-8; 表 and ソ carry a 0x5C trail byte.
printf '[\x95\x5c\x83\x5c\\x]\r\n' > "$work/ja.ini"
"$report" --file "$work/ja.ini" playcount | sed -n 3p > "$work/ja.got"
printf '|   0   0   0   0 |   0   0   0   0 |  表ソ\r\n' > "$work/ja.want"
check "code page 932 title" "$work/ja.want" "$work/ja.got"

# Picks are fixed for a fixed seed and differ between views only by weighting.
a=$("$report" --seed 7 --file "$examples/hsc.ini" random | od -c)
b=$("$report" --seed 7 --file "$examples/hsc.ini" random | od -c)
[ -n "$a" ] && [ "$a" = "$b" ]; check_status "seeded random repeats" 0 $?
"$report" --seed 7 --file "$examples/hsc.ini" weighted | head -c 40 | grep -q ' / '; check_status "weighted shows a detail" 0 $?

# Failures: one line on standard error, exit 1.
printf '[a\\]\r\nHPR1=1\r\nHPR9=5\r\n' > "$work/bad.ini"
"$report" --file "$work/bad.ini" perfect > "$work/out" 2> "$work/err"; check_status "bad line exits 1" 1 $?
printf '%s\n' "$work/bad.ini:3: part number 9 is out of range (0 to 8): HPR9=5 -- if you edited the file by hand, fix this line and try again" > "$work/err.want"
check "bad line message" "$work/err.want" "$work/err"
[ ! -s "$work/out" ]; check_status "nothing on stdout after a failure" 0 $?

"$report" --file "$work/missing.ini" perfect 2> "$work/err"; check_status "missing file exits 1" 1 $?
printf '%s\n' "$work/missing.ini: No such file or directory -- check the path; without --file the tool reads hsc.ini in its own folder" > "$work/err.want"
check "missing file message" "$work/err.want" "$work/err"

printf '; no songs\r\n' > "$work/empty.ini"
for view in random weighted; do
  "$report" --file "$work/empty.ini" $view > "$work/out" 2> "$work/err"; check_status "$view on no songs exits 1" 1 $?
  grep -qx 'quillbox-report: no songs to pick from -- play a song in the game first, or check the file' "$work/err"
  check_status "$view on no songs says so" 0 $?
done
"$report" --file "$work/two.ini" detail 3 1 2> /dev/null; check_status "detail outside the table exits 1" 1 $?

# Without --file the report reads hsc.ini beside the program.
mkdir -p "$work/bin dir/曲"; cp "$report" "$work/bin dir/曲/"; cp "$work/two.ini" "$work/bin dir/曲/hsc.ini"
(cd / && "$work/bin dir/曲/$(basename "$report")" perfect) > "$work/beside.got"
check "reads hsc.ini beside the program" "$work/perfect.want" "$work/beside.got"

# --version prints one line and reads no file, wherever it stands.
printf 'quillbox-report %s\n' "$(sed -n 's/^project(quillbox VERSION \([0-9.]*\) .*/\1/p' "$examples/../CMakeLists.txt")" > "$work/version.want"
for args in "--version" "--file $work/missing.ini --version" "--version perfect"; do
  # shellcheck disable=SC2086
  "$report" $args > "$work/version.got" 2> "$work/err"; check_status "'$args' exits 0" 0 $?
  check "'$args' prints the version" "$work/version.want" "$work/version.got"
done
"$report" --help | grep -q -- '--version'; check_status "usage mentions --version" 0 $?
# Each command has its own help, on standard output, reading no file.
for command in perfect score playcount rank detail random weighted export compare versus history; do
  "$report" --file "$work/missing.ini" $command --help > "$work/help" 2> "$work/err"; check_status "$command --help exits 0" 0 $?
  grep -q "^Usage: quillbox-report $command" "$work/help" && [ ! -s "$work/err" ]; check_status "$command --help says how" 0 $?
done

# -- ends the options: a backup named like an option is still a file.
cp "$work/two.ini" "$work/-old.ini"
(cd "$work" && "$report" compare -- -old.ini two.ini) > "$work/dash.got"; check_status "compare -- -old.ini exits 0" 0 $?
"$report" compare "$work/two.ini" "$work/two.ini" > "$work/dash.want"
check "compare -- -old.ini reads -old.ini" "$work/dash.want" "$work/dash.got"

# Without --lang the language is the locale's: LC_ALL, then LC_MESSAGES, then
# LANG, an empty one skipped; "ja..." is Japanese, anything else English.
"$report" compare "$work/two.ini" "$work/esc.ini" --lang ja > "$work/lang.ja"
"$report" compare "$work/two.ini" "$work/esc.ini" --lang en > "$work/lang.en"
cmp -s "$work/lang.ja" "$work/lang.en"; check_status "--lang ja and en differ" 1 $?
for case in "ja LC_ALL=ja_JP.UTF-8 LC_MESSAGES=C LANG=C" "en LC_ALL=C LC_MESSAGES=ja_JP LANG=ja_JP" \
            "ja LC_ALL= LC_MESSAGES=ja_JP.eucJP LANG=en_US" "en LC_ALL= LC_MESSAGES= LANG=fr_FR.UTF-8" \
            "ja LC_ALL= LC_MESSAGES= LANG=ja" "en LC_ALL= LC_MESSAGES= LANG="; do
  set -- $case
  env "$2" "$3" "$4" "$report" compare "$work/two.ini" "$work/esc.ini" > "$work/lang.got"
  check "$2 $3 $4 reads as $1" "$work/lang.$1" "$work/lang.got"
done

# Usage errors exit 2, and are found before any file is read.
for args in "" "nosuchview" "--file" "--seed x perfect" "detail 1" "perfect extra" "--bogus perfect" \
            "--seed -1 random" "--seed +5 random" "--seed 18446744073709551616 random" "detail x 1" \
            "detail 1 0" "detail 1 9" "detail 0 1" "detail -1 1" "detail 1 3 --bogus" "perfect --bogus"; do
  for file in two.ini missing.ini; do
    # shellcheck disable=SC2086
    "$report" --file "$work/$file" $args > /dev/null 2>&1; check_status "usage with $file: '$args'" 2 $?
  done
done
# An unknown option is named wherever it stands on the line.
for args in "--bogus perfect" "perfect --bogus" "detail 1 3 --bogus" "compare $work/two.ini $work/two.ini --bogus" \
            "export --bogus" "--version --bogus"; do
  # shellcheck disable=SC2086
  "$report" $args > /dev/null 2> "$work/err"; check_status "'$args' exits 2" 2 $?
  [ "$(head -n 1 "$work/err")" = "quillbox-report: unknown option --bogus" ]; check_status "'$args' names --bogus" 0 $?
done

# A reader that goes away (a closed pipe) fails the write: one line and
# status 1, not a silent death by SIGPIPE (141). The output is larger than
# a pipe holds, so the tool is still writing when head has gone.
for _ in $(seq 3000); do printf '[Song\\x]\r\nHPR1=5\r\nHPs1=3\r\n'; done > "$work/many.ini"
for args in "export" "export --format csv" "perfect" "--copy score"; do
  # shellcheck disable=SC2086
  "$report" --file "$work/many.ini" $args 2> "$work/err" | head -c 10 > /dev/null
  check_status "'$args' into a closed pipe exits 1" 1 "${PIPESTATUS[0]}"
  grep -q '^quillbox-report: cannot write the output -- ' "$work/err"; check_status "'$args' into a closed pipe says so" 0 $?
done

for seed in 0 9223372036854775808 18446744073709551615; do
  "$report" --seed $seed --file "$examples/hsc.ini" random > /dev/null; check_status "seed $seed" 0 $?
done

# Short of memory, a run prints the whole text or fails with one line on
# standard error and nothing on standard output; never a partial report or
# a silent success. 100 songs with titles of 1 MiB; AddressSanitizer's
# shadow memory does not fit under a limit, so its build skips this.
if ! grep -qa __asan_init "$report"; then
  title=$(head -c 1048576 /dev/zero | tr '\0' T)
  for _ in $(seq 100); do printf '[%s\\x]\r\nHPR1=5\r\n' "$title"; done > "$work/big.ini"
  "$report" --file "$work/big.ini" perfect > "$work/big.perfect"; check_status "big file without a limit" 0 $?
  { cat "$work/big.perfect"; printf 'dori-fen record chart "quillbox!" 0.90\r\n'; } > "$work/big.copy"
  for limit in 150000 300000 400000 500000 600000 800000 1000000; do
    for args in perfect "--copy perfect"; do
      # shellcheck disable=SC2086
      (ulimit -v $limit; exec "$report" --file "$work/big.ini" $args) > "$work/big.got" 2> "$work/err"
      status=$?
      if [ $status -eq 0 ]; then
        want=$work/big.perfect; [ "$args" = perfect ] || want=$work/big.copy
        [ ! -s "$work/err" ] && cmp -s "$want" "$work/big.got"
      else
        [ $status -eq 1 ] && [ ! -s "$work/big.got" ] && [ "$(wc -l < "$work/err")" -eq 1 ]
      fi
      check_status "ulimit -v $limit, $args: exit $status, $(head -c 80 "$work/err")" 0 $?
    done
  done
  rm -f "$work"/big.*
fi

echo "report_cli: $failures failed"
[ "$failures" -eq 0 ]
