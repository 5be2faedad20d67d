#!/usr/bin/python3
"""Draws the wizard's pictures: button glyphs, the about picture, the desktop icon, the mask thumbnail.

Every picture here is our own, drawn from the shapes below. The results are committed under
resources/art/; after a change to this script, regenerate them all and commit them with it:

    resources/make-art.py            (Debian's python3 with python3-cairo; ImageMagick's convert)

Cairo writes PNGs without time stamps, so an unchanged script gives unchanged files.
"""

import math
import os
import subprocess
import sys

try:
    import cairo
except ImportError:
    sys.exit("make-art.py needs Debian's python3-cairo (scripts/setup installs it); run it as "
             "/usr/bin/python3 make-art.py")

HERE = os.path.dirname(os.path.abspath(__file__))
ART = os.path.join(HERE, "art")


def rgb(hex_text, alpha=1.0):
    value = int(hex_text.lstrip("#"), 16)
    return ((value >> 16) / 255.0, ((value >> 8) & 255) / 255.0, (value & 255) / 255.0, alpha)


# One palette for every picture, so the glyphs, the icon and the about box belong together.
SLATE = rgb("#34495E")
SLATE_DARK = rgb("#243342")
SLATE_LIGHT = rgb("#6B8BAE")
BLUE = rgb("#2F80ED")
GREEN = rgb("#27AE60")
RED = rgb("#E5484D")
AMBER = rgb("#F5B942")
AMBER_DARK = rgb("#DE9A2A")
RUSSET = rgb("#D2691E")
RUSSET_LIGHT = rgb("#E8945A")
WOOD = rgb("#C98A4B")
WHITE = rgb("#FFFFFF")
SKY_TOP = rgb("#6FAEE3")
SKY_LOW = rgb("#FCE6C8")
SUN = rgb("#FFC94D")
HILL_FAR = rgb("#8CC7A5")
HILL_NEAR = rgb("#3E9C72")
INK_GREY = rgb("#7A8794")


def canvas(width, height):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    return surface, cairo.Context(surface)


