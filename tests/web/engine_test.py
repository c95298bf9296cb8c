#!/usr/bin/python3
"""The page in one browser engine through Selenium: every label's lines
against the reference, their ink inside the boxes, the answer after a
click on Calculate under Russian and under English, and the page in a course
page's frame (focus, Tab, the access keys, Exit); the window in one column
in a page 320 px wide; with a minimum font size of 24 px, the same lines
larger; and axe-core's audit, as loaded and after Calculate, in the light
and the dark scheme. The checks are engine_checks.js, which engine_test.mjs
runs in Firefox too.

  chromium  Debian's headless chromium (page_test.Browser)
  webkit    WebKitGTK's MiniBrowser through WebKitWebDriver, on a private
            Xvfb screen; its language is that of its process's locale

usage: engine_test.py chromium|webkit, with the environment page_test.py
needs (CTest sets it)."""

import contextlib
import functools
import os
import pathlib
import select
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from selenium import webdriver
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.webkitgtk.service import Service as WebKitService

from page_test import ANSWER, CHECKS, COLUMN, ENDED, LINES, PAGE, Browser, course_pages

MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser'
# axe-core, pinned in package.json and installed beside puppeteer-core.
AXE = pathlib.Path(os.environ['VANTREL_NODE_PACKAGES'], 'node_modules', 'axe-core', 'axe.min.js')


