// Debian's chromium and firefox-esr, headless, through npm's puppeteer-core
// over WebDriver BiDi (the build installs it without a browser of its own;
// Debian has no geckodriver). Each browser runs in its own process group.
import fs from 'node:fs';
import {createRequire} from 'node:module';
import os from 'node:os';
import path from 'node:path';

const puppeteer =
    createRequire(path.join(process.env.VANTREL_NODE_PACKAGES, 'package.json'))('puppeteer-core');

// Without the background services, chromium calls out to no one on a closed network.
const chromiumFlags = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
                       '--disable-component-update', '--disable-sync', '--no-first-run'];

function launch(engine, profile, {language, dark, minimumFont}) {
  const common = {protocol: 'webDriverBiDi', headless: true, userDataDir: profile, timeout: 60000,
                  // A reader's browser shows its scrollbars, which take the page's room.
                  ignoreDefaultArgs: ['--hide-scrollbars']};
  if (engine === 'firefox') {
    return puppeteer.launch({...common, browser: 'firefox', executablePath: '/usr/bin/firefox-esr',
      extraPrefsFirefox: {
        'intl.accept_languages': language, 'intl.locale.requested': language,
        // A dark desktop, as Firefox takes it from the system: the scheme and
        // the system colours with it.
        ...dark && {'ui.systemUsesDarkTheme': 1},
        // The window's text is Russian: the Cyrillic minimum is the one it meets.
        ...minimumFont && {'font.minimum-size.x-cyrillic': minimumFont,
                           'font.minimum-size.x-western': minimumFont},
      }});
  }
  // The page's language and the minimum font size are the profile's preferences.
  fs.mkdirSync(path.join(profile, 'Default'));
  fs.writeFileSync(path.join(profile, 'Default', 'Preferences'), JSON.stringify({
    intl: {accept_languages: language},
    ...minimumFont && {webkit: {webprefs: {minimum_font_size: minimumFont}}},
  }));
  return puppeteer.launch({...common, browser: 'chrome', executablePath: '/usr/bin/chromium',
    args: [...chromiumFlags, '--lang=' + language,
           ...dark ? ['--force-dark-mode', '--blink-settings=preferredColorScheme=0'] : []]});
}

// Bounds a step that could otherwise hang the test.
const within = (seconds, promise, what) => Promise.race([promise, new Promise(
    (_, reject) => setTimeout(() => reject(new Error(what + ' took over ' + seconds + ' s')),
                              seconds * 1000).unref())]);

// A browser started with `options` in a fresh profile, and its end, which
// ends its process group by its PID if the browser will not close.
async function started(engine, options) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vantrel-' + engine + '-'));
  let browser;
  const end = async () => {
    const child = browser?.process();
    await within(10, browser?.close(), 'closing ' + engine).catch(() => {});
    if (child) try { process.kill(-child.pid, 'SIGKILL'); } catch {}
    fs.rmSync(profile, {recursive: true, force: true});
  };
  try {
    browser = await launch(engine, profile, options);
    return {browser, end};
  } catch (error) {
    await end();
    throw error;
  }
}

export function start(engine) {
  // One browser for each set of options, started when first asked for (a
  // start takes a busy machine seconds), and a fresh tab of it for each step.
  const browsers = new Map();
  return {
    prints: engine === 'firefox',  // chromium's printout is web.page.Print's, through DevTools
    async open({url, viewport, ...options}) {
      const key = JSON.stringify(options);
      if (!browsers.has(key)) browsers.set(key, started(engine, options));
      const tab = await (await browsers.get(key)).browser.newPage();
      const close = () => within(10, tab.close(), 'closing a tab');
      try {
        if (viewport) await tab.setViewport(viewport);
        await within(30, tab.goto(url), 'opening ' + url);
      } catch (error) {
        await close().catch(() => {});
        throw error;
      }
      // The frame a course page shows the window in, once it is there.
      const frame = () => tab.mainFrame().childFrames()[0] ?? Promise.reject(new Error('no frame'));
      return {
        run: async (body, inFrame) => within(60, (inFrame ? await frame() : tab).evaluate(
            '(async () => {' + body + '\n})()'), 'a script in the page'),
        click: selector => tab.click(selector),
        // A click at (x, y) in the frame's page, as the mouse gives it.
        async clickInFrame(x, y) {
          const {content} = await (await tab.$('#exercise')).boxModel();
          await tab.mouse.click(content[0].x + x, content[0].y + y);
        },
        // Select all, by its key, in the frame that has the keyboard.
        async selectAllInFrame() {
          await tab.keyboard.down('Control');
          await tab.keyboard.press('a');
          await tab.keyboard.up('Control');
        },
        async press(...chord) {
          for (const key of chord.slice(0, -1)) await tab.keyboard.down(key);
          await tab.keyboard.press(chord.at(-1));
          for (const key of chord.slice(0, -1).reverse()) await tab.keyboard.up(key);
        },
        pdf: () => within(60, tab.pdf({printBackground: false}), 'printing'),
        close,
      };
    },
    close: () => Promise.all(Array.from(browsers.values(),
                                        async browser => (await browser.catch(() => null))?.end())),
  };
}
