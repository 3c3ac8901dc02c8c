// What the web page's tests share: the tally of checks, the Linux program in tmux panes, and the
// page read and typed into as a player's terminal, with the screens of the two compared.
import {execFileSync} from "node:child_process";
import {mkdtempSync, readFileSync, rmSync, writeFileSync} from "node:fs";
import {tmpdir} from "node:os";
import {join} from "node:path";

export const tally = {passed: 0, failed: 0};
export function check(what, ok, detail = "") {
  if (ok) {
    tally.passed += 1;
  } else {
    tally.failed += 1;
    console.log(`FAIL: ${what}${detail ? "\n" + detail : ""}`);
  }
  return ok;
}

// ---- The native program in tmux -----------------------------------------------------------------

let nativeProgram = null;
export function UseNativeProgram(path) {
  nativeProgram = path;
}
const work = mkdtempSync(join(tmpdir(), "reversi-web-"));
const socket = `reversi-web-${process.pid}`;
writeFileSync(join(work, "tmux.conf"), "set -g status off\n");
export function tmux(...args) {
  return execFileSync("tmux", ["-u", "-L", socket, "-f", join(work, "tmux.conf"), ...args], {
    encoding: "utf8",
    env: {...process.env, LC_ALL: "C.UTF-8"},
  });
}
const quote = (word) => `'${word.replace(/'/g, "'\\''")}'`;

// Starts the program in a pane of its own; the shell writes its exit status to a file and then
// keeps the pane, so that its last screen stays to be read.
export function StartNative(name, options, columns, rows) {
  const status = join(work, `${name}.status`);
  const command = [nativeProgram, ...options].map(quote).join(" ");
  tmux(
      "new-session", "-d", "-s", name, "-x", `${columns}`, "-y", `${rows}`,
      `${command}; echo $? >${quote(status)}; exec sleep 3600`);
  return {name, status, rows};
}
export function NativeScreen(pane) {
  const lines = tmux("capture-pane", "-p", "-t", pane.name).split("\n").slice(0, pane.rows);
  const [x, y] = tmux("display", "-p", "-t", pane.name, "#{cursor_x} #{cursor_y}")
                     .trim()
                     .split(" ")
                     .map(Number);
  return Normalised(lines, x, y);
}
export function NativeExitStatus(pane) {
  try {
    return readFileSync(pane.status, "utf8").trim();
  } catch (error) {
    return null;
  }
}
export function TypeNative(pane, line) {
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
export async function PageScreen(page) {
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
export function PageText(page) {
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
export async function TypePage(page, line) {
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
export function Drawn(page) {
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
export async function CompareScreens(what, page, pane, seconds) {
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

export function Address(siteUrl, options) {
  const query = options.map((option) => option.replace(/^--/, "")).map(encodeURI).join("&");
  return `${siteUrl}${query ? "?" + query : ""}`;
}

export async function WaitForStart(page) {
  await page.waitForFunction(
      () => window.reversiPage &&
          (window.reversiPage.waits > 0 || window.reversiPage.exitStatus !== null),
      null, {timeout: 30000});
  await Drawn(page);
}

// Ends every tmux pane and takes away the scratch folder.
export function CloseNative() {
  try {
    tmux("kill-server");
  } catch (error) {
    // no server left
  }
  rmSync(work, {recursive: true, force: true});
}

// The size of the page's terminal, for a pane of the same size.
export function PageSize(page) {
  return page.evaluate(() => [window.reversiPage.terminal.cols, window.reversiPage.terminal.rows]);
}
