// The page in Firefox (Debian's firefox-esr, headless) over WebDriver BiDi,
// through puppeteer-core: the checks of engine_checks.js, as engine_test.py
// runs them in chromium and WebKit, the page in a course page's frame and
// axe-core's audit among them, and the printout as printout.py checks it.
// Debian has no geckodriver.
//
// usage: node engine_test.mjs, with VANTREL_PAGE (the page) and
// VANTREL_NODE_PACKAGES (the folder whose node_modules has puppeteer-core and
// axe-core) set; CTest sets them.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import {createRequire} from 'node:module';
import os from 'node:os';
import path from 'node:path';
import test from 'node:test';
import {fileURLToPath, pathToFileURL} from 'node:url';
import util from 'node:util';

const here = path.dirname(fileURLToPath(import.meta.url));
const puppeteer =
    createRequire(path.join(process.env.VANTREL_NODE_PACKAGES, 'package.json'))('puppeteer-core');
const page = pathToFileURL(process.env.VANTREL_PAGE).href;
const checks = fs.readFileSync(path.join(here, 'engine_checks.js'), 'utf8');
const axeSource = fs.readFileSync(
    path.join(process.env.VANTREL_NODE_PACKAGES, 'node_modules', 'axe-core', 'axe.min.js'), 'utf8');
const lines = JSON.parse(fs.readFileSync(path.join(here, 'lines.json'), 'utf8'));
const answer = separator => '00' + separator + '01384   17';
const column = ['Label1', 'Image1', 'Label2', 'Command1', 'Label4', 'Label3', 'Command2'];

// Bounds a step that could otherwise hang the test.
const within = (seconds, promise, what) => Promise.race([promise, new Promise((_, reject) =>
    setTimeout(() => reject(new Error(what + ' took over ' + seconds + ' s')), seconds * 1000)
        .unref())]);

