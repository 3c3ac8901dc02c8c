// Plays the same sessions in the game's web page (headless Chromium, driven by playwright-core)
// and in the Linux program on a real terminal (a tmux pane of the page's terminal's size), and
// checks that after every line typed both terminals show the same screen, line for line, with the
// cursor in the same place; also the window title, the exit status and what the page refuses. Saves a screenshot of
// the page after a few moves. Given the web build of tests/web/cp932_conversions.cpp and the
// listing of its Linux build, runs it in a page too and compares the listings. The last line says
// "N passed, M failed"; the exit status is 1 when anything failed.
//   usage: node page_sessions.mjs SITE_URL NATIVE_PROGRAM SCREENSHOT_PATH [CONVERSIONS_JS LISTING]
import {readFileSync} from "node:fs";
import {createRequire} from "node:module";

import {
  Address, check, CloseNative, CompareScreens, NativeExitStatus, PageSize, PageText, StartNative,
  tally, tmux, TypeNative, TypePage, UseNativeProgram, WaitForStart
} from "./terminals.mjs";

// playwright-core is installed with the page's own packages (web/package.json).
const require = createRequire(new URL("../../web/package.json", import.meta.url));
const {chromium} = require("playwright-core");

const [siteUrl, nativeProgram, screenshotPath, conversionsProgram, conversionsListing] =
    process.argv.slice(2);
if (!siteUrl || !nativeProgram || !screenshotPath) {
  console.error("usage: node page_sessions.mjs SITE_URL NATIVE_PROGRAM SCREENSHOT_PATH");
  process.exit(2);
}
UseNativeProgram(nativeProgram);

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

// ---- The sessions
// ---------------------------------------------------------------------------------

const browser =
    await chromium.launch({executablePath: "/usr/bin/chromium", args: ["--no-sandbox"]});
try {
  for (const [number, session] of Sessions.entries()) {
    const page = await browser.newPage({viewport: {width: 900, height: 560}});
    page.on(
        "pageerror", (error) => check(`${session.name}: no script error`, false, error.message));
    await page.goto(Address(siteUrl, session.options));
    await WaitForStart(page);
    const [columns, rows] = await PageSize(page);
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
  CloseNative();
}

console.log(`page sessions: ${tally.passed} passed, ${tally.failed} failed`);
process.exit(tally.failed > 0 ? 1 : 0);
