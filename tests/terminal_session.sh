#!/usr/bin/env bash
# Plays the built program in a real terminal, a detached 80x24 tmux pane, and checks what a person
# would see there: Japanese text, the board aligned, one screen at a time, the window title, the
# COM's move line, error messages and the result screen; then a COM vs COM game to its end, and a
# game with --color, whose board must show its colours on the right cells.
# Usage: terminal_session.sh PATH_TO_REVERSI. Exits 77 (skipped) when tmux is not installed.
set -euo pipefail

program=${1:?usage: terminal_session.sh PATH_TO_REVERSI}
if ! command -v tmux >/dev/null; then
  echo "SKIPPED: tmux is not installed (bash tools/install-deps.sh tmux)"
  exit 77
fi

# tmux and wc must agree on what is UTF-8 and how wide a character is.
export LC_ALL=C.UTF-8
workdir=$(mktemp -d)
socket="reversi-test-$$-$RANDOM"  # a server of our own: parallel runs never meet
trap 'tmux -L "$socket" kill-server 2>/dev/null || true; rm -rf "$workdir"' EXIT
# No status line, so the pane is the whole 80x24 window; a finished program's pane stays to be read.
printf 'set -g status off\nset -g remain-on-exit on\n' >"$workdir/tmux.conf"
t() { tmux -u -L "$socket" -f "$workdir/tmux.conf" "$@"; }

failures=0
pane=""
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

Screen() { t capture-pane -p -t "$pane"; }
History() { t capture-pane -p -S - -t "$pane"; }
# The screen with the gap a terminal leaves after a one-column ○ or ● taken out, to compare texts.
Readable() { Screen | sed 's/○ /○/g; s/● /●/g'; }
LastLine() { Screen | sed '/^$/d' | tail -n 1; }
Width() { printf '%s' "$1" | wc -L; }

# Polls the pane until `condition` (a command) succeeds; after `limit` seconds the run fails with
# the screen shown.
WaitUntil() {
  local what=$1 limit=$2
  shift 2
  local tries=$((limit * 20))
  while ((tries-- > 0)); do
    if "$@"; then return 0; fi
    sleep 0.05
  done
  echo "FAIL: timed out waiting for $what; the screen:"
  Screen
  exit 1
}
ScreenHas() { Readable | grep -qF -- "$1"; }
# A prompt ">" on its own line below the text `$1`.
PromptAfter() { ScreenHas "$1" && [ "$(LastLine)" = ">" ]; }
# tmux does not always learn a program's exit status (when the pane's terminal closes before the
# program is reaped, #{pane_dead_status} stays empty), so the shell that starts the program writes
# the status to a file of our own.
StatusFile() { printf '%s/%s.status' "$workdir" "$pane"; }
ProgramEnded() { [ -s "$(StatusFile)" ]; }
ExitStatus() { cat "$(StatusFile)"; }

Start() {  # name, then the program's options
  pane=$1
  shift
  t new-session -d -s "$pane" -x 80 -y 24 \
    "$(printf '%q ' "$program" "$@"; printf '; echo $? >%q' "$(StatusFile)")"
}

Expect() {  # what, expected, actual
  [ "$2" = "$3" ] || fail "$1: expected '$2', saw '$3'"
}

ModePrompt='*ゲームモードを数字で選択してEnterを押してください。'
Hint='*Y座標を10の位にX座標を1の位にしてEnterを押してください。'
BreakOff='*中断するときは「99+Enter」を入力してください。'
Header='  1 2 3 4 5 6 7 8'
FinalPrompt='*「0+Enter」でニューゲーム。「99+Enter」でシャットダウン。'

