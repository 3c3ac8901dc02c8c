// How many columns the page's terminal gives a character: two for every character that a CP932
// console draws two columns wide, as the program counts them. The terminal's own table takes
// some of them, such as the discs ○ and ●, as one column, while the font draws them two wide,
// so that the next cell's background would paint over their right half.
"use strict";

// The characters of CP932's double-byte pairs, found by decoding every pair with the browser's
// shift_jis decoder (the one the program's converter uses, src/platform/web/iconv.cpp). The
// pairs are decoded all at once, each after a line end: a pair that is no character comes out as
// U+FFFD, with its second byte after it when that is ASCII, and so never as one character.
function Cp932WideCharacters() {
  const pairs = [];
  const leads = [];
  for (let lead = 0x81; lead <= 0xfc; lead++) {
    if (lead <= 0x9f || lead >= 0xe0) leads.push(lead);
  }
  for (const lead of leads) {
    for (let trail = 0x40; trail <= 0xfc; trail++) {
      if (trail !== 0x7f) pairs.push(0x0a, lead, trail);
    }
  }
  const wide = new Set();
  const text = new TextDecoder("shift_jis").decode(new Uint8Array(pairs));
  for (const piece of text.split("\n")) {
    const characters = [...piece];
    if (characters.length === 1 && piece !== "\ufffd") wide.add(piece.codePointAt(0));
  }
  return wide;
}

// Code points that every terminal draws two columns wide: East Asian Wide and Fullwidth (Hangul
// Jamo, CJK and kana, Hangul syllables, compatibility ideographs, vertical and full-width forms,
// the pictographs, the supplementary ideographs).
const WideRanges = [
  [0x1100, 0x115f], [0x2e80, 0x303e], [0x3041, 0x33ff], [0x3400, 0x4dbf], [0x4e00, 0x9fff],
  [0xa000, 0xa4cf], [0xac00, 0xd7a3], [0xf900, 0xfaff], [0xfe30, 0xfe4f], [0xff00, 0xff60],
  [0xffe0, 0xffe6], [0x1f300, 0x1f64f], [0x1f900, 0x1f9ff], [0x20000, 0x3fffd]
];
// Marks drawn over the character before them, and the invisible format characters.
const ZeroWidth = /^[\p{Mn}\p{Me}\p{Cf}]$/u;

// The columns of one code point, given the CP932 characters (Cp932WideCharacters).
function CellWidth(codePoint, cp932Wide) {
  if (codePoint < 0x20 || (codePoint >= 0x7f && codePoint < 0xa0)) return 0;
  if (codePoint < 0x300) return cp932Wide.has(codePoint) ? 2 : 1;
  if (ZeroWidth.test(String.fromCodePoint(codePoint))) return 0;
  if (cp932Wide.has(codePoint)) return 2;
  return WideRanges.some((range) => codePoint >= range[0] && codePoint <= range[1]) ? 2 : 1;
}

// The width table for xterm.js (its IUnicodeVersionProvider): CellWidth, and a zero-width mark
// joins the character before it, as the terminal's own table does.
function Cp932WidthProvider(cp932Wide) {
  const Join = 1;
  const Property = (width, join) => (width << 1) | (join ? Join : 0);
  return {
    version: "cp932",
    wcwidth: (codePoint) => CellWidth(codePoint, cp932Wide),
    charProperties: function(codePoint, preceding) {
      let width = CellWidth(codePoint, cp932Wide);
      const before = (preceding >> 1) & 3;
      const join = width === 0 && preceding !== 0 && before !== 0;
      if (join) width = before;
      return Property(width, join);
    },
  };
}
