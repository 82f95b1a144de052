// The names of the files the program and pile_batch write, in one place: "保存" and "另存为…"
// name the books by them, pile_batch writes them and its help lists them.
#pragma once

#include <QString>

#include "books/book.h"

namespace pile::io {

// "保存" writes the book on show under this name in the documents folder.
QString BookFileName(Book book);

// pile_batch's results table, beside the two books.
QString ResultsFileName();
// pile_batch --design: the schedule with the sizes found, which computes into the same books.
QString DesignScheduleFileName();

// pile_batch --report docx: the calculation report, beside the books.
QString ReportFileName();
// pile_batch --report pdf: the same report as a PDF.
QString PdfReportFileName();

}  // namespace pile::io
