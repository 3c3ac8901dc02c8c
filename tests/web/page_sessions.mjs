// Plays the same sessions in the game's web page (headless Chromium, driven by playwright-core)
// and in the Linux program on a real terminal (a tmux pane of the page's terminal's size), and
// checks that after every line typed both terminals show the same screen, line for line, with the
// cursor in the same place; also the window title, the exit status and what the page refuses. Saves a screenshot of
// the page after a few moves. Given the web build of tests/web/cp932_conversions.cpp and the
// listing of its Linux build, runs it in a page too and compares the listings. The last line says
// "N passed, M failed"; the exit status is 1 when anything failed.
//   usage: node page_sessions.mjs SITE_URL NATIVE_PROGRAM SCREENSHOT_PATH [CONVERSIONS_JS LISTING]
import {execFileSync} from "node:child_process";
import {mkdtempSync, readFileSync, rmSync, writeFileSync} from "node:fs";
import {createRequire} from "node:module";
import {tmpdir} from "node:os";
import {join} from "node:path";

// playwright-core is installed with the page's own packages (web/package.json).
const require = createRequire(new URL("../../web/package.json", import.meta.url));
const {chromium} = require("playwright-core");

const [siteUrl, nativeProgram, screenshotPath, conversionsProgram, conversionsListing] =
    process.argv.slice(2);
if (!siteUrl || !nativeProgram || !screenshotPath) {
  console.error("usage: node page_sessions.mjs SITE_URL NATIVE_PROGRAM SCREENSHOT_PATH");
  process.exit(2);
}

const JapaneseTitle = "Tavimoのリバーシ Ver1.00";
const EnglishTitle = "Tavimo's Reversi Ver1.00";

// Each session: the command line (the page gets it as its address), the lines typed, one by one
// ("\b" is a Backspace; a line typed is followed by Enter), after which the program has ended.
// A line is typed when the program waits for one, and the screens are compared after it. Moves
// that turn out illegal for a seed still compare: both sides then show the same complaint.
const Sessions = [
  {
    name: "Player vs COM: errors, moves, break-off, new game",
    options: ["--seed=7"],
    title: JapaneseTitle,
    lines: [
      "4", "-1", "x", "1", "abc", "11", "91", "", "5\b34", "63", "36", "99", "0", "2", "99", "99"
    ],
    screenshotAfter: 11,  // lines typed
  },
  {
    name: "COM vs COM with a delay",
    options: ["--seed=3", "--delay=5"],
    title: JapaneseTitle,
    lines: ["3", "99"],
  },
  {
    name: "English, hints and last move",
    options: ["--english", "--hints", "--last-move", "--seed=11"],
    title: EnglishTitle,
    lines: ["1", "34", "20", "53", "0", "99", "99"],
  },
  {name: "a bad option", options: ["--seed=x"], title: null, lines: []},
  {name: "the help", options: ["--help"], title: null, lines: []},
];

let passed = 0;
let failed = 0;
function check(what, ok, detail = "") {
  if (ok) {
    passed += 1;
  } else {
    failed += 1;
    console.log(`FAIL: ${what}${detail ? "\n" + detail : ""}`);
  }
}

// ---- The native program in tmux -----------------------------------------------------------------

const work = mkdtempSync(join(tmpdir(), "reversi-web-"));
const socket = `reversi-web-${process.pid}`;
writeFileSync(join(work, "tmux.conf"), "set -g status off\n");
function tmux(...args) {
  return execFileSync("tmux", ["-u", "-L", socket, "-f", join(work, "tmux.conf"), ...args], {
    encoding: "utf8",
    env: {...process.env, LC_ALL: "C.UTF-8"},
  });
}
const quote = (word) => `'${word.replace(/'/g, "'\\''")}'`;

// Starts the program in a pane of its own; the shell writes its exit status to a file and then
// keeps the pane, so that its last screen stays to be read.
function StartNative(name, options, columns, rows) {
  const status = join(work, `${name}.status`);
  const command = [nativeProgram, ...options].map(quote).join(" ");
  tmux(
      "new-session", "-d", "-s", name, "-x", `${columns}`, "-y", `${rows}`,
      `${command}; echo $? >${quote(status)}; exec sleep 3600`);
  return {name, status, rows};
}
function NativeScreen(pane) {
  const lines = tmux("capture-pane", "-p", "-t", pane.name).split("\n").slice(0, pane.rows);
  const [x, y] = tmux("display", "-p", "-t", pane.name, "#{cursor_x} #{cursor_y}")
                     .trim()
                     .split(" ")
                     .map(Number);
  return Normalised(lines, x, y);
}
function NativeExitStatus(pane) {
  try {
    return readFileSync(pane.status, "utf8").trim();
  } catch (error) {
    return null;
  }
}
function TypeNative(pane, line) {
  const pieces = line.split("\b");
  pieces.forEach((piece, i) => {
    if (i > 0) tmux("send-keys", "-t", pane.name, "BSpace");
    if (piece !== "") tmux("send-keys", "-t", pane.name, "-l", "--", piece);
  });
  tmux("send-keys", "-t", pane.name, "Enter");
}