def save_png(surface, name):
    path = os.path.join(ART, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    surface.write_to_png(path)
    print("wrote", os.path.relpath(path, HERE))


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def fill(ctx, colour):
    ctx.set_source_rgba(*colour)
    ctx.fill()


def polygon(ctx, points):
    ctx.move_to(*points[0])
    for point in points[1:]:
        ctx.line_to(*point)
    ctx.close_path()


def soft_polygon(ctx, points, colour, rounding=1.0):
    """A filled polygon whose corners are rounded by a stroke of the same colour."""
    polygon(ctx, points)
    ctx.set_source_rgba(*colour)
    if rounding <= 0:
        ctx.fill()
        return
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_line_width(rounding)
    ctx.fill_preserve()
    ctx.stroke()


# ---------------------------------------------------------------------------------------------
# The bird: a kestrel hovering, seen from the front, drawn in a 100 x 100 box.


def kestrel_half_wing(ctx, side):
    def x(v):
        return 50 + side * (v - 50)

    ctx.move_to(x(54), 38)
    ctx.curve_to(x(64), 30, x(80), 22, x(98), 22)
    ctx.curve_to(x(90), 30, x(78), 42, x(56.5), 53)
    ctx.close_path()


def kestrel_tail(ctx):
    ctx.move_to(46.5, 55)
    ctx.line_to(53.5, 55)
    ctx.line_to(59, 75)
    ctx.curve_to(55, 77.5, 45, 77.5, 41, 75)
    ctx.close_path()


def draw_kestrel(ctx, cx, cy, size, small=False):
    """A hovering kestrel, centred on (cx, cy), its wingspan `size` pixels wide."""
    ctx.save()
    ctx.translate(cx - size / 2, cy - size / 2)
    ctx.scale(size / 100.0, size / 100.0)

    for side in (1, -1):
        # Russet wings with dark pointed wing tips, as a kestrel's primaries are.
        kestrel_half_wing(ctx, side)
        fill(ctx, RUSSET)
        ctx.save()
        kestrel_half_wing(ctx, side)
        ctx.clip()
        if not small:
            # A lighter band along the leading edge gives the flat wing some depth.
            ctx.move_to(50 + side * 4, 38)
            ctx.curve_to(50 + side * 14, 30, 50 + side * 30, 22, 50 + side * 48, 22)
            ctx.curve_to(50 + side * 32, 26, 50 + side * 16, 34, 50 + side * 5, 43)
            ctx.close_path()
            fill(ctx, RUSSET_LIGHT)
        polygon(ctx, [(50 + side * 29, 0), (50 + side * 60, 0), (50 + side * 60, 100),
                      (50 + side * 39, 100)])
        fill(ctx, SLATE_DARK)
        ctx.restore()

    # Tail: slate, fanned, with the dark band near its end.
    kestrel_tail(ctx)
    fill(ctx, SLATE_LIGHT)
    ctx.save()
    kestrel_tail(ctx)
    ctx.clip()
    ctx.rectangle(30, 69, 40, 3.5)
    fill(ctx, SLATE_DARK)
    ctx.restore()

    # Body, between the wings.
    ctx.move_to(50, 32)
    ctx.curve_to(56, 32, 58.5, 40, 57.5, 47)
    ctx.curve_to(56.5, 54, 53.5, 58, 50, 58)
    ctx.curve_to(46.5, 58, 43.5, 54, 42.5, 47)
    ctx.curve_to(41.5, 40, 44, 32, 50, 32)
    ctx.close_path()
    fill(ctx, RUSSET_LIGHT)
    if not small:
        # A few of the dark spots of a kestrel's breast.
        for sx, sy in ((47, 42.5), (53, 42.5), (50, 47.5), (47.5, 52), (52.5, 52)):
            ctx.arc(sx, sy, 0.9, 0, 2 * math.pi)
            fill(ctx, SLATE_DARK)

    # Slate-grey head, dark eyes and a short hooked beak.
    ctx.arc(50, 28, 6.5, 0, 2 * math.pi)
    fill(ctx, SLATE_LIGHT)
    if not small:
        for ex in (47.4, 52.6):
            ctx.arc(ex, 27, 1.1, 0, 2 * math.pi)
            fill(ctx, SLATE_DARK)
    polygon(ctx, [(48.4, 30), (51.6, 30), (50, 33.2)])
    fill(ctx, AMBER)
    ctx.restore()


# ---------------------------------------------------------------------------------------------
# A landscape (sky, sun, two hills), shared by the monitor glyphs, the icon and the about picture.


def draw_landscape(ctx, x, y, w, h, sun=True):
    sky = cairo.LinearGradient(0, y, 0, y + h)
    sky.add_color_stop_rgba(0, *SKY_TOP)
    sky.add_color_stop_rgba(1, *SKY_LOW)
    ctx.rectangle(x, y, w, h)
    ctx.set_source(sky)
    ctx.fill()
    if sun:
        ctx.arc(x + w * 0.74, y + h * 0.56, h * 0.16, 0, 2 * math.pi)
        fill(ctx, SUN)
    ctx.move_to(x, y + h * 0.72)
    ctx.curve_to(x + w * 0.25, y + h * 0.58, x + w * 0.5, y + h * 0.62, x + w * 0.7, y + h * 0.7)
    ctx.curve_to(x + w * 0.85, y + h * 0.76, x + w * 0.95, y + h * 0.66, x + w, y + h * 0.64)
    ctx.line_to(x + w, y + h)
    ctx.line_to(x, y + h)
    ctx.close_path()
    fill(ctx, HILL_FAR)
    ctx.move_to(x, y + h * 0.86)
    ctx.curve_to(x + w * 0.3, y + h * 0.74, x + w * 0.6, y + h * 0.8, x + w, y + h * 0.9)
    ctx.line_to(x + w, y + h)
    ctx.line_to(x, y + h)
    ctx.close_path()
    fill(ctx, HILL_NEAR)


# ---------------------------------------------------------------------------------------------
# 20 x 20 glyphs of the list buttons.


def glyph_add(ctx):
    ctx.arc(10, 10, 8.5, 0, 2 * math.pi)
    fill(ctx, GREEN)
    ctx.rectangle(5.5, 9, 9, 2)
    ctx.rectangle(9, 5.5, 2, 9)
    fill(ctx, WHITE)


def glyph_remove(ctx):
    ctx.arc(10, 10, 8.5, 0, 2 * math.pi)
    fill(ctx, RED)
    ctx.rectangle(5.5, 9, 9, 2)
    fill(ctx, WHITE)


def glyph_clear(ctx):
    # A waste bin: the list goes away whole.
    rounded_rect(ctx, 8, 1.5, 4, 3, 1)
    fill(ctx, SLATE)
    rounded_rect(ctx, 3.5, 3.5, 13, 2.5, 1)
    fill(ctx, SLATE)
    ctx.move_to(5, 7)
    ctx.line_to(15, 7)
    ctx.line_to(14, 17.5)
    ctx.curve_to(13.9, 18.3, 13.5, 18.5, 13, 18.5)
    ctx.line_to(7, 18.5)
    ctx.curve_to(6.5, 18.5, 6.1, 18.3, 6, 17.5)
    ctx.close_path()
    fill(ctx, SLATE)
    for x in (8, 11):
        ctx.rectangle(x, 9, 1, 7)
    fill(ctx, WHITE)


def arrow_up(ctx, cx, top, bottom, head_w, shaft_w, colour):
    # Sharp corners: at 20 pixels the straight edges stay crisp only on whole pixels.
    head_y = top + head_w / 2
    soft_polygon(
        ctx,
        [
            (cx, top),
            (cx + head_w / 2, head_y),
            (cx + shaft_w / 2, head_y),
            (cx + shaft_w / 2, bottom),
            (cx - shaft_w / 2, bottom),
            (cx - shaft_w / 2, head_y),
            (cx - head_w / 2, head_y),
        ],
        colour,
        rounding=0,
    )


def flipped(ctx, height, draw):
    ctx.save()
    ctx.translate(0, height)
    ctx.scale(1, -1)
    draw()
    ctx.restore()


def glyph_up(ctx):
    arrow_up(ctx, 10, 2, 18, 14, 4, BLUE)


def glyph_down(ctx):
    flipped(ctx, 20, lambda: arrow_up(ctx, 10, 2, 18, 14, 4, BLUE))


def glyph_reverse(ctx):
    # One arrow up beside one arrow down: the whole list turns over.
    arrow_up(ctx, 5.5, 2.5, 18, 9, 3, BLUE)
    flipped(ctx, 20, lambda: arrow_up(ctx, 14.5, 2.5, 18, 9, 3, BLUE))


def glyph_play(ctx):
    soft_polygon(ctx, [(5, 4), (16, 10), (5, 16)], GREEN, rounding=2.0)


def glyph_stop(ctx):
    rounded_rect(ctx, 4, 4, 12, 12, 2)
    fill(ctx, RED)


def glyph_folder(ctx):
    ctx.move_to(2, 5)
    ctx.curve_to(2, 4, 2.5, 3.5, 3.5, 3.5)
    ctx.line_to(7.5, 3.5)
    ctx.line_to(9.5, 5.5)
    ctx.line_to(16.5, 5.5)
    ctx.curve_to(17.5, 5.5, 18, 6, 18, 7)
    ctx.line_to(18, 15.5)
    ctx.line_to(2, 15.5)
    ctx.close_path()
    fill(ctx, AMBER_DARK)
    rounded_rect(ctx, 2, 7.5, 16, 9, 1.2)
    fill(ctx, AMBER)


# ---------------------------------------------------------------------------------------------
# 32 x 32 glyphs of the Build page's Preview, Install and Build buttons.


def monitor(ctx, screen):
    rounded_rect(ctx, 2, 4, 28, 19, 2.5)
    fill(ctx, SLATE)
    ctx.save()
    ctx.rectangle(4, 6, 24, 15)
    ctx.clip()
    screen(4, 6, 24, 15)
    ctx.restore()
    ctx.rectangle(14, 23, 4, 3)
    fill(ctx, SLATE)
    rounded_rect(ctx, 9, 25.5, 14, 3, 1.5)
    fill(ctx, SLATE)


def glyph_preview(ctx):
    # The saver on the screen: a picture of the slide show.
    monitor(ctx, lambda x, y, w, h: draw_landscape(ctx, x, y, w, h))


def glyph_install(ctx):
    # Into the screen: the saver becomes the desktop's own.
    def screen(x, y, w, h):
        ctx.rectangle(x, y, w, h)
        fill(ctx, SLATE_DARK)
        ctx.rectangle(x, y + h - 4, w, 4)
        fill(ctx, rgb("#2C3E50"))

    monitor(ctx, screen)
    arrow = arrow_points(16, 1, 19.5, 13, 5.5)
    # A white rim keeps the arrow apart from the monitor's frame.
    polygon(ctx, arrow)
    ctx.set_source_rgba(*WHITE)
    ctx.set_line_width(2.5)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke()
    soft_polygon(ctx, arrow, BLUE)


def arrow_points(cx, top, tip, head_w, shaft_w):
    """A downward arrow from `top` to its point at `tip`."""
    head_y = tip - head_w / 2
    return [
        (cx - shaft_w / 2, top),
        (cx + shaft_w / 2, top),
        (cx + shaft_w / 2, head_y),
        (cx + head_w / 2, head_y),
        (cx, tip),
        (cx - head_w / 2, head_y),
        (cx - shaft_w / 2, head_y),
    ]


def glyph_build(ctx):
    # A hammer, leaning.
    ctx.save()
    ctx.translate(16, 16)
    ctx.rotate(math.radians(-40))
    rounded_rect(ctx, -2, -6, 4, 21, 2)
    fill(ctx, WOOD)
    rounded_rect(ctx, -10, -13, 20, 8, 1.8)
    fill(ctx, SLATE)
    ctx.rectangle(-10, -13, 4, 8)
    fill(ctx, SLATE_DARK)
    rounded_rect(ctx, -3, -5.5, 6, 2.5, 0.8)
    fill(ctx, SLATE_DARK)
    ctx.restore()


def ready_badge(ctx):
    """A green check badge at the lower right: the saver is built and ready."""
    ctx.arc(25, 25, 7, 0, 2 * math.pi)
    fill(ctx, WHITE)
    ctx.arc(25, 25, 5.7, 0, 2 * math.pi)
    fill(ctx, GREEN)
    ctx.move_to(22.2, 25.2)
    ctx.line_to(24.2, 27.2)
    ctx.line_to(27.9, 23.1)
    ctx.set_source_rgba(*WHITE)
    ctx.set_line_width(1.8)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke()


def with_badge(draw):
    def badged(ctx):
        draw(ctx)
        ready_badge(ctx)

    return badged


# ---------------------------------------------------------------------------------------------
# The desktop icon: two photo cards of a slide show, the front one with the kestrel in its sky.


def photo_card(ctx, cx, cy, w, h, angle, border, contents):
    ctx.save()
    ctx.translate(cx, cy)
    ctx.rotate(math.radians(angle))
    # A soft shadow under the card, from a few widening translucent copies.
    for spread in (3, 2, 1):
        rounded_rect(ctx, -w / 2 - spread + 1, -h / 2 - spread + 3, w + 2 * spread, h + 2 * spread,
                     border + spread)
        fill(ctx, rgb("#1B2836", 0.07))
    rounded_rect(ctx, -w / 2, -h / 2, w, h, border * 0.9)
    fill(ctx, WHITE)
    ctx.save()
    rounded_rect(ctx, -w / 2 + border, -h / 2 + border, w - 2 * border, h - 2 * border,
                 border * 0.35)
    ctx.clip()
    contents(-w / 2 + border, -h / 2 + border, w - 2 * border, h - 2 * border)
    ctx.restore()
    ctx.restore()


def draw_icon(ctx, size):
    ctx.save()
    ctx.scale(size / 256.0, size / 256.0)
    small = size < 96

    def back_contents(x, y, w, h):
        ctx.rectangle(x, y, w, h)
        fill(ctx, rgb("#A9C9E8"))
        ctx.move_to(x, y + h * 0.7)
        ctx.curve_to(x + w * 0.4, y + h * 0.55, x + w * 0.7, y + h * 0.7, x + w, y + h * 0.62)
        ctx.line_to(x + w, y + h)
        ctx.line_to(x, y + h)
        ctx.close_path()
        fill(ctx, rgb("#7FB89A"))

    def front_contents(x, y, w, h):
        draw_landscape(ctx, x, y, w, h)
        draw_kestrel(ctx, x + w * 0.44, y + h * 0.47, w * 0.86, small=small)

    border = 16 if small else 12
    photo_card(ctx, 140, 112, 196, 150, 9, border, back_contents)
    photo_card(ctx, 120, 146, 208, 164, -5, border, front_contents)
    ctx.restore()


# ---------------------------------------------------------------------------------------------
# The about box's picture, 270 x 220.


def draw_about(ctx):
    width, height, band = 270, 220, 152
    draw_landscape(ctx, 0, 0, width, band)
    draw_kestrel(ctx, 118, 62, 118)

    ctx.rectangle(0, band, width, height - band)
    fill(ctx, rgb("#F7F9FB"))
    # Three dots, the pager of a slide show, the first one lit.
    for i, colour in enumerate((RUSSET, rgb("#C9D2DB"), rgb("#C9D2DB"))):
        ctx.arc(width / 2 - 10 + 10 * i, band + 11, 2.6, 0, 2 * math.pi)
        fill(ctx, colour)

    centred_text(ctx, "Kestrava", width / 2, band + 44, 30, SLATE, bold=True)
    centred_text(ctx, "screen saver builder", width / 2, band + 61, 12, INK_GREY)


def centred_text(ctx, text, cx, baseline, size, colour, bold=False):
    ctx.select_font_face("DejaVu Sans", cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    extents = ctx.text_extents(text)
    ctx.move_to(cx - extents.x_bearing - extents.width / 2, baseline)
    ctx.set_source_rgba(*colour)
    ctx.show_text(text)


# ---------------------------------------------------------------------------------------------


def render(size, draw, name):
    surface, ctx = canvas(*size)
    draw(ctx)
    save_png(surface, name)


def make_mask_thumb():
    # The Options page shows the mask at 49 x 33, stretched as the build stretches it.
    target = os.path.join(ART, "mask-thumb.jpg")
    subprocess.run(["convert", os.path.join(HERE, "mask1.jpg"), "-resize", "49x33!", "-strip",
                    "-quality", "92", target], check=True)
    print("wrote", os.path.relpath(target, HERE))


def main():
    small_glyphs = {
        "add": glyph_add,
        "remove": glyph_remove,
        "clear": glyph_clear,
        "up": glyph_up,
        "down": glyph_down,
        "reverse": glyph_reverse,
        "play": glyph_play,
        "stop": glyph_stop,
        "folder": glyph_folder,
    }
    large_glyphs = {
        "preview": glyph_preview,
        "install": glyph_install,
        "build": glyph_build,
        "preview-built": with_badge(glyph_preview),
        "install-built": with_badge(glyph_install),
    }
    for name, draw in small_glyphs.items():
        render((20, 20), draw, "glyphs/%s.png" % name)
    for name, draw in large_glyphs.items():
        render((32, 32), draw, "glyphs/%s.png" % name)
    render((270, 220), draw_about, "about.png")
    render((256, 256), lambda ctx: draw_icon(ctx, 256), "kestrava.png")
    render((48, 48), lambda ctx: draw_icon(ctx, 48), "kestrava-48.png")
    make_mask_thumb()


if __name__ == "__main__":
    sys.exit(main())
