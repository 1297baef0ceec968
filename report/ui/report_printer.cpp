#include "report_printer.h"

#include <QDate>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <cmath>
#include <variant>

namespace pagana {
namespace {

QFont fontOf(FontRole role, QPaintDevice* device) {
  const FontChoice wanted = fontFor(role);
  // Families missing on the machine fall back by their kind: fixed, serif, plain.
  QFont font(
      wanted.family.empty() ? QStringLiteral("Arial") : QString::fromStdString(wanted.family),
      wanted.points, wanted.bold ? QFont::Bold : QFont::Normal);
  font.setStyleHint(role == FontRole::Body    ? QFont::TypeWriter
                    : role == FontRole::Title ? QFont::Serif
                                              : QFont::SansSerif);
  if (role == FontRole::Body) font.setFixedPitch(true);
  // Measured and drawn in the device's own units.
  return QFont(font, device);
}

class DeviceMeasure : public TextMeasure {
 public:
  explicit DeviceMeasure(QPaintDevice* device) : device_(device) {}
  int width(FontRole role, std::string_view text) const override {
    const QFontMetricsF metrics(fontOf(role, device_), device_);
    return static_cast<int>(std::lround(
        metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<int>(text.size())))));
  }
  int lineHeight(FontRole role) const override {
    const QFontMetricsF metrics(fontOf(role, device_), device_);
    return static_cast<int>(std::lround(metrics.height() + metrics.leading()));
  }

 private:
  QPaintDevice* device_;
};

QRectF rectOf(const Rect& r) { return QRectF(QPointF(r.left, r.top), QPointF(r.right, r.bottom)); }

void paintPage(QPainter& painter, const std::vector<DrawOp>& ops, const QImage& header,
               const QImage& snapshot) {
  QPaintDevice* device = painter.device();
  for (const DrawOp& op : ops) {
    if (const auto* text = std::get_if<DrawText>(&op)) {
      const QFont font = fontOf(text->font, device);
      painter.setFont(font);
      painter.setPen(Qt::black);
      const QFontMetricsF metrics(font, device);
      // Positions give the top of the text; Qt draws from the baseline.
      painter.drawText(QPointF(text->x, text->y + metrics.ascent()),
                       QString::fromStdString(text->text));
    } else if (const auto* fill = std::get_if<FillRect>(&op)) {
      painter.fillRect(rectOf(fill->rect), QColor::fromRgb(fill->rgb));
    } else if (const auto* picture = std::get_if<DrawPicture>(&op)) {
      const QImage& image = picture->picture == PictureKind::Header ? header : snapshot;
      if (!image.isNull()) painter.drawImage(rectOf(picture->rect), image);
    } else if (const auto* wrapped = std::get_if<DrawWrapped>(&op)) {
      // The description stays inside its rectangle, above the page's bottom margin.
      painter.save();
      painter.setClipRect(rectOf(wrapped->rect));
      painter.setFont(fontOf(wrapped->font, device));
      painter.setPen(Qt::black);
      painter.drawText(rectOf(wrapped->rect), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                       QString::fromStdString(wrapped->text));
      painter.restore();
    }
  }
}

}  // namespace

void prepareReportPrinter(QPrinter& printer) { printer.setResolution(kPrinterResolution); }

bool printReport(QPrinter& printer, const std::vector<ReportPage>& pages,
                 const QImage& headerPicture, PrintDate date) {
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::Antialiasing);
  const DeviceMeasure measure(&printer);
  const PageSetup setup = PageSetup::compute(measure, printer.width(), printer.height());
  bool first = true;
  for (const ReportPage& page : pages) {
    if (!first && !printer.newPage()) return false;
    first = false;
    const QImage snapshot(QString::fromStdString(page.row.path.string()));
    paintPage(painter, layoutPage(setup, measure, page, !headerPicture.isNull(), date),
              headerPicture, snapshot);
  }
  return painter.end();
}

bool writeReportPdf(const QString& fileName, const std::vector<ReportPage>& pages,
                    const QImage& headerPicture, PrintDate date) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(fileName);
  prepareReportPrinter(printer);
  return printReport(printer, pages, headerPicture, date);
}

PrintDate today() {
  const QDate date = QDate::currentDate();
  return PrintDate{date.day(), date.month(), date.year()};
}

}  // namespace pagana
