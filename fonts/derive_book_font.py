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
Traditional variants (their locl lookups would bring half the face back).

The books pad their columns by a count of cells: a UTF-16 code unit from U+1000 to U+9FA5 takes
two, every other one takes one (books/column_layout.cpp). The memo font draws Greek, the Latin
letters with accents and the full-width forms at their own widths, so a line holding "ζr:" or
"周长μ:" stood off its neighbours. Every glyph the character map reaches is therefore given the
advance the books count for it: a one-cell glyph drawn wider is moved into its cell, and where
its ink does not fit, narrowed about its centre; a two-cell glyph drawn narrower is centred. The
other outlines are copied as they are.

The licence (SIL OFL 1.1) allows a modified copy under another name: the family is renamed.

The calculation report's PDF is set in a proportional serif face (Noto Serif CJK SC) that has
the same shared glyphs: "--proportional" derives its copy with the same character map but the
advances left as they are.

    derive_book_font.py [--proportional] SOURCE FACE_FAMILY OUTPUT NEW_FAMILY NEW_POSTSCRIPT_NAME
"""
import os
import sys
import time
from collections import defaultdict

from fontTools import subset
from fontTools.pens.boundsPen import BoundsPen
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.transformPen import TransformPen
from fontTools.ttLib import TTCollection, TTFont

RADICALS = ((0x2E80, 0x2EFF), (0x2F00, 0x2FDF))  # CJK Radicals Supplement, Kangxi Radicals
# The books' column rule (books/column_layout.cpp): code units in this range take two cells.
WIDE = (0x1000, 0x9FA5)
# Ink kept off the edges of a glyph narrowed into one cell, in font units.
CELL_MARGIN = 20

# What HarfBuzz applies to horizontal Han and Latin text and the face has: composition, kerning,
# ligatures and mark placement.
LAYOUT_FEATURES = ["ccmp", "kern", "liga", "mark", "mkmk"]


def is_radical(code_point):
    return any(first <= code_point <= last for first, last in RADICALS)


def cells(code_point):
    return 2 if WIDE[0] <= code_point <= WIDE[1] else 1


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


def split_shared_glyphs(font):
    """Gives a code point its own copy of a glyph it shares with code points of the other cell
    count (the CJK compatibility ideographs of GBK share their glyphs with the unified ones);
    returns how many copies were made."""
    cmap = font.getBestCmap()
    by_glyph = defaultdict(list)
    for code_point, glyph in cmap.items():
        by_glyph[glyph].append(code_point)
    top = font["CFF "].cff.topDictIndex[0]
    char_strings = top.CharStrings
    order = list(font.getGlyphOrder())
    next_cid = max(int(name[3:]) for name in order if name.startswith("cid")) + 1
    copies = {}
    for glyph, code_points in by_glyph.items():
        counts = {cells(cp) for cp in code_points}
        if len(counts) < 2:
            continue
        # The code points of the cell count other than the lowest code point's get the copy.
        keep = cells(min(code_points))
        original = char_strings[glyph]
        original.decompile()
        copy_name = "cid%05d" % next_cid
        next_cid += 1
        copy = type(original)(program=list(original.program), private=original.private,
                              globalSubrs=original.globalSubrs)
        char_strings.charStringsIndex.append(copy)
        char_strings.charStrings[copy_name] = len(char_strings.charStringsIndex) - 1
        top.FDSelect.append(top.FDSelect[order.index(glyph)])
        order.append(copy_name)
        for table in ("hmtx", "vmtx"):
            if table in font:
                font[table].metrics[copy_name] = font[table].metrics[glyph]
        for code_point in code_points:
            if cells(code_point) != keep:
                copies[code_point] = copy_name
    top.charset = order
    font.setGlyphOrder(order)
    for table in font["cmap"].tables:
        for code_point, name in copies.items():
            if code_point in table.cmap:
                table.cmap[code_point] = name
    return len(copies)


def ligature_cells(font, wanted):
    """The cells of the glyphs the substitutions make of several characters ("——" is one glyph):
    the sum of their parts' cells, where every part is a glyph of the character map."""
    cells_of = {}
    if "GSUB" not in font:
        return cells_of
    for lookup in font["GSUB"].table.LookupList.Lookup:
        for table in lookup.SubTable:
            table = getattr(table, "ExtSubTable", table)
            for first, ligatures in getattr(table, "ligatures", {}).items():
                for ligature in ligatures:
                    parts = [first] + list(ligature.Component)
                    if all(part in wanted for part in parts):
                        cells_of[ligature.LigGlyph] = sum(wanted[part] for part in parts)
    return cells_of


