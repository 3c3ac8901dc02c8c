#!/usr/bin/env python3
"""Plays the game's COM against a GTP Reversi engine and prints a table of the results.

By default the COM plays as a GTP engine itself (reversi --gtp --level=L --seed=N), the referee
asking each side for its move with "genmove" and telling the other with "play", and comparing the
COM's final_score with its own count at the end. With --through dialogue the game is driven
through its ordinary dialogue instead, as a player would run it: one process per game,
started with --english --seed=N --level=L, mode 1 (the engine plays black as the "player", the
COM white) or mode 2 (the COM black), colours alternating from game to game. The engine hears the
COM's moves with "play" and is asked for its own with "genmove". The referee keeps its own board
and checks every move against the rules, and the final counts against the game's result screen.

Standard library only.
"""

import argparse
import os
import re
import select
import statistics
import subprocess
import sys
import time

SIZE = 8
DIRECTIONS = [(-1, 0), (-1, 1), (0, 1), (1, 1), (1, 0), (1, -1), (0, -1), (-1, -1)]
EMPTY, BLACK, WHITE = 0, 1, 2
# A whole game should never take this long on one side's moves; a hang is reported, not waited on.
TURN_TIMEOUT = 120.0


class RefereeError(Exception):
    pass


def other(cell):
    return BLACK if cell == WHITE else WHITE


def new_board():
    board = [[EMPTY] * SIZE for _ in range(SIZE)]
    board[3][3] = board[4][4] = WHITE
    board[3][4] = board[4][3] = BLACK
    return board


def turned(board, row, col, mover):
    """The squares a disc of `mover` on (row, col) turns; empty when the move is illegal."""
    if board[row][col] != EMPTY:
        return []
    result = []
    for d_row, d_col in DIRECTIONS:
        run = []
        r, c = row + d_row, col + d_col
        while 0 <= r < SIZE and 0 <= c < SIZE and board[r][c] == other(mover):
            run.append((r, c))
            r, c = r + d_row, c + d_col
        if run and 0 <= r < SIZE and 0 <= c < SIZE and board[r][c] == mover:
            result.extend(run)
    return result


def legal_moves(board, mover):
    return [(r, c) for r in range(SIZE) for c in range(SIZE) if turned(board, r, c, mover)]


def play(board, row, col, mover):
    flips = turned(board, row, col, mover)
    if not flips:
        colour = "black" if mover == BLACK else "white"
        raise RefereeError(f"illegal move {row + 1}{col + 1} for {colour}")
    for r, c in flips + [(row, col)]:
        board[r][c] = mover


def side_to_move(board, mover):
    """`mover`, or the other side when `mover` must pass; None when neither side can move."""
    for side in (mover, other(mover)):
        if legal_moves(board, side):
            return side
    return None


def count(board, cell):
    return sum(line.count(cell) for line in board)


def to_gtp(row, col):
    return f"{'abcdefgh'[col]}{row + 1}"


def from_gtp(text):
    text = text.strip().lower()
    if len(text) != 2 or text[0] not in "abcdefgh" or text[1] not in "12345678":
        raise RefereeError(f"engine answered {text!r}, which is no square")
    return int(text[1]) - 1, "abcdefgh".index(text[0])


def finish(process):
    """Waits for a process that was asked to end; kills it when it does not."""
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


