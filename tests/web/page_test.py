#!/usr/bin/python3
"""The page in Debian's headless chromium through Selenium: the window's
boxes, lines, colours, keys, languages, error box, accessibility tree, its
pixels beside the Qt window's, and what it fetches.

usage: page_test.py <TestClass>... with VANTREL_PAGE, VANTREL_FAILING_PAGE and
VANTREL_QT_SCREENSHOT set (CTest sets them)."""

import base64
import contextlib
import http.server
import json
import os
import pathlib
import shutil
import struct
import sys
import tempfile
import threading
import unittest
import zlib

import printout
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

PAGE = pathlib.Path(os.environ['VANTREL_PAGE'])
FAILING_PAGE = pathlib.Path(os.environ['VANTREL_FAILING_PAGE'])
TRAPPING_PAGE = pathlib.Path(os.environ['VANTREL_TRAPPING_PAGE'])
QT_SCREENSHOT = pathlib.Path(os.environ['VANTREL_QT_SCREENSHOT'])

# Each control's box in CSS pixels, from its place in twips (15 to the pixel).
BOXES = {
    'Form1': (0, 0, 409, 185),
    'Command2': (312, 144, 89, 33), 'Command1': (312, 96, 89, 33), 'Image1': (280, 0, 77, 45),
    'Line6': (408, 0, 1, 185), 'Line5': (0, 0, 1, 185), 'Line4': (0, 184, 409, 1),
    'Line3': (0, 136, 409, 1), 'Line2': (0, 88, 409, 1), 'Line1': (0, 0, 409, 1),
    'Label2': (8, 88, 297, 33), 'Label3': (8, 144, 297, 33), 'Label4': (8, 120, 297, 17),
    'Label1': (8, 8, 393, 81),
}
# The lines the desktop programs show, every run of spaces kept (shared with
# the other engines' tests).
LINES = json.loads((pathlib.Path(__file__).parent / 'lines.json').read_text(encoding='utf-8'))
# The in-page checks every engine's test runs (see Browser.check).
CHECKS = (pathlib.Path(__file__).parent / 'engine_checks.js').read_text(encoding='utf-8')
ANSWER = '00{}01384   17'
OVERFLOW = 'Ошибка выполнения: переполнение (Overflow).'
# The note left in the window's place once the program has ended.
ENDED = 'Программа завершила работу. Чтобы запустить её снова, обновите страницу.'
# The note left there once the program has stopped by a fault of its own.
STOPPED = 'Программа остановилась из-за внутренней ошибки. Чтобы запустить её снова, обновите страницу.'