# True when the eight glyphs after a row's label start at the columns 2, 4, .., 16 (counted from 0)
# and so span 18 columns. A terminal that draws ○ and ● one column wide leaves the next column
# blank; capture-pane drops such a blank at the end of a line.
GlyphsAligned() {
  local row=$1 prefix=${1:0:2} glyph=0 j ch
  for ((j = 2; j < ${#row}; j++)); do
    ch=${row:j:1}
    if [ "$ch" != " " ]; then
      [ "$(Width "$prefix")" = $((2 + 2 * glyph)) ] || return 1
      glyph=$((glyph + 1))
    fi
    prefix+=$ch
  done
  [ $glyph = 8 ]
}

# A board screen on its own: the two instruction lines, the turn line, the column header and eight
# rows, each row a label and eight glyphs of two columns (18 columns in all).
CheckBoardScreen() {
  local turn=$1 i row
  local -a raw readable
  mapfile -t raw < <(Screen)
  mapfile -t readable < <(Readable)
  Expect "first line (the clear)" "$Hint" "${readable[0]}"
  Expect "second line" "$BreakOff" "${readable[1]}"
  Expect "turn line" "$turn" "${readable[2]}"
  Expect "column header" "$Header" "${raw[3]}"
  for i in 1 2 3 4 5 6 7 8; do
    row=${raw[$((3 + i))]}
    [[ $row =~ ^${i}0(・|○\ ?|●\ ?){8}$ ]] || fail "row ${i}0 is not a label and eight glyphs: '$row'"
    GlyphsAligned "$row" || fail "row ${i}0 is misaligned: '$row'"
  done
  [ "$(Screen | grep -cF -- "$Hint")" = 1 ] || fail "more than one screen visible"
  ! ScreenHas "$ModePrompt" || fail "the mode prompt survived the clear"
}

# The glyph at row r, column c (1..8) of the board on the screen.
GlyphAt() {
  local row
  row=$(Readable | grep -E "^${1}0(・|○|●){8}$")
  printf '%s' "${row:$((1 + $2)):1}"
}

# ---- Player vs COM: the title, a bad entry, errors, a move, the COM's answer, 99, the final 99 ---
started=$SECONDS
Start human
WaitUntil "the mode prompt" 10 PromptAfter "$ModePrompt"
Expect "window title" "Tavimoのリバーシ Ver1.00" "$(t display -p -t "$pane" '#{pane_title}')"
ScreenHas "(0)Player vs Player (1)Player vs COM (2)COM vs player (3)COM vs COM" ||
  fail "no mode list"

t send-keys -t "$pane" 1 Enter
WaitUntil "black's first turn" 10 PromptAfter "ターン:○"
CheckBoardScreen "ターン:○"
mapfile -t start < <(Readable)
Expect "row 40 at the start" "40・・・●○・・・" "${start[7]}"
Expect "row 50 at the start" "50・・・○●・・・" "${start[8]}"
# The disc under column 4 of the header: both start at the ninth column.
row40=$(Screen | sed -n 8p)
Expect "column of the white disc in row 40" 8 "$(Width "${row40%%●*}")"
Expect "column of the header's 4" 8 "$(Width "${Header%%4*}")"

t send-keys -t "$pane" abc Enter
WaitUntil "input error" 10 PromptAfter "input error"
t send-keys -t "$pane" 11 Enter
WaitUntil "the cannot-place message" 10 PromptAfter "input[11]:そこには置けません！"
t send-keys -t "$pane" 91 Enter
WaitUntil "the number error" 10 PromptAfter "input[91]:error"

t send-keys -t "$pane" 34 Enter
BlackAt34() { [ "$(GlyphAt 3 4)" = ○ ] && PromptAfter "ターン:○"; }
WaitUntil "black's second turn" 10 BlackAt34
CheckBoardScreen "ターン:○"
# The COM's move line was wiped by the clear; the history above the screen still holds it, below
# the board of white's turn.
mapfile -t history < <(History | sed 's/○ /○/g; s/● /●/g')
comLine=""
for i in "${!history[@]}"; do
  if [ "${history[$i]}" = "ターン:●" ]; then
    comLine=${history[$((i + 10))]:-}
    break
  fi
done
if [[ $comLine =~ ^\>([1-8])([1-8])$ ]]; then
  Expect "the COM's square ($comLine) on the board" ● \
    "$(GlyphAt "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}")"
else
  fail "no COM move line below white's board, saw '$comLine'"
fi

t send-keys -t "$pane" 99 Enter
WaitUntil "the result screen" 10 PromptAfter "$FinalPrompt"
CheckBoardScreen "ターン:●"
mapfile -t result < <(Readable)
Expect "result line" "引き分け！○:  3 ピース    ●:  3 ピース" "${result[12]}"
Expect "final prompt line" "$FinalPrompt" "${result[13]}"

t send-keys -t "$pane" 99 Enter
WaitUntil "the program to end" 10 ProgramEnded
Expect "exit status" 0 "$(ExitStatus)"
echo "Player vs COM: $((SECONDS - started)) s"

# ---- COM vs COM to the end -----------------------------------------------------------------------
started=$SECONDS
Start com
WaitUntil "the mode prompt" 10 PromptAfter "$ModePrompt"
t send-keys -t "$pane" 3 Enter
WaitUntil "the result screen" 60 PromptAfter "$FinalPrompt"
CheckBoardScreen "ターン:●"
mapfile -t result < <(Readable)
# A winner has a line of its own; a draw shares its line with the counts.
outcome="${result[12]}"
[[ $outcome == 引き分け！* ]] || outcome+="|${result[13]}"
Counts='○: *([0-9]+) ピース    ●: *([0-9]+) ピース'
[[ $outcome =~ ^(○:黒の勝ち！\||●:白の勝ち！\||引き分け！)$Counts$ ]] ||
  fail "no winner and count lines: '$outcome'"
History | grep -qF "ゲーム終了" || fail "no game-over text before the result screen"
t send-keys -t "$pane" 99 Enter
WaitUntil "the program to end" 10 ProgramEnded
Expect "exit status" 0 "$(ExitStatus)"
echo "COM vs COM: $((SECONDS - started)) s"

# ---- --color: on a terminal "auto" colours the board, and only the board -------------------------
# The colours of a board row as the pane holds them (capture-pane -e): the label's two columns'
# backgrounds, then per cell the foreground and background of its first column and the background
# of its second; "d" is the terminal's own colour.
RowColors() {
  t capture-pane -e -p -t "$pane" | perl -CSD -e '
    my $row = shift;
    while (my $line = <STDIN>) {
      chomp $line;
      (my $plain = $line) =~ s/\e\[[0-9;]*m//g;
      next unless $plain =~ /^${row}0/;
      my ($fg, $bg) = ("d", "d");
      my (@fgs, @bgs);
      while (length $line) {
        if ($line =~ s/^\e\[([0-9;]*)m//) {
          for my $p (split /;/, $1 eq "" ? "0" : $1) {
            if ($p == 0) { ($fg, $bg) = ("d", "d") }
            elsif ($p == 39) { $fg = "d" }
            elsif ($p == 49) { $bg = "d" }
            elsif (($p >= 30 && $p <= 37) || ($p >= 90 && $p <= 97)) { $fg = $p }
            elsif (($p >= 40 && $p <= 47) || ($p >= 100 && $p <= 107)) { $bg = $p }
          }
          next;
        }
        $line =~ s/^(.)//s;
        my $wide = $1 =~ /[\x{2E80}-\x{A4CF}\x{AC00}-\x{D7A3}\x{F900}-\x{FAFF}\x{FF01}-\x{FF60}]/;
        for (1 .. ($wide ? 2 : 1)) { push @fgs, $fg; push @bgs, $bg }
      }
      my @cells = ("$bgs[0]$bgs[1]");
      for (my $c = 2; $c < 18; $c += 2) { push @cells, "$fgs[$c]/$bgs[$c]/" . ($bgs[$c + 1] // "none") }
      print "@cells\n";
      last;
    }' "$1"
}

started=$SECONDS
Start colors --color --hints --last-move
WaitUntil "the mode prompt" 10 PromptAfter "$ModePrompt"
t send-keys -t "$pane" 0 Enter
WaitUntil "black's first turn" 10 PromptAfter "ターン:○"
E=30/42/42 H=93/42/42 W=97/42/42
Expect "row 10 in colour" "dd $E $E $E $E $E $E $E $E" "$(RowColors 1)"
Expect "row 40 in colour, a hint before the discs" "dd $E $E $H $W $E $E $E $E" "$(RowColors 4)"
Expect "row 50 in colour, a hint after them" "dd $E $E $E $E $W $H $E $E" "$(RowColors 5)"
t send-keys -t "$pane" 34 Enter
WaitUntil "white's first turn" 10 PromptAfter "ターン:●"
Expect "row 30: black's move on red between white's hints" \
  "dd $E $E $H 30/41/41 $H $E $E $E" "$(RowColors 3)"
t send-keys -t "$pane" 35 Enter
WaitUntil "black's second turn" 10 PromptAfter "ターン:○"
Expect "row 30: white's move on red, black's hint beside it" "dd $E $E $E $E 97/41/41 $H $E $E" \
  "$(RowColors 3)"
# Nothing outside the board has a colour: the lines of text and the prompt carry no sequence.
colored=$(t capture-pane -e -p -t "$pane" |
  grep -cP '\e\[([0-9;]*;)?(3[0-7]|4[0-7]|9[0-7]|10[0-7])(;[0-9;]*)?m' || true)
[ "$colored" -le 8 ] || fail "colours outside the eight board rows: $colored lines"
t send-keys -t "$pane" 99 Enter
WaitUntil "the result screen" 10 PromptAfter "$FinalPrompt"
t send-keys -t "$pane" 99 Enter
WaitUntil "the program to end" 10 ProgramEnded
Expect "exit status" 0 "$(ExitStatus)"
echo "--color: $((SECONDS - started)) s"

if ((failures > 0)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "terminal session: all checks passed"
