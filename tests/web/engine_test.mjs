// The page in one browser engine, each step written once and run through the
// driver the engine needs: chromium and Firefox through puppeteer-core
// (puppeteer_driver.mjs), WebKitGTK through WebKitWebDriver (webkit_driver.mjs).
// Every label's lines against the reference and their ink inside the boxes, the
// answer after Calculate under Russian and English, the page in a course page's
// frame (a click into it, focus, Tab, the access keys, select all and copy,
// Exit), a trap after start, one column in 320 px, the same lines larger
// under a minimum font of 24 px, the printout where the driver can print, and
// axe-core's audit as loaded and after Calculate in the light and the dark
// scheme; the in-page checks are engine_checks.js.
//
// usage: node engine_test.mjs chromium|firefox|webkit, with VANTREL_PAGE (the
// page), VANTREL_TRAPPING_PAGE (one whose Calculate traps) and VANTREL_NODE_PACKAGES (whose node_modules has puppeteer-core and
// axe-core) set; CTest sets them.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import {after, test} from 'node:test';
import {fileURLToPath, pathToFileURL} from 'node:url';
import util from 'node:util';

const engine = process.argv[2];
// The chords of the access keys for Calculate and Exit: Alt, and Firefox's
// own access-key chord Alt+Shift for Calculate, which the page takes too.
const chords = {chromium: [['Alt'], ['Alt']], webkit: [['Alt'], ['Alt']],
                firefox: [['Alt', 'Shift'], ['Alt']]}[engine];
if (!chords) {
  console.error('usage: engine_test.mjs chromium|firefox|webkit');
  process.exit(2);
}
const driver = await import(engine === 'webkit' ? './webkit_driver.mjs' : './puppeteer_driver.mjs');

const here = path.dirname(fileURLToPath(import.meta.url));
const page = pathToFileURL(process.env.VANTREL_PAGE).href;
const checks = fs.readFileSync(path.join(here, 'engine_checks.js'), 'utf8');
const axeSource = fs.readFileSync(
    path.join(process.env.VANTREL_NODE_PACKAGES, 'node_modules', 'axe-core', 'axe.min.js'), 'utf8');
const lines = JSON.parse(fs.readFileSync(path.join(here, 'lines.json'), 'utf8'));
const answer = separator => '00' + separator + '01384   17';
const column = ['Label1', 'Image1', 'Label2', 'Command1', 'Label4', 'Label3', 'Command2'];
const ended = 'Программа завершила работу. Чтобы запустить её снова, обновите страницу.';
const stopped =
    'Программа остановилась из-за внутренней ошибки. Чтобы запустить её снова, обновите страницу.';

const browsers = await driver.start(engine);
after(() => browsers.close());

// Reads until done(value) holds or `seconds` have passed; gives the last value read.
async function poll(read, done, seconds) {
  const deadline = Date.now() + seconds * 1000;
  for (;;) {
    const value = await read();
    if (done(value) || Date.now() > deadline) return value;
    await new Promise(later => setTimeout(later, 20));
  }
}

// Waits, within a limit, until read() gives `expected`, then checks it.
const settle = async (read, expected, what, seconds = 5) => assert.deepEqual(
    await poll(read, value => util.isDeepStrictEqual(value, expected), seconds), expected, what);

// Runs body(tab, check, inside) with the page (or `page`, another, or `url`,
// a course page) open
// in a fresh tab (puppeteer) or browser (WebKit); check(name, ...arguments) is
// what that in-page check finds in the page, inside(...) in the course page's
// frame.
async function withBrowser({page: shown = page, ...options}, body) {
  const tab = await browsers.open({language: 'ru-RU', url: shown, ...options});
  try {
    const call = (name, args) =>
        'return (' + checks + ').' + name + '(...' + JSON.stringify(args) + ')';
    const check = (name, ...args) => tab.run(call(name, args));
    const inside = (name, ...args) => tab.run(call(name, args), true);
    await settle(() => (options.url ? inside : check)('ready').catch(() => false), true,
                 'the window opening', 10);
    await body(tab, check, inside);
  } finally {
    await tab.close();
  }
}

async function calculate(tab, check, separator) {
  await tab.click('#Command1');
  assert.equal(await poll(() => check('answer'), got => got !== lines.Label4[0], 10),
               answer(separator));
}