class Browser:
    """Headless chromium with a fresh profile, ended with the test."""

    def __init__(self, language='ru-RU', scale=1, dark=False, arguments=(), prefs=None,
                 loading='normal', window=(600, 400), minimum_font=None):
        self.profile = tempfile.mkdtemp(prefix='vantrel-chromium-')
        options = webdriver.ChromeOptions()
        # 'none' lets a test look at a page still arriving.
        options.page_load_strategy = loading
        options.binary_location = '/usr/lib/chromium/chromium'
        for argument in ('--headless=new', '--no-sandbox', '--disable-background-networking',
                         '--disable-component-update', '--disable-sync', '--no-first-run',
                         '--user-data-dir=' + self.profile, '--lang=' + language,
                         '--force-device-scale-factor=%s' % scale, '--window-size=%d,%d' % window,
                         *arguments):
            options.add_argument(argument)
        if dark:
            options.add_argument('--force-dark-mode')
            options.add_argument('--blink-settings=preferredColorScheme=0')
        if minimum_font:  # the user's minimum font size, in CSS pixels
            prefs = {'webkit.webprefs.minimum_font_size': minimum_font, **(prefs or {})}
        options.add_experimental_option('prefs', {'intl.accept_languages': language,
                                                  **(prefs or {})})
        try:
            self.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'),
                                           options=options)
        except BaseException:
            shutil.rmtree(self.profile, ignore_errors=True)
            raise

    def open(self, page=PAGE, url=None):
        self.driver.get(url or page.as_uri())
        self.wait(lambda: self.js("return !!document.getElementById('Command1')"))
        return self

    def emulate(self, width, height=700, scale=1, phone=False):
        """A viewport of `width` x `height` CSS pixels at `scale` device pixels
        each (a desktop zoomed to 400 %: 320 at 4), for the page opened next
        and the one open; a phone's also has touch, its pointer coarse."""
        cdp = self.driver.execute_cdp_cmd
        cdp('Emulation.setDeviceMetricsOverride', {'width': width, 'height': height,
                                                   'deviceScaleFactor': scale, 'mobile': phone})
        cdp('Emulation.setTouchEmulationEnabled', {'enabled': phone, 'maxTouchPoints': 5})
        return self

    def open_at(self, width):
        """The page opened in a viewport `width` CSS pixels wide."""
        return self.emulate(width).open()

    def inject(self, script):
        """Runs `script` in every page opened from now on, before the page's
        own; returns what stops it."""
        cdp = self.driver.execute_cdp_cmd
        added = cdp('Page.addScriptToEvaluateOnNewDocument', {'source': script})['identifier']
        return lambda: cdp('Page.removeScriptToEvaluateOnNewDocument', {'identifier': added})

    def console(self):
        """The console's messages since the last call."""
        return [entry['message'] for entry in self.driver.get_log('browser')]

    def js(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def wait(self, condition, timeout=10):
        WebDriverWait(self.driver, timeout, poll_frequency=0.02).until(lambda _: condition())

    def check(self, name, *arguments):
        """What the in-page check `name` finds (see engine_checks.js)."""
        return self.js('return (%s).%s(...arguments)' % (CHECKS, name), *arguments)

    def box(self, name):
        return tuple(self.js("""
            const form = document.getElementById('Form1').getBoundingClientRect();
            const box = document.getElementById(arguments[0]).getBoundingClientRect();
            return [box.left - form.left, box.top - form.top, box.width, box.height];""", name))

    def drawn_lines(self, name):
        return self.js("""return Array.from(document.querySelectorAll('#' + arguments[0]
            + ' .drawn'), line => line.textContent);""", name)

    def answer(self):
        """The answer as drawn."""
        return ''.join(self.drawn_lines('Label4'))

    def focused(self):
        return self.js('return document.activeElement.id')

    def status(self):
        return self.js('return document.documentElement.dataset.exitStatus')

    def fonts(self, selector):
        """The fonts the browser draws the text of the elements matching
        `selector` in, each as (family, whether it is one the page embeds)."""
        cdp = self.driver.execute_cdp_cmd
        cdp('DOM.enable', {})
        cdp('CSS.enable', {})
        root = cdp('DOM.getDocument', {})['root']['nodeId']
        nodes = cdp('DOM.querySelectorAll', {'nodeId': root, 'selector': selector})['nodeIds']
        return {(font['familyName'], font['isCustomFont']) for node in nodes
                for font in cdp('CSS.getPlatformFontsForNode', {'nodeId': node})['fonts']}

    def key(self, key, alt=False):
        for kind in ('keyDown', 'keyUp'):
            self.driver.execute_cdp_cmd('Input.dispatchKeyEvent',
                                        {'type': kind, 'key': key, 'modifiers': 1 if alt else 0})

    def close(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)


class BrowserTest(unittest.TestCase):
    browser_options = {}

    @classmethod
    def setUpClass(cls):
        cls.browser = Browser(**cls.browser_options)

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()

    def setUp(self):
        self.browser.open()


class Window(BrowserTest):
    # Where each control stands and its colours are the conformance suite's;
    # here, what only a browser's own layout and fonts show.
    def test_where_controls_overlap_the_one_nearer_the_front_is_hit(self):
        hit = "return document.elementFromPoint(arguments[0], arguments[1]).closest('[id]').id"
        self.assertEqual(self.browser.js(hit, 300, 20), 'Image1')  # over Label1
        self.assertEqual(self.browser.js(hit, 100, 88), 'Line2')   # over Label2
        self.assertEqual(self.browser.js(hit, 100, 120.5), 'Label2')  # over Label4

    def test_faces(self):
        style = "return getComputedStyle(document.getElementById(arguments[0]))[arguments[1]]"
        self.assertTrue(self.browser.js(style, 'Label1', 'fontFamily')
                        .startswith('"Liberation Sans Narrow"'))
        self.assertEqual(self.browser.js(style, 'Label4', 'fontWeight'), '700')
        self.assertTrue(self.browser.js(
            "return document.fonts.check('11px \"Liberation Sans Narrow\"')"
            " && document.fonts.check('bold 13px \"Liberation Sans\"')"))

    def test_the_picture_is_the_formulas_pixels(self):
        # Corners white, and black ink of the sigma in the picture's left half.
        pixels = self.browser.js("""
            const canvas = document.getElementById('Image1');
            const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
            let black = 0;
            for (let i = 0; i < data.data.length; i += 4)
                black += data.data[i] === 0 && data.data[i + 1] === 0 && data.data[i + 2] === 0;
            return [canvas.width, canvas.height, Array.from(data.data.slice(0, 4)), black];""")
        self.assertEqual(pixels[:3], [77, 45, [255, 255, 255, 255]])
        self.assertGreater(pixels[3], 100)


class DarkWindow(BrowserTest):
    browser_options = {'dark': True}

    def test_text_stays_legible_on_the_bands_and_buttons_follow_the_scheme(self):
        self.assertTrue(self.browser.js("return matchMedia('(prefers-color-scheme: dark)').matches"))
        style = "return getComputedStyle(document.getElementById(arguments[0]))[arguments[1]]"
        for name in ('Label1', 'Label2', 'Label3'):
            self.assertEqual(self.browser.js(style, name, 'color'), 'rgb(0, 0, 0)', name)
        self.assertEqual(self.browser.js(style, 'Label4', 'color'), 'rgb(255, 255, 255)')
        self.assertEqual(self.browser.js(style, 'Form1', 'backgroundColor'), 'rgb(0, 0, 255)')
        self.assertNotEqual(self.browser.js(style, 'Line1', 'backgroundColor'), 'rgb(0, 0, 0)')


class Captions(unittest.TestCase):
    # At scale 1 the lines are the engine scenario's, in every engine.
    def test_every_label_breaks_as_on_the_desktop_at_every_scale(self):
        for scale in (1.25, 1.5, 2):
            browser = Browser(scale=scale)
            try:
                browser.open()
                self.assertEqual(browser.js('return devicePixelRatio'), scale)
                for name, lines in LINES.items():
                    self.assertEqual(browser.drawn_lines(name), lines, '%s at %s' % (name, scale))
                # Inside the label, and the task statement's clear of the picture.
                wrong = browser.check('ink')
                self.assertEqual(wrong, [], '\n'.join(wrong))
            finally:
                browser.close()

    # Canvas advances rounded to whole pixels, glyph by glyph, as WebKit's are.
    ROUNDED_CANVAS = """
        const measure = CanvasRenderingContext2D.prototype.measureText;
        CanvasRenderingContext2D.prototype.measureText = function (text) {
            const metrics = measure.call(this, text);
            let width = 0;
            for (const character of text)
                width += Math.round(measure.call(this, character).width);
            Object.defineProperty(metrics, 'width', {value: width});
            return metrics;
        };"""

    def test_lines_break_alike_where_the_canvas_rounds_its_advances(self):
        with contextlib.closing(Browser()) as browser:
            browser.driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument',
                                           {'source': self.ROUNDED_CANVAS})
            browser.open()
            self.assertEqual(browser.js("""
                const context = document.createElement('canvas').getContext('2d');
                context.font = '11px "Liberation Sans Narrow"';
                return context.measureText('а').width;"""), 5)  # 5.0166 unrounded
            for name, lines in LINES.items():
                self.assertEqual(browser.drawn_lines(name), lines, name)
            wrong = browser.check('ink')
            self.assertEqual(wrong, [], '\n'.join(wrong))


