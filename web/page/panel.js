// The page of orp-web: one canvas per panel, kept up to date by the server over a WebSocket,
// and the mouse's actions on it sent back.
//
// From the server: {"type": "panel"} (title, size, keys and LEDs with their rectangles),
// binary patches (kind 1, panel, x, y, width, height as little-endian u16, then RGB pixels),
// {"type": "state"} (LCD text, LEDs, keys, status line, host), {"type": "beep"} and
// {"type": "error"}. To the server: {"op": "mouse", "event": "down" | "up" | "move", x, y,
// ctrl}, {"op": "release-all"} when Ctrl is released. The server applies the panel window's
// rules (LEDs hide keys, Ctrl latches), so the page only says where the pointer is.
"use strict";

const panels = new Map();  // index -> the panel's elements and design
let socket = null;
let activePanel = null;    // the panel last pressed on: Ctrl's release goes there
let audio = null;          // created when sound is switched on (a user gesture)
let errorTimer = 0;

function send(message) {
  if (socket && socket.readyState === WebSocket.OPEN) socket.send(JSON.stringify(message));
}

function showError(text) {
  const box = document.getElementById("error");
  box.textContent = text;
  box.hidden = false;
  clearTimeout(errorTimer);
  errorTimer = setTimeout(() => { box.hidden = true; }, 6000);
}

function setConnection(state, text) {
  const badge = document.getElementById("connection");
  badge.dataset.state = state;
  badge.textContent = text;
}

// ---- a panel's section ------------------------------------------------------------------------
function panelFor(message) {
  let panel = panels.get(message.panel);
  if (!panel) {
    const section = document.getElementById("panel-template").content.firstElementChild.cloneNode(true);
    section.dataset.panel = message.panel;
    document.getElementById("panels").append(section);
    const canvas = section.querySelector(".picture");
    panel = {
      index: message.panel,
      section,
      canvas,
      context: canvas.getContext("2d"),
      tooltip: section.querySelector(".tooltip"),
      objects: [],
      hovered: undefined,
    };
    panels.set(message.panel, panel);
    attachMouse(panel);
  }
  panel.section.querySelector(".title").textContent = message.title;
  panel.objects = message.objects;
  if (panel.canvas.width !== message.width || panel.canvas.height !== message.height) {
    panel.canvas.width = message.width;
    panel.canvas.height = message.height;
  }
  return panel;
}

function showState(message) {
  const panel = panels.get(message.panel);
  if (!panel) return;
  const section = panel.section;
  section.querySelector(".lcd-text").textContent = message.lcd.join("\n");
  section.querySelector(".status").textContent = message.status;
  const host = section.querySelector(".host");
  host.dataset.host = message.host;
  host.textContent = message.host === "none" ? "· no host connected" : `· host connected (${message.host})`;
  section.dataset.keys = message.keys.join(" ");
  section.dataset.leds = message.leds.join(" ");
}

function applyPatch(buffer) {
  const view = new DataView(buffer);
  if (buffer.byteLength < 10 || view.getUint8(0) !== 1) return;
  const panel = panels.get(view.getUint8(1));
  if (!panel) return;
  const x = view.getUint16(2, true), y = view.getUint16(4, true);
  const width = view.getUint16(6, true), height = view.getUint16(8, true);
  if (width === 0 || height === 0 || buffer.byteLength < 10 + width * height * 3) return;
  const rgb = new Uint8Array(buffer, 10, width * height * 3);
  const image = panel.context.createImageData(width, height);
  const rgba = image.data;
  for (let i = 0, j = 0; i < rgb.length; i += 3, j += 4) {
    rgba[j] = rgb[i];
    rgba[j + 1] = rgb[i + 1];
    rgba[j + 2] = rgb[i + 2];
    rgba[j + 3] = 255;
  }
  panel.context.putImageData(image, x, y);
}

// ---- sound ------------------------------------------------------------------------------------
function beep(message) {
  const panel = panels.get(message.panel);
  if (panel) {
    const shown = panel.section.querySelector(".beep");
    shown.textContent = `♪ ${message.hz} Hz, ${message.ms} ms`;
    shown.dataset.count = String(Number(shown.dataset.count || 0) + message.count);
  }
  if (!audio || !document.getElementById("sound").checked) return;
  const oscillator = audio.createOscillator();
  const gain = audio.createGain();
  oscillator.type = "square";
  oscillator.frequency.value = message.hz;
  gain.gain.value = 0.05;
  oscillator.connect(gain).connect(audio.destination);
  oscillator.start();
  oscillator.stop(audio.currentTime + Math.min(message.ms, 5000) / 1000);
}

