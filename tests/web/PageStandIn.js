// The page under Node for the window's tests: Debian's jsdom for the
// document, and in it what a browser has and jsdom lacks, as far as the
// window uses it: a canvas that measures every character 6 pixels wide, a
// modal dialog, the colour scheme's text colour and the buttons' colours
// (which the test sets; a button's text is the scheme's unless set), and a
// window that stays open when the page closes it (counting each close). A test may have the
// canvas's measure fail, as a browser's script may. The page is never laid
// out, so its size never changes. Set up before main runs,
// once the module has told Node from a browser.
Module.preRun = [function () {
  const {JSDOM} = require('jsdom');
  const window = new JSDOM('<!DOCTYPE html><html><body></body></html>').window;
  const scheme = new window.EventTarget();
  window.close = function () { ++Module.standIn.closes; };
  Object.defineProperty(window, 'top', {get: function () {
    if (Module.standIn.framed) throw new window.DOMException('Blocked a frame', 'SecurityError');
    return window;
  }});
  window.matchMedia = function () { return scheme; };
  window.getComputedStyle = function (element) {
    const standIn = Module.standIn;
    const button = element && element.tagName === 'BUTTON' && standIn.buttonText;
    return {color: button ? standIn.buttonText : standIn.schemeText,
      backgroundColor: standIn.buttonFace};
  };
  window.HTMLCanvasElement.prototype.getContext = function () {
    return {
      font: '',
      measureText: function (text) {
        if (Module.standIn.measureFails) throw new Error('no measure');
        return {width: 6 * text.length, fontBoundingBoxAscent: 11, fontBoundingBoxDescent: 3};
      },
      createImageData: function (width, height) {
        return {data: new Uint8ClampedArray(4 * width * height)};
      },
      putImageData: function () {},
    };
  };
  window.ResizeObserver = class { observe() {} disconnect() {} };
  // The page's timers run, in the order they are due, when the test
  // settles the page.
  window.setTimeout = function (callback, delay) {
    const standIn = Module.standIn;
    standIn.timers.push({callback: callback, due: standIn.now + delay, order: standIn.order++});
  };
  window.HTMLDialogElement.prototype.showModal = function () { this.open = true; };
  window.HTMLDialogElement.prototype.close = function () {
    this.open = false;
    this.dispatchEvent(new window.Event('close'));
  };
  for (const name of ['window', 'document', 'getComputedStyle', 'matchMedia', 'AbortController',
                    'ResizeObserver', 'Element'])
    globalThis[name] = name === 'window' ? window : window[name];
  Module.standIn = {window: window, scheme: scheme, schemeText: 'rgb(0, 0, 0)', timers: [],
    buttonFace: 'rgb(240, 240, 240)',
    now: 0, order: 0,
    // What a screen reader is told of a live region's new text, read as the
    // browser reads it, once time has passed: a text taken out and put back
    // in one go is not told.
    readAnswer: function () {
      const standIn = Module.standIn;
      const live = document.querySelectorAll('[aria-live]');
      const text = Array.from(live, function (region) { return region.textContent; }).join('');
      // A reader says no space at either end.
      if (text && text !== standIn.lastText) standIn.heard.push(text.trim());
      standIn.lastText = text;
    },
  };
}];