// ---- The page
// -------------------------------------------------------------------------------------

// The page's screen as a terminal without its CP932 widths shows it: a character that the page
// draws two columns wide and such a terminal one column (the discs ○ ●) is followed there by the
// blank column that the program's cursor move skips.
async function PageScreen(page) {
  const screen = await page.evaluate(() => {
    const terminal = window.reversiPage.terminal;
    const buffer = terminal.buffer.active;
    const lines = [];
    for (let row = 0; row < terminal.rows; row++) {
      const line = buffer.getLine(buffer.baseY + row);
      let text = "";
      for (let column = 0; column < terminal.cols; column++) {
        const cell = line.getCell(column);
        const characters = cell.getChars();
        text += characters || (cell.getWidth() === 0 ? "" : " ");
        if (cell.getWidth() === 2 && CellWidth(characters.codePointAt(0), new Set()) === 1) {
          text += " ";
        }
      }
      lines.push(text);
    }
    return {lines, x: buffer.cursorX, y: buffer.cursorY};
  });
  return Normalised(screen.lines, screen.x, screen.y);
}
// The page's terminal's text, its wrapped lines joined.
function PageText(page) {
  return page.evaluate(() => {
    const buffer = window.reversiPage.terminal.buffer.active;
    let text = "";
    for (let row = 0; row < buffer.length; row++) {
      const line = buffer.getLine(row);
      const next = buffer.getLine(row + 1);
      text += next && next.isWrapped ? line.translateToString(false) :
                                       line.translateToString(true) + "\n";
    }
    return text.trim();
  });
}
// Types a line into the page and waits until the program waits for the next or has ended.
async function TypePage(page, line) {
  const waits = await page.evaluate(() => window.reversiPage.waits);
  const pieces = line.split("\b");
  for (let i = 0; i < pieces.length; i++) {
    if (i > 0) await page.keyboard.press("Backspace");
    if (pieces[i] !== "") await page.keyboard.type(pieces[i]);
  }
  await page.keyboard.press("Enter");
  await page.waitForFunction(
      (before) => window.reversiPage.waits > before || window.reversiPage.exitStatus !== null,
      waits, {timeout: 6000});
  await Drawn(page);
}
// Waits until the terminal has taken in everything written so far.
function Drawn(page) {
  return page.evaluate(() => new Promise((done) => window.reversiPage.terminal.write("", done)));
}
function Normalised(lines, x, y) {
  return {text: lines.map((line) => line.replace(/\s+$/, "")).join("\n"), cursor: `${x},${y}`};
}
function Difference(page, native) {
  const a = page.text.split("\n");
  const b = native.text.split("\n");
  const out = [];
  for (let i = 0; i < Math.max(a.length, b.length); i++) {
    if (a[i] !== b[i])
      out.push(`  line ${i + 1}: page   '${a[i] ?? ""}'\n           native '${b[i] ?? ""}'`);
  }
  if (page.cursor !== native.cursor)
    out.push(`  cursor: page ${page.cursor}, native ${native.cursor}`);
  return out.join("\n");
}

// Polls the native pane until its screen is the page's (the program in the pane may still be
// working), for at most `seconds`.
async function CompareScreens(what, page, pane, seconds) {
  const want = await PageScreen(page);
  let seen = NativeScreen(pane);
  const deadline = Date.now() + seconds * 1000;
  while ((seen.text !== want.text || seen.cursor !== want.cursor) && Date.now() < deadline) {
    await new Promise((resume) => setTimeout(resume, 50));
    seen = NativeScreen(pane);
  }
  check(
      `${what}: the page shows what the terminal shows`,
      seen.text === want.text && seen.cursor === want.cursor, Difference(want, seen));
}

function Address(options) {
  const query = options.map((option) => option.replace(/^--/, "")).map(encodeURI).join("&");
  return `${siteUrl}${query ? "?" + query : ""}`;
}