document.getElementById("sound").addEventListener("change", (event) => {
  if (event.target.checked && !audio) audio = new AudioContext();
});

// ---- the mouse --------------------------------------------------------------------------------
// The pointer's pixel on the panel's picture (the canvas may be shown smaller than it is).
function pixelAt(panel, event) {
  const box = panel.canvas.getBoundingClientRect();
  return {
    x: Math.floor((event.clientX - box.left) * panel.canvas.width / box.width),
    y: Math.floor((event.clientY - box.top) * panel.canvas.height / box.height),
  };
}

// The object under a pixel, LEDs first (an LED over a key hides it), for the tooltip.
function objectAt(panel, x, y) {
  const inside = (o) => x >= o.rect[0] && x < o.rect[2] && y >= o.rect[1] && y < o.rect[3];
  return panel.objects.find((o) => o.kind === "led" && inside(o)) ||
         panel.objects.find((o) => o.kind === "key" && inside(o)) || null;
}

function showTooltip(panel, object, event) {
  const tip = panel.tooltip;
  if (!object) {
    tip.hidden = true;
    return;
  }
  tip.replaceChildren();
  const name = document.createElement("strong");
  name.textContent = object.name || `${object.kind} ${object.id}`;
  tip.append(name);
  if (object.tooltip && object.tooltip !== object.name) tip.append("\n" + object.tooltip);
  const stage = panel.canvas.parentElement.getBoundingClientRect();
  tip.hidden = false;
  // Below right of the pointer, or left of it where the page ends.
  let left = event.clientX - stage.left + 14;
  if (event.clientX + 14 + tip.offsetWidth > document.documentElement.clientWidth)
    left = Math.max(0, event.clientX - stage.left - 8 - tip.offsetWidth);
  tip.style.left = `${left}px`;
  tip.style.top = `${event.clientY - stage.top + 18}px`;
}

function attachMouse(panel) {
  const canvas = panel.canvas;
  canvas.addEventListener("pointerdown", (event) => {
    if (event.button !== 0) return;
    event.preventDefault();
    activePanel = panel;
    const { x, y } = pixelAt(panel, event);
    send({ op: "mouse", panel: panel.index, event: "down", x, y, ctrl: event.ctrlKey });
  });
  canvas.addEventListener("pointerup", (event) => {
    if (event.button !== 0) return;
    const { x, y } = pixelAt(panel, event);
    send({ op: "mouse", panel: panel.index, event: "up", x, y, ctrl: event.ctrlKey });
  });
  canvas.addEventListener("pointermove", (event) => {
    const { x, y } = pixelAt(panel, event);
    const object = objectAt(panel, x, y);
    showTooltip(panel, object, event);
    canvas.dataset.over = object ? object.kind : "";
    // The status line changes only when the pointer goes onto another object or off them.
    if (object !== panel.hovered) {
      panel.hovered = object;
      send({ op: "mouse", panel: panel.index, event: "move", x, y });
    }
  });
  canvas.addEventListener("pointerleave", () => {
    panel.tooltip.hidden = true;
    panel.hovered = undefined;
  });
  canvas.addEventListener("contextmenu", (event) => event.preventDefault());
}

window.addEventListener("keyup", (event) => {
  if (event.key === "Control" && activePanel) send({ op: "release-all", panel: activePanel.index });
});

// ---- the connection ---------------------------------------------------------------------------
function connect() {
  const scheme = location.protocol === "https:" ? "wss" : "ws";
  socket = new WebSocket(`${scheme}://${location.host}/ws`);
  socket.binaryType = "arraybuffer";
  socket.addEventListener("open", () => setConnection("open", "live"));
  socket.addEventListener("message", (event) => {
    if (event.data instanceof ArrayBuffer) {
      applyPatch(event.data);
      return;
    }
    const message = JSON.parse(event.data);
    if (message.type === "panel") panelFor(message);
    else if (message.type === "state") showState(message);
    else if (message.type === "beep") beep(message);
    else if (message.type === "error") showError(`orp-web: ${message.message}`);
  });
  socket.addEventListener("close", () => {
    setConnection("closed", "disconnected, trying again…");
    setTimeout(connect, 2000);
  });
}

connect();
