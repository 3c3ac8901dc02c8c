// The game's page as a player meets it, in headless Chromium at three screen sizes: the board
// inside the screen and its cells large enough, the keys of each prompt, a tap on a hinted square,
// each compared with the Linux program in a tmux pane of the same size; every disc drawn whole in
// colour (the pixels of a screenshot); the page answering while level 5 searches; the settings
// kept over a reload; an offline reload; the keyboard reaching every control. Saves a screenshot
// at each size into SCREENSHOT_DIR. The last line says "N passed, M failed".
//   usage: node page_play.mjs SITE_URL NATIVE_PROGRAM SCREENSHOT_DIR
import {mkdirSync} from "node:fs";
import {createRequire} from "node:module";

import {
  Address, check, CloseNative, CompareScreens, Drawn, NativeExitStatus, PageSize, StartNative,
  tally, TypeNative, UseNativeProgram, WaitForStart
} from "./terminals.mjs";

const require = createRequire(new URL("../../web/package.json", import.meta.url));
const {chromium} = require("playwright-core");

const [siteUrl, nativeProgram, screenshotDir] = process.argv.slice(2);
if (!siteUrl || !nativeProgram || !screenshotDir) {
  console.error("usage: node page_play.mjs SITE_URL NATIVE_PROGRAM SCREENSHOT_DIR");
  process.exit(2);
}
UseNativeProgram(nativeProgram);
mkdirSync(screenshotDir, {recursive: true});

// The screens, each with the smallest board cell it must get (CSS px, two terminal columns).
const Screens = [
  {name: "phone", width: 390, height: 844, touch: true, smallestCell: 20},
  {name: "tablet", width: 768, height: 1024, touch: false, smallestCell: 20},
  {name: "laptop", width: 1280, height: 800, touch: false, smallestCell: 40},
];
const Answer = 100;  // ms within which the page must answer while the COM searches
const ModeKeys = ["0", "1", "2", "3"];

// ---- Reading the page ---------------------------------------------------------------------------

// The last board on the terminal's screen: each square's code, glyph and rectangle on the page,
// and the rectangle of the whole board with its labels.
function Board(page) {
  return page.evaluate(() => {
    const terminal = window.reversiPage.terminal;
    const buffer = terminal.buffer.active;
    const box = terminal.element.querySelector(".xterm-screen").getBoundingClientRect();
    const width = box.width / terminal.cols;
    const height = box.height / terminal.rows;
    let top = -1;
    for (let row = 0; row + 8 <= terminal.rows; row++) {
      let board = true;
      for (let r = 0; r < 8 && board; r++) {
        const text = buffer.getLine(buffer.viewportY + row + r).translateToString();
        board = text.startsWith(`${r + 1}0`);
      }
      if (board) top = row;
    }
    if (top < 0) return null;
    const squares = [];
    for (let r = 0; r < 8; r++) {
      const line = buffer.getLine(buffer.viewportY + top + r);
      for (let c = 0; c < 8; c++) {
        squares.push({
          square: (r + 1) * 10 + c + 1,
          glyph: line.getCell(2 + 2 * c).getChars(),
          x: box.left + (2 + 2 * c) * width,
          y: box.top + (top + r) * height,
          width: 2 * width,
          height,
        });
      }
    }
    // From the column numbers' line to the last row, from the labels to the last column.
    const rect = {
      left: box.left,
      top: box.top + (top - 1) * height,
      right: box.left + 18 * width,
      bottom: box.top + (top + 8) * height,
    };
    return {squares, rect, cell: 2 * width, pageWidth: document.documentElement.scrollWidth};
  });
}

// The keys the page offers, with whether each is inside the screen and named.
function Keys(page) {
  return page.evaluate(() => [...document.querySelectorAll("#keys button")].map((button) => {
    const box = button.getBoundingClientRect();
    const inside = box.left >= 0 && box.top >= 0 && box.right <= window.innerWidth &&
        box.bottom <= window.innerHeight;
    return {key: button.dataset.key, inside, named: button.textContent.trim() !== ""};
  }));
}

async function CheckKeys(what, page, want) {
  const keys = await Keys(page);
  const got = keys.map((key) => key.key).join(",");
  check(`${what}: the keys ${want.join(",")}`, got === want.join(","), `  saw ${got}`);
  check(`${what}: every key on the screen and named`, keys.every((key) => key.inside && key.named),
        `  ${JSON.stringify(keys)}`);
}

// Waits until the program waits again (or has ended) after `act`.
async function Then(page, act) {
  const waits = await page.evaluate(() => window.reversiPage.waits);
  await act();
  await page.waitForFunction(
      (before) => window.reversiPage.waits > before || window.reversiPage.exitStatus !== null,
      waits, {timeout: 20000});
  await Drawn(page);
}