class Screen:
    """A private Xvfb screen, ended by its PID, with a Russian keyboard
    layout beside the US one: the driver types only what the layout has."""

    def __init__(self, within=10):
        read, write = os.pipe()
        self.process = subprocess.Popen(
            ['Xvfb', '-displayfd', str(write), '-screen', '0', '1280x1024x24', '-nolisten', 'tcp',
             '-noreset'], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        try:
            number, deadline = b'', time.monotonic() + within
            while not number.endswith(b'\n'):
                ready, _, _ = select.select([read], [], [], max(0, deadline - time.monotonic()))
                chunk = os.read(read, 16) if ready else b''
                if not chunk:
                    raise RuntimeError('Xvfb gave no display within %d s' % within)
                number += chunk
            self.display = ':' + number.decode().strip()
            subprocess.run(['setxkbmap', '-display', self.display, '-layout', 'ru,us'],
                           check=True, timeout=within)
        except BaseException:
            self.close()
            raise
        finally:
            os.close(read)

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


class WebKit(Browser):
    """MiniBrowser on `screen`, with a fresh driver and the locale of
    `language` compiled into a private folder: WebKitGTK tells the page the
    language of its process's locale."""

    def __init__(self, screen, language='ru-RU', minimum_font=None, window=None, dark=False):
        self.profile = tempfile.mkdtemp(prefix='vantrel-webkit-')
        try:
            territory = language.replace('-', '_')
            subprocess.run(['localedef', '-i', territory, '-f', 'UTF-8',
                            os.path.join(self.profile, territory + '.UTF-8')],
                           check=True, timeout=60, stdout=subprocess.DEVNULL)
            environment = dict(os.environ, DISPLAY=screen.display, GDK_BACKEND='x11',
                               LC_ALL=territory + '.UTF-8', LOCPATH=self.profile,
                               XDG_RUNTIME_DIR=self.profile, NO_AT_BRIDGE='1')
            environment.pop('WAYLAND_DISPLAY', None)
            options = webdriver.WebKitGTKOptions()
            options.binary_location = MINIBROWSER
            options.add_argument('--automation')
            if dark:  # GTK's dark variant, which WebKitGTK gives the page as its scheme
                options.add_argument('--dark-mode')
            if minimum_font:  # a WebKitSettings property, from MiniBrowser's settings file
                settings = os.path.join(self.profile, 'settings.ini')
                with open(settings, 'w', encoding='utf-8') as file:
                    file.write('[websettings]\nminimum-font-size=%d\n' % minimum_font)
                options.add_argument('--config=' + settings)
            self.service = WebKitService('/usr/bin/WebKitWebDriver', env=environment)
            self.service.start()
            try:
                self.driver = webdriver.Remote(command_executor=self.service.service_url,
                                               options=options)
            except BaseException:
                self.service.stop()
                raise
            if window:
                self.driver.set_window_size(*window)
        except BaseException:
            shutil.rmtree(self.profile, ignore_errors=True)
            raise

    def open_at(self, width):
        """The page in a frame `width` CSS pixels wide: a GTK window is
        never narrower than its toolbar, some 450 px."""
        frame = os.path.join(self.profile, 'frame.html')
        with open(frame, 'w', encoding='utf-8') as file:
            file.write('<!DOCTYPE html><title>%d px</title><iframe src="%s" style="border: 0; '
                       'width: %dpx; height: 700px"></iframe>' % (width, PAGE.as_uri(), width))
        self.driver.get('file://' + frame)
        self.driver.switch_to.frame(0)
        self.wait(lambda: self.js("return !!document.getElementById('Command1')"))
        return self

    def close(self):
        try:
            self.driver.quit()
        finally:
            self.service.stop()
            shutil.rmtree(self.profile, ignore_errors=True)


class Engine(unittest.TestCase):
    engine = Browser  # a Browser's class, or a function making one, given language=
    # The page's access-key chord, Alt (a browser's own would move the focus).
    chord = (Keys.ALT,)

    @contextlib.contextmanager
    def browser(self, language, width=None, **options):
        browser = self.engine(language=language, **options)
        try:
            yield browser.open_at(width) if width else browser.open()
        finally:
            browser.close()

    def test_every_label_draws_the_reference_lines_with_its_ink_in_its_box(self):
        with self.browser('ru-RU') as browser:
            wrong = browser.check('lines', LINES) + browser.check('ink')
        if wrong:
            self.fail('what the page draws:\n' + '\n'.join(wrong))

    def test_the_answer_after_calculate_has_the_languages_separator(self):
        for language, separator in (('ru-RU', ','), ('en-US', '.')):
            with self.subTest(language), self.browser(language) as browser:
                browser.driver.find_element('id', 'Command1').click()
                browser.wait(lambda: browser.check('answer') != LINES['Label4'][0])
                self.assertEqual(browser.check('answer'), ANSWER.format(separator))

    def test_in_a_course_pages_frame_the_page_leaves_the_focus_and_the_keys_to_the_reader(self):
        with course_pages() as pages:
            for framing, url in pages.items():
                with self.subTest(framing):
                    browser = self.engine(language='ru-RU')
                    try:
                        browser.driver.get(url)
                        self.check_framed(browser)
                    finally:
                        browser.close()

    def settle(self, browser, read, expected, what):
        """Waits, within a limit, until read() gives `expected`, then checks it."""
        try:
            browser.wait(lambda: read() == expected, timeout=5)
        except TimeoutException:
            pass
        self.assertEqual(read(), expected, what)

    def check_framed(self, browser):
        driver = browser.driver
        frame = driver.find_element('id', 'exercise')

        def inside(check):
            driver.switch_to.frame(frame)
            try:
                return browser.check(check)
            finally:
                driver.switch_to.default_content()

        def press(*keys):
            chord = ActionChains(driver)
            for key in keys[:-1]:
                chord.key_down(key)
            chord.send_keys(keys[-1])
            for key in reversed(keys[:-1]):
                chord.key_up(key)
            chord.perform()

        def focus():
            host = browser.check('host')['focused']
            return host, inside('inFrame')['focused'] if host == 'exercise' else None

        browser.wait(lambda: inside('ready'))
        # Open, below the lesson's text: neither page scrolled, no focus taken.
        self.assertEqual(inside('inFrame'), {'focused': '', 'scrolled': [0, 0], 'windows': 1,
                                             'status': None, 'note': None})
        host = browser.check('host')
        # (WebKit's driver focuses a frame it switches into; the window's
        # page inside it has no focus all the same.)
        self.assertIn(host.pop('focused'), ('', 'exercise'))
        self.assertEqual(host, {'scrolled': 0, 'heard': []})
        self.assertEqual(inside('accessKeys'), [])
        # Tab from the link before the frame through Calculate and Exit to the
        # link after it, and Shift+Tab back.
        browser.js("document.getElementById('before').focus()")
        for keys, where in (((Keys.TAB,), ('exercise', 'Command1')),
                            ((Keys.TAB,), ('exercise', 'Command2')),
                            ((Keys.TAB,), ('after', None)),
                            ((Keys.SHIFT, Keys.TAB), ('exercise', 'Command2')),
                            ((Keys.SHIFT, Keys.TAB), ('exercise', 'Command1')),
                            ((Keys.SHIFT, Keys.TAB), ('before', None))):
            press(*keys)
            self.settle(browser, focus, where, ' '.join(keys))
        # The access-key chord presses Calculate once, from Exit, the focus
        # staying where it is.
        press(Keys.TAB)
        press(Keys.TAB)
        self.settle(browser, focus, ('exercise', 'Command2'), 'Tab, Tab')
        inside('countAnswers')
        press(*self.chord, 'в')
        self.settle(browser, lambda: inside('answers') >= 1, True, 'Calculate pressed')
        self.assertEqual(inside('answers'), 1)
        self.assertEqual(focus(), ('exercise', 'Command2'))
        self.assertEqual(inside('answer'), ANSWER.format(','))
        # Exit by its chord: the course page hears it, the note takes the
        # window's place.
        press(*self.chord, 'ы')
        self.settle(browser, lambda: inside('inFrame')['status'], '0', 'the exit status')
        state = inside('inFrame')
        self.assertEqual((state['windows'], state['note']), (0, ENDED))
        self.settle(browser, lambda: browser.check('host')['heard'],
                    [{'type': 'vantrel1-exit', 'status': 0}], 'what the course page heard')

    def test_narrower_than_the_window_it_is_one_column_and_calculate_answers(self):
        with self.browser('ru-RU', width=320) as browser:
            wrong = (browser.check('column', COLUMN) + browser.check('ink')
                     + browser.check('wholeText'))
            self.assertEqual(wrong, [], '\n'.join(wrong))
            browser.driver.find_element('id', 'Command1').click()
            browser.wait(lambda: browser.check('answer') == ANSWER.format(','))
            wrong = browser.check('column', COLUMN) + browser.check('ink')
            self.assertEqual(wrong, [], '\n'.join(wrong))

    def test_a_minimum_font_of_24_px_draws_the_same_lines_larger_and_unclipped(self):
        with self.browser('ru-RU', minimum_font=24, window=(1280, 900)) as browser:
            self.assertGreaterEqual(browser.check('smallestText'), 24)
            wrong = browser.check('lines', LINES) + browser.check('ink')
            self.assertEqual(wrong, [], '\n'.join(wrong))

    def audit(self, browser, when):
        """Runs axe-core in the page, through the driver, which the page's
        content policy does not bind, and checks it finds no violation."""
        browser.js(AXE.read_text(encoding='utf-8'))
        browser.driver.set_script_timeout(60)
        found = browser.driver.execute_async_script(
            'const done = arguments[arguments.length - 1];'
            '(%s).audit().then(done, error => done({found: [], wrong: [String(error)]}));'
            % CHECKS)
        if found['found'] or found['wrong']:
            self.fail('%s, axe-core finds:\n%s' % (when, '\n'.join(found['wrong'])))
        print('axe-core %s, %s: %d rules, %d passed, undecided %s'
              % (found['version'], when, found['rules'], found['passed'], found['undecided']),
              file=sys.stderr)

    def test_axe_core_finds_nothing_as_loaded_and_after_calculate_in_either_scheme(self):
        for dark in (False, True):
            scheme = 'dark' if dark else 'light'
            with self.subTest(scheme), self.browser('ru-RU', dark=dark) as browser:
                self.assertEqual(browser.js(
                    "return matchMedia('(prefers-color-scheme: dark)').matches"), dark)
                self.audit(browser, scheme + ', as loaded')
                browser.driver.find_element('id', 'Command1').click()
                browser.wait(lambda: browser.check('answer') == ANSWER.format(','))
                self.audit(browser, scheme + ', after Calculate')


if __name__ == '__main__':
    if sys.argv[1:] == ['chromium']:
        unittest.main(argv=[sys.argv[0], '-v', 'Engine'])
    elif sys.argv[1:] == ['webkit']:
        screen = Screen()
        try:
            Engine.engine = functools.partial(WebKit, screen)
            program = unittest.main(argv=[sys.argv[0], '-v', 'Engine'], exit=False)
        finally:
            screen.close()
        sys.exit(not program.result.wasSuccessful())
    else:
        sys.exit(__doc__)
