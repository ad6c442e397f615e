"""Golden pictures: a snapshot of the panel compared with a PNG kept beside the test.

On a difference the check fails with the number of differing pixels and writes three pictures
into the given folder: the picture taken (actual), the golden one (expected) and a diff picture,
the expected picture faded to grey with every changed pixel in red and a blue frame around the
changed area. Pillow does the image work.
"""

import os
import shutil


class SnapshotMismatch(AssertionError):
    """The snapshot differs from its golden picture (or there is none)."""


def _pillow():
    try:
        from PIL import Image, ImageChops, ImageDraw
    except ImportError as error:  # pragma: no cover - depends on the machine
        raise ImportError("the snapshot comparison needs Pillow (Debian: python3-pil)") from error
    return Image, ImageChops, ImageDraw


def difference(actual, expected):
    """(count of differing pixels, mask image) of two RGB images; a pixel that only one of
    them has (different sizes) differs."""
    Image, ImageChops, _ = _pillow()
    width, height = max(actual.width, expected.width), max(actual.height, expected.height)
    inside = Image.new("L", (width, height), 0)
    inside.paste(255, (0, 0, min(actual.width, expected.width), min(actual.height, expected.height)))
    a, e = Image.new("RGB", (width, height)), Image.new("RGB", (width, height))
    a.paste(actual, (0, 0))
    e.paste(expected, (0, 0))
    red, green, blue = ImageChops.difference(a, e).split()
    changed = ImageChops.lighter(ImageChops.lighter(red, green), blue).point(lambda v: 255 if v else 0)
    mask = ImageChops.lighter(changed, ImageChops.invert(inside))
    return mask.histogram()[255], mask


def diff_picture(actual, expected, mask):
    """The expected picture faded to grey, changed pixels red, the changed area framed in blue;
    a small picture (an LCD) enlarged to about 960 pixels across, so that its dots show."""
    Image, _, ImageDraw = _pillow()
    base = Image.new("RGB", mask.size, (255, 255, 255))
    base.paste(expected, (0, 0))
    faded = Image.blend(base.convert("L").convert("RGB"), Image.new("RGB", mask.size, (255, 255, 255)), 0.6)
    out = Image.composite(Image.new("RGB", mask.size, (255, 0, 0)), faded, mask)
    factor = max(1, min(4, 960 // mask.width))
    out = out.resize((mask.width * factor, mask.height * factor), Image.NEAREST)
    box = mask.getbbox()
    if box:
        left, top, right, bottom = box
        ImageDraw.Draw(out).rectangle((max(left * factor - 3, 0), max(top * factor - 3, 0),
                                       min(right * factor + 2, out.width - 1), min(bottom * factor + 2, out.height - 1)),
                                      outline=(0, 64, 255), width=2 if factor > 1 else 1)
    return out


def check(actual_png, golden, out_dir, stem, update=False):
    """Compares the PNG `actual_png` with the golden picture `golden`.

    With `update` the golden picture is (re)written when it is missing or differs, and the
    result says so ("written" / "unchanged"). Otherwise a missing or different golden picture
    raises SnapshotMismatch after writing <stem>-actual.png, <stem>-expected.png and
    <stem>-diff.png into `out_dir`; "same" when they match."""
    Image, _, _ = _pillow()
    with Image.open(actual_png) as picture:
        actual = picture.convert("RGB")
    expected = None
    if os.path.exists(golden):
        with Image.open(golden) as picture:
            expected = picture.convert("RGB")
    count, mask = difference(actual, expected) if expected is not None else (None, None)
    if update:
        if count == 0:
            return "unchanged"
        os.makedirs(os.path.dirname(os.path.abspath(golden)), exist_ok=True)
        actual.save(golden, optimize=True)
        return "written"
    os.makedirs(out_dir, exist_ok=True)
    actual_out = os.path.join(out_dir, stem + "-actual.png")
    if expected is None:
        shutil.copyfile(actual_png, actual_out)
        raise SnapshotMismatch("no golden picture %s; run pytest with --orppanel-update-snapshots to write it "
                               "(the picture taken: %s)" % (golden, actual_out))
    if count == 0:
        return "same"
    actual.save(actual_out)
    expected_out = os.path.join(out_dir, stem + "-expected.png")
    diff_out = os.path.join(out_dir, stem + "-diff.png")
    expected.save(expected_out)
    diff_picture(actual, expected, mask).save(diff_out)
    size = "" if actual.size == expected.size else " (size %dx%d, golden %dx%d)" % (actual.size + expected.size)
    left, top, right, bottom = mask.getbbox()
    raise SnapshotMismatch(
        "%d of %d pixels differ from %s%s, within x %d-%d, y %d-%d\n  actual:   %s\n  expected: %s\n  diff:     %s"
        " (changed pixels red)\n"
        "(--orppanel-update-snapshots rewrites the golden picture)"
        % (count, mask.width * mask.height, golden, size, left, right - 1, top, bottom - 1,
           actual_out, expected_out, diff_out))
