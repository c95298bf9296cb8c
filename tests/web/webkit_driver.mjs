// WebKitGTK's MiniBrowser through WebKitWebDriver on a private Xvfb screen,
// the few W3C WebDriver commands the scenario needs sent with fetch. Each
// open() is a fresh driver and browser in their own process group, ended by
// the driver's PID; the page's language is that of the process's locale.
import {execFileSync, spawn} from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';

const minibrowser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const element = 'element-6066-11e4-a52e-4f735466cecf';
const keys = {Tab: '\uE004', Shift: '\uE008', Alt: '\uE00A', Enter: '\uE007'};

// Whether `promise` settles within `seconds`.
const within = (seconds, promise) => Promise.race([promise.then(() => true, () => true),
    new Promise(later => setTimeout(later, seconds * 1000, false).unref())]);

// Ends `child` and the rest of its process group, waiting for it within a limit.
async function end(child) {
  const gone = new Promise(ended => child.exitCode !== null || child.signalCode !== null
                                        ? ended() : child.once('exit', ended));
  for (const signal of ['SIGTERM', 'SIGKILL']) {
    try { process.kill(-child.pid, signal); } catch {}
    if (await within(10, gone)) return;
  }
}

// What read() first gives that is truthy, within `seconds`.
async function until(seconds, read, what) {
  const deadline = Date.now() + seconds * 1000;
  for (;;) {
    const value = await read().catch(() => null);
    if (value) return value;
    if (Date.now() > deadline) throw new Error(what + ' took over ' + seconds + ' s');
    await new Promise(later => setTimeout(later, 50));
  }
}

async function request(base, method, route, body) {
  const response = await fetch(base + route, {method, body: body && JSON.stringify(body),
      headers: {'Content-Type': 'application/json'}, signal: AbortSignal.timeout(90000)});
  const {value} = await response.json();
  if (response.ok) return value;
  throw new Error(method + ' ' + route + ': ' + value.error + ': ' + value.message);
}

const freePort = () => new Promise((resolve, reject) => {
  const server = net.createServer().on('error', reject);
  server.listen(0, '127.0.0.1', () => {
    const {port} = server.address();
    server.close(() => resolve(port));
  });
});

// A screen with a Russian keyboard layout beside the US one: the driver
// types only what the layout has.
async function screen() {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten',
                              'tcp', '-noreset'],
                     {stdio: ['ignore', 'ignore', 'ignore', 'pipe'], detached: true});
  try {
    let number = '';
    xvfb.stdio[3].on('data', chunk => number += chunk);
    await until(10, async () => number.endsWith('\n'), 'Xvfb\'s display');
    const display = ':' + number.trim();
    execFileSync('setxkbmap', ['-display', display, '-layout', 'ru,us'], {timeout: 10000});
    return {display, close: () => end(xvfb)};
  } catch (error) {
    await end(xvfb);
    throw error;
  }
}

