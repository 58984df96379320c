// Drives the browser build in Debian's headless Chromium (SwiftShader) for scripts/check-web.
// Usage: node check.mjs ADDRESS OUTPUT_DIR FRAMES [benchmark]
//   - the page as a visitor sees it: the two questions' buttons, no sound before the clicks,
//     sound after them, and a picture on the canvas;
//   - ?music-hash=10: the music fingerprint line;
//   - ?snapshots=FRAMES: the frames as OUTPUT_DIR/render/frame_NNNNNN.png;
//   - ?benchmark (when asked): the frame-time table.
// Prints "RESULT name value" lines for the script; exits 1 when a check fails.
import { chromium } from 'playwright-core';
import fs from 'node:fs';
import path from 'node:path';

const [address, outDir, frames, ...rest] = process.argv.slice(2);
const runBenchmark = rest.includes('benchmark');
fs.mkdirSync(path.join(outDir, 'render'), { recursive: true });
let failed = false;
const fail = (text) => { console.log('FAILED ' + text); failed = true; };
const result = (name, value) => console.log(`RESULT ${name} ${value}`);

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
         // A page in the background must not be slowed down while it renders for the test.
         '--disable-background-timer-throttling', '--disable-renderer-backgrounding'],
});

async function openPage(query) {
  const context = await browser.newContext({ viewport: { width: 1024, height: 900 } });
  const page = await context.newPage();
  page.on('pageerror', (error) => fail(`page error on ?${query}: ${error.message}`));
  page.on('console', (message) => {
    if (process.env.TUVERO_CHECK_VERBOSE) console.log(`[page ${query}] ${message.text()}`);
  });
  // Every audio context the page makes, to tell whether it plays sound.
  await page.addInitScript(() => {
    window.audioContexts = [];
    for (const name of ['AudioContext', 'webkitAudioContext']) {
      const Original = window[name];
      if (!Original) continue;
      window[name] = class extends Original {
        constructor(...args) { super(...args); window.audioContexts.push(this); }
      };
    }
  });
  await page.goto(`${address}?${query}`);
  return { context, page };
}

// Runs an offline run of the page to its end and returns the page's record of it.
async function offlineRun(query, timeoutMinutes) {
  const { context, page } = await openPage(query);
  const started = Date.now();
  await page.waitForFunction(() => window.tuvero && window.tuvero.ended, null,
                             { timeout: timeoutMinutes * 60000, polling: 1000 });
  const record = await page.evaluate(() => window.tuvero);
  record.seconds = (Date.now() - started) / 1000;
  await context.close();
  if (record.exitCode !== 0)
    fail(`?${query} ended with ${record.exitCode}: ${record.output.slice(-5).join(' | ')}`);
  return record;
}

// 1. The page as a visitor sees it.
{
  const { context, page } = await openPage('');
  const yes = page.locator('#answer-yes'), no = page.locator('#answer-no');
  await yes.waitFor({ state: 'visible', timeout: 30000 });
  await no.waitFor({ state: 'visible', timeout: 30000 });
  result('question-buttons', `"${await yes.textContent()}" "${await no.textContent()}"`);
  // Let the page download everything: still no sound until the questions are answered.
  await page.waitForFunction(() => window.tuvero.ready, null, { timeout: 120000 });
  await page.waitForTimeout(1000);
  const before = await page.evaluate(() => window.audioContexts.map((c) => c.state));
  if (before.includes('running')) fail(`sound before any click: audio contexts ${before}`);
  result('audio-before-click', before.length ? before.join(',') : 'none');
  await no.click(); // Window
  if ((await yes.textContent()) !== 'Music') fail('the second question did not come');
  await yes.click(); // Music
  await page.waitForTimeout(8000);
  const after = await page.evaluate(() => window.audioContexts.map((c) => c.state));
  if (!after.includes('running')) fail(`no sound after the clicks: audio contexts ${after}`);
  result('audio-after-click', after.join(','));
  const ended = await page.evaluate(() => window.tuvero.ended);
  if (ended) fail('the show ended by itself: ' + (await page.evaluate(() => window.tuvero.output.join(' | '))));
  await page.locator('#stage').screenshot({ path: path.join(outDir, 'page-live.png') });
  await page.screenshot({ path: path.join(outDir, 'page-whole.png') });
  await context.close();
}

// 2. The music, mixed in lock-step.
{
  const record = await offlineRun('music-hash=10', 5);
  const line = record.output.find((l) => l.startsWith('music hash:'));
  if (!line) fail('no music hash printed');
  else result('music-hash', line);
}

// 3. The reference moments.
{
  const record = await offlineRun(`snapshots=${frames}`, 40);
  result('snapshot-run-seconds', record.seconds.toFixed(0));
  for (const [frame, base64] of Object.entries(record.snapshots)) {
    const name = `frame_${String(frame).padStart(6, '0')}.png`;
    fs.writeFileSync(path.join(outDir, 'render', name), Buffer.from(base64, 'base64'));
  }
  result('snapshots', Object.keys(record.snapshots).length);
}

// 4. Frame times.
if (runBenchmark) {
  const record = await offlineRun('benchmark', 40);
  fs.writeFileSync(path.join(outDir, 'benchmark-browser.txt'), record.output.join('\n') + '\n');
  result('benchmark-run-seconds', record.seconds.toFixed(0));
}

await browser.close();
process.exit(failed ? 1 : 0);