// Taps on a touch screen, clicks elsewhere.
async function Press(page, screen, x, y) {
  if (screen.touch) {
    await page.touchscreen.tap(x, y);
  } else {
    await page.mouse.click(x, y);
  }
}
async function PressKey(page, screen, key) {
  const box = await page.locator(`#keys button[data-key="${key}"]`).boundingBox();
  await Press(page, screen, box.x + box.width / 2, box.y + box.height / 2);
}

// The share of a square's pixels in each half that have the disc's colour, from a screenshot.
async function DiscHalves(page, squares) {
  const png = (await page.screenshot()).toString("base64");
  return page.evaluate(async ([png, squares]) => {
    const image = await createImageBitmap(await (await fetch(`data:image/png;base64,${png}`)).blob());
    const canvas = new OffscreenCanvas(image.width, image.height);
    const context = canvas.getContext("2d");
    context.drawImage(image, 0, 0);
    const Inked = (glyph, r, g, b) =>
        glyph === "○" ? r < 60 && g < 60 && b < 60 : r > 215 && g > 215 && b > 215;
    return squares.map((square) => {
      const halves = [0, 1].map((half) => {
        const x = Math.round(square.x + half * square.width / 2);
        const pixels = context.getImageData(x, Math.round(square.y), Math.floor(square.width / 2),
                                            Math.floor(square.height)).data;
        let inked = 0;
        for (let i = 0; i < pixels.length; i += 4) {
          if (Inked(square.glyph, pixels[i], pixels[i + 1], pixels[i + 2])) inked += 1;
        }
        return inked;
      });
      return {square: square.square, glyph: square.glyph, left: halves[0], right: halves[1]};
    });
  }, [png, squares]);
}

// ---- At each size: the board, the keys of every prompt, a tap, the colours --------------------

async function PlayAt(browser, screen) {
  const context = await browser.newContext({
    viewport: {width: screen.width, height: screen.height},
    hasTouch: screen.touch,
    isMobile: screen.touch,
  });
  const page = await context.newPage();
  const what = `${screen.name} ${screen.width}x${screen.height}`;
  page.on("pageerror", (error) => check(`${what}: no script error`, false, error.message));
  const options = ["--hints", "--last-move", "--undo", "--color=always", "--seed=5"];
  await page.goto(Address(siteUrl, options));
  await WaitForStart(page);
  const [columns, rows] = await PageSize(page);
  const pane = StartNative(screen.name, options, columns, rows);
  await CompareScreens(`${what}, at the start`, page, pane, 10);
  await CheckKeys(`${what}, the mode prompt`, page, ModeKeys);

  // Each step: a key pressed on the page (or a tap on the first hinted square), typed in the
  // pane, the screens compared, then the keys the next prompt offers.
  const Steps = [
    ["Player vs COM", "1", ["0", "98", "99"]],
    ["a tap on a hinted square", "tap", ["0", "98", "99"]],
    ["take back", "98", ["0", "98", "99"]],
    ["give up the turn", "0", ["0", "98", "99"]],
    ["break off", "99", ["0", "98", "99"]],
    ["back into the game", "98", ["0", "98", "99"]],
    ["break off again", "99", ["0", "98", "99"]],
    ["new game", "0", ModeKeys],
    ["COM vs COM to the end", "3", ["0", "98", "99"]],
  ];
  for (const [step, key, keys] of Steps) {
    let typed = key;
    if (key === "tap") {
      const board = await Board(page);
      const hinted = board.squares.find((square) => square.glyph === "＊");
      check(`${what}: a hinted square to tap`, hinted !== undefined);
      if (!hinted) break;
      typed = `${hinted.square}`;
      await Then(page, () => Press(page, screen, hinted.x + hinted.width / 2,
                                   hinted.y + hinted.height / 2));
      await page.screenshot({path: `${screenshotDir}/page-${screen.name}.png`});
    } else {
      await Then(page, () => PressKey(page, screen, key));
    }
    TypeNative(pane, typed);
    await CompareScreens(`${what}, ${step} (${typed})`, page, pane, 20);
    await CheckKeys(`${what}, after ${step}`, page, keys);
    if (key === "1") {
      const board = await Board(page);
      const {rect, cell} = board;
      check(`${what}: the board inside the screen`,
            rect.left >= 0 && rect.top >= 0 && rect.right <= screen.width &&
                rect.bottom <= screen.height && board.pageWidth <= screen.width,
            `  board ${JSON.stringify(rect)}, page ${board.pageWidth} px wide`);
      check(`${what}: a board cell at least ${screen.smallestCell} px`, cell >= screen.smallestCell,
            `  ${cell} px`);
      console.log(`${what}: board cell ${cell} px, terminal ${columns}x${rows}`);
    }
  }

  // The finished COM-vs-COM board: every disc whole, the right half of its cell inked as the left.
  const discs = (await Board(page)).squares.filter((square) => "○●".includes(square.glyph));
  const halves = await DiscHalves(page, discs);
  const cut = halves.filter((disc) => disc.left === 0 || disc.right < disc.left * 0.6);
  check(`${what}: every disc drawn whole in its colour (${discs.length} discs)`,
        discs.length > 0 && cut.length === 0, `  ${JSON.stringify(cut.slice(0, 4))}`);

  await Then(page, () => PressKey(page, screen, "99"));
  TypeNative(pane, "99");
  await CompareScreens(`${what}, shut down`, page, pane, 10);
  const status = await page.evaluate(() => window.reversiPage.exitStatus);
  let nativeStatus = null;
  for (let tries = 0; nativeStatus === null && tries < 100; tries++) {
    await new Promise((resume) => setTimeout(resume, 50));
    nativeStatus = NativeExitStatus(pane);
  }
  check(`${what}: the same exit status`, `${status}` === nativeStatus,
        `  page ${status}, native ${nativeStatus}`);
  const again = await page.locator("#keys button").allTextContents();
  check(`${what}: a key to play again after the end`, again.length === 1, `  ${again}`);
  await context.close();
}

