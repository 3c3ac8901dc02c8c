// The computer player (COM): plays one turn for a side, by the rule-based ranking and choice of the
// game's own COM or, at a higher level, by searching ahead; one draw of its own pseudo-random
// generator per turn, so that a game replays exactly from its seed.
#pragma once

#include <cstdint>

namespace reversi {

// One possible move: its SquareCode, the trial disc tally and both sides' trial mobility.
struct Candidate {
  std::int32_t square;
  std::int32_t discs;
  std::int32_t ownMobility;
  std::int32_t opponentMobility;
};

// The list has a record for every square; no count is kept, the first all-zero record ends it.
inline constexpr int CandidateCapacity = 64;

extern Candidate CandidateList[CandidateCapacity];

// Whether `record` is an empty slot: all four fields zero.
inline bool IsEmptyCandidate(const Candidate& record) {
  return (record.square | record.discs | record.ownMobility | record.opponentMobility) == 0;
}

// ---- Candidate table and ranking --------------------------------------------------------------

// First phase of a COM turn: measures every square for `side` and leaves in CandidateList the moves
// after which the opponent can still move, by non-increasing opponentMobility, then empty records.
// The order among equal keys is the one SortCandidates and ReverseCandidates give, and it matters.
void RankCandidates(int side);

// Sorts CandidateList[lo..hi] by ascending opponentMobility with a recursive exchange sort whose
// order among equal keys is part of the COM's behaviour. Not a stable sort.
void SortCandidates(int lo, int hi);

// Reverses all CandidateCapacity records of CandidateList.
void ReverseCandidates();

// ---- Move choice ------------------------------------------------------------------------------

// Plays one COM turn for `side` at the side's level: ranks the candidates, chooses, places the
// disc and prints ">code" (a searching level: searches, then places and prints the same way), and
// returns the SquareCode played. Draws exactly one pseudo-random number. Must only be called when
// `side` has a legal move.
int ChooseComMove(int side);

// Second phase without the placement: the square that the walks, the random preference and the
// late-game rule choose from the ranked CandidateList (NoSquareCode when the list is empty). Draws
// exactly one pseudo-random number.
int ChooseComSquare(int side);

// Plays `chosenSquare` for `side`, or the first legal square in row-major order when the board has
// one Empty cell left, after a pass, or when nothing was chosen; prints ">code" for the square
// played and returns it (NoSquareCode when nothing could be played).
int PlaceComMove(int side, int chosenSquare);

// ---- Levels -----------------------------------------------------------------------------------

// How the COM's move line names the square: its SquareCode (">34", the start-up way) or, when
// `letters`, the move notation (">d3").
void AnnounceInLetters(bool letters);

// Level 1 is the rule-based COM above, the game's own; the levels above it search ahead, deeper
// as the level rises, and choose among equally good moves with the same one coin per turn.
inline constexpr int RuleBasedLevel = 1;
inline constexpr int FirstSearchingLevel = 2;
inline constexpr int LastLevel = 5;

// Sets the level of `side`'s COM, RuleBasedLevel..LastLevel (other values are ignored). Both
// sides play at RuleBasedLevel until told otherwise.
void SetComLevel(int side, int level);
int ComLevel(int side);

// A searching level's turn for `side`: draws the coin, searches, and places and prints the move
// as the rule-based COM does. Called by ChooseComMove.
int PlaySearchedMove(int side);

// One move of a position with its value for the mover: the final disc margin, in hundredths of a
// disc, that perfect play gives when `exact` (the search reached the end of the game), else the
// margin that the search expects.
inline constexpr int ScorePerDisc = 100;
struct ScoredMove {
  int square;  // SquareCode
  int score;   // hundredths of a disc
  bool exact;
};

// What a scoring search did: how deep it looked, the positions it visited and the wall-clock time
// it took.
struct SearchReport {
  std::uint64_t nodes;
  std::int64_t microseconds;
  int depth;  // the plies searched; for exact scores, the empty squares
};

// Scores every legal move of `side` on the Board at `level`'s reach (FirstSearchingLevel..
// LastLevel), best first, into `out` (CandidateCapacity records); returns how many. Prints nothing,
// draws no number and leaves the Board as it was, so that a hint or the coach never changes the
// COM's play.
int ScoreMoves(int side, int level, ScoredMove* out, SearchReport& report);

// The SquareCode that `side`'s COM would play now on the Board, chosen exactly as ChooseComMove
// chooses it (its one number drawn), but nothing is placed or printed: for front ends that place
// the move themselves and speak to another program. `side` must have a legal move.
int PickComSquare(int side);

// The lowest searching level whose middle-game search looks at least `plies` ahead; LastLevel when
// none does. For programs that ask for a depth rather than a level.
int LevelForDepth(int plies);

// Solves `side`'s turn on the Board to the end of the game, however many squares are empty: a
// best move (NoSquareCode when `side` must pass or the game is over) and its exact score in discs
// for `side`, the empty squares of a game that ends early going to the winner. Prints nothing,
// draws no number and leaves the Board as it was. Its time grows steeply with the empty squares.
ScoredMove SolveBestMove(int side, SearchReport& report);

// Whether a search running when an ending signal comes (Ctrl+C, a hang-up, a termination request)
// ends the process at once by that signal, its output flushed. Off at start-up: a game ends in
// order between turns, its record line written. For solving files, whose searches run for hours.
void SetSearchEndsOnSignal(bool on);

// Puts the list, the levels, the search's table and the generator back to how the program
// finds them at start-up.
void ResetComState();

// ---- Pseudo-random generator ------------------------------------------------------------------
// A linear congruential generator, the same on every platform so that games can be replayed.

inline constexpr int RandomMax = 0x7FFF;

// Starts the sequence from `seed` (and discards its first value).
void SeedRandom(std::uint32_t seed);
// The next number, 0..RandomMax.
int DrawRandom();
// The generator's state at program start (as if seeded with nothing).
void ResetRandomState();

// Everything the generator keeps between draws, as a plain record: written back, it gives the same
// numbers again from there.
struct RandomState {
  std::uint32_t state;
};
RandomState ReadRandomState();
void WriteRandomState(RandomState state);

}  // namespace reversi