class Faces(BrowserTest):
    DRAWN = '.drawn, .drawn u, .caption, .caption u'

    def test_every_drawn_text_is_set_in_the_embedded_faces(self):
        self.assertEqual(self.browser.fonts(self.DRAWN),
                         {('Liberation Sans Narrow', True), ('Liberation Sans', True)})
        self.browser.driver.find_element('id', 'Command1').click()
        self.browser.wait(lambda: self.browser.answer() == ANSWER.format(','))
        self.assertEqual(self.browser.fonts('#Label4 .drawn'), {('Liberation Sans', True)})

    def test_the_page_embeds_only_the_glyphs_it_draws(self):
        # Whole, the two faces were two thirds of a page of 495 KB; cut down,
        # packed as WOFF2 and with the module compressed, the page is what a
        # slow line must bring before the window can open.
        self.assertLessEqual(PAGE.stat().st_size, 130_000)
        # A letter no caption has comes from the installed fonts.
        self.browser.js("""
            const probe = document.createElement('div');
            probe.id = 'probe';
            probe.style.font = getComputedStyle(document.getElementById('Label1')).font;
            probe.textContent = 'Ж';
            document.body.append(probe);""")
        self.assertNotIn(True, {embedded for _, embedded in self.browser.fonts('#probe')})


    def test_the_faces_licence_stays_readable_in_the_page(self):
        text = PAGE.read_text(encoding='utf-8')
        for notice in ('/usr/share/doc/fonts-liberation/copyright',
                       '/usr/share/common-licenses/GPL-2'):
            with open(notice, encoding='utf-8') as file:
                self.assertIn(file.read(), text, notice)