async function WaitForStart(page) {
  await page.waitForFunction(
      () => window.reversiPage &&
          (window.reversiPage.waits > 0 || window.reversiPage.exitStatus !== null),
      null, {timeout: 30000});
  await Drawn(page);
}

// ---- The sessions
// ---------------------------------------------------------------------------------

const browser =
    await chromium.launch({executablePath: "/usr/bin/chromium", args: ["--no-sandbox"]});
try {
  for (const [number, session] of Sessions.entries()) {
    const page = await browser.newPage({viewport: {width: 900, height: 560}});
    page.on(
        "pageerror", (error) => check(`${session.name}: no script error`, false, error.message));
    await page.goto(Address(session.options));
    await WaitForStart(page);
    const [columns, rows] =
        await page.evaluate(() => [window.reversiPage.terminal.cols, window.reversiPage.terminal.rows]);
    const pane = StartNative(`s${number}`, session.options, columns, rows);
    await CompareScreens(`${session.name}, at the start`, page, pane, 10);
    if (number === 0) {
      // The page's own font, so that the Japanese texts read right without one on the system.
      const fonts = await page.evaluate(
          () => [...document.fonts].map(
              (font) => `${font.family.replace(/"/g, "")}: ${font.status}`));
      check("the page's font is loaded", fonts.includes("Reversi Text: loaded"), `  ${fonts}`);
    }
    if (session.title !== null) {
      const title = await page.title();
      check(`${session.name}: the page's title`, title === session.title, `  saw '${title}'`);
      const paneTitle = tmux("display", "-p", "-t", pane.name, "#{pane_title}").trim();
      check(
          `${session.name}: the terminal's title`, paneTitle === session.title,
          `  saw '${paneTitle}'`);
    }
    for (const [i, line] of session.lines.entries()) {
      if (process.env.VERBOSE) console.log(session.name, JSON.stringify(line));
      await TypePage(page, line);
      TypeNative(pane, line);
      await CompareScreens(
          `${session.name}, after '${line.replace("\b", "<BS>")}' (line ${i + 1})`, page, pane, 20);
      if (session.screenshotAfter === i + 1) await page.screenshot({path: screenshotPath});
    }
    // The program in the pane may take a moment to end after its last screen.
    const status = await page.evaluate(() => window.reversiPage.exitStatus);
    let nativeStatus = NativeExitStatus(pane);
    for (let tries = 0; nativeStatus === null && tries < 100; tries++) {
      await new Promise((resume) => setTimeout(resume, 50));
      nativeStatus = NativeExitStatus(pane);
    }
    check(
        `${session.name}: the same exit status`, status !== null && `${status}` === nativeStatus,
        `  page ${status}, native ${nativeStatus}`);
    await page.close();
  }

  // A record file needs files, which the page does not have: refused with a clear line.
  // The file name comes through the address's escapes as typed.
  const page = await browser.newPage();
  await page.goto(`${siteUrl}?record=my%20game.txt`);
  await WaitForStart(page);
  const text = await PageText(page);
  const refusal = "reversi: cannot open the record file 'my game.txt' for appending: a game in a " +
      "web page keeps no files";
  check("--record is refused in the page", text.startsWith(refusal), text);
  check(
      "--record: exit status 2", (await page.evaluate(() => window.reversiPage.exitStatus)) === 2);
  await page.close();

  if (conversionsProgram) {
    // The browser's decoder under the page's converter, every byte and byte pair.
    const blank = await browser.newPage();
    await blank.evaluate(() => {
      window.listing = [];
      window.Module = {print: (line) => window.listing.push(line), onExit: () => {}};
    });
    await blank.addScriptTag({content: readFileSync(conversionsProgram, "utf8")});
    const want = readFileSync(conversionsListing, "utf8").trimEnd().split("\n");
    await blank.waitForFunction(
        (count) => window.listing.length >= count, want.length, {timeout: 30000});
    const got = await blank.evaluate(() => window.listing);
    const first = want.findIndex((line, i) => line !== got[i]);
    check(
        "CP932 in the page: every byte and pair converted as on Linux", first < 0,
        `  first difference: page '${got[first]}', Linux '${want[first]}'`);
    await blank.close();
  }
} finally {
  await browser.close();
  try {
    tmux("kill-server");
  } catch (error) {
    // no server left
  }
  rmSync(work, {recursive: true, force: true});
}

console.log(`page sessions: ${passed} passed, ${failed} failed`);
process.exit(failed > 0 ? 1 : 0);
