// The remote page: follows the editor's state over one WebSocket and sends every touch as a
// small JSON message; the server checks, limits and applies it, then sends the new state to
// every page, so what is shown is always what the document holds.
'use strict';
(function () {
  const $ = (id) => document.getElementById(id);
  // The code opens the page once; from then on the cookie the page came with carries it, so
  // it is taken out of the address bar and the history (and so out of any bookmark).
  const code = new URLSearchParams(location.search).get('code') || '';
  if (code) history.replaceState(null, '', location.pathname);
  let hello = null, state = null, channel = 0, ws = null;
  // The control under a finger keeps its local value until the finger lifts.
  let held = null, heldValue = null;
  const pending = new Map();
  let flushQueued = false;

  const levelDb = (c) => ((c - 152) * 0.5 - 20).toFixed(1) + ' dB';
  const hzText = (hz) => hz >= 1000 ? (hz / 1000).toFixed(hz >= 10000 ? 1 : 2) + ' kHz'
                                    : hz.toFixed(hz >= 100 ? 0 : 1) + ' Hz';
  const nearest = (table, v) => {
    let best = 0;
    for (let i = 1; i < table.length; i++) if (Math.abs(table[i] - v) < Math.abs(table[best] - v)) best = i;
    return best;
  };

  function toast(text) {
    const t = $('toast'); t.textContent = text; t.className = 'show';
    clearTimeout(toast.timer); toast.timer = setTimeout(() => { t.className = ''; }, 3000);
  }

  function send(message, key) {
    // Moves of one control go at most once a frame, on the next one; the last one always goes.
    // A hidden page gets no frames, so it sends at once.
    pending.set(key || JSON.stringify(message), message);
    if (document.hidden) return flush();
    if (!flushQueued) { flushQueued = true; requestAnimationFrame(flush); }
  }
  function flush() {
    flushQueued = false;
    if (!ws || ws.readyState !== 1) return;
    for (const m of pending.values()) ws.send(JSON.stringify(m));
    pending.clear();
  }
  function setField(field, i, value) {
    send({ t: 'set', field: field, ch: channel, i: i, code: value }, field + '/' + channel + '/' + i);
  }

  function connect() {
    const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
    ws = new WebSocket(scheme + location.host + '/ws' + (code ? '?code=' + encodeURIComponent(code) : ''));
    ws.onopen = () => { $('link').textContent = 'live'; $('link').className = 'link up'; };
    ws.onclose = (e) => {
      $('link').textContent = 'offline' + (e.reason ? ': ' + e.reason : '');
      $('link').className = 'link';
      // Refused for its code (changed, dropped, wrong): trying again would not help, and
      // would count against this phone.
      if (e.code === 1008) { toast(e.reason || 'The access code was refused.'); return; }
      setTimeout(connect, 1500);
    };
    ws.onmessage = (e) => {
      const m = JSON.parse(e.data);
      if (m.t === 'hello') { hello = m; document.body.classList.toggle('readonly', !!m.readonly); }
      else if (m.t === 'state') { state = m; render(); }
      else if (m.t === 'meters') meters(m);
      else if (m.t === 'error') toast(m.text);
    };
  }

  // ---- Rendering --------------------------------------------------------------------------
  function ch() { return state && state.ch ? state.ch[channel] : null; }

  function render() {
    const dev = $('device');
    dev.innerHTML = '';
    for (const d of state.devices) {
      const o = document.createElement('option');
      o.value = d.address; o.textContent = d.address + ' · ' + d.name;
      dev.appendChild(o);
    }
    dev.value = state.address;
    const c = ch();
    document.body.classList.toggle('nodevice', !c);
    if (!c) return;
    for (const [id, field] of [['inLevel', 'input.level'], ['outLevel', 'output.level']]) {
      if (held !== id) $(id).value = c[field];
      $(id === 'inLevel' ? 'inText' : 'outText').textContent = levelDb(+$(id).value);
    }
    $('bypass').classList.toggle('on', !!state.bypass[channel]);
    $('eqBypass').classList.toggle('on', !!c['eq.bypass']);
    // The response follows the equaliser in use: graphic (type 0) or parametric.
    $('eqType').textContent = 'EQ in use: ' + (c['eq.type'] ? 'parametric' : 'graphic');
    const sel = $('preset'), keep = sel.value;
    sel.innerHTML = '';
    state.presets.forEach((n, i) => {
      const o = document.createElement('option');
      o.value = i + 1; o.textContent = (i + 1) + ' · ' + n; sel.appendChild(o);
    });
    sel.value = keep || state.preset;
    $('presetText').textContent = 'current ' + state.preset + (state.modified ? ' (modified)' : '');
    if (document.activeElement !== $('name')) $('name').value = state.name;
    const inPath = state.eq_in_path && state.eq_in_path[channel];
    $('pathNote').textContent = inPath ? '' : 'No equaliser feeds this output: the response stays flat.';
    drawGeq(); drawPeq();
  }

  function meters(m) {
    $('lamp').classList.toggle('lit', !!m.lamps[channel]);
    $('mIn').style.width = Math.min(100, m.in[channel] / 90 * 100) + '%';
    $('mOut').style.width = Math.min(100, m.out[channel] / 114 * 100) + '%';
    const red = Math.max(m.red[channel * 2], m.red[channel * 2 + 1]);
    $('mRed').style.width = Math.min(100, red / 41 * 100) + '%';
  }

  function canvasOf(id) {
    const cv = $(id), r = window.devicePixelRatio || 1;
    const w = cv.clientWidth, h = cv.clientHeight;
    if (cv.width !== Math.round(w * r)) { cv.width = Math.round(w * r); cv.height = Math.round(h * r); }
    const g = cv.getContext('2d'); g.setTransform(r, 0, 0, r, 0, 0); g.clearRect(0, 0, w, h);
    return { g: g, w: w, h: h };
  }

  // Graphic EQ: 31 bars; a finger drawn across them sets each one it passes.
  function geqGains() {
    const gains = ch()['eq.graphic_gain'].slice();
    if (held && held.startsWith('geq')) gains[+held.slice(3)] = heldValue;
    return gains;
  }
  function drawGeq() {
    if (!hello || !ch()) return;
    const { g, w, h } = canvasOf('geq'), table = hello.scales.graphic_gain;
    const gains = geqGains(), max = Math.max(...table.map(Math.abs)), bw = w / 31;
    const y = (db) => h / 2 - db / max * (h / 2 - 8);
    g.strokeStyle = '#333'; g.beginPath(); g.moveTo(0, h / 2); g.lineTo(w, h / 2); g.stroke();
    gains.forEach((c, i) => {
      const db = table[c];
      g.fillStyle = held === 'geq' + i ? '#fff' : '#3fb6ff';
      g.fillRect(i * bw + 1, Math.min(y(db), h / 2), bw - 2, Math.max(2, Math.abs(y(db) - h / 2)));
    });
  }
  function geqTouch(e, end) {
    const cv = $('geq'), r = cv.getBoundingClientRect();
    const band = Math.max(0, Math.min(30, Math.floor((e.clientX - r.left) / r.width * 31)));
    const table = hello.scales.graphic_gain, max = Math.max(...table.map(Math.abs));
    const db = (r.height / 2 - (e.clientY - r.top)) / (r.height / 2 - 8) * max;
    const c = nearest(table, db);
    held = end ? null : 'geq' + band; heldValue = c;
    setField('eq.graphic_gain', band, c);
    $('geqText').textContent = hzText(hello.graphic_centres[band]) + ' ' + table[c].toFixed(1) + ' dB';
    drawGeq();
  }

  // Parametric EQ: the response the server computed, and one point per band to drag.
  const fMin = 20, fMax = 20000, dbRange = 18;
  const xOf = (hz, w) => Math.log(hz / fMin) / Math.log(fMax / fMin) * w;
  const hzOf = (x, w) => fMin * Math.pow(fMax / fMin, x / w);
  const yOf = (db, h) => h / 2 - db / dbRange * (h / 2);
  function peqPoints() {
    const c = ch(), s = hello.scales;
    return c['eq.param_frequency'].map((f, i) => ({
      i: i, hz: s.frequency[f], db: s.parametric_gain[c['eq.param_gain'][i]],
      off: !!c['eq.param_bypass'][i] }));
  }
  function drawPeq() {
    if (!hello || !ch()) return;
    const { g, w, h } = canvasOf('peq');
    g.strokeStyle = '#2a3035';
    for (const hz of [100, 1000, 10000]) { g.beginPath(); g.moveTo(xOf(hz, w), 0); g.lineTo(xOf(hz, w), h); g.stroke(); }
    for (const db of [-12, 0, 12]) { g.beginPath(); g.moveTo(0, yOf(db, h)); g.lineTo(w, yOf(db, h)); g.stroke(); }
    const resp = state.resp ? state.resp[channel] : null;
    if (resp) {
      g.strokeStyle = '#3fb6ff'; g.lineWidth = 2; g.beginPath();
      hello.frequencies.forEach((hz, k) => {
        const x = xOf(hz, w), y = yOf(Math.max(-dbRange, Math.min(dbRange, resp[k])), h);
        k ? g.lineTo(x, y) : g.moveTo(x, y);
      });
      g.stroke(); g.lineWidth = 1;
    }
    for (const p of peqPoints()) {
      const hp = held === 'peq' + p.i && heldValue ? heldValue : p;
      g.beginPath(); g.arc(xOf(hp.hz, w), yOf(hp.db, h), 9, 0, 7);
      g.fillStyle = p.off ? '#555' : (held === 'peq' + p.i ? '#fff' : '#ffb030'); g.fill();
      g.fillStyle = '#000'; g.font = '11px sans-serif'; g.textAlign = 'center';
      g.fillText(String(p.i + 1), xOf(hp.hz, w), yOf(hp.db, h) + 4);
    }
  }
  function peqTouch(e, phase) {
    const cv = $('peq'), r = cv.getBoundingClientRect(), w = r.width, h = r.height;
    const x = e.clientX - r.left, y = e.clientY - r.top;
    if (phase === 'down') {
      let best = null, bestD = 40;
      for (const p of peqPoints()) {
        const d = Math.hypot(xOf(p.hz, w) - x, yOf(p.db, h) - y);
        if (d < bestD) { best = p; bestD = d; }
      }
      if (!best) return false;
      held = 'peq' + best.i;
    }
    if (!held || !held.startsWith('peq')) return false;
    const band = +held.slice(3), s = hello.scales;
    const f = nearest(s.frequency, hzOf(Math.max(0, Math.min(w, x)), w));
    const gc = nearest(s.parametric_gain, (h / 2 - y) / (h / 2) * dbRange);
    heldValue = { hz: s.frequency[f], db: s.parametric_gain[gc] };
    setField('eq.param_frequency', band, f);
    setField('eq.param_gain', band, gc);
    $('peqText').textContent = 'band ' + (band + 1) + ' ' + hzText(heldValue.hz) + ' ' + heldValue.db.toFixed(1) + ' dB';
    if (phase === 'up') { held = null; heldValue = null; }
    drawPeq();
    return true;
  }

  // ---- Input ------------------------------------------------------------------------------
  function drag(id, onMove) {
    const cv = $(id);
    cv.addEventListener('pointerdown', (e) => {
      if (!state || !ch() || onMove(e, 'down') === false) return;
      cv.setPointerCapture(e.pointerId); e.preventDefault();
    });
    cv.addEventListener('pointermove', (e) => { if (cv.hasPointerCapture(e.pointerId)) onMove(e, 'move'); });
    const up = (e) => {
      if (!cv.hasPointerCapture(e.pointerId)) return;
      onMove(e, 'up'); held = null; heldValue = null; render();
    };
    cv.addEventListener('pointerup', up);
    cv.addEventListener('pointercancel', up);
  }
  drag('geq', (e, phase) => geqTouch(e, phase === 'up'));
  drag('peq', peqTouch);

  for (const [id, field] of [['inLevel', 'input.level'], ['outLevel', 'output.level']]) {
    const el = $(id);
    el.addEventListener('input', () => { held = id; setField(field, 0, +el.value); render(); });
    el.addEventListener('change', () => { held = null; setField(field, 0, +el.value); });
  }
  $('ch0').onclick = () => { channel = 0; $('ch0').className = 'tab on'; $('ch1').className = 'tab'; if (state) render(); };
  $('ch1').onclick = () => { channel = 1; $('ch1').className = 'tab on'; $('ch0').className = 'tab'; if (state) render(); };
  $('bypass').onclick = () => send({ t: 'bypass', ch: channel, on: !state.bypass[channel] });
  $('eqBypass').onclick = () => setField('eq.bypass', 0, ch()['eq.bypass'] ? 0 : 1);
  $('eqType').onclick = () => setField('eq.type', 0, ch()['eq.type'] ? 0 : 1);
  $('device').onchange = () => send({ t: 'device', address: +$('device').value });
  $('recall').onclick = () => {
    const preset = +$('preset').value;
    const discard = !state.modified || confirm('The current preset has been modified. Discard the changes?');
    if (discard) send({ t: 'recall', preset: preset, discard: true });
  };
  $('store').onclick = () => send({ t: 'store', preset: +$('preset').value, name: $('name').value });
  window.addEventListener('resize', () => { if (state) render(); });
  // Read-only hooks for the browser test and for debugging: whether the page is live, and
  // where on screen a parametric band's point is drawn.
  window.remotePage = {
    live: () => !!(ws && ws.readyState === 1 && state && hello && ch()),
    pointAt: (band) => {
      const r = $('peq').getBoundingClientRect(), p = peqPoints()[band];
      return { x: r.left + xOf(p.hz, r.width), y: r.top + yOf(p.db, r.height) };
    },
  };
  connect();
})();