// ---- Never frozen: the page answers while level 5 searches ------------------------------------

async function AnswersWhileThinking(browser) {
  const page = await browser.newPage({viewport: {width: 1280, height: 800}});
  page.on("pageerror", (error) => check("level 5: no script error", false, error.message));
  await page.goto(Address(siteUrl, ["--level=5", "--seed=1"]));
  await WaitForStart(page);
  await page.evaluate(() => {
    const terminal = window.reversiPage.terminal;
    window.answers = [];
    window.clears = [];
    let pressed = null;
    document.addEventListener("keydown", (event) => {
      pressed = event.timeStamp;
    }, true);
    // The first write the terminal takes in after a key is its echo: the program is silent.
    terminal.onWriteParsed(() => {
      if (pressed !== null) window.answers.push(performance.now() - pressed);
      pressed = null;
    });
    terminal.parser.registerCsiHandler({final: "J"}, () => {
      window.clears.push(performance.now());
      return false;
    });
  });
  await PressKey(page, {touch: false}, "3");
  const Presses = 5;
  let thinkingShown = true;
  for (let i = 0; i < Presses; i++) {
    await page.waitForFunction(() => window.reversiPage.thinking, null, {timeout: 20000});
    thinkingShown = thinkingShown &&
        (await page.evaluate(() => document.getElementById("status").textContent !== ""));
    await page.keyboard.press("7");
    await page.waitForFunction((count) => window.answers.length > count, i, {timeout: 20000});
    await new Promise((resume) => setTimeout(resume, 200));
  }
  // The mode keys, answered, stay without effect while the game runs.
  const answered = await page.evaluate(() => [...document.querySelectorAll("#keys button")].map(
      (button) => button.getAttribute("aria-disabled")));
  check("level 5: the answered prompt's keys are without effect", answered.length === 4 &&
            answered.every((state) => state === "true"), `  ${answered}`);
  await page.waitForFunction(() => window.clears.length >= 8, null, {timeout: 60000});
  const [answers, clears] = await page.evaluate(() => [window.answers, window.clears]);
  const slowest = Math.max(...answers);
  console.log(`level 5: keys echoed within ${slowest.toFixed(1)} ms while the COM searched ` +
              `(${answers.map((ms) => ms.toFixed(1)).join(", ")})`);
  check(`level 5: every key echoed within ${Answer} ms while the COM searches`, slowest < Answer,
        `  ${answers}`);
  check("level 5: the page shows that the COM is thinking", thinkingShown);
  check("level 5: COM vs COM drawn move by move",
        clears.length >= 8 && clears[clears.length - 1] - clears[0] > 500,
        `  ${clears.length} screens over ${clears[clears.length - 1] - clears[0]} ms`);
  await page.close();
}

// ---- Settings, the address, offline -----------------------------------------------------------

