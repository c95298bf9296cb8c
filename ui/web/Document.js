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
    // Calls into the window, which lets no exception out itself.
    send: function (form, event) {
      if (!VantrelDom.ended) _vantrel_event(form, event);
    },
    ended: false,
  },

  vantrel_node_create__deps: ['$VantrelDom'],
  vantrel_node_create: function (tag, parent) {
    const node = document.createElement(UTF8ToString(tag));
    if (parent) VantrelDom.nodes[parent].appendChild(node);
    return VantrelDom.hold(node);
  },

  vantrel_node_show__deps: ['$VantrelDom'],
  vantrel_node_show: function (handle) {
    document.body.appendChild(VantrelDom.nodes[handle]);
  },

  vantrel_node_release__deps: ['$VantrelDom'],
  vantrel_node_release: function (handle) {
    VantrelDom.nodes[handle] = null;
    VantrelDom.unused.push(handle);
  },

  vantrel_node_remove__deps: ['$VantrelDom'],
  vantrel_node_remove: function (handle) {
    VantrelDom.nodes[handle].remove();
  },

  vantrel_node_clear__deps: ['$VantrelDom'],
  vantrel_node_clear: function (handle) {
    VantrelDom.nodes[handle].replaceChildren();
  },

  vantrel_node_set_attribute__deps: ['$VantrelDom'],
  vantrel_node_set_attribute: function (handle, name, value, length) {
    VantrelDom.nodes[handle].setAttribute(UTF8ToString(name), VantrelDom.text16(value, length));
  },

  vantrel_node_set_style__deps: ['$VantrelDom'],
  vantrel_node_set_style: function (handle, property, value) {
    VantrelDom.nodes[handle].style.setProperty(UTF8ToString(property), UTF8ToString(value));
  },

  vantrel_node_append_text__deps: ['$VantrelDom'],
  vantrel_node_append_text: function (handle, text, length) {
    VantrelDom.nodes[handle].append(VantrelDom.text16(text, length));
  },

  vantrel_node_focus__deps: ['$VantrelDom'],
  vantrel_node_focus: function (handle) {
    VantrelDom.nodes[handle].focus();
  },

  vantrel_node_has_focus__deps: ['$VantrelDom'],
  vantrel_node_has_focus: function (handle) {
    return document.activeElement === VantrelDom.nodes[handle];
  },

  vantrel_node_click__deps: ['$VantrelDom'],
  vantrel_node_click: function (handle) {
    VantrelDom.nodes[handle].click();
  },

  vantrel_node_keep_focus__deps: ['$VantrelDom'],
  vantrel_node_keep_focus: function (handle) {
    VantrelDom.nodes[handle].addEventListener('mousedown', function (event) {
      event.preventDefault();
    });
  },

  vantrel_set_title__deps: ['$VantrelDom'],
  vantrel_set_title: function (text, length) {
    document.title = VantrelDom.text16(text, length);
  },

  vantrel_node_listen__deps: ['$VantrelDom'],
  vantrel_node_listen: function (handle, type, form, event) {
    VantrelDom.nodes[handle].addEventListener(UTF8ToString(type), function () {
      VantrelDom.send(form, event);
    });
  },

  vantrel_node_show_modal__deps: ['$VantrelDom'],
  vantrel_node_show_modal: function (handle) {
    VantrelDom.nodes[handle].showModal();
  },

  vantrel_node_put_pixels__deps: ['$VantrelDom'],
  vantrel_node_put_pixels: function (handle, width, height, argb) {
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
  },

  // Keys go to the window first, anywhere in the page; what it takes, the
  // browser does not act on as well.
  vantrel_listen_keys__deps: ['$VantrelDom'],
  vantrel_listen_keys: function (form) {
    document.addEventListener('keydown', function (event) {
      const single = event.key.length === 1 ? event.key.charCodeAt(0) : 0;
      const modifiers = (event.shiftKey ? 1 : 0) | (event.altKey ? 2 : 0) |
          (event.ctrlKey ? 4 : 0) | (event.metaKey ? 8 : 0);
      if (!VantrelDom.ended && _vantrel_key(form, single, event.key === 'Tab', modifiers))
        event.preventDefault();
    });
  },

  vantrel_listen_scheme__deps: ['$VantrelDom'],
  vantrel_listen_scheme: function (form, event) {
    matchMedia('(prefers-color-scheme: dark)').addEventListener('change', function () {
      VantrelDom.send(form, event);
    });
  },

  // The colour scheme's own text colour, as 0xRRGGBB.
  vantrel_scheme_text_colour: function () {
    const probe = document.createElement('span');
    probe.style.color = 'CanvasText';
    document.body.appendChild(probe);
    const rgb = getComputedStyle(probe).color.match(/\d+/g).map(Number);
    probe.remove();
    return (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
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
  },

  vantrel_drawn_width__deps: ['$VantrelDom'],
  vantrel_drawn_width: function (font, text, length) {
    return VantrelDom.context(UTF8ToString(font)).measureText(VantrelDom.text16(text, length)).width;
  },

  // The height of a line of `family` at `weight` and `pixels`: the embedded
  // face's own where the page has it, else the browser's.
  vantrel_line_height__deps: ['$VantrelDom'],
  vantrel_line_height: function (font, family, weight, pixels) {
    const perPixel = Module.faceLines && Module.faceLines[UTF8ToString(family) + ' ' + weight];
    if (perPixel) return perPixel * pixels;
    const metrics = VantrelDom.context(UTF8ToString(font)).measureText('');
    return metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent;
  },

  // The decimal separator of the browser's language, with Latin digits.
  vantrel_decimal_separator: function (buffer, size) {
    const parts = new Intl.NumberFormat(navigator.language, {numberingSystem: 'latn'})
        .formatToParts(1.5);
    const decimal = parts.find(function (part) { return part.type === 'decimal'; });
    stringToUTF8(decimal ? decimal.value : '.', buffer, size);
  },

  vantrel_lower_case: function (letter) {
    return String.fromCharCode(letter).toLowerCase().charCodeAt(0);
  },

  // Where a test and the page's embedder read how the window ended.
  vantrel_end__deps: ['$VantrelDom'],
  vantrel_end: function (form, status) {
    VantrelDom.ended = true;
    document.documentElement.dataset.exitStatus = String(status);
    if (form) setTimeout(function () { _vantrel_destroy(form); });
    window.close();
  },
});
