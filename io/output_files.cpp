#include "io/output_files.h"

namespace pile::io {

QString BookFileName(Book book) {
    return book == Book::Text ? QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_文本.txt")
                              : QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_表格.txt");
}

QString ResultsFileName() {
    return QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_结果.csv");
}

QString ReportFileName() {
    return QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_计算书.docx");
}

QString PdfReportFileName() {
    return QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_计算书.pdf");
}

QString DesignScheduleFileName() {
    return QStringLiteral("嵌岩桩计算书(依据DBJ50-047-2016)_选型桩表.csv");
}

}  // namespace pile::io