# Tab, Enter, Space and the access keys are the window's conformance cases
# (WindowConformanceTest.cpp); what is the page's own is here.
class Keyboard(BrowserTest):
    def test_a_click_on_a_label_or_the_picture_leaves_the_focus_on_its_button(self):
        ActionChains(self.browser.driver).send_keys(Keys.TAB).perform()
        self.assertEqual(self.browser.focused(), 'Command1')
        for place in ('Label1', 'Image1', 'Label4'):
            self.browser.driver.find_element('id', place).click()
            self.assertEqual(self.browser.focused(), 'Command1', place)

    # Select all, a copy and a click into a course page's frame are steps of
    # the engine scenario (engine_test.mjs), in chromium too.
    def test_the_answer_is_selected_by_the_mouse_the_focus_staying_on_its_button(self):
        ActionChains(self.browser.driver).send_keys(Keys.TAB, Keys.RETURN).perform()
        self.browser.wait(lambda: self.browser.answer() == ANSWER.format(','))
        line = self.browser.driver.find_element('css selector', '#Label4 .drawn')
        width = line.size['width']
        ActionChains(self.browser.driver).move_to_element_with_offset(line, -width // 2 + 1, 0) \
            .click_and_hold().move_to_element_with_offset(line, width // 2 - 1, 0).release() \
            .perform()
        self.assertEqual(self.browser.js('return getSelection().toString()'), ANSWER.format(','))
        self.assertEqual(self.browser.focused(), 'Command1')

    def test_the_page_opens_at_its_top_with_no_focus_and_return_calculates(self):
        # An iframe's default size: the task must start at its beginning.
        cdp = self.browser.driver.execute_cdp_cmd
        cdp('Emulation.setDeviceMetricsOverride',
            {'width': 300, 'height': 150, 'deviceScaleFactor': 1, 'mobile': False})
        try:
            self.browser.open()
            self.assertEqual(self.browser.focused(), '')
            self.assertEqual(self.browser.js('return [scrollX, scrollY, innerWidth]'), [0, 0, 300])
            ActionChains(self.browser.driver).send_keys(Keys.RETURN).perform()
            self.browser.wait(lambda: self.browser.answer() == ANSWER.format(','))
            self.assertEqual(self.browser.focused(), '')
        finally:
            cdp('Emulation.clearDeviceMetricsOverride', {})


class SavedCopy(unittest.TestCase):
    """A copy saved with "Save page as…, complete": the page's document as it
    stands, reopened."""

    def save(self, browser, path):
        path.write_text('<!DOCTYPE html>\n' + browser.js('return document.documentElement.outerHTML'),
                        encoding='utf-8')
        return path

    def folder(self):
        folder = pathlib.Path(tempfile.mkdtemp(prefix='vantrel-saved-'))
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        return folder

    @staticmethod
    def open_and_calculate(browser):
        browser.open()
        browser.driver.find_element('id', 'Command1').click()
        browser.wait(lambda: browser.answer() == ANSWER.format(','))

    def test_a_copy_saved_open_or_after_exit_shows_one_window_that_works(self):
        folder = self.folder()
        with contextlib.closing(Browser()) as browser:
            self.open_and_calculate(browser)
            copies = [self.save(browser, folder / 'open.html')]
            browser.driver.find_element('id', 'Command2').click()
            browser.wait(lambda: browser.status() == '0')
            self.assertEqual(browser.driver.find_element('id', 'Ended').text, ENDED)
            copies.append(self.save(browser, folder / 'ended.html'))
            for copy in copies:
                with self.subTest(copy.name):
                    browser.driver.get(copy.as_uri())
                    # Started afresh: the first answer, no focus taken.
                    browser.wait(lambda: browser.js(
                        "return !!document.getElementById('Command1')"))
                    self.assertEqual(browser.focused(), '')
                    self.assertEqual(browser.js(
                        "return document.querySelectorAll('.window, #ErrorBox').length"), 1)
                    self.assertEqual(browser.drawn_lines('Label4'), LINES['Label4'])
                    self.assertIsNone(browser.status())
                    self.assertFalse(browser.driver.find_element('id', 'Ended').is_displayed())
                    browser.driver.find_element('id', 'Command1').click()
                    browser.wait(lambda: browser.answer() == ANSWER.format(','))

    def test_a_copy_that_runs_no_script_says_so_and_shows_no_window(self):
        # Chrome's single-file copy (MHTML) never runs its scripts; a complete
        # copy runs none where JavaScript is off. Both were saved running.
        folder = self.folder()
        with contextlib.closing(Browser()) as browser:
            self.open_and_calculate(browser)
            single = folder / 'single.mhtml'
            single.write_text(browser.driver.execute_cdp_cmd(
                'Page.captureSnapshot', {'format': 'mhtml'})['data'], encoding='utf-8')
            complete = self.save(browser, folder / 'complete.html')
        switched_off = {'prefs': {'profile.managed_default_content_settings.javascript': 2}}
        for copy, options in ((single, {}), (complete, switched_off)):
            with self.subTest(copy.name), contextlib.closing(Browser(**options)) as browser:
                browser.driver.get(copy.as_uri())
                shown = browser.js("""return Array.from(document.querySelectorAll(
                    'body > .window, #ErrorBox, #Unavailable > p'))
                    .filter(element => element.checkVisibility()).map(element => element.id)""")
                self.assertEqual(shown, ['NoScript'])


class Errors(BrowserTest):
    def setUp(self):
        self.browser.open(FAILING_PAGE)

    def test_an_error_is_shown_in_a_modal_box_and_ends_the_window_with_status_1(self):
        self.browser.driver.find_element('id', 'Command1').click()
        self.browser.wait(lambda: self.browser.js(
            "return !!document.querySelector('#ErrorBox[open]')"))
        box = self.browser.js("""
            const box = document.getElementById('ErrorBox');
            return [box.matches(':modal'), box.getAttribute('role'),
                    document.getElementById(box.getAttribute('aria-labelledby')).textContent,
                    document.getElementById('ErrorBoxMessage').textContent,
                    document.activeElement.textContent];""")
        self.assertEqual(box, [True, 'alertdialog', 'Velto', OVERFLOW, 'ОК'])
        # The window behind takes no input: no access key, no click.
        self.browser.key('в', alt=True)
        hit = self.browser.js("return document.elementFromPoint(350, 110).id")
        self.assertNotEqual(hit, 'Command1')
        self.assertIsNone(self.browser.status())
        ActionChains(self.browser.driver).send_keys(Keys.ENTER).perform()
        self.browser.wait(lambda: self.browser.status() == '1')
        self.assertFalse(self.browser.js(
            "return !!document.getElementById('Form1') || !!document.getElementById('ErrorBox')"))
        # A tab no script opened stays: the note says the program has ended.
        self.assertEqual(self.browser.driver.find_element('id', 'Ended').text, ENDED)

    def test_in_a_frame_the_course_page_hears_status_1(self):
        with course_pages(FAILING_PAGE) as pages:
            driver = self.browser.driver
            driver.get(pages['another origin'])
            driver.switch_to.frame(driver.find_element('id', 'exercise'))
            self.browser.wait(lambda: self.browser.js("return !!document.getElementById('Command1')"))
            driver.find_element('id', 'Command1').click()
            self.browser.wait(lambda: self.browser.js(
                "return !!document.querySelector('#ErrorBox[open]')"))
            driver.find_element('css selector', '#ErrorBox button').click()
            self.browser.wait(lambda: self.browser.status() == '1')
            self.assertEqual(driver.find_element('id', 'Ended').text, ENDED)
            driver.switch_to.default_content()
            self.browser.wait(lambda: self.browser.js('return heard.length') > 0)
            self.assertEqual(self.browser.js('return heard'), [{'type': 'vantrel1-exit', 'status': 1}])

    def test_the_box_is_set_in_the_systems_font_which_has_every_letter(self):
        # Which is why the embedded faces need none of the messages' glyphs.
        self.browser.driver.find_element('id', 'Command1').click()
        self.browser.wait(lambda: self.browser.js(
            "return !!document.querySelector('#ErrorBox[open]')"))
        fonts = self.browser.fonts('#ErrorBox div, #ErrorBox p, #ErrorBox button')
        self.assertTrue(fonts)
        self.assertNotIn(True, {embedded for _, embedded in fonts})

    def test_escape_closes_the_box_with_the_same_end(self):
        ActionChains(self.browser.driver).send_keys(Keys.ENTER).perform()
        self.browser.wait(lambda: self.browser.js(
            "return !!document.querySelector('#ErrorBox[open]')"))
        ActionChains(self.browser.driver).send_keys(Keys.ESCAPE).perform()
        self.browser.wait(lambda: self.browser.status() == '1')


UNEXPECTED = 'Ошибка выполнения: непредвиденная ошибка (Unexpected).'
# Counts what the page lets out uncaught, from before its own script runs.
COUNT_UNCAUGHT = """
    window.uncaught = 0;
    addEventListener('error', () => ++window.uncaught);
    addEventListener('unhandledrejection', () => ++window.uncaught);"""


class SharedBrowser(unittest.TestCase):
    """One browser for the group's tests, each on a page of its own: what a
    test injects or emulates goes with it, and its console starts empty."""

    @classmethod
    def setUpClass(cls):
        cls.shared = Browser()

    @classmethod
    def tearDownClass(cls):
        cls.shared.close()

    def setUp(self):
        self.shared.driver.get('about:blank')
        self.shared.console()
        cdp = self.shared.driver.execute_cdp_cmd
        cdp('Emulation.clearDeviceMetricsOverride', {})
        cdp('Emulation.setTouchEmulationEnabled', {'enabled': False})

    def injected(self, script):
        """The shared browser, running `script` in each page this test opens."""
        self.addCleanup(self.shared.inject(script))
        return self.shared


class ScriptFailures(SharedBrowser):
    """The browser's own script failing under the window: never a silent
    page or a flood of aborts."""

    def open_with(self, script, wait_for_window=True):
        browser = self.injected(COUNT_UNCAUGHT + script)
        if wait_for_window:
            browser.open()
        else:
            browser.driver.get(PAGE.as_uri())
        return browser

    def check_reported_once_then_status_1(self, browser):
        browser.wait(lambda: browser.js("return !!document.querySelector('#ErrorBox[open]')"))
        self.assertEqual(browser.js("return document.querySelectorAll('#ErrorBox').length"), 1)
        self.assertEqual(browser.js("return document.getElementById('ErrorBoxMessage').textContent"),
                         UNEXPECTED)
        self.assertIsNone(browser.status())
        ActionChains(browser.driver).send_keys(Keys.ENTER).perform()
        browser.wait(lambda: browser.status() == '1')
        self.assertFalse(browser.js("return !!document.getElementById('Form1')"))
        console = browser.console()
        self.assertFalse([line for line in console if 'Aborted(' in line], console[:3])
        self.assertLessEqual(len(console), 2, console)
        self.assertEqual(browser.js('return window.uncaught'), 0)

    def test_a_language_intl_refuses_gives_a_point(self):
        # WebKitGTK under the C locale reports "C", which Intl refuses.
        browser = self.open_with("Object.defineProperty(navigator, 'language', {get: () => 'C'})")
        browser.driver.find_element('id', 'Command1').click()
        browser.wait(lambda: browser.answer() == ANSWER.format('.'))
        self.assertFalse(browser.js("return !!document.getElementById('ErrorBox')"))
        self.assertIsNone(browser.status())
        self.assertEqual(browser.console(), [])

    def test_an_exception_in_calculate_is_reported_in_one_box(self):
        browser = self.open_with(
            "Intl.NumberFormat = function () { throw new TypeError('no number format'); };")
        browser.driver.find_element('id', 'Command1').click()
        self.check_reported_once_then_status_1(browser)

    def test_an_exception_under_a_key_is_reported_in_one_box(self):
        browser = self.open_with(
            "Intl.NumberFormat = function () { throw new TypeError('no number format'); };")
        browser.key('в', alt=True)
        self.check_reported_once_then_status_1(browser)

    def test_an_exception_while_the_window_is_built_is_reported_in_one_box(self):
        browser = self.open_with("""CanvasRenderingContext2D.prototype.measureText =
            function () { throw new Error('no measure'); };""", wait_for_window=False)
        self.check_reported_once_then_status_1(browser)

    def test_an_exception_in_the_error_box_still_ends_with_status_1(self):
        browser = self.open_with(
            "HTMLDialogElement.prototype.showModal = function () { throw new Error('no modal'); };"
            "Intl.NumberFormat = function () { throw new TypeError('no number format'); };")
        browser.driver.find_element('id', 'Command1').click()
        browser.wait(lambda: browser.status() == '1')
        self.assertFalse(browser.js(
            "return !!document.getElementById('Form1') || !!document.getElementById('ErrorBox')"))
        self.assertEqual(browser.js('return window.uncaught'), 0)


class Traps(SharedBrowser):
    """A module that stops by a fault of its own leaves no window that looks
    alive: the page says in its place that the program stopped, and ends with
    status 1, which a course page hears. (A trap and an abort in a tab are
    the engine scenario's, in chromium too.)"""

    def check_stopped(self, browser, message=STOPPED):
        browser.wait(lambda: browser.status() == '1')
        self.assertEqual(browser.js(
            "return document.querySelectorAll('.window, #ErrorBox').length"), 0)
        shown = browser.js("""return Array.from(document.querySelectorAll('#Unavailable > p'))
            .filter(p => p.checkVisibility()).map(p => p.textContent)""")
        self.assertEqual(shown, [message])

    def test_a_trap_in_a_course_pages_frame(self):
        browser = self.shared
        with course_pages(TRAPPING_PAGE) as pages:
            driver = browser.driver
            driver.get(pages['another origin'])
            driver.switch_to.frame(driver.find_element('id', 'exercise'))
            browser.wait(lambda: browser.js("return !!document.getElementById('Command1')"))
            driver.find_element('id', 'Command1').click()
            self.check_stopped(browser)
            driver.switch_to.default_content()
            browser.wait(lambda: browser.js('return heard.length') > 0)
            self.assertEqual(browser.js('return heard'), [{'type': 'vantrel1-exit', 'status': 1}])

    def test_a_trap_while_the_window_is_built_leaves_none_of_it(self):
        self.shared.driver.get(TRAPPING_PAGE.as_uri() + '#start')
        self.check_stopped(self.shared, MESSAGES['NotStarted'])


MESSAGES = {
    'NoScript': 'Окно программы не может открыться: '
                'JavaScript в этом браузере выключен или заблокирован.',
    'NoWebAssembly': 'Окно программы не может открыться: '
                     'этот браузер не поддерживает WebAssembly.',
    'NotStarted': 'Окно программы не может открыться: '
                  'браузер не смог запустить её модуль WebAssembly.',
    'NoStyles': 'Окно программы не может открыться: '
                'политика сайта запрещает стили этой страницы.',
}
# A course site's policy that lets the page's script run but not its styles.
STYLES_BLOCKED = "script-src 'unsafe-inline' 'wasm-unsafe-eval'; style-src 'self'"


@contextlib.contextmanager
def serving(directory, headers=None):
    """A local HTTP server of `directory`, sending `headers` with each file;
    yields its address and the paths asked for."""
    requests = []

    class Handler(http.server.SimpleHTTPRequestHandler):
        def __init__(self, *arguments, **options):
            super().__init__(*arguments, directory=str(directory), **options)

        def end_headers(self):
            for name, value in (headers or {}).items():
                self.send_header(name, value)
            super().end_headers()

        def log_message(self, *arguments):
            requests.append(self.path)

    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
    thread = threading.Thread(target=server.serve_forever)
    thread.start()
    try:
        yield 'http://127.0.0.1:%d/' % server.server_port, requests
    finally:
        server.shutdown()
        thread.join()
        server.server_close()


@contextlib.contextmanager
def course_pages(page=PAGE):
    """A local server of `page` and of a course page framing it each way a
    course site may: from its own server, from another origin (the same
    server by another name), and sandboxed with scripts allowed. Yields
    {framing: the course page's address}."""
    folder = tempfile.mkdtemp(prefix='vantrel-course-')
    try:
        os.symlink(page, os.path.join(folder, page.name))
        template = (pathlib.Path(__file__).parent / 'course_page.html').read_text(encoding='utf-8')
        with serving(folder) as (url, _):
            framings = {'same origin': (page.name, ''),
                        'another origin': (url.replace('127.0.0.1', 'localhost') + page.name, ''),
                        'sandboxed': (page.name, 'sandbox="allow-scripts"')}
            pages = {}
            for number, (framing, (source, sandbox)) in enumerate(framings.items()):
                name = 'course-%d.html' % number
                with open(os.path.join(folder, name), 'w', encoding='utf-8') as file:
                    file.write(template.replace('@SRC@', source).replace('@SANDBOX@', sandbox))
                pages[framing] = url + name
            yield pages
    finally:
        shutil.rmtree(folder, ignore_errors=True)


class Unavailable(SharedBrowser):
    """Where the browser cannot show the window, the page says why, in the
    window's place and language, under the window's title."""

    def check_says(self, shown, url=None, inject=None, **options):
        """`options`: a browser of its own, started with them."""
        with contextlib.ExitStack() as ending:
            browser = self.shared
            if options:
                browser = ending.enter_context(contextlib.closing(Browser(**options)))
            if inject:
                ending.callback(browser.inject(inject))
            browser.driver.get(url or PAGE.as_uri())
            message = browser.driver.find_element('id', shown)
            browser.wait(message.is_displayed)
            self.assertEqual(message.text, MESSAGES[shown])
            for other in MESSAGES.keys() - {shown}:
                self.assertFalse(browser.driver.find_element('id', other).is_displayed(), other)
            self.assertEqual(browser.driver.title, 'Velto')
            self.assertFalse(browser.driver.find_elements('id', 'Form1'))

    def test_javascript_switched_off(self):
        self.check_says('NoScript',
                        prefs={'profile.managed_default_content_settings.javascript': 2})

    def test_javascript_blocked_by_a_sites_content_policy(self):
        # A course site's usual policy: scripts from its own files only.
        with serving(PAGE.parent, {'Content-Security-Policy': "script-src 'self'"}) as (url, _):
            self.check_says('NoScript', url=url + PAGE.name)

    def test_styles_blocked_where_a_script_cannot_apply_them_either(self):
        with serving(PAGE.parent, {'Content-Security-Policy': STYLES_BLOCKED}) as (url, _):
            self.check_says('NoStyles', url=url + PAGE.name, inject='delete window.CSSStyleSheet;')

    def test_no_webassembly(self):
        # V8 without its compilers has no WebAssembly.
        self.check_says('NoWebAssembly', arguments=['--js-flags=--jitless'])

    def test_a_module_the_browser_cannot_compile(self):
        # Without the exception instructions the module is built with.
        self.check_says('NotStarted', arguments=['--js-flags=--no-wasm-legacy-eh'])

    def test_a_module_the_browser_cannot_inflate(self):
        # The module comes compressed; a browser without the stream to inflate
        # it says so in the window's place, as for one that cannot compile it.
        self.check_says('NotStarted', inject='delete window.DecompressionStream;')

    def test_a_window_that_opens_leaves_no_message(self):
        browser = self.shared.open()
        for shown in MESSAGES:
            self.assertFalse(browser.driver.find_element('id', shown).is_displayed(), shown)
        self.assertEqual(browser.driver.title, 'Velto')


class Accessibility(BrowserTest):
    def tree(self):
        """The tree's nodes in reading order, without the text inside a
        button (its name) or the inline boxes of a text."""
        nodes = self.browser.driver.execute_cdp_cmd('Accessibility.getFullAXTree', {})['nodes']
        by_id = {node['nodeId']: node for node in nodes}
        ordered = []

        def walk(node):
            ordered.append(node)
            if self.value(node, 'role') in ('button', 'StaticText'):
                return
            for child in node.get('childIds', []):
                if child in by_id:
                    walk(by_id[child])
        walk(nodes[0])
        return [node for node in ordered if not node.get('ignored')]

    @staticmethod
    def value(node, field):
        return node.get(field, {}).get('value', '')

    @staticmethod
    def properties(node):
        return {p['name']: p['value'].get('value') for p in node.get('properties', [])}

    def test_the_window_is_the_main_landmark_headed_by_its_title(self):
        """Chromium's own tree: the landmark, the heading and the roles it
        computes. The names, descriptions and order a reader gets are the
        conformance suite's, read from the page's roles and attributes."""
        nodes = [n for n in self.tree()
                 if self.value(n, 'role') in ('main', 'heading', 'button', 'image', 'StaticText')]
        read = [(self.value(n, 'role'), self.value(n, 'name'), self.value(n, 'description'))
                for n in nodes]
        # The window is the page's one main landmark, its title the page's one
        # heading, of the first level, read before the controls.
        self.assertEqual(read[:3], [('main', 'Velto', ''), ('heading', 'Velto', ''),
                                    ('StaticText', 'Velto', '')])
        self.assertEqual(self.properties(nodes[1]).get('level'), 1)
        self.assertEqual([role for role, _, _ in read].count('main'), 1)
        self.assertEqual([role for role, _, _ in read].count('heading'), 1)
        # A label's text is static text to the browser, the picture an image.
        self.assertEqual([role for role, _, _ in read[3:]],
                         ['StaticText', 'image', 'StaticText', 'button', 'StaticText',
                          'StaticText', 'button'])

    def test_only_the_two_buttons_take_the_focus_and_the_answer_is_a_polite_live_region(self):
        nodes = self.tree()
        focusable = sorted(self.value(n, 'name') for n in nodes
                           if self.properties(n).get('focusable')
                           and self.value(n, 'role') != 'RootWebArea')
        self.assertEqual(focusable, ['Выход', 'Вычислить'])
        # One polite live region, empty but while it tells: nothing is told
        # as the window is built, nor read twice.
        live = [n for n in nodes if self.properties(n).get('live') == 'polite']
        self.assertEqual(len(live), 1)
        self.assertEqual(live[0].get('childIds', []), [])
        self.browser.driver.find_element('id', 'Command1').click()
        self.browser.wait(lambda: self.browser.answer() == ANSWER.format(','))
        # Read single-spaced, as the desktop programs give it, once its text
        # is back after the announcement's empty frame.
        self.browser.wait(lambda: any(self.value(n, 'name') == '00,01384 17' for n in self.tree()))


def read_png(path):
    """(width, height, rows of (r, g, b)) of an 8-bit RGB or RGBA PNG."""
    data = pathlib.Path(path).read_bytes()
    position, chunks, header = 8, [], None
    while position < len(data):
        length, kind = struct.unpack('>I4s', data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            chunks.append(body)
        position += 12 + length
    width, height, depth, colour, _, _, interlace = header
    assert depth == 8 and colour in (2, 6) and not interlace, 'unsupported PNG'
    size = 3 if colour == 2 else 4
    raw = zlib.decompress(b''.join(chunks))
    stride = width * size
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = line[x - size] if x >= size else 0
            b = previous[x]
            c = previous[x - size] if x >= size else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x:x + 3]) for x in range(0, stride, size)])
        previous = line
    return width, height, rows


