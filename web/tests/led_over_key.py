"""Writes ORPDesigns/led_over_key.orp into a demo work directory: the demo design with its
POWER LED moved onto the top left corner of the OK key, for the rule that an LED hides the
part of a key it lies on.

    led_over_key.py WORKDIR ORP-DESIGNTOOL
"""
import json
import os
import subprocess
import sys

workdir, designtool = sys.argv[1:3]
designs = os.path.join(workdir, "ORPDesigns")
with open(os.path.join(designs, "demo.json"), encoding="utf-8") as f:
    design = json.load(f)
ok = next(k for k in design["keys"] if k["name"] == "OK")
power = next(led for led in design["leds"] if led["name"] == "POWER")
left, top = ok["pixelRect"][:2]
power["pixelRect"] = [left, top, left + 17, top + 17]
power["logicalRect"] = ok["logicalRect"][:2] + power["logicalRect"][2:]
with open(os.path.join(designs, "led_over_key.json"), "w", encoding="utf-8") as f:
    json.dump(design, f, indent=1)
subprocess.run([designtool, "build", os.path.join(designs, "led_over_key.json"),
                os.path.join(designs, "led_over_key.orp")], check=True, stdout=subprocess.DEVNULL)
