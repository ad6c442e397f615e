// orp-web as a person uses it: the demo firmware drives a panel, the page in Chromium shows
// it and takes the mouse. The firmware is the real demo device, over the panel's local socket
// (two processes) and in the server's own process (the C++ API).
import assert from "node:assert/strict";
import { after, before, describe, test } from "node:test";
import {
  Program, click, design, demo, keyCentre, launchBrowser, openPage, panel, screenAgainstPng, temporaryFolder,
} from "./harness.mjs";

let browser;
before(async () => { browser = await launchBrowser(); });
after(async () => { await browser?.close(); });

describe("two panels, the demo firmware on the first one's socket", () => {
  let server, firmware, sockets, page;
  before(async () => {
    sockets = temporaryFolder();
    server = new Program("orp-web", ["--port", "0", "--sockets", sockets.folder, design("demo.orp"), design("demo_de.orp")]);
    const [, url] = await server.waitFor(/open (http:\/\/127\.0\.0\.1:\d+\/) in a browser/);
    firmware = new Program("orp_demo_web", ["--connect", `${sockets.folder}/panel0.sock`]);
    await firmware.waitFor(/demo device running in protocol mode 0x1B/);
    page = await openPage(browser, url);
  });
  after(async () => {
    await page?.close();
    await firmware?.stop();
    await server?.stop();
    sockets?.remove();
  });

  test("the page shows each panel, the LCD text the firmware wrote and who hosts it", async () => {
    await assert.doesNotReject(panel(page, 0).locator(".lcd-text").filter({ hasText: ">Measurement" }).waitFor());
    assert.equal(await page.locator("section.panel").count(), 2);
    assert.match(await panel(page, 0).locator(".host").textContent(), /host connected \(socket\)/);
    assert.match(await panel(page, 1).locator(".host").textContent(), /no host/);
    assert.equal(await panel(page, 1).locator("h2 .title").textContent(), "demo_de.orp");
  });

  test("what the screen shows is the headless panel's picture, pixel for pixel", async () => {
    assert.equal(await screenAgainstPng(page, 0), "");
    assert.equal(await screenAgainstPng(page, 1), "");
  });

  test("resting on a key shows its name and puts its tooltip in the status line", async () => {
    const ok = await keyCentre(page, 0, "OK");
    await page.mouse.move(ok.x, ok.y);
    const tooltip = panel(page, 0).locator(".tooltip");
    await tooltip.waitFor({ state: "visible" });
    assert.match(await tooltip.textContent(), /^OK\s*Confirm the selection$/);
    await panel(page, 0).locator(".status").filter({ hasText: "Confirm the selection" }).waitFor();
    // Off the keys the operating tips of the design take the status line.
    await page.mouse.move(ok.x - 300, ok.y - 120);
    await tooltip.waitFor({ state: "hidden" });
    await panel(page, 0).locator(".status").filter({ hasNotText: "Confirm the selection" }).waitFor();
  });

  test("a click on a key reaches the firmware, which answers on the LCD, with the key click", async () => {
    await click(page, await keyCentre(page, 0, "Down"));
    await firmware.waitFor(/^key down$/m);
    await panel(page, 0).locator(".lcd-text").filter({ hasText: ">Threshold" }).waitFor();
    await panel(page, 0).locator(".beep").filter({ hasText: "3000 Hz, 75 ms" }).waitFor();
    assert.equal(await panel(page, 0).getAttribute("data-keys"), "");
  });

  test("Ctrl + click latches a key until Ctrl is released", async () => {
    const start = await keyCentre(page, 0, "Start");
    await page.keyboard.down("Control");
    await click(page, start);
    await firmware.waitFor(/^key START$/m);
    await page.waitForFunction(() => document.querySelector('section[data-panel="0"]').dataset.keys === "9");
    await panel(page, 0).locator(".lcd-text").filter({ hasText: "RUN" }).waitFor();
    await page.keyboard.up("Control");
    await page.waitForFunction(() => document.querySelector('section[data-panel="0"]').dataset.keys === "");
    // RUN (LED 1) stays lit: the measurement runs on.
    assert.match(await panel(page, 0).getAttribute("data-leds"), /\b1\b/);
  });

  test("the page's bad messages are answered with errors, and the panels run on", async () => {
    const answers = await page.evaluate(async () => {
      const socket = new WebSocket(`ws://${location.host}/ws`);
      const errors = [];
      socket.onmessage = (event) => {
        if (typeof event.data === "string" && JSON.parse(event.data).type === "error") errors.push(JSON.parse(event.data).message);
      };
      await new Promise((resolve) => { socket.onopen = resolve; });
      socket.send("not json at all");
      socket.send(JSON.stringify({ op: "key", panel: 0, action: "press", id: 200 }));
      socket.send(JSON.stringify({ op: "mouse", panel: 7, event: "down", x: 1, y: 1 }));
      const end = Date.now() + 5000;
      while (errors.length < 3 && Date.now() < end) await new Promise((resolve) => setTimeout(resolve, 20));
      socket.close();
      return errors;
    });
    assert.equal(answers.length, 3);
    assert.match(answers[0], /not JSON/);
    assert.match(answers[1], /has no key 200/);
    assert.match(answers[2], /"panel" is out of range/);
    await click(page, await keyCentre(page, 0, "Stop"));
    await panel(page, 0).locator(".lcd-text").filter({ hasNotText: "RUN" }).waitFor();
  });
});

describe("the demo firmware in the server's own process", () => {
  let program, page;
  before(async () => {
    program = new Program("orp_demo_web", ["--serve", demo, "--port", "0"]);
    const [, url] = await program.waitFor(/open (http:\/\/127\.0\.0\.1:\d+\/) in a browser/);
    await program.waitFor(/demo device running/);
    page = await openPage(browser, url);
  });
  after(async () => {
    await page?.close();
    await program?.stop();
  });

  test("the page shows the panel and the firmware takes its keys", async () => {
    await panel(page, 0).locator(".lcd-text").filter({ hasText: ">Measurement" }).waitFor();
    assert.match(await panel(page, 0).locator(".host").textContent(), /in-process/);
    await click(page, await keyCentre(page, 0, "OK"));
    await program.waitFor(/^key OK$/m);
    await panel(page, 0).locator(".lcd-text").filter({ hasText: "Value" }).waitFor();
    assert.equal(await screenAgainstPng(page, 0), "");
  });
});
