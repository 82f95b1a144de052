#!/usr/bin/env python3
"""Turns docs/manual.md into the one HTML page installed with the program.

Only the Markdown the manual uses is understood: headings with an optional {#id}, paragraphs,
lists with "-", tables with "|", **bold**, `code` and [text](address). The page is written
whole, with its style inside, so that a browser shows it offline from the installed folder.

    manual_to_html.py manual.md manual.html
"""

import html
import re
import sys

STYLE = """
body { font-family: "Noto Sans CJK SC", "Microsoft YaHei", "SimSun", sans-serif;
       max-width: 58em; margin: 2em auto; padding: 0 1em; line-height: 1.6; color: #222; }
h1 { color: #0000ff; font-size: 1.6em; }
h2 { border-bottom: 1px solid #ccc; margin-top: 1.8em; }
table { border-collapse: collapse; margin: 0.8em 0; }
th, td { border: 1px solid #bbb; padding: 0.25em 0.6em; vertical-align: top; text-align: left; }
th { background: #fee9e9; }
code { font-family: "Noto Sans Mono CJK SC", "Consolas", monospace; background: #f4f4f4; }
nav { background: #fafafa; border: 1px solid #ddd; padding: 0.4em 1em; }
"""

HEADING = re.compile(r"^(#{1,3})\s+(.*?)(?:\s+\{#([A-Za-z][\w-]*)\})?\s*$")


def inline(text):
    """Escapes `text` and applies the inline marks."""
    parts = re.split(r"(`[^`]*`)", text)
    out = []
    for part in parts:
        if part.startswith("`") and part.endswith("`") and len(part) >= 2:
            out.append("<code>" + html.escape(part[1:-1]) + "</code>")
            continue
        part = html.escape(part, quote=False)
        part = re.sub(r"\*\*(.+?)\*\*", r"<strong>\1</strong>", part)
        part = re.sub(r"\[([^\]]+)\]\(([^)\s]+)\)",
                      lambda m: '<a href="%s">%s</a>' % (html.escape(m.group(2)), m.group(1)),
                      part)
        out.append(part)
    return "".join(out)


def joined(pieces):
    """Lines of one paragraph: a blank between them only next to a Latin letter or digit, as
    the text has it within a line; between two Chinese characters a blank would show."""
    text = ""
    for piece in pieces:
        if text and (text[-1].isascii() or piece[0].isascii()):
            text += " "
        text += piece
    return text


def cells(line):
    return [cell.strip() for cell in line.strip().strip("|").split("|")]


def convert(lines):
    body = []
    toc = []
    title = ""
    i = 0
    while i < len(lines):
        line = lines[i].rstrip("\n")
        if not line.strip():
            i += 1
            continue
        heading = HEADING.match(line)
        if heading:
            level = len(heading.group(1))
            text = heading.group(2)
            anchor = heading.group(3) or "s%d" % len(body)
            if level == 1 and not title:
                title = text
            elif level == 2:
                toc.append((anchor, text))
            body.append('<h%d id="%s">%s</h%d>' % (level, anchor, inline(text), level))
            i += 1
            continue
        if line.startswith("|"):
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                rows.append(cells(lines[i]))
                i += 1
            table = ["<table>", "<tr>" + "".join("<th>%s</th>" % inline(c) for c in rows[0]) +
                     "</tr>"]
            for row in rows[2:]:  # rows[1] is the rule under the header
                table.append("<tr>" + "".join("<td>%s</td>" % inline(c) for c in row) + "</tr>")
            table.append("</table>")
            body.append("\n".join(table))
            continue
        if line.startswith("- "):
            items = []
            while i < len(lines) and (lines[i].startswith("- ") or lines[i].startswith("  ")):
                if lines[i].startswith("- "):
                    items.append(lines[i][2:].strip())
                else:
                    items[-1] = joined([items[-1], lines[i].strip()])
                i += 1
            body.append("<ul>\n" + "\n".join("<li>%s</li>" % inline(t) for t in items) +
                        "\n</ul>")
            continue
        paragraph = []
        while (i < len(lines) and lines[i].strip() and not HEADING.match(lines[i]) and
               not lines[i].startswith("|") and not lines[i].startswith("- ")):
            paragraph.append(lines[i].strip())
            i += 1
        body.append("<p>%s</p>" % inline(joined(paragraph)))

    nav = ("<nav><ul>\n" + "\n".join('<li><a href="#%s">%s</a></li>' % (a, inline(t))
                                       for a, t in toc) + "\n</ul></nav>")
    # The table of contents stands after the introduction, before the first section.
    first_section = next((k for k, part in enumerate(body) if part.startswith("<h2")), len(body))
    body.insert(first_section, nav)
    return ("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n%s\n</body>\n</html>\n" %
            (html.escape(title), STYLE, "\n".join(body)))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: manual_to_html.py manual.md manual.html")
    with open(sys.argv[1], encoding="utf-8") as source:
        page = convert(source.readlines())
    with open(sys.argv[2], "w", encoding="utf-8", newline="\n") as target:
        target.write(page)


if __name__ == "__main__":
    main()
