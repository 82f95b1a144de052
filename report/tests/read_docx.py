"""Prints what python-docx reads of a report: every paragraph as "style|text", then the text of
every table cell, one a line, so that a test can look for the texts it expects."""
import sys

import docx

document = docx.Document(sys.argv[1])
print()
for paragraph in document.paragraphs:
    print(f"{paragraph.style.name}|{paragraph.text}")
for table in document.tables:
    for row in table.rows:
        for cell in row.cells:
            print(cell.text)
print()