def band(rows, colour):
    """The bounding box (left, top, right, bottom) of the pixels of `colour`."""
    xs, ys = [], []
    for y, row in enumerate(rows):
        for x, pixel in enumerate(row):
            if pixel == colour:
                xs.append(x)
                ys.append(y)
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def text_lines(rows, box, ink, skip_from=None):
    """The ink's lines inside `box`: (top, bottom, left, right) of each run of
    rows with ink; columns from `skip_from` on are left out."""
    left, top, right, bottom = box
    right = min(right, skip_from) if skip_from else right
    lines, current = [], None
    for y in range(top, bottom):
        xs = [x for x in range(left, right) if ink(rows[y][x])]
        if xs and current is None:
            current = [y, y + 1, min(xs), max(xs) + 1]
        elif xs:
            current[1] = y + 1
            current[2], current[3] = min(current[2], min(xs)), max(current[3], max(xs) + 1)
        elif current is not None:
            lines.append(current)
            current = None
    if current is not None:
        lines.append(current)
    return lines


class Screenshot(BrowserTest):
    def test_the_page_shows_the_qt_windows_boxes_and_lines(self):
        shot = pathlib.Path(tempfile.mkdtemp(prefix='vantrel-shot-'))
        try:
            self.browser.driver.save_screenshot(str(shot / 'page.png'))
            _, _, page = read_png(shot / 'page.png')
        finally:
            shutil.rmtree(shot, ignore_errors=True)
        _, _, qt = read_png(QT_SCREENSHOT)
        # The Qt shot has a frame: both are compared from the task band's corner.
        dark = lambda pixel: sum(pixel) < 300
        light = lambda pixel: min(pixel) > 160
        for name, colour, ink in (('Label1', (255, 255, 0), dark), ('Label2', (255, 0, 255), dark)):
            qt_box, page_box = band(qt, colour), band(page, colour)
            self.assertEqual(qt_box[2] - qt_box[0], page_box[2] - page_box[0], name)
            self.assertEqual(qt_box[3] - qt_box[1], page_box[3] - page_box[1], name)
            skip = 272 if name == 'Label1' else None  # the picture in front of the task
            qt_lines = text_lines(qt, qt_box, ink, skip and qt_box[0] + skip)
            page_lines = text_lines(page, page_box, ink, skip and page_box[0] + skip)
            self.assertEqual(len(qt_lines), len(page_lines), name)
            for q, p in zip(qt_lines, page_lines):
                q = [q[0] - qt_box[1], q[1] - qt_box[1], q[2] - qt_box[0], q[3] - qt_box[0]]
                p = [p[0] - page_box[1], p[1] - page_box[1], p[2] - page_box[0], p[3] - page_box[0]]
                for a, b in zip(q, p):
                    self.assertLessEqual(abs(a - b), 3, '%s: Qt %s, page %s' % (name, q, p))
        # The answer band: white on black, its one line centred as on the desktop.
        qt_answer = [y for y, row in enumerate(qt) if row[100:300].count((0, 0, 0)) > 150]
        page_answer = [y for y, row in enumerate(page) if row[100:300].count((0, 0, 0)) > 150]
        self.assertEqual(len(qt_answer), len(page_answer))


