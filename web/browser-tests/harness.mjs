// What the browser tests share: the programs under test as child processes whose output is
// watched, Debian's Chromium through playwright-core, and the checks a person's eye would make
// (the picture on the screen against the headless panel's PNG). Every wait has a limit.
import { spawn } from "node:child_process";
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import { chromium } from "playwright-core";

const build = process.env.ORP_BUILD_DIR || path.resolve(import.meta.dirname, "../../build");
export const demo = process.env.ORP_WEB_DEMO || path.join(build, "web-demo");
export const bin = (name) => path.join(build, "bin", name);
export const design = (name) => path.join(demo, "ORPDesigns", name);

// A program of the build, its output collected line by line.
export class Program {
  constructor(name, args) {
    this.output = "";
    this.child = spawn(bin(name), args, { stdio: ["ignore", "pipe", "pipe"] });
    const collect = (chunk) => { this.output += chunk; };
    this.child.stdout.on("data", collect);
    this.child.stderr.on("data", collect);
    this.exited = new Promise((resolve) => this.child.on("exit", resolve));
  }

  // The first match of `pattern` in the output, waited for up to `ms`.
  async waitFor(pattern, ms = 10000) {
    const end = Date.now() + ms;
    for (;;) {
      const match = this.output.match(pattern);
      if (match) return match;
      if (this.child.exitCode !== null) throw new Error(`${this.child.spawnfile} ended:\n${this.output}`);
      if (Date.now() > end) throw new Error(`no ${pattern} within ${ms} ms in:\n${this.output}`);
      await new Promise((resolve) => setTimeout(resolve, 25));
    }
  }

  async stop() {
    if (this.child.exitCode !== null) return;
    this.child.kill("SIGTERM");
    const timer = setTimeout(() => this.child.kill("SIGKILL"), 5000);
    await this.exited;
    clearTimeout(timer);
  }
}

export function temporaryFolder() {
  const folder = mkdtempSync(path.join(tmpdir(), "orp-web-test-"));
  return { folder, remove: () => rmSync(folder, { recursive: true, force: true }) };
}

export async function launchBrowser() {
  return chromium.launch({
    executablePath: process.env.ORP_CHROMIUM || "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu"],
    timeout: 30000,
  });
}

export async function openPage(browser, url) {
  const page = await browser.newPage({ viewport: { width: 1400, height: 900 }, deviceScaleFactor: 1 });
  page.setDefaultTimeout(10000);
  await page.goto(url);
  return page;
}

export const panel = (page, index) => page.locator(`section[data-panel="${index}"]`);

// The centre of a key of the design, in page coordinates.
export async function keyCentre(page, index, name) {
  const canvas = panel(page, index).locator("canvas");
  const box = await canvas.boundingBox();
  const object = await page.evaluate(async ([i, n]) => {
    const list = await (await fetch("/api/panels")).json();
    return list[i].objects.find((o) => o.kind === "key" && o.name === n);
  }, [index, name]);
  if (!object) throw new Error(`no key ${name} on panel ${index}`);
  // The canvas has a one-pixel border; the picture is shown at its own size.
  return { x: box.x + 1 + (object.rect[0] + object.rect[2]) / 2, y: box.y + 1 + (object.rect[1] + object.rect[3]) / 2 };
}

export async function click(page, at) {
  await page.mouse.move(at.x, at.y);
  await page.mouse.down();
  await page.mouse.up();
}

// Compares two PNG pictures (base64) pixel by pixel in the page; "" when equal, else what
// differs.
async function comparePngs(page, pngA, pngB) {
  return page.evaluate(async ([a, b]) => {
    const decode = async (base64) => {
      const blob = await (await fetch(`data:image/png;base64,${base64}`)).blob();
      const bitmap = await createImageBitmap(blob, { colorSpaceConversion: "none", premultiplyAlpha: "none" });
      const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
      const context = canvas.getContext("2d");
      context.drawImage(bitmap, 0, 0);
      return context.getImageData(0, 0, bitmap.width, bitmap.height);
    };
    const [x, y] = [await decode(a), await decode(b)];
    if (x.width !== y.width || x.height !== y.height) return `${x.width}x${x.height} against ${y.width}x${y.height}`;
    let differ = 0;
    for (let i = 0; i < x.data.length; i += 4)
      if (x.data[i] !== y.data[i] || x.data[i + 1] !== y.data[i + 1] || x.data[i + 2] !== y.data[i + 2]) ++differ;
    return differ ? `${differ} of ${x.width * x.height} pixels differ` : "";
  }, [pngA, pngB]);
}

// The panel's picture as the screen shows it (a screenshot of the canvas inside its border)
// against the headless panel's own PNG of the same moment; tried again until `ms` passed,
// since the firmware may be changing the panel meanwhile. Returns "" or the last difference.
export async function screenAgainstPng(page, index, ms = 5000) {
  const canvas = panel(page, index).locator("canvas");
  await page.mouse.move(0, 0);  // no tooltip over the picture
  await panel(page, index).locator(".tooltip").waitFor({ state: "hidden" });
  const end = Date.now() + ms;
  let difference = "";
  for (;;) {
    const png = Buffer.from(await (await page.request.get(new URL(`/panel/${index}.png`, page.url()).href)).body()).toString("base64");
    const box = await canvas.boundingBox();
    const size = await canvas.evaluate((c) => ({ width: c.width, height: c.height }));
    const shot = await page.screenshot({ clip: { x: box.x + 1, y: box.y + 1, width: size.width, height: size.height } });
    difference = await comparePngs(page, shot.toString("base64"), png);
    if (!difference || Date.now() > end) return difference;
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
}
