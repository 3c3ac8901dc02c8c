// Figures of the game's web page in headless Chromium (playwright-core): the time from the start
// of loading the page to the program's first wait for input (the mode prompt on the screen),
// each load in a fresh browser context, so nothing comes from a cache; and the time of COM-vs-COM
// games, all answers typed ahead at the mode prompt, from the first answer to the program's exit,
// and to the terminal having taken in every byte. Prints medians with minimum and maximum.
//   usage: node web_bench.mjs SITE_URL LOADS GAMES RUNS
import {createRequire} from "node:module";

const require = createRequire(new URL("../web/package.json", import.meta.url));
const {chromium} = require("playwright-core");

const [siteUrl, loads, games, runs] = [process.argv[2], ...process.argv.slice(3).map(Number)];

function Summary(values, unit) {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  const median = sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
  const f = (v) => v.toFixed(1);
  return `median ${f(median)} ${unit} (min ${f(sorted[0])}, max ${f(sorted[sorted.length - 1])}, ` +
      `${values.length} runs)`;
}

async function Started(page) {
  await page.waitForFunction(
      () => window.reversiPage && window.reversiPage.waits > 0, null, {timeout: 30000});
}

const browser =
    await chromium.launch({executablePath: "/usr/bin/chromium", args: ["--no-sandbox"]});
try {
  const firstPrompt = [];
  for (let i = 0; i < loads; i++) {
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.goto(`${siteUrl}?seed=1`);
    await Started(page);
    firstPrompt.push(await page.evaluate(() => window.reversiPage.firstWaitAt));
    await context.close();
  }
  console.log(`load to the first prompt: ${Summary(firstPrompt, "ms")}`);

  // "3" for the first game, "0" and "3" for each further one, "99" at the last result.
  const answers = "3\r" +
      "0\r3\r".repeat(games - 1) + "99\r";
  const toExit = [];
  const toDrawn = [];
  for (let i = 0; i < runs; i++) {
    const page = await browser.newPage();
    await page.goto(`${siteUrl}?seed=1`);
    await Started(page);
    const [exited, drawn] = await page.evaluate(
        (typed) => new Promise((done) => {
          const start = performance.now();
          const terminal = window.reversiPage.terminal;
          window.reversiPage.onExit = function() {
            const exited = performance.now() - start;
            terminal.write("", () => done([exited, performance.now() - start]));
          };
          terminal.input(typed);
        }),
        answers);
    toExit.push(exited / games);
    toDrawn.push(drawn / games);
    await page.close();
  }
  console.log(`COM vs COM in the page, per game, to the program's exit: ${Summary(toExit, "ms")}`);
  console.log(
      `COM vs COM in the page, per game, until the terminal has taken it all in: ` +
      `${Summary(toDrawn, "ms")}`);
} finally {
  await browser.close();
}
