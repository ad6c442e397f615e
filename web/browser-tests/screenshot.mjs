// The picture of the page in docs/web-panel.md: the demo device after a few clicks, the pointer
// resting on OK. Run against a running demo (scripts/run-web.sh):
//   node web/browser-tests/screenshot.mjs http://127.0.0.1:8022/ docs/images/web-panel.png
import { click, keyCentre, launchBrowser, panel } from "./harness.mjs";

const [url, out] = process.argv.slice(2);
const browser = await launchBrowser();
try {
  const page = await browser.newPage({ viewport: { width: 690, height: 660 }, deviceScaleFactor: 1 });
  page.setDefaultTimeout(10000);
  await page.goto(url);
  await panel(page, 0).locator(".host").filter({ hasText: "host connected" }).waitFor();
  await click(page, await keyCentre(page, 0, "F4"));  // value and alarm back to 0
  await click(page, await keyCentre(page, 0, "Start"));
  await page.waitForTimeout(1500);
  const ok = await keyCentre(page, 0, "OK");
  await page.mouse.move(ok.x, ok.y);
  await panel(page, 0).locator(".tooltip").waitFor({ state: "visible" });
  await page.waitForTimeout(300);
  await page.screenshot({ path: out, type: "png" });
} finally {
  await browser.close();
}