# The readable controls, top to bottom in the one column.
COLUMN = ['Label1', 'Image1', 'Label2', 'Command1', 'Label4', 'Label3', 'Command2']


class Reflow(SharedBrowser):
    """Narrower than the window, the page shows it in one column."""

    def check_column(self, browser):
        wrong = browser.check('column', COLUMN) + browser.check('ink') + browser.check('wholeText')
        self.assertEqual(wrong, [], '\n'.join(wrong))
        self.assertEqual(browser.js('return visualViewport.scale'), 1)
        browser.driver.find_element('id', 'Command1').click()
        browser.wait(lambda: browser.answer() == ANSWER.format(','))
        wrong = browser.check('column', COLUMN) + browser.check('ink')
        self.assertEqual(wrong, [], '\n'.join(wrong))

    def test_at_400_percent_and_an_upright_phones_width_the_window_is_one_column(self):
        browser = self.shared
        for width, scale in ((320, 4), (360, 3)):
            with self.subTest(width=width):
                browser.emulate(width, scale=scale).open()
                self.assertEqual(browser.box('Form1')[2], width)
                # Broken again at the column's width, in the desktop's sizes.
                self.assertNotEqual(browser.drawn_lines('Label1'), LINES['Label1'])
                self.assertEqual(browser.js(
                    "return getComputedStyle(document.querySelector('#Label1 .drawn')).fontSize"),
                    '11px')
                self.check_column(browser)

    def test_at_the_windows_width_nothing_changes(self):
        browser = self.shared
        browser.emulate(409).open()
        for name, box in BOXES.items():
            self.assertEqual(browser.box(name), box, name)
        for name, lines in LINES.items():
            self.assertEqual(browser.drawn_lines(name), lines, name)

    def test_the_window_reflows_as_the_page_narrows_and_widens_again(self):
        browser = self.shared
        browser.open()
        browser.emulate(320)
        browser.wait(lambda: browser.box('Form1')[2] == 320)
        wrong = browser.check('column', COLUMN) + browser.check('ink')
        self.assertEqual(wrong, [], '\n'.join(wrong))
        browser.emulate(600)
        browser.wait(lambda: browser.box('Form1')[2] == 409)
        for name, box in BOXES.items():
            self.assertEqual(browser.box(name), box, name)
        for name, lines in LINES.items():
            self.assertEqual(browser.drawn_lines(name), lines, name)

    def test_a_phone_has_the_column_with_16_px_text_and_44_px_buttons(self):
        # Lighthouse's phone: 412 px wide, where the window itself would fit.
        browser = self.shared
        browser.emulate(412, 823, scale=1.75, phone=True).open()
        self.assertTrue(browser.js("return matchMedia('(pointer: coarse)').matches"))
        self.assertGreaterEqual(browser.check('smallestText'), 16)
        for name in ('Command1', 'Command2'):
            self.assertGreaterEqual(browser.box(name)[3], 44, name)
        # As wide as the page, to the 96-dpi pixel the column is laid out in.
        self.assertAlmostEqual(browser.box('Form1')[2], 412, delta=16 / 11)
        self.check_column(browser)