def fit_to_cells(font):
    """Gives every glyph of the character map the advance of the books' cells; returns how many
    glyphs were redrawn."""
    cell = font["head"].unitsPerEm // 2
    metrics = font["hmtx"].metrics
    char_strings = font["CFF "].cff.topDictIndex[0].CharStrings
    glyph_set = font.getGlyphSet()
    wanted = {}
    for code_point, glyph in font.getBestCmap().items():
        # split_shared_glyphs has left no glyph to code points of different cell counts.
        wanted[glyph] = max(wanted.get(glyph, 0), cells(code_point))
    for glyph, count in ligature_cells(font, wanted).items():
        wanted.setdefault(glyph, count)
    redrawn = 0
    for glyph, count in sorted(wanted.items()):
        advance, _ = metrics[glyph]
        target = count * cell
        if advance == target:
            continue
        bounds = BoundsPen(glyph_set)
        glyph_set[glyph].draw(bounds)
        scale, shift = 1.0, (target - advance) / 2
        if bounds.bounds is not None:
            x_min, _, x_max, _ = bounds.bounds
            ink = x_max - x_min
            room = target - 2 * CELL_MARGIN
            if ink > room or x_min + shift < 0 or x_max + shift > target:
                scale = min(1.0, room / ink) if ink > 0 else 1.0
                shift = target / 2 - scale * (x_min + x_max) / 2
        char_string = char_strings[glyph]
        private = char_string.private
        pen = T2CharStringPen(target - private.nominalWidthX, glyph_set)
        glyph_set[glyph].draw(TransformPen(pen, (scale, 0, 0, 1, shift, 0)))
        new = pen.getCharString(private=private, globalSubrs=char_string.globalSubrs)
        char_string.program = new.program
        char_string.bytecode = None
        left = 0 if bounds.bounds is None else round(bounds.bounds[0] * scale + shift)
        metrics[glyph] = (target, left)
        redrawn += 1
    font["hhea"].advanceWidthMax = max(advance for advance, _ in metrics.values())
    return redrawn


def face_index(path, family):
    if not path.lower().endswith((".ttc", ".otc")):
        return None
    for index, face in enumerate(TTCollection(path, lazy=True).fonts):
        names = face["name"]
        if family in (names.getDebugName(16), names.getDebugName(1)):
            return index
    sys.exit("derive_book_font: no face %r in %s" % (family, path))


def rename(names, family, postscript, source_family, fitted):
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
    cells_note = (" each set in one half-width cell or two (U+1000 to U+9FA5);" if fitted else "")
    names.setName(
        "Derived from %s: the outlines of the characters of GBK,%s the character map leaves out "
        "the CJK radicals and prefers GB2312 characters where code points share a glyph."
        % (source_family, cells_note),
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


def main(source, face_family, output, family, postscript, fitted=True):
    started = time.monotonic()
    # No recalculation on save: what is kept of the outlines is written back as it was read.
    font = TTFont(source, fontNumber=face_index(source, face_family) or 0,
                  recalcBBoxes=False, recalcTimestamp=False)
    cmap = font.getBestCmap()
    drop = code_points_to_drop(cmap)
    subsetter = subset.Subsetter(subset_options())
    subsetter.populate(unicodes=[cp for cp in cmap if cp not in drop])
    subsetter.subset(font)
    redrawn = 0
    if fitted:
        split_shared_glyphs(font)
        redrawn = fit_to_cells(font)
    rename(font["name"], family, postscript, face_family, fitted)
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    partial = output + ".part"
    font.save(partial, reorderTables=False)
    os.replace(partial, output)
    print("derive_book_font: %s, %d code points of %d kept, %d glyphs fitted to the books' "
          "cells, %.1f MB, %.1f s"
          % (os.path.basename(output), len(cmap) - len(drop), len(cmap), redrawn,
             os.path.getsize(output) / 1e6,
             time.monotonic() - started))


if __name__ == "__main__":
    arguments = sys.argv[1:]
    proportional = arguments[:1] == ["--proportional"]
    if proportional:
        arguments = arguments[1:]
    if len(arguments) != 5:
        sys.exit(__doc__)
    main(*arguments, fitted=not proportional)
