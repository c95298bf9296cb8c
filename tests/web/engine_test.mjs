// The page in Firefox (Debian's firefox-esr, headless) over WebDriver BiDi,
// through puppeteer-core: the checks of engine_checks.js, as engine_test.py
// runs them in chromium and WebKit, and the printout as printout.py checks it.
// Debian has no geckodriver.
//
// usage: node engine_test.mjs, with VANTREL_PAGE (the page) and
// VANTREL_NODE_PACKAGES (the folder whose node_modules has puppeteer-core) set;
// CTest sets them.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import {createRequire} from 'node:module';
import os from 'node:os';
import path from 'node:path';
import test from 'node:test';
import {fileURLToPath, pathToFileURL} from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const puppeteer =
    createRequire(path.join(process.env.VANTREL_NODE_PACKAGES, 'package.json'))('puppeteer-core');
const page = pathToFileURL(process.env.VANTREL_PAGE).href;
const checks = fs.readFileSync(path.join(here, 'engine_checks.js'), 'utf8');
const lines = JSON.parse(fs.readFileSync(path.join(here, 'lines.json'), 'utf8'));
const answer = separator => '00' + separator + '01384   17';
const column = ['Label1', 'Image1', 'Label2', 'Command1', 'Label4', 'Label3', 'Command2'];

// Bounds a step that could otherwise hang the test.
const within = (seconds, promise, what) => Promise.race([promise, new Promise((_, reject) =>
    setTimeout(() => reject(new Error(what + ' took over ' + seconds + ' s')), seconds * 1000)
        .unref())]);

// Runs body(tab, check) with the page open in a fresh Firefox whose language
// is `language`, with `prefs` and in a viewport of `viewport` where given;
// check(name, ...arguments) is what that in-page check finds. The browser is
// ended, by its PID if it will not close, and its profile removed.
async function withFirefox(language, body, {prefs = {}, viewport = null} = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vantrel-firefox-'));
  let browser;
  try {
    browser = await puppeteer.launch({
      browser: 'firefox', protocol: 'webDriverBiDi', executablePath: '/usr/bin/firefox-esr',
      headless: true, userDataDir: profile, timeout: 60000,
      extraPrefsFirefox: {'intl.accept_languages': language, 'intl.locale.requested': language,
                          ...prefs},
    });
    const tab = await browser.newPage();
    if (viewport) await tab.setViewport(viewport);
    const check = (name, ...args) =>
        tab.evaluate('(' + checks + ').' + name + '(...' + JSON.stringify(args) + ')');
    await tab.goto(page);
    await tab.waitForFunction('(' + checks + ').ready()', {timeout: 10000, polling: 20});
    await body(tab, check);
  } finally {
    if (browser) {
      const child = browser.process();
      await within(10, browser.close(), 'closing Firefox').catch(() => {});
      if (child && child.exitCode === null && child.signalCode === null)
        child.kill('SIGKILL');
    }
    fs.rmSync(profile, {recursive: true, force: true});
  }
}

test('every label draws the reference lines with its ink in its box', async () => {
  await withFirefox('ru-RU', async (tab, check) => {
    const wrong = [...await check('lines', lines), ...await check('ink')];
    assert.deepEqual(wrong, [], 'what the page draws:\n' + wrong.join('\n'));
  });
});

test('the answer after Calculate has the language\'s separator', async t => {
  for (const [language, separator] of [['ru-RU', ','], ['en-US', '.']]) {
    await t.test(language, () => withFirefox(language, async (tab, check) => {
      await tab.click('#Command1');
      await tab.waitForFunction(
          '(' + checks + ').answer() !== ' + JSON.stringify(lines.Label4[0]),
          {timeout: 10000, polling: 20});
      assert.equal(await check('answer'), answer(separator));
    }));
  }
});

const calculate = async (tab, check, separator) => {
  await tab.click('#Command1');
  await tab.waitForFunction('(' + checks + ').answer() === ' + JSON.stringify(answer(separator)),
                            {timeout: 10000, polling: 20});
};

test('narrower than the window it is one column, and Calculate answers', async () => {
  await withFirefox('ru-RU', async (tab, check) => {
    let wrong = [...await check('column', column), ...await check('ink'),
                 ...await check('wholeText')];
    assert.deepEqual(wrong, [], 'in 320 px:\n' + wrong.join('\n'));
    await calculate(tab, check, ',');
    wrong = [...await check('column', column), ...await check('ink')];
    assert.deepEqual(wrong, [], 'after Calculate:\n' + wrong.join('\n'));
  }, {viewport: {width: 320, height: 700}});
});

test('a minimum font of 24 px draws the same lines larger and unclipped', async () => {
  // The window's text is Russian: Firefox's Cyrillic minimum is the one it meets.
  const prefs = {'font.minimum-size.x-cyrillic': 24, 'font.minimum-size.x-western': 24};
  await withFirefox('ru-RU', async (tab, check) => {
    const wrong = [...await check('lines', lines), ...await check('ink')];
    assert.deepEqual(wrong, [], 'what the page draws:\n' + wrong.join('\n'));
    // As the page sets it: Firefox's computed size leaves its minimum out.
    assert.ok(await check('smallestText') >= 24, 'smallest text ' + await check('smallestText'));
  }, {prefs, viewport: {width: 1280, height: 900}});
});

test('the printout without backgrounds shows the bands, lines and a legible answer', async () => {
  await withFirefox('ru-RU', async (tab, check) => {
    await calculate(tab, check, ',');
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vantrel-print-'));
    try {
      const pdf = path.join(folder, 'page.pdf');
      fs.writeFileSync(pdf, await within(60, tab.pdf({printBackground: false}), 'printing'));
      let wrong = '';
      try {
        execFileSync('/usr/bin/python3', [path.join(here, 'printout.py'), pdf],
                     {timeout: 60000, encoding: 'utf8'});
      } catch (error) {
        wrong = (error.stdout || '') + (error.stderr || '') || String(error);
      }
      assert.equal(wrong, '', 'the printout:\n' + wrong);
    } finally {
      fs.rmSync(folder, {recursive: true, force: true});
    }
  });
});