class Engine:
    """A GTP engine on pipes."""

    def __init__(self, command):
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True, bufsize=1)

    def ask(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        lines = []
        while True:
            line = self.process.stdout.readline()
            if line == "":
                raise RefereeError(f"engine ended on {command!r}")
            if line.strip() == "" and lines:
                break
            if line.strip() != "":
                lines.append(line.strip())
        answer = " ".join(lines)
        if not answer.startswith("="):
            raise RefereeError(f"engine refused {command!r}: {answer}")
        return answer[1:].strip()

    def close(self):
        try:
            self.process.stdin.write("quit\n")
            self.process.stdin.flush()
        except OSError:
            pass
        finish(self.process)


class Game:
    """The game's process, read as a byte stream that the referee searches for what it expects."""

    COM_MOVE = re.compile(rb"(?:^|\n)>([1-8])([1-8])\r?\n")
    COUNTS = re.compile(rb":\s*(\d+) pieces\s+\S+:\s*(\d+) pieces")

    def __init__(self, command):
        self.process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, bufsize=0)
        self.data = b""
        self.position = 0

    def send(self, text):
        self.process.stdin.write(text.encode("ascii"))
        self.process.stdin.flush()

    def expect(self, pattern):
        """Waits for `pattern` in the output after what was read so far; returns the match."""
        deadline = time.monotonic() + TURN_TIMEOUT
        while True:
            match = pattern.search(self.data, self.position)
            if match:
                self.position = match.end()
                return match
            left = deadline - time.monotonic()
            if left <= 0:
                raise RefereeError("the game said nothing expected in time")
            ready, _, _ = select.select([self.process.stdout], [], [], left)
            if ready:
                chunk = os.read(self.process.stdout.fileno(), 65536)
                if not chunk:
                    raise RefereeError("the game ended early")
                self.data += chunk

    def close(self):
        try:
            self.process.stdin.close()
        except OSError:
            pass
        finish(self.process)


def play_game(program, level, seed, com_colour, engine_command):
    """One game; returns (COM discs, engine discs, COM move times, engine move times)."""
    engine = Engine(engine_command)
    game = Game([program, "--english", f"--seed={seed}", f"--level={level}"])
    com_times, engine_times = [], []
    try:
        engine.ask("boardsize 8")
        engine.ask("clear_board")
        board = new_board()
        mover = BLACK
        started = time.monotonic()
        game.send("2\n" if com_colour == BLACK else "1\n")
        while (mover := side_to_move(board, mover)) is not None:
            colour = "black" if mover == BLACK else "white"
            if mover == com_colour:
                match = game.expect(Game.COM_MOVE)
                com_times.append(time.monotonic() - started)
                started = time.monotonic()
                row, col = int(match.group(1)) - 1, int(match.group(2)) - 1
                play(board, row, col, mover)
                engine.ask(f"play {colour} {to_gtp(row, col)}")
            else:
                thinking = time.monotonic()
                answer = engine.ask(f"genmove {colour}")
                engine_times.append(time.monotonic() - thinking)
                if answer.lower() == "pass":
                    raise RefereeError("engine passed although it can move")
                row, col = from_gtp(answer)
                play(board, row, col, mover)
                started = time.monotonic()
                game.send(f"{row + 1}{col + 1}\n")
            mover = other(mover)
        counts = game.expect(Game.COUNTS)
        black, white = int(counts.group(1)), int(counts.group(2))
        if (black, white) != (count(board, BLACK), count(board, WHITE)):
            raise RefereeError(f"the game counts {black}-{white}, the referee "
                               f"{count(board, BLACK)}-{count(board, WHITE)}")
        game.send("99\n")
    finally:
        game.close()
        engine.close()
    com = count(board, com_colour)
    return com, count(board, other(com_colour)), com_times, engine_times


def final_score(board):
    """The score as GTP's final_score gives it: empty squares count for the side ahead."""
    black, white = count(board, BLACK), count(board, WHITE)
    empty = SIZE * SIZE - black - white
    if black == white:
        return "0"
    return f"B+{black - white + empty}" if black > white else f"W+{white - black + empty}"