class MinimumFont(unittest.TestCase):
    """A minimum font size set in the browser: the window grows until its
    smallest text meets it (with the desktop's lines, as at a higher scale: each
    engine's test), and a page narrower than that shows it in one column."""

    def test_narrower_than_the_grown_window_it_is_one_column_at_that_size(self):
        with contextlib.closing(Browser(minimum_font=24)) as browser:
            browser.open_at(600)
            self.assertGreaterEqual(browser.check('smallestText'), 24)
            wrong = browser.check('column', COLUMN) + browser.check('ink')
            self.assertEqual(wrong, [], '\n'.join(wrong))


class Print(BrowserTest):
    def test_the_printout_shows_the_bands_lines_and_a_legible_answer_without_backgrounds(self):
        self.browser.driver.find_element('id', 'Command1').click()
        self.browser.wait(lambda: self.browser.answer() == ANSWER.format(','))
        pdf = self.browser.driver.execute_cdp_cmd('Page.printToPDF', {'printBackground': False})
        folder = pathlib.Path(tempfile.mkdtemp(prefix='vantrel-print-'))
        try:
            (folder / 'page.pdf').write_bytes(base64.b64decode(pdf['data']))
            wrong = printout.wrong(folder / 'page.pdf')
        finally:
            shutil.rmtree(folder, ignore_errors=True)
        self.assertEqual(wrong, [], '\n'.join(wrong))