// Runs body(tab, check) with the page (or `url`) open in a fresh Firefox
// whose language is `language`, with `prefs` and in a viewport of `viewport`
// where given; check(name, ...arguments) is what that in-page check finds, in
// the page or in `frame`. The browser is ended, by its PID if it will not
// close, and its profile removed.
async function withFirefox(language, body, {url = page, prefs = {}, viewport = null} = {}) {
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
    const check = (name, ...args) => (args[0]?.evaluate ? args.shift() : tab)
        .evaluate('(' + checks + ').' + name + '(...' + JSON.stringify(args) + ')');
    await tab.goto(url);
    if (url === page)
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

// A local server of the page and of course pages framing it each way a
// course site may: from its own server, from another origin (the same server
// by another name), and sandboxed with scripts allowed. Runs body with
// {framing: the course page's address}, and closes the server.
async function withCoursePages(body) {
  const template = fs.readFileSync(path.join(here, 'course_page.html'), 'utf8');
  const files = {'/vantrel1.html': fs.readFileSync(process.env.VANTREL_PAGE)};
  const server = http.createServer((request, response) => {
    const file = files[request.url];
    response.writeHead(file ? 200 : 404, {'Content-Type': 'text/html; charset=utf-8'});
    response.end(file ?? '');
  });
  await new Promise(listening => server.listen(0, '127.0.0.1', listening));
  try {
    const port = server.address().port;
    const framings = {
      'same origin': ['vantrel1.html', ''],
      'another origin': ['http://localhost:' + port + '/vantrel1.html', ''],
      'sandboxed': ['vantrel1.html', 'sandbox="allow-scripts"'],
    };
    const pages = {};
    for (const [framing, [source, sandbox]] of Object.entries(framings)) {
      const name = '/course-' + Object.keys(pages).length + '.html';
      files[name] = template.replace('@SRC@', source).replace('@SANDBOX@', sandbox);
      pages[framing] = 'http://127.0.0.1:' + port + name;
    }
    await body(pages);
  } finally {
    server.closeAllConnections();
    await new Promise(closed => server.close(closed));
  }
}

// Waits, within a limit, until read() gives `expected`, then checks it.
async function settle(read, expected, what) {
  const deadline = Date.now() + 5000;
  let got = await read();
  while (!util.isDeepStrictEqual(got, expected) && Date.now() < deadline) {
    await new Promise(later => setTimeout(later, 20));
    got = await read();
  }
  assert.deepEqual(got, expected, what);
}

const ENDED = 'Программа завершила работу. Чтобы запустить её снова, обновите страницу.';

test('in a course page\'s frame the page leaves the focus and the keys to the reader', async t => {
  await withCoursePages(async pages => {
    for (const [framing, url] of Object.entries(pages)) {
      await t.test(framing, () => withFirefox('ru-RU', async (tab, check) => {
        const keys = tab.keyboard;
        const frame = await within(10, (async () => {
          for (;;) {
            const child = tab.mainFrame().childFrames()[0];
            if (child && await child.evaluate('(' + checks + ').ready()').catch(() => false))
              return child;
            await new Promise(later => setTimeout(later, 20));
          }
        })(), 'the window in the frame');
        const focus = async () => {
          const host = (await check('host')).focused;
          return [host, host === 'exercise' ? (await check('inFrame', frame)).focused : null];
        };
        const press = async (...chord) => {
          for (const key of chord.slice(0, -1)) await keys.down(key);
          await keys.press(chord.at(-1));
          for (const key of chord.slice(0, -1).reverse()) await keys.up(key);
        };
        // Open, below the lesson's text: neither page scrolled, no focus taken.
        assert.deepEqual(await check('inFrame', frame),
                         {focused: '', scrolled: [0, 0], windows: 1, status: null, note: null});
        assert.deepEqual(await check('host'), {scrolled: 0, focused: '', heard: []});
        // Tab from the link before the frame through Calculate and Exit to the
        // link after it, and Shift+Tab back.
        await tab.evaluate("document.getElementById('before').focus()");
        for (const [chord, where] of [[['Tab'], ['exercise', 'Command1']],
                                      [['Tab'], ['exercise', 'Command2']],
                                      [['Tab'], ['after', null]],
                                      [['Shift', 'Tab'], ['exercise', 'Command2']],
                                      [['Shift', 'Tab'], ['exercise', 'Command1']],
                                      [['Shift', 'Tab'], ['before', null]]]) {
          await press(...chord);
          await settle(focus, where, chord.join('+'));
        }
        // Firefox's access-key chord, Alt+Shift, presses Calculate once,
        // from Exit, the focus staying there; Alt+ы presses Exit.
        assert.deepEqual(await check('accessKeys', frame), []);
        await press('Tab');
        await press('Tab');
        await settle(focus, ['exercise', 'Command2'], 'Tab, Tab');
        await check('countAnswers', frame);
        await press('Alt', 'Shift', 'в');
        await settle(async () => await check('answers', frame) >= 1, true, 'Calculate pressed');
        assert.equal(await check('answers', frame), 1);
        assert.deepEqual(await focus(), ['exercise', 'Command2']);
        assert.equal(await check('answer', frame), answer(','));
        await press('Alt', 'ы');
        await settle(async () => (await check('inFrame', frame)).status, '0', 'the exit status');
        const state = await check('inFrame', frame);
        assert.deepEqual([state.windows, state.note], [0, ENDED]);
        await settle(async () => (await check('host')).heard, [{type: 'vantrel1-exit', status: 0}],
                     'what the course page heard');
      }, {url}));
    }
  });
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

// Runs axe-core in the page, through the driver, which the page's content
// policy does not bind, and checks it finds no violation.
async function audit(t, tab, check, when) {
  await tab.evaluate(axeSource);
  const found = await within(60, check('audit'), 'axe-core\'s audit');
  assert.deepEqual(found.wrong, [], when + ', axe-core finds:\n' + found.wrong.join('\n'));
  t.diagnostic('axe-core ' + found.version + ', ' + when + ': ' + found.rules + ' rules, '
               + found.passed + ' passed, undecided ' + JSON.stringify(found.undecided));
}

test('axe-core finds nothing as loaded and after Calculate, in either scheme', async t => {
  for (const scheme of ['light', 'dark']) {
    // A dark desktop, as Firefox takes it from the system: the scheme the page
    // prefers and the system colours with it.
    const prefs = scheme === 'dark' ? {'ui.systemUsesDarkTheme': 1} : {};
    await t.test(scheme, () => withFirefox('ru-RU', async (tab, check) => {
      assert.equal(await tab.evaluate("matchMedia('(prefers-color-scheme: dark)').matches"),
                   scheme === 'dark');
      await audit(t, tab, check, scheme + ', as loaded');
      await calculate(tab, check, ',');
      await audit(t, tab, check, scheme + ', after Calculate');
    }, {prefs}));
  }
});
