// Paints report pages, laid out by the core, on a printer (or its preview, or a PDF file).
#pragma once

#include "page_layout.h"

#include <QImage>
#include <QString>

#include <vector>

class QPrinter;

namespace pagana {

// Printers are addressed in units of 1/600 inch, the resolution the page offsets were
// chosen for; Qt's PDF printer follows it too.
inline constexpr int kPrinterResolution = 600;

inline constexpr const char* kPdfUnwritable = "Failed to write the report file!";

// Sets the printer to the report's resolution and page.
void prepareReportPrinter(QPrinter& printer);

// One page per entry, each on a new sheet. False when the printer cannot be opened.
bool printReport(QPrinter& printer, const std::vector<ReportPage>& pages,
                 const QImage& headerPicture, PrintDate date);

// The report as a PDF file through Qt's PDF printer.
bool writeReportPdf(const QString& fileName, const std::vector<ReportPage>& pages,
                    const QImage& headerPicture, PrintDate date);

PrintDate today();

}  // namespace pagana
