// What every engine's test checks inside the page, written once: one
// expression that each driver evaluates (engine_test.mjs in chromium, Firefox
// and WebKitGTK, and page_test.py). Each check returns what is wrong, as lines
// of text; an empty list means it holds.
({
  ready() {
    return !!document.getElementById('Command1');
  },

  drawnLines(label) {
    return Array.from(document.querySelectorAll('#' + label + ' .drawn'), line => line.textContent);
  },

  // The answer as drawn.
  answer() {
    return this.drawnLines('Label4').join('');
  },

  // The window's page as a course page's frame shows it: the focused
  // element, how far it is scrolled, how many windows it shows, the exit
  // status and the note left in the window's place (null while none).
  inFrame() {
    const note = document.querySelector('#Unavailable > p:not([hidden], #NoScript)');
    return {focused: document.activeElement ? document.activeElement.id : '',
            scrolled: [scrollX, scrollY], windows: document.querySelectorAll('.window').length,
            status: document.documentElement.dataset.exitStatus ?? null,
            note: note ? note.textContent : null};
  },

  // What a copy of the page's selection puts on the clipboard as text: the
  // page's own, where it gives one, else the selection's.
  copied() {
    const copy = new ClipboardEvent('copy', {clipboardData: new DataTransfer(), bubbles: true,
                                             cancelable: true});
    document.dispatchEvent(copy);
    return copy.defaultPrevented ? copy.clipboardData.getData('text/plain')
                                 : getSelection().toString();
  },

  // From now on, counts in window.answers each answer the window writes:
  // one for each press of Calculate.
  // Counts what the window tells a screen reader: each text put into its
  // live region.
  countAnswers() {
    window.answers = 0;
    if (window.answersSeen) window.answersSeen.disconnect();
    (window.answersSeen = new MutationObserver(records => {
      for (const record of records)
        window.answers += record.addedNodes.length;
    })).observe(document.querySelector('.window [aria-live]'), {childList: true});
    return [];
  },

  // The access key each button offers a browser's own chord: none, the page
  // takes its own.
  accessKeys() {
    return Array.from(document.querySelectorAll('[accesskey]'), element => element.id);
  },

  answers() {
    return window.answers;
  },

  // The course page around the frame: how far it is scrolled, what has the
  // focus in it (the frame's id while the focus is inside), what it heard.
  host() {
    return {scrolled: scrollY, focused: document.activeElement ? document.activeElement.id : '',
            heard: window.heard};
  },

  // Each label's drawn lines against the reference ({label: [line, ...]}).
  lines(expected) {
    const wrong = [];
    for (const [label, lines] of Object.entries(expected)) {
      const drawn = this.drawnLines(label);
      if (JSON.stringify(drawn) !== JSON.stringify(lines)) {
        wrong.push(label + ' draws ' + drawn.length + ' lines, expected ' + lines.length + ':');
        drawn.forEach((line, i) => wrong.push(
          (line === lines[i] ? '    ' : '  ! ') + JSON.stringify(line)));
      }
    }
    return wrong;
  },

  // The window as one column in the page's width: no sideways scroll, every
  // control inside the window and the window inside the page, and the
  // readable controls `order` one under another, in that order.
  column(order) {
    const slack = 0.01;
    const page = document.documentElement;
    const form = document.getElementById('Form1').getBoundingClientRect();
    const wrong = [];
    if (page.scrollWidth > page.clientWidth)
      wrong.push('the page scrolls sideways: ' + page.scrollWidth + ' px in ' + page.clientWidth);
    if (form.left < -slack || form.right > page.clientWidth + slack)
      wrong.push('the window spans ' + form.left + ' to ' + form.right + ' px of '
                 + page.clientWidth);
    for (const control of document.querySelectorAll('#Form1 > [id]')) {
      const box = control.getBoundingClientRect();
      if (box.left < form.left - slack || box.right > form.right + slack
          || box.top < form.top - slack || box.bottom > form.bottom + slack)
        wrong.push(control.id + ' leaves the window');
    }
    let above = null;
    for (const name of order) {
      const box = document.getElementById(name).getBoundingClientRect();
      if (above && box.top < above.box.bottom - slack)
        wrong.push(name + ' is not below ' + above.name);
      above = {name: name, box: box};
    }
    return wrong;
  },

  // Each label's drawn lines hold its whole text, in order.
  wholeText() {
    const wrong = [];
    for (const label of document.querySelectorAll('#Form1 > div[id]:not(.line)')) {
      const drawn = this.drawnLines(label.id).join(' ').split(/ +/).join(' ').trim();
      const whole = label.querySelector('.whole').textContent;
      if (drawn !== whole)
        wrong.push(label.id + ' draws ' + JSON.stringify(drawn) + ' of ' + JSON.stringify(whole));
    }
    return wrong;
  },

  // axe-core's audit of the page, every rule it runs unasked: its version,
  // how many rules ran, how many passed and which it could not decide (each
  // on some node), each violation as "rule node" (`found`), and a line for
  // each violation and each node it found it on, with what fails there. Its
  // script must have been run in the page first.
  async audit() {
    if (typeof axe !== 'object' || !axe.version)
      return {version: null, rules: 0, passed: 0, undecided: [], found: [],
              wrong: ['axe-core is not in the page']};
    const found = await axe.run(document, {resultTypes: ['violations']});
    const wrong = [];
    for (const violation of found.violations) {
      wrong.push(violation.id + ' (' + violation.impact + '): ' + violation.help);
      for (const node of violation.nodes) {
        wrong.push('  ' + node.target.join(' ') + ': ' + node.html.slice(0, 200));
        if (node.failureSummary)
          wrong.push(...node.failureSummary.split('\n').map(line => '    ' + line));
      }
    }
    return {version: axe.version,
            rules: new Set([...found.violations, ...found.passes, ...found.incomplete,
                            ...found.inapplicable].map(rule => rule.id)).size,
            passed: found.passes.length, undecided: found.incomplete.map(rule => rule.id),
            found: found.violations.flatMap(violation => violation.nodes.map(
                node => violation.id + ' ' + node.target.join(' '))),
            wrong: wrong};
  },

  // The smallest text the window draws, in CSS pixels as the browser sets it.
  smallestText() {
    return Math.min(...Array.from(document.querySelectorAll('.drawn, .caption'),
                                  text => parseFloat(getComputedStyle(text).fontSize)));
  },

  // No drawn line's ink leaves its label, nor a button's caption its button,
  // and the task statement's lines stay clear of the picture in front of it
  // where they share its rows. A hundredth
  // of a pixel is rounding, not ink.
  ink() {
    const slack = 0.01;
    const picture = document.getElementById('Image1').getBoundingClientRect();
    const wrong = [];
    for (const line of document.querySelectorAll('.drawn')) {
      const box = line.getBoundingClientRect();
      const label = line.parentElement.getBoundingClientRect();
      const name = line.parentElement.id + ' ' + JSON.stringify(line.textContent);
      const outside = [box.left < label.left - slack && 'left',
                       box.right > label.right + slack && 'right',
                       box.top < label.top - slack && 'top',
                       box.bottom > label.bottom + slack && 'bottom'].filter(Boolean);
      if (outside.length)
        wrong.push(name + ' leaves its label at the ' + outside.join(', ') + ' by '
                   + Math.max(label.left - box.left, box.right - label.right,
                              label.top - box.top, box.bottom - label.bottom).toFixed(2) + ' px');
      if (line.parentElement.id === 'Label1' && box.top < picture.bottom && box.bottom > picture.top
          && box.right > picture.left + slack)
        wrong.push(name + ' runs ' + (box.right - picture.left).toFixed(2)
                   + ' px under the picture');
    }
    for (const caption of document.querySelectorAll('.caption')) {
      const box = caption.getBoundingClientRect();
      const button = caption.parentElement.getBoundingClientRect();
      if (box.left < button.left - slack || box.right > button.right + slack
          || box.top < button.top - slack || box.bottom > button.bottom + slack)
        wrong.push(caption.parentElement.id + ' ' + JSON.stringify(caption.textContent)
                   + ' leaves its button');
    }
    return wrong;
  },
})