const drawn = async (check, ...names) => {
  const wrong = [];
  for (const [name, ...args] of names) wrong.push(...await check(name, ...args));
  assert.deepEqual(wrong, [], 'what the page draws:\n' + wrong.join('\n'));
};

test('every label draws the reference lines with its ink in its box', () =>
  withBrowser({}, (tab, check) => drawn(check, ['lines', lines], ['ink'])));

// Arabic as Egypt writes it has a separator of its own, with its own digits:
// the answer keeps Latin digits, and with them the point.
test('the answer after Calculate has the language\'s separator', async t => {
  for (const [language, separator] of [['ru-RU', ','], ['en-US', '.'], ['ar-EG', '.']])
    await t.test(language, () => withBrowser({language}, (tab, check) =>
      calculate(tab, check, separator)));
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

test('in a course page\'s frame the page leaves the focus and the keys to the reader', t =>
  withCoursePages(async pages => {
    for (const [framing, url] of Object.entries(pages)) {
      await t.test(framing, () => withBrowser({url}, async (tab, check, inside) => {
        const focus = async () => {
          const host = (await check('host')).focused;
          return [host, host === 'exercise' ? (await inside('inFrame')).focused : null];
        };
        // Open, below the lesson's text: neither page scrolled, no focus taken.
        assert.deepEqual(await inside('inFrame'),
                         {focused: '', scrolled: [0, 0], windows: 1, status: null, note: null});
        const {focused, ...host} = await check('host');
        assert.ok(focused === '' || tab.focusesFrames && focused === 'exercise',
                  'the course page\'s focus is on ' + focused);
        assert.deepEqual(host, {scrolled: 0, heard: []});
        assert.deepEqual(await inside('accessKeys'), []);
        // A click on the task (at its start, as the frame shows it) brings
        // the keyboard to the frame, no button focused and the course page
        // not scrolled: Return calculates.
        await tab.run('document.getElementById(\'before\').focus()');
        const {scrolled} = await check('host');
        await tab.clickInFrame(40, 20);
        // The course page's focus first, read before any look into the frame
        // (a driver's switch into it may give it the focus).
        await settle(async () => (await check('host')).focused, 'exercise', 'a click on the task');
        assert.deepEqual(await focus(), ['exercise', '']);
        assert.equal((await check('host')).scrolled, scrolled);
        await inside('countAnswers');
        await tab.press('Enter');
        await settle(async () => await inside('answers'), 1, 'Return after a click on the task');
        // Tab from the link before the frame through Calculate and Exit to the
        // link after it, and Shift+Tab back.
        await tab.run('document.getElementById(\'before\').focus()');
        for (const [keys, where] of [[['Tab'], ['exercise', 'Command1']],
                                     [['Tab'], ['exercise', 'Command2']],
                                     [['Tab'], ['after', null]],
                                     [['Shift', 'Tab'], ['exercise', 'Command2']],
                                     [['Shift', 'Tab'], ['exercise', 'Command1']],
                                     [['Shift', 'Tab'], ['before', null]]]) {
          await tab.press(...keys);
          await settle(focus, where, keys.join('+'));
        }
        // The access key presses Calculate once, from Exit, the focus staying there.
        await tab.press('Tab');
        await tab.press('Tab');
        await settle(focus, ['exercise', 'Command2'], 'Tab, Tab');
        await inside('countAnswers');
        await tab.press(...chords[0], 'в');
        await settle(async () => await inside('answers') >= 1, true, 'Calculate pressed');
        assert.equal(await inside('answers'), 1);
        assert.deepEqual(await focus(), ['exercise', 'Command2']);
        assert.equal(await inside('answer'), answer(','));
        // Select all takes the answer, which copies whole, and no other text.
        await tab.selectAllInFrame();
        await settle(() => inside('copied'), answer(','), 'select all, then a copy');
        // Space presses the focused button once: the page's key, kept from
        // the browser's own click on its release.
        await tab.press('Shift', 'Tab');
        await settle(focus, ['exercise', 'Command1'], 'Shift+Tab');
        await tab.press(' ');
        await settle(async () => await inside('answers') >= 2, true, 'Calculate pressed by Space');
        await new Promise(resolve => setTimeout(resolve, 200));
        assert.equal(await inside('answers'), 2);
        // Exit by its key: the course page hears it, the note takes the window's place.
        await tab.press(...chords[1], 'ы');
        await settle(async () => (await inside('inFrame')).status, '0', 'the exit status');
        const state = await inside('inFrame');
        assert.deepEqual([state.windows, state.note], [0, ended]);
        await settle(async () => (await check('host')).heard,
                     [{type: 'vantrel1-exit', status: 0}], 'what the course page heard');
      }));
    }
  }));

// A module that stops by a fault of its own (VANTREL_TRAPPING_PAGE's Calculate
// traps, or with "#abort" aborts) leaves no window that looks alive, but the
// page's word that the program stopped, with status 1; nothing after it.
test('a trap or an abort after start leaves the page saying the program stopped', async t => {
  const trapping = pathToFileURL(process.env.VANTREL_TRAPPING_PAGE).href;
  for (const [fault, press] of [['trap', tab => tab.click('#Command1')],
                                ['abort', tab => tab.press('Enter')]]) {
    await t.test(fault, () => withBrowser({page: trapping + (fault === 'abort' ? '#abort' : '')},
                                          async (tab, check) => {
      await press(tab);
      await settle(async () => (await check('inFrame')).status, '1', 'the exit status');
      await tab.press('Enter');
      const {windows, note, status} = await check('inFrame');
      assert.deepEqual([windows, note, status], [0, stopped, '1']);
    }));
  }
});

test('narrower than the window it is one column, and Calculate answers', () =>
  withBrowser({viewport: {width: 320, height: 700}}, async (tab, check) => {
    await drawn(check, ['column', column], ['ink'], ['wholeText']);
    await calculate(tab, check, ',');
    await drawn(check, ['column', column], ['ink']);
  }));

test('a minimum font of 24 px draws the same lines larger and unclipped', () =>
  withBrowser({minimumFont: 24, viewport: {width: 1280, height: 900}}, async (tab, check) => {
    await drawn(check, ['lines', lines], ['ink']);
    // As the page sets it: Firefox's computed size leaves its minimum out.
    assert.ok(await check('smallestText') >= 24, 'smallest text ' + await check('smallestText'));
  }));

test('the printout without backgrounds shows the bands, lines and a legible answer',
     {skip: !browsers.prints && 'the driver has no command to print'}, () =>
  withBrowser({}, async (tab, check) => {
    await calculate(tab, check, ',');
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'vantrel-print-'));
    let wrong = '';
    try {
      fs.writeFileSync(path.join(folder, 'page.pdf'), await tab.pdf());
      execFileSync('/usr/bin/python3', [path.join(here, 'printout.py'),
                                        path.join(folder, 'page.pdf')], {timeout: 60000});
    } catch (error) {
      wrong = String(error.stdout || '') + String(error.stderr || '') || String(error);
    } finally {
      fs.rmSync(folder, {recursive: true, force: true});
    }
    assert.equal(wrong, '', 'the printout:\n' + wrong);
  }));

// Runs axe-core in the page, through the driver, which the page's content
// policy does not bind, and checks it finds no violation.
async function audit(t, tab, check, when) {
  await tab.run(axeSource);
  const found = await check('audit');
  assert.ok(!found.found.length && !found.wrong.length,
            when + ', axe-core finds:\n' + found.wrong.join('\n'));
  t.diagnostic('axe-core ' + found.version + ', ' + when + ': ' + found.rules + ' rules, '
               + found.passed + ' passed, undecided ' + JSON.stringify(found.undecided));
}

test('axe-core finds nothing as loaded and after Calculate, in either scheme', async t => {
  for (const scheme of ['light', 'dark']) {
    await t.test(scheme, () => withBrowser({dark: scheme === 'dark'}, async (tab, check) => {
      assert.equal(await tab.run('return matchMedia(\'(prefers-color-scheme: dark)\').matches'),
                   scheme === 'dark');
      await audit(t, tab, check, scheme + ', as loaded');
      await calculate(tab, check, ',');
      await audit(t, tab, check, scheme + ', after Calculate');
    }));
  }
});