class Serving(SharedBrowser):
    def test_over_http_the_page_asks_for_itself_only(self):
        browser = self.shared
        with serving(PAGE.parent) as (url, requests):
            browser.open(url=url + PAGE.name)
            browser.driver.find_element('id', 'Command1').click()
            browser.wait(lambda: browser.answer() == ANSWER.format(','))
        self.assertEqual(requests, ['/' + PAGE.name])

    def test_a_site_policy_that_blocks_inline_styles_leaves_the_window_working(self):
        browser = self.shared
        with serving(PAGE.parent, {'Content-Security-Policy': STYLES_BLOCKED}) as (url, _):
            browser.open(url=url + PAGE.name)
            self.assertEqual(browser.js("""return Array.from(document.querySelectorAll(
                '#Unavailable > p')).filter(p => p.checkVisibility()).length"""), 0)
            for name in ('Form1', 'Command1', 'Label4'):
                self.assertEqual(browser.box(name), BOXES[name], name)
            self.assertEqual(browser.drawn_lines('Label1'), LINES['Label1'])
            browser.driver.find_element('id', 'Command1').click()
            browser.wait(lambda: browser.answer() == ANSWER.format(','))

    def test_the_window_opens_before_the_faces_licence_arrives(self):
        # The server holds the page's last part, the licence, until the test
        # has seen the window; a window that waited for the whole page would
        # not appear, and the server lets go after 20 s in any case.
        text = PAGE.read_bytes()
        cut = text.index(b'<script type="text/plain"')
        seen = threading.Event()

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                self.send_response(200)
                self.send_header('Content-Type', 'text/html; charset=utf-8')
                self.send_header('Content-Length', str(len(text)))
                self.end_headers()
                self.wfile.write(text[:cut])
                self.wfile.flush()
                seen.wait(20)
                self.wfile.write(text[cut:])

            def log_message(self, *arguments):
                pass

        server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
        thread = threading.Thread(target=server.serve_forever)
        thread.start()
        try:
            with contextlib.closing(Browser(loading='none')) as browser:
                browser.driver.get('http://127.0.0.1:%d/%s' % (server.server_port, PAGE.name))
                try:
                    browser.wait(lambda: browser.js(
                        "return document.readyState === 'loading'"
                        " && !!document.getElementById('Command1')"))
                finally:
                    seen.set()
                browser.wait(lambda: browser.js("return document.readyState === 'complete'"))
                self.assertTrue(browser.js("return !!document.getElementById('font-licence')"))
        finally:
            seen.set()
            server.shutdown()
            thread.join()
            server.server_close()

    def test_the_page_reads_no_address_part_or_storage(self):
        # All but the faces' licence, whose text names addresses.
        before, licence = PAGE.read_text(encoding='utf-8').split('<script type="text/plain"')
        text = before + licence.split('</script>', 1)[1]
        for read in ('location.search', 'location.hash', 'URLSearchParams', 'localStorage',
                     'sessionStorage', 'indexedDB', 'document.cookie', 'http://', 'https://'):
            self.assertNotIn(read, text, read)


if __name__ == '__main__':
    groups = {'Window': ['Window', 'DarkWindow']}
    names = [name for group in sys.argv[1:] for name in groups.get(group, [group])]
    unittest.main(argv=[sys.argv[0], '-v'] + names)