async function SettingsAndOffline(browser) {
  const context = await browser.newContext({viewport: {width: 390, height: 844}, hasTouch: true});
  const page = await context.newPage();
  page.on("pageerror", (error) => check("settings: no script error", false, error.message));
  const Line = () => page.evaluate(() => window.reversiPage.arguments.join(" "));
  await page.goto(siteUrl);
  await WaitForStart(page);
  check("settings: the page's defaults", (await Line()) ===
            "--hints --last-move --undo --color=always --delay=300", `  ${await Line()}`);

  // Each change starts a new game with it.
  await page.click("#open-settings");
  for (const [field, value] of [["language", "en"], ["hints", false], ["whiteLevel", "3"]]) {
    await Then(page, async () => {
      const control = page.locator(`#settings-form [name="${field}"]`);
      if (typeof value === "boolean") {
        await control.setChecked(value);
      } else {
        await control.selectOption(value);
      }
    });
  }
  await page.click("#close-settings");
  const chosen = "--english --last-move --undo --color=always --level=1,3 --delay=300";
  check("settings: a change starts a new game with it", (await Line()) === chosen,
        `  ${await Line()}`);

  await page.reload();
  await WaitForStart(page);
  check("settings: kept over a reload", (await Line()) === chosen, `  ${await Line()}`);
  const shown = await page.evaluate(() => {
    const form = document.getElementById("settings-form").elements;
    return `${form.language.value} ${form.hints.checked} ${form.whiteLevel.value}`;
  });
  check("settings: the panel shows them after a reload", shown === "en false 3", `  ${shown}`);
  check("settings: the page's texts in English",
        (await page.locator("#open-settings").textContent()) === "Settings");

  // The address decides the whole command line; "plain" is the program without options.
  await page.goto(`${siteUrl}?ascii`);
  await WaitForStart(page);
  check("settings: the address wins", (await Line()) === "--ascii", `  ${await Line()}`);
  await page.goto(`${siteUrl}?plain`);
  await WaitForStart(page);
  check("settings: ?plain runs the program without options", (await Line()) === "",
        `  ${await Line()}`);
  const [columns, rows] = await PageSize(page);
  const pane = StartNative("plain", [], columns, rows);
  await CompareScreens("?plain, at the start", page, pane, 10);

  // Offline: the service worker has kept the site.
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null,
                             {timeout: 10000});
  await context.setOffline(true);
  await page.reload();
  let started = true;
  try {
    await WaitForStart(page);
  } catch (error) {
    started = false;
  }
  check("offline: a reload still starts the game", started &&
            (await page.evaluate(() => window.reversiPage.prompt)) === "mode");
  await context.close();
}

// ---- The keyboard and a screen reader ---------------------------------------------------------

async function Accessible(browser) {
  const page = await browser.newPage({viewport: {width: 768, height: 1024}});
  await page.goto(Address(siteUrl, ["--seed=1"]));
  await WaitForStart(page);
  // Tab from the terminal through the page: every control is reached, with a visible focus.
  const reached = new Set();
  let outlined = true;
  for (let i = 0; i < 12; i++) {
    await page.keyboard.press("Tab");
    const focus = await page.evaluate(() => {
      const element = document.activeElement;
      return {
        name: element.id || element.dataset.key || element.tagName,
        outline: getComputedStyle(element).outlineStyle,
        button: element.tagName === "BUTTON",
      };
    });
    reached.add(focus.name);
    if (focus.button) outlined = outlined && focus.outline !== "none";
  }
  const want = ["open-settings", ...ModeKeys];
  check("Tab reaches every control", want.every((name) => reached.has(name)),
        `  reached ${[...reached]}`);
  check("the focused control is outlined", outlined);
  const unnamed = await page.evaluate(
      () => [...document.querySelectorAll("input, select")].filter((c) => c.labels.length === 0)
                .map((control) => control.name));
  check("every setting has a label", unnamed.length === 0, `  ${unnamed}`);
  await page.click("#open-settings");
  await page.locator('#settings-form [name="screenReader"]').setChecked(true);
  const reader = await page.evaluate(
      () => window.reversiPage.terminal.options.screenReaderMode &&
          document.querySelector(".xterm-accessibility") !== null);
  check("the screen-reader setting turns on the terminal's screen-reader mode", reader);
  await page.close();
}

const browser =
    await chromium.launch({executablePath: "/usr/bin/chromium", args: ["--no-sandbox"]});
try {
  for (const screen of Screens) await PlayAt(browser, screen);
  await AnswersWhileThinking(browser);
  await SettingsAndOffline(browser);
  await Accessible(browser);
} catch (error) {
  check("the page's play runs to its end", false, `  ${error.stack}`);
} finally {
  await browser.close();
  CloseNative();
}

console.log(`page play: ${tally.passed} passed, ${tally.failed} failed`);
process.exit(tally.failed > 0 ? 1 : 0);
