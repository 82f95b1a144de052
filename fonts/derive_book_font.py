#!/usr/bin/env python3
"""Derives the font the printed and exported books are drawn in from the memo font.

Qt's PDF writer gives every glyph back as the lowest code point the font maps to it. Noto Sans
CJK draws a Kangxi radical and its ideograph with one glyph (U+2F0A and 入, U+2FAF and 石), so a
PDF drawn in it looks right but copies and searches as radicals. This copy of the face maps the
radicals to nothing, and where other code points still share a glyph it keeps as the lowest one
the character an engineer types on a Chinese system (GB2312 before GBK before the rest), so that
胶 is not given back as U+3B35.

The copy holds only the characters of GBK (ASCII included), the encoding the saved books are
written in. The books' own texts, the page headers and footers all lie in it, but the set is
not closed: the socket depth is printed as typed, and after "1.5d" any text may follow. So the
copy keeps the whole of GBK rather than the characters the books hold today, and of the glyph
substitutions only those of horizontal text: no vertical forms, no Japanese, Korean or
Traditional variants (their locl lookups would bring half the face back). The outlines of the
glyphs kept are copied as they are.

The licence (SIL OFL 1.1) allows a modified copy under another name: the family is renamed.

    derive_book_font.py SOURCE FACE_FAMILY OUTPUT NEW_FAMILY NEW_POSTSCRIPT_NAME
"""
import os
import sys
import time
from collections import defaultdict

from fontTools import subset
from fontTools.ttLib import TTCollection, TTFont

RADICALS = ((0x2E80, 0x2EFF), (0x2F00, 0x2FDF))  # CJK Radicals Supplement, Kangxi Radicals
# What HarfBuzz applies to horizontal Han and Latin text and the face has: composition, kerning,
# ligatures and mark placement.
LAYOUT_FEATURES = ["ccmp", "kern", "liga", "mark", "mkmk"]


def is_radical(code_point):
    return any(first <= code_point <= last for first, last in RADICALS)


def encodes(code_point, codec):
    try:
        chr(code_point).encode(codec)
        return True
    except UnicodeEncodeError:
        return False


def preference(code_point):
    """Lower sorts first: the character a shared glyph should be given back as."""
    if encodes(code_point, "gb2312"):
        return (0, code_point)
    if encodes(code_point, "gbk"):
        return (1, code_point)
    return (2, code_point)


def code_points_to_drop(cmap):
    """The radicals, what GBK cannot hold, and every code point below the preferred one of a
    shared glyph."""
    drop = {cp for cp in cmap if is_radical(cp) or not encodes(cp, "gbk")}
    by_glyph = defaultdict(list)
    for cp, glyph in cmap.items():
        if cp not in drop:
            by_glyph[glyph].append(cp)
    for code_points in by_glyph.values():
        if len(code_points) > 1:
            keeper = min(code_points, key=preference)
            drop.update(cp for cp in code_points if cp < keeper)
    return drop


def face_index(path, family):
    if not path.lower().endswith((".ttc", ".otc")):
        return None
    for index, face in enumerate(TTCollection(path, lazy=True).fonts):
        names = face["name"]
        if family in (names.getDebugName(16), names.getDebugName(1)):
            return index
    sys.exit("derive_book_font: no face %r in %s" % (family, path))


def rename(names, family, postscript):
    """Every family, full, unique and PostScript name of every platform and language."""
    version = names.getDebugName(5) or "Version 1.0"
    for record in names.names:
        if record.nameID in (1, 4, 16):
            record.string = family
        elif record.nameID == 3:
            record.string = "%s;derived;%s" % (version.split(";")[0], postscript)
        elif record.nameID == 6:
            record.string = postscript
        elif record.nameID in (17,):
            record.string = "Regular"
    names.setName(
        "Derived from Noto Sans Mono CJK SC: the same outlines for the characters of GBK; the "
        "character map leaves out the CJK radicals and prefers GB2312 characters where code "
        "points share a glyph.",
        10, 3, 1, 0x409)


def subset_options():
    options = subset.Options()
    options.layout_features = LAYOUT_FEATURES
    # Every name record, every platform and language, as the original has them.
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.name_legacy = True
    options.notdef_outline = True
    options.prune_unicode_ranges = False
    options.recalc_bounds = False
    options.recalc_timestamp = False
    # BASE (baselines for mixing scripts), which fontTools cannot cut down and Qt does not read.
    options.drop_tables = ["BASE"]
    return options


def main(source, face_family, output, family, postscript):
    started = time.monotonic()
    # No recalculation on save: what is kept of the outlines is written back as it was read.
    font = TTFont(source, fontNumber=face_index(source, face_family) or 0,
                  recalcBBoxes=False, recalcTimestamp=False)
    cmap = font.getBestCmap()
    drop = code_points_to_drop(cmap)
    subsetter = subset.Subsetter(subset_options())
    subsetter.populate(unicodes=[cp for cp in cmap if cp not in drop])
    subsetter.subset(font)
    rename(font["name"], family, postscript)
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    partial = output + ".part"
    font.save(partial, reorderTables=False)
    os.replace(partial, output)
    print("derive_book_font: %s, %d code points of %d kept, %.1f MB, %.1f s"
          % (os.path.basename(output), len(cmap) - len(drop), len(cmap),
             os.path.getsize(output) / 1e6,
             time.monotonic() - started))


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    main(*sys.argv[1:])