def play_gtp_game(program, level, seed, com_colour, engine_command):
    """One game with the COM as a GTP engine too (--gtp); the same result as play_game."""
    engine = Engine(engine_command)
    com = Engine([program, "--gtp", f"--seed={seed}", f"--level={level}"])
    com_times, engine_times = [], []
    try:
        for player in (engine, com):
            player.ask("boardsize 8")
            player.ask("clear_board")
        board = new_board()
        mover = BLACK
        while (mover := side_to_move(board, mover)) is not None:
            colour = "black" if mover == BLACK else "white"
            player, listener = (com, engine) if mover == com_colour else (engine, com)
            thinking = time.monotonic()
            answer = player.ask(f"genmove {colour}")
            (com_times if player is com else engine_times).append(time.monotonic() - thinking)
            if answer.lower() == "pass":
                raise RefereeError(f"{'the COM' if player is com else 'engine'} passed although "
                                   "it can move")
            row, col = from_gtp(answer)
            play(board, row, col, mover)
            listener.ask(f"play {colour} {to_gtp(row, col)}")
            mover = other(mover)
        score = com.ask("final_score")
        if score != final_score(board):
            raise RefereeError(f"the COM scores {score}, the referee {final_score(board)}")
    finally:
        com.close()
        engine.close()
    return count(board, com_colour), count(board, other(com_colour)), com_times, engine_times


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="the game's executable")
    parser.add_argument("--engine", default="/usr/games/gtp-rhino", help="the GTP engine")
    parser.add_argument("--levels", default="1,2,3,4,5", help="the COM's levels, e.g. 2,5")
    parser.add_argument("--opponents", default="1,3,5", help="the engine's levels (-l)")
    parser.add_argument("--randomness", type=int, default=3, help="the engine's -r")
    parser.add_argument("--games", type=int, default=20, help="games per pairing")
    parser.add_argument("--seed", type=int, default=1000, help="the first game's --seed")
    parser.add_argument("--verbose", action="store_true", help="a line per game on stderr")
    parser.add_argument("--through", choices=["gtp", "dialogue"], default="gtp",
                        help="drive the COM as a GTP engine (--gtp) or through the game's dialogue")
    args = parser.parse_args()
    levels = [int(x) for x in args.levels.split(",")]
    opponents = [int(x) for x in args.opponents.split(",")]

    print(f"{args.games} games per pairing, colours alternating; engine "
          f"{os.path.basename(args.engine)} -r {args.randomness}; margin = COM discs - engine "
          "discs; times are wall-clock seconds")
    print()
    print("| COM level | engine -l | wins | draws | losses | win % | mean margin "
          "| COM s/move median | COM s/move worst | engine s/move median |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    failed = False
    for opponent in opponents:
        for level in levels:
            wins = draws = losses = 0
            margins, com_times, engine_times = [], [], []
            for game in range(args.games):
                colour = BLACK if game % 2 == 0 else WHITE
                command = [args.engine, "-l", str(opponent), "-r", str(args.randomness)]
                try:
                    playing = play_gtp_game if args.through == "gtp" else play_game
                    com, eng, com_t, eng_t = playing(args.program, level, args.seed + game,
                                                     colour, command)
                except RefereeError as error:
                    print(f"level {level} vs -l {opponent}, game {game + 1}: {error}",
                          file=sys.stderr)
                    failed = True
                    continue
                wins += com > eng
                draws += com == eng
                losses += com < eng
                margins.append(com - eng)
                if args.verbose:
                    print(f"level {level} vs -l {opponent}, game {game + 1}, COM "
                          f"{'black' if colour == BLACK else 'white'}: {com}-{eng}, COM worst "
                          f"{max(com_t):.3f} s, engine worst {max(eng_t):.3f} s, engine total "
                          f"{sum(eng_t):.1f} s", file=sys.stderr, flush=True)
                # The first reading of a COM game also holds the program's start; the others
                # are one move and one board screen each.
                com_times.extend(com_t)
                engine_times.extend(eng_t)
            played = wins + draws + losses
            if played == 0:
                continue
            print(f"| {level} | {opponent} | {wins} | {draws} | {losses} "
                  f"| {100 * (wins + draws / 2) / played:.0f} "
                  f"| {statistics.mean(margins):+.1f} "
                  f"| {statistics.median(com_times):.4f} | {max(com_times):.3f} "
                  f"| {statistics.median(engine_times):.4f} |", flush=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
