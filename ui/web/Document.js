// The page's side of the web front end: the DOM calls the C++ window makes,
// with the nodes it holds kept in a table and named by their index there.
// No decision about the window is taken here; it is all in the C++ code.

mergeInto(LibraryManager.library, {
  $VantrelDom: {
    nodes: [null], // index 0: no node
    unused: [],
    hold: function (node) {
      const index = VantrelDom.unused.length ? VantrelDom.unused.pop() : VantrelDom.nodes.length;
      VantrelDom.nodes[index] = node;
      return index;
    },
    text16: function (text, length) {
      let result = '';
      for (let i = 0; i < length; i += 4096) {
        const start = (text >> 1) + i;
        result += String.fromCharCode.apply(
            null, HEAPU16.subarray(start, start + Math.min(4096, length - i)));
      }
      return result;
    },
    measuring: null,
    measuringFont: '',
    context: function (font) {
      if (!VantrelDom.measuring)
        VantrelDom.measuring = document.createElement('canvas').getContext('2d');
      // Setting a font parses it: only when it changes.
      if (font !== VantrelDom.measuringFont) {
        VantrelDom.measuring.font = font;
        VantrelDom.measuringFont = font;
      }
      return VantrelDom.measuring;
    },
    // Runs `body` for a call from the window. An exception must not enter
    // the WebAssembly (catch (...) does not catch it, and a noexcept frame
    // ends in std::terminate): it is logged and the window told, whose side
    // of the call throws its own.
    guard: function (body) {
      try {
        return body();
      } catch (error) {
        console.error(error);
        _vantrel_script_failed();
        return 0;
      }
    },
    // Runs `body`, a call into the window, from an event of the page. The
    // window lets no exception out; if the WebAssembly stops all the same
    // (a trap), the window has ended with the status of an error.
    enter: function (body) {
      if (VantrelDom.ended) return 0;
      try {
        return body();
      } catch (error) {
        console.error(error);
        VantrelDom.ended = true;
        document.documentElement.dataset.exitStatus = '1';
        return 0;
      }
    },
    send: function (form, event) {
      VantrelDom.enter(function () { _vantrel_event(form, event); });
    },
    ended: false,
  },

  // Every call from the window goes through VantrelDom.guard.
  vantrel_node_create__deps: ['$VantrelDom'],
  vantrel_node_create: function (tag, parent) {
    return VantrelDom.guard(function () {
      const node = document.createElement(UTF8ToString(tag));
      if (parent) VantrelDom.nodes[parent].appendChild(node);
      return VantrelDom.hold(node);
    });
  },

  vantrel_node_show__deps: ['$VantrelDom'],
  vantrel_node_show: function (handle) {
    VantrelDom.guard(function () { document.body.appendChild(VantrelDom.nodes[handle]); });
  },

  vantrel_node_release__deps: ['$VantrelDom'],
  vantrel_node_release: function (handle) {
    VantrelDom.guard(function () {
      VantrelDom.nodes[handle] = null;
      VantrelDom.unused.push(handle);
    });
  },

  vantrel_node_remove__deps: ['$VantrelDom'],
  vantrel_node_remove: function (handle) {
    VantrelDom.guard(function () { VantrelDom.nodes[handle].remove(); });
  },

  vantrel_node_clear__deps: ['$VantrelDom'],
  vantrel_node_clear: function (handle) {
    VantrelDom.guard(function () { VantrelDom.nodes[handle].replaceChildren(); });
  },

  vantrel_node_set_attribute__deps: ['$VantrelDom'],
  vantrel_node_set_attribute: function (handle, name, value, length) {
    VantrelDom.guard(function () {
      VantrelDom.nodes[handle].setAttribute(UTF8ToString(name), VantrelDom.text16(value, length));
    });
  },

  vantrel_node_set_style__deps: ['$VantrelDom'],
  vantrel_node_set_style: function (handle, property, value) {
    VantrelDom.guard(function () {
      VantrelDom.nodes[handle].style.setProperty(UTF8ToString(property), UTF8ToString(value));
    });
  },

  vantrel_node_append_text__deps: ['$VantrelDom'],
  vantrel_node_append_text: function (handle, text, length) {
    VantrelDom.guard(function () {
      VantrelDom.nodes[handle].append(VantrelDom.text16(text, length));
    });
  },

  vantrel_node_focus__deps: ['$VantrelDom'],
  vantrel_node_focus: function (handle) {
    VantrelDom.guard(function () { VantrelDom.nodes[handle].focus(); });
  },

  vantrel_node_has_focus__deps: ['$VantrelDom'],
  vantrel_node_has_focus: function (handle) {
    return VantrelDom.guard(function () {
      return document.activeElement === VantrelDom.nodes[handle];
    });
  },

  // The click's listeners call into the window while this call is running.
  vantrel_node_click__deps: ['$VantrelDom'],
  vantrel_node_click: function (handle) {
    VantrelDom.guard(function () { VantrelDom.nodes[handle].click(); });
  },

  vantrel_node_keep_focus__deps: ['$VantrelDom'],
  vantrel_node_keep_focus: function (handle) {
    VantrelDom.guard(function () {
      VantrelDom.nodes[handle].addEventListener('mousedown', function (event) {
        event.preventDefault();
      });
    });
  },

  vantrel_node_listen__deps: ['$VantrelDom'],
  vantrel_node_listen: function (handle, type, form, event) {
    VantrelDom.guard(function () {
      VantrelDom.nodes[handle].addEventListener(UTF8ToString(type), function () {
        VantrelDom.send(form, event);
      });
    });
  },

  vantrel_node_show_modal__deps: ['$VantrelDom'],
  vantrel_node_show_modal: function (handle) {
    VantrelDom.guard(function () { VantrelDom.nodes[handle].showModal(); });
  },

  vantrel_node_put_pixels__deps: ['$VantrelDom'],
  vantrel_node_put_pixels: function (handle, width, height, argb) {
    VantrelDom.guard(function () {
      const canvas = VantrelDom.nodes[handle];
      canvas.width = width;
      canvas.height = height;
      const context = canvas.getContext('2d');
      const image = context.createImageData(width, height);
      const pixels = HEAPU32.subarray(argb >> 2, (argb >> 2) + width * height);
      const rgba = image.data;
      for (let i = 0; i < pixels.length; ++i) {
        const p = pixels[i];
        rgba[i * 4] = (p >>> 16) & 255;
        rgba[i * 4 + 1] = (p >>> 8) & 255;
        rgba[i * 4 + 2] = p & 255;
        rgba[i * 4 + 3] = p >>> 24;
      }
      context.putImageData(image, 0, 0);
    });
  },

  // Keys go to the window first, anywhere in the page; what it takes, the
  // browser does not act on as well.
  vantrel_listen_keys__deps: ['$VantrelDom'],
  vantrel_listen_keys: function (form) {
    VantrelDom.guard(function () {
      document.addEventListener('keydown', function (event) {
        const single = event.key.length === 1 ? event.key.charCodeAt(0) : 0;
        const modifiers = (event.shiftKey ? 1 : 0) | (event.altKey ? 2 : 0) |
            (event.ctrlKey ? 4 : 0) | (event.metaKey ? 8 : 0);
        const taken = VantrelDom.enter(function () {
          return _vantrel_key(form, single, event.key === 'Tab', modifiers);
        });
        if (taken) event.preventDefault();
      });
    });
  },

  vantrel_listen_scheme__deps: ['$VantrelDom'],
  vantrel_listen_scheme: function (form, event) {
    VantrelDom.guard(function () {
      matchMedia('(prefers-color-scheme: dark)').addEventListener('change', function () {
        VantrelDom.send(form, event);
      });
    });
  },

  // The colour scheme's own text colour, as 0xRRGGBB.
  vantrel_scheme_text_colour__deps: ['$VantrelDom'],
  vantrel_scheme_text_colour: function () {
    return VantrelDom.guard(function () {
      const probe = document.createElement('span');
      probe.style.color = 'CanvasText';
      document.body.appendChild(probe);
      const rgb = getComputedStyle(probe).color.match(/\d+/g).map(Number);
      probe.remove();
      return (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
    });
  },

  // The embedded face `key` ("family weight") as a map from each character
  // it has to its advance in ems, or null where the page has no such face.
  $VantrelFaces__deps: ['$VantrelDom'],
  $VantrelFaces: {
    read: {},
    face: function (key) {
      if (!(key in VantrelFaces.read)) {
        const table = Module.faceAdvances && Module.faceAdvances[key];
        let face = null;
        if (table) {
          face = new Map();
          const characters = Array.from(table[1]);
          for (let i = 0; i < characters.length; ++i)
            face.set(characters[i], table[2][i] / table[0]);
        }
        VantrelFaces.read[key] = face;
      }
      return VantrelFaces.read[key];
    },
  },

  // Summed from the embedded face's own advances, so that every engine
  // breaks the lines alike (one rounds the canvas's advances to whole
  // pixels); a character the face lacks is drawn from the browser's fonts,
  // and measured by it.
  vantrel_measure_text__deps: ['$VantrelDom', '$VantrelFaces'],
  vantrel_measure_text: function (font, family, weight, pixels, text, length) {
    return VantrelDom.guard(function () {
      const face = VantrelFaces.face(UTF8ToString(family) + ' ' + weight);
      const shown = VantrelDom.text16(text, length);
      if (!face) return VantrelDom.context(UTF8ToString(font)).measureText(shown).width;
      let ems = 0;
      let width = 0;
      for (const character of shown) {
        const advance = face.get(character);
        if (advance !== undefined)
          ems += advance;
        else
          width += VantrelDom.context(UTF8ToString(font)).measureText(character).width;
      }
      return ems * pixels + width;
    });
  },

  vantrel_drawn_width__deps: ['$VantrelDom'],
  vantrel_drawn_width: function (font, text, length) {
    return VantrelDom.guard(function () {
      return VantrelDom.context(UTF8ToString(font))
          .measureText(VantrelDom.text16(text, length)).width;
    });
  },

  // The height of a line of `family` at `weight` and `pixels`: the embedded
  // face's own where the page has it, else the browser's.
  vantrel_line_height__deps: ['$VantrelDom'],
  vantrel_line_height: function (font, family, weight, pixels) {
    return VantrelDom.guard(function () {
      const perPixel = Module.faceLines && Module.faceLines[UTF8ToString(family) + ' ' + weight];
      if (perPixel) return perPixel * pixels;
      const metrics = VantrelDom.context(UTF8ToString(font)).measureText('');
      return metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent;
    });
  },

  // The decimal separator of the browser's language, with Latin digits; a
  // point where Intl refuses the language (WebKitGTK under the C locale
  // reports "C"), as the desktop gives where a locale is not installed.
  vantrel_decimal_separator__deps: ['$VantrelDom'],
  vantrel_decimal_separator: function (buffer, size) {
    VantrelDom.guard(function () {
      let separator = '.';
      try {
        const parts = new Intl.NumberFormat(navigator.language, {numberingSystem: 'latn'})
            .formatToParts(1.5);
        const decimal = parts.find(function (part) { return part.type === 'decimal'; });
        if (decimal) separator = decimal.value;
      } catch (error) {
        if (!(error instanceof RangeError)) throw error;
      }
      stringToUTF8(separator, buffer, size);
    });
  },

  vantrel_lower_case__deps: ['$VantrelDom'],
  vantrel_lower_case: function (letter) {
    return VantrelDom.guard(function () {
      return String.fromCharCode(letter).toLowerCase().charCodeAt(0);
    });
  },

  // Where a test and the page's embedder read how the window ended. A window
  // that never opened leaves the page's message that it could not start.
  vantrel_end__deps: ['$VantrelDom'],
  vantrel_end: function (form, status) {
    VantrelDom.guard(function () {
      VantrelDom.ended = true;
      document.documentElement.dataset.exitStatus = String(status);
      if (form) {
        setTimeout(function () {
          try {
            _vantrel_destroy(form);
          } catch (error) {
            console.error(error);
          }
        });
      } else if (Module.unavailable) {
        Module.unavailable('start');
      }
      window.close();
    });
  },
});