export async function start() {
  const {display, close} = await screen();
  const locales = fs.mkdtempSync(path.join(os.tmpdir(), 'vantrel-locales-'));
  return {
    async open({url, language, dark, minimumFont, viewport}) {
      const territory = language.replace('-', '_'), locale = territory + '.UTF-8';
      if (!fs.existsSync(path.join(locales, locale)))  // compiled once for all the run's browsers
        execFileSync('localedef', ['-i', territory, '-f', 'UTF-8', path.join(locales, locale)],
                     {timeout: 60000});
      const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'vantrel-webkit-'));
      const args = ['--automation', ...dark ? ['--dark-mode'] : []];
      if (minimumFont) {  // a WebKitSettings property, from MiniBrowser's settings file
        fs.writeFileSync(path.join(profile, 'settings.ini'),
                         '[websettings]\nminimum-font-size=' + minimumFont + '\n');
        args.push('--config=' + path.join(profile, 'settings.ini'));
      }
      const {WAYLAND_DISPLAY, ...environment} = process.env;
      const port = await freePort();
      const driver = spawn('/usr/bin/WebKitWebDriver', ['--port=' + port], {
        detached: true, stdio: 'ignore',
        env: {...environment, DISPLAY: display, GDK_BACKEND: 'x11', LC_ALL: locale,
              LOCPATH: locales, XDG_RUNTIME_DIR: profile, NO_AT_BRIDGE: '1'}});
      const base = 'http://127.0.0.1:' + port;
      let session = null;
      const command = (method, route, body) =>
          request(base, method, '/session/' + session + route, body);
      const find = async selector =>
          (await command('POST', '/element', {using: 'css selector', value: selector}))[element];
      const tab = {
        focusesFrames: true,  // the driver focuses a frame it switches into
        async run(body, inFrame) {
          if (inFrame) await command('POST', '/frame', {id: {[element]: await find('#exercise')}});
          try {
            const [ok, value] = await command('POST', '/execute/async', {args: [], script:
                'const done = arguments[0]; (async () => {' + body + '\n})().then(value => '
                + 'done([true, value]), error => done([false, String(error)]));'});
            if (!ok) throw new Error(value);
            return value;
          } finally {
            if (inFrame) await command('POST', '/frame', {id: null});
          }
        },
        click: async selector => command('POST', '/element/' + await find(selector) + '/click', {}),
        // WebKitWebDriver types Control+A in the session's Russian layout, as
        // Control+Ф, which WebKitGTK binds to nothing: the select-all command
        // the key would give, in the frame.
        selectAllInFrame: () => tab.run('document.execCommand(\'selectAll\')', true),
        // A click as the mouse gives it, from the course page, at (x, y) in the
        // frame's page: switching into the frame would give it the focus first.
        async clickInFrame(x, y) {
          const [left, top, width, height] = await tab.run('const frame = document.getElementById('
              + '\'exercise\'); return [frame.clientLeft, frame.clientTop, frame.offsetWidth,'
              + ' frame.offsetHeight]');
          await command('POST', '/actions', {actions: [{type: 'pointer', id: 'mouse', actions: [
            {type: 'pointerMove', origin: {[element]: await find('#exercise')},
             x: Math.round(left + x - width / 2), y: Math.round(top + y - height / 2)},
            {type: 'pointerDown', button: 0}, {type: 'pointerUp', button: 0}]}]});
        },
        async press(...chord) {
          const codes = chord.map(key => keys[key] ?? key);
          const actions = [...codes.map(value => ({type: 'keyDown', value})),
                           ...codes.reverse().map(value => ({type: 'keyUp', value}))];
          await command('POST', '/actions', {actions: [{type: 'key', id: 'keys', actions}]});
        },
        async close() {
          if (session) await within(10, command('DELETE', ''));
          await end(driver);
          fs.rmSync(profile, {recursive: true, force: true});
        },
      };
      try {
        await until(10, async () => (await request(base, 'GET', '/status')).ready, 'the driver');
        ({sessionId: session} = await request(base, 'POST', '/session', {capabilities: {
          alwaysMatch: {browserName: 'MiniBrowser', 'webkitgtk:browserOptions':
                            {binary: minibrowser, args, useOverlayScrollbars: true}}}}));
        await command('POST', '/timeouts', {script: 60000, pageLoad: 30000});
        if (viewport?.width < 450) {
          // A GTK window is never narrower than its toolbar, some 450 px: a
          // narrower page is one in a frame that wide.
          fs.writeFileSync(path.join(profile, 'frame.html'),
              '<!DOCTYPE html><title>' + viewport.width + ' px</title><iframe src="' + url
              + '" style="border: 0; width: ' + viewport.width + 'px; height: '
              + viewport.height + 'px"></iframe>');
          await command('POST', '/url', {url: 'file://' + path.join(profile, 'frame.html')});
          await command('POST', '/frame', {id: 0});
        } else {
          if (viewport) await command('POST', '/window/rect', viewport);
          await command('POST', '/url', {url});
        }
        return tab;
      } catch (error) {
        await tab.close();
        throw error;
      }
    },
    async close() {
      await close();
      fs.rmSync(locales, {recursive: true, force: true});
    },
  };
}
