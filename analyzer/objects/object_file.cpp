#include "object_file.h"

#include "circle_roi.h"
#include "line_roi.h"
#include "polygon_roi.h"
#include "rect_roi.h"
#include "spot_roi.h"

#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamWriter>

#include <libxml/parser.h>
#include <libxslt/transform.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <system_error>

namespace solvane {

QString resolutionMismatchText(int savedWidth, int savedHeight, int width, int height) {
  return QString::asprintf(
      "Roi Size error!\nSaved Resolution: %d * %d\nCurrent Resolution: %d * %d", savedWidth,
      savedHeight, width, height);
}

namespace {

constexpr const char* kColourAttributes[kRoiColourCount] = {
    "color_normal",      "color_select",      "color_resize",     "color_tracker",
    "color_normal_text", "color_shadow_text", "color_alarm_rect", "color_alarm_text"};
// The order above is the file's; the colours it names, in the object's own order.
constexpr RoiColour kColourOfAttribute[kRoiColourCount] = {
    RoiColour::Normal,     RoiColour::Select,     RoiColour::Resize,    RoiColour::Tracker,
    RoiColour::NormalText, RoiColour::ShadowText, RoiColour::AlarmRect, RoiColour::AlarmText};

// Every attribute in the order the file lists them; vertices sit between "poly_cnt" and the
// colours, by number.
const QStringList& attributeOrder() {
  static const QStringList order = {"xSize",
                                    "ySize",
                                    "Depth",
                                    "spot_x",
                                    "spot_y",
                                    "left",
                                    "right",
                                    "top",
                                    "bottom",
                                    "line_start_x",
                                    "line_start_y",
                                    "line_end_x",
                                    "line_end_y",
                                    "poly_cnt",
                                    "color_normal",
                                    "color_select",
                                    "color_resize",
                                    "color_tracker",
                                    "color_normal_text",
                                    "color_shadow_text",
                                    "color_alarm_rect",
                                    "color_alarm_text",
                                    "name",
                                    "type",
                                    "label_view",
                                    "hot_view",
                                    "cold_view",
                                    "temp_view",
                                    "plot_func",
                                    "alarm_id",
                                    "alarm_result",
                                    "alarm_cond",
                                    "alarm_port",
                                    "alarm_val",
                                    "alarm_sel",
                                    "gen_cond",
                                    "gen_cnt",
                                    "gen_alarm",
                                    "local_emi_status",
                                    "emissivity",
                                    "atmTrans",
                                    "atmTemp"};
  return order;
}

// (group, index): known names by their place, vertices right after "poly_cnt", anything
// else after all of them by name.
std::pair<int64_t, QString> attributeRank(const QString& name) {
  static const QRegularExpression vertex(QStringLiteral("^poly_(\\d+)_([xy])$"));
  const QStringList& order = attributeOrder();
  const auto polyCount = order.indexOf(QStringLiteral("poly_cnt"));
  if (const auto m = vertex.match(name); m.hasMatch()) {
    const int64_t n = m.captured(1).toLongLong();
    return {int64_t{polyCount} * 1'000'000'000 + 1 + 2 * n + (m.captured(2) == "y" ? 1 : 0), {}};
  }
  const auto i = order.indexOf(name);
  if (i >= 0) return {int64_t{i} * 1'000'000'000, {}};
  return {std::numeric_limits<int64_t>::max(), name};
}

void writeElement(QXmlStreamWriter& out, const QDomElement& element) {
  out.writeStartElement(element.tagName());
  const QDomNamedNodeMap attributes = element.attributes();
  std::vector<QDomAttr> ordered;
  for (int i = 0; i < attributes.count(); ++i) ordered.push_back(attributes.item(i).toAttr());
  std::sort(ordered.begin(), ordered.end(), [](const QDomAttr& a, const QDomAttr& b) {
    return attributeRank(a.name()) < attributeRank(b.name());
  });
  for (const auto& a : ordered) out.writeAttribute(a.name(), a.value());
  for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
    if (child.isElement()) writeElement(out, child.toElement());
  out.writeEndElement();
}

// The DOM keeps attributes unordered; the file lists them in their table order.
QByteArray documentText(const QDomDocument& document) {
  QByteArray body;
  QXmlStreamWriter out(&body);
  out.setAutoFormatting(false);
  for (QDomNode node = document.firstChild(); !node.isNull(); node = node.nextSibling()) {
    if (node.isElement()) writeElement(out, node.toElement());
  }
  // The declaration is written as the file has always had it, whether or not the DOM keeps
  // it as a node.
  return QByteArrayLiteral("<?xml version='1.0' encoding='UTF-8'?>") + body;
}

QString number(int32_t value) { return QString::asprintf("%d", value); }
QString number(uint32_t value) { return QString::asprintf("%d", static_cast<int32_t>(value)); }
QString number(float value) { return QString::asprintf("%f", static_cast<double>(value)); }
QString flag(bool on) { return number(int32_t{on ? 1 : 0}); }

void writeGeometry(QDomElement& roi, const CObjectROI& object) {
  switch (object.kind()) {
    case RoiKind::Spot: {
      const auto& spot = static_cast<const CSpotROI&>(object);
      roi.setAttribute("spot_x", number(spot.x()));
      roi.setAttribute("spot_y", number(spot.y()));
      break;
    }
    case RoiKind::Rect:
    case RoiKind::Circle: {
      const BoxGeometry& box = object.kind() == RoiKind::Rect
                                   ? static_cast<const CRectROI&>(object).box()
                                   : static_cast<const CCircleROI&>(object).box();
      roi.setAttribute("left", number(box.left));
      roi.setAttribute("right", number(box.right));
      roi.setAttribute("top", number(box.top));
      roi.setAttribute("bottom", number(box.bottom));
      break;
    }
    case RoiKind::Line: {
      const auto& line = static_cast<const CLineROI&>(object);
      roi.setAttribute("line_start_x", number(line.start().x));
      roi.setAttribute("line_start_y", number(line.start().y));
      roi.setAttribute("line_end_x", number(line.end().x));
      roi.setAttribute("line_end_y", number(line.end().y));
      break;
    }
    case RoiKind::Polygon: {
      const auto& vertices = static_cast<const CPolygonROI&>(object).vertices();
      roi.setAttribute("poly_cnt", number(static_cast<int32_t>(vertices.size())));
      for (size_t i = 0; i < vertices.size(); ++i) {
        roi.setAttribute(QString::asprintf("poly_%d_x", static_cast<int>(i)),
                         number(vertices[i].x));
        roi.setAttribute(QString::asprintf("poly_%d_y", static_cast<int>(i)),
                         number(vertices[i].y));
      }
      break;
    }
  }
}

void writeCommon(QDomElement& roi, const CObjectROI& object) {
  for (int i = 0; i < kRoiColourCount; ++i)
    roi.setAttribute(kColourAttributes[i], number(object.colour(kColourOfAttribute[i])));
  const AlarmRecord& alarm = object.alarm();
  roi.setAttribute("name", object.name());
  roi.setAttribute("type", number(static_cast<int32_t>(object.kind())));
  roi.setAttribute("label_view", flag(object.showLabel()));
  roi.setAttribute("hot_view", flag(object.showHot()));
  roi.setAttribute("cold_view", flag(object.showCold()));
  roi.setAttribute("temp_view", flag(object.showTemperature()));
  roi.setAttribute("plot_func", number(object.plotFunction()));
  roi.setAttribute("alarm_id", number(alarm.id));
  roi.setAttribute("alarm_result", number(alarm.result));
  roi.setAttribute("alarm_cond", number(alarm.condition));
  roi.setAttribute("alarm_port", number(alarm.output));
  roi.setAttribute("alarm_val", number(alarm.value));
  roi.setAttribute("alarm_sel", flag(alarm.selected != 0));
  roi.setAttribute("gen_cond", number(object.generation().condition));
  roi.setAttribute("gen_cnt", number(object.generation().count));
  roi.setAttribute("gen_alarm", flag(object.generationAlarm()));
  roi.setAttribute("local_emi_status", flag(object.localEnvironmentOn()));
  const EnvParams& env = object.localEnvironment();
  roi.setAttribute("emissivity", number(env.emissivity));
  roi.setAttribute("atmTrans", number(env.transmission));
  roi.setAttribute("atmTemp", number(env.atmosphericTemp));
}

// Attribute reading with defaults; a value that is present but unreadable is reported.
class AttributeReader {
 public:
  AttributeReader(const QDomElement& element, int index, const OutputSink& output)
      : element_(element), index_(index), output_(output) {}

  std::optional<int64_t> integer(const char* name) const {
    if (!element_.hasAttribute(name)) return std::nullopt;
    bool ok = false;
    const qlonglong value = element_.attribute(name).trimmed().toLongLong(&ok);
    if (!ok) {
      report(name);
      return std::nullopt;
    }
    return value;
  }
  int32_t int32(const char* name, int32_t fallback) const {
    const auto value = integer(name);
    if (!value) return fallback;
    if (*value < std::numeric_limits<int32_t>::min() ||
        *value > std::numeric_limits<int32_t>::max()) {
      report(name);
      return fallback;
    }
    return static_cast<int32_t>(*value);
  }
  bool boolean(const char* name, bool fallback) const {
    const auto value = integer(name);
    return value ? *value != 0 : fallback;
  }
  float real(const char* name, float fallback) const {
    if (!element_.hasAttribute(name)) return fallback;
    bool ok = false;
    const double value = element_.attribute(name).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
      report(name);
      return fallback;
    }
    return static_cast<float>(value);
  }
  uint32_t colour(const char* name, uint32_t fallback) const {
    const auto value = integer(name);
    if (!value) return fallback;
    if (*value < 0 || *value > 0xFFFFFF) {
      report(name);
      return fallback;
    }
    return static_cast<uint32_t>(*value);
  }
  void note(const QString& text) const {
    if (output_) output_(QString::asprintf("ROI %d: ", index_) + text);
  }

 private:
  void report(const char* name) const {
    note(QString::asprintf("attribute \"%s\" is not a valid number (\"", name) +
         element_.attribute(name).left(40) + QStringLiteral("\"); the default is used"));
  }

  const QDomElement& element_;
  int index_;
  const OutputSink& output_;
};

// Coordinates as read, pulled into the range the geometry accepts.
int32_t coordinate(const AttributeReader& in, const char* name) { return in.int32(name, 0); }

bool readGeometry(CObjectROI& object, const AttributeReader& in, const ImageBounds& bounds) {
  switch (object.kind()) {
    case RoiKind::Spot:
      static_cast<CSpotROI&>(object).setPosition(coordinate(in, "spot_x"),
                                                 coordinate(in, "spot_y"));
      break;
    case RoiKind::Rect:
    case RoiKind::Circle: {
      const BoxGeometry box{coordinate(in, "left"), coordinate(in, "top"), coordinate(in, "right"),
                            coordinate(in, "bottom")};
      if (object.kind() == RoiKind::Rect)
        static_cast<CRectROI&>(object).setBox(box);
      else
        static_cast<CCircleROI&>(object).setBox(box);
      break;
    }
    case RoiKind::Line: {
      // Ends are pulled inside before the line is sampled: a far-away end must not make the
      // sample array huge.
      auto inside = [&](int32_t x, int32_t y) {
        return PixelPoint{roi_geometry::clampInt(x, 0, bounds.width - 1),
                          roi_geometry::clampInt(y, 0, bounds.height - 1)};
      };
      const PixelPoint s{coordinate(in, "line_start_x"), coordinate(in, "line_start_y")};
      const PixelPoint e{coordinate(in, "line_end_x"), coordinate(in, "line_end_y")};
      const PixelPoint cs = inside(s.x, s.y), ce = inside(e.x, e.y);
      static_cast<CLineROI&>(object).setEnds(cs, ce);
      if (!(cs == s) || !(ce == e)) {
        in.note(QString::asprintf("geometry was pulled inside the %d x %d image", bounds.width,
                                  bounds.height));
      }
      return true;
    }
    case RoiKind::Polygon: {
      const auto count = in.integer("poly_cnt");
      if (!count) {
        in.note(QStringLiteral("polygon without a vertex count; skipped"));
        return false;
      }
      if (*count < CPolygonROI::kMinVertices || *count > CPolygonROI::kMaxVertices) {
        in.note(QString::asprintf("polygon vertex count %lld is not between %d and %d; skipped",
                                  static_cast<long long>(*count), CPolygonROI::kMinVertices,
                                  CPolygonROI::kMaxVertices));
        return false;
      }
      std::vector<PixelPoint> vertices;
      vertices.reserve(static_cast<size_t>(*count));
      for (int64_t i = 0; i < *count; ++i) {
        const QByteArray xName =
            QString::asprintf("poly_%lld_x", static_cast<long long>(i)).toLatin1();
        const QByteArray yName =
            QString::asprintf("poly_%lld_y", static_cast<long long>(i)).toLatin1();
        const auto x = in.integer(xName.constData()), y = in.integer(yName.constData());
        if (!x || !y) {
          in.note(QString::asprintf("polygon vertex %lld of %lld is missing; skipped",
                                    static_cast<long long>(i), static_cast<long long>(*count)));
          return false;
        }
        vertices.push_back({static_cast<int32_t>(std::clamp<int64_t>(*x, INT32_MIN, INT32_MAX)),
                            static_cast<int32_t>(std::clamp<int64_t>(*y, INT32_MIN, INT32_MAX))});
      }
      const QByteArray extra =
          QString::asprintf("poly_%lld_x", static_cast<long long>(*count)).toLatin1();
      if (in.integer(extra.constData())) {
        in.note(QString::asprintf("polygon has more vertices than its count %lld; skipped",
                                  static_cast<long long>(*count)));
        return false;
      }
      static_cast<CPolygonROI&>(object).setVertices(std::move(vertices));
      break;
    }
  }
  if (object.clampTo(bounds))
    in.note(QString::asprintf("geometry was pulled inside the %d x %d image", bounds.width,
                              bounds.height));
  return true;
}

void readCommon(CObjectROI& object, const QDomElement& element, const AttributeReader& in) {
  for (int i = 0; i < kRoiColourCount; ++i) {
    const RoiColour which = kColourOfAttribute[i];
    object.setColour(which, in.colour(kColourAttributes[i], object.colour(which)));
  }
  if (element.hasAttribute("name")) object.setName(element.attribute("name"));
  object.setShowLabel(in.boolean("label_view", object.showLabel()));
  object.setShowHot(in.boolean("hot_view", object.showHot()));
  object.setShowCold(in.boolean("cold_view", object.showCold()));
  object.setShowTemperature(in.boolean("temp_view", object.showTemperature()));
  object.setPlotFunction(in.int32("plot_func", object.plotFunction()));
  // The saved alarm id named an object of another run: the record takes this object's id.
  AlarmRecord alarm = object.alarm();
  alarm.result = in.int32("alarm_result", alarm.result);
  alarm.condition = in.int32("alarm_cond", alarm.condition);
  alarm.output = in.int32("alarm_port", alarm.output);
  alarm.value = in.real("alarm_val", alarm.value);
  alarm.selected = in.boolean("alarm_sel", alarm.selected != 0) ? 1 : 0;
  object.setAlarm(alarm);
  GenerationRecord generation = object.generation();
  generation.condition = in.int32("gen_cond", generation.condition);
  generation.count = in.int32("gen_cnt", generation.count);
  object.setGeneration(generation);
  object.setGenerationAlarm(in.boolean("gen_alarm", object.generationAlarm()));
  object.setLocalEnvironmentOn(in.boolean("local_emi_status", object.localEnvironmentOn()));
  EnvParams env = object.localEnvironment();
  env.emissivity = in.real("emissivity", env.emissivity);
  env.atmosphericTemp = in.real("atmTemp", env.atmosphericTemp);
  env.transmission = in.real("atmTrans", env.transmission);
  object.setLocalEnvironment(env);
}

QDomElement child(const QDomElement& parent, const char* name) {
  return parent.isNull() ? QDomElement() : parent.firstChildElement(name);
}

int32_t resolutionValue(const QDomElement& resolution, const char* name) {
  bool ok = false;
  const int value = resolution.attribute(name).trimmed().toInt(&ok);
  return ok ? value : 0;
}

std::filesystem::path executableDir() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : exe.parent_path();
}

}  // namespace

QByteArray serializeObjects(const CManagerROI& manager, int width, int height) {
  QDomDocument document;
  document.setContent(QStringLiteral("<Parent></Parent>"));
  QDomElement root = document.documentElement();
  document.insertBefore(
      document.createProcessingInstruction("xml", " version='1.0' encoding='UTF-8'"), root);
  QDomElement camera = document.createElement("Camera");
  QDomElement resolution = document.createElement("Resolution");
  resolution.setAttribute("xSize", number(int32_t{width}));
  resolution.setAttribute("ySize", number(int32_t{height}));
  camera.appendChild(resolution);
  root.appendChild(camera);
  QDomElement rois = document.createElement("ROIs");
  manager.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& objects) {
    rois.setAttribute("Depth", number(static_cast<int32_t>(objects.size())));
    for (const auto& object : objects) {
      QDomElement roi = document.createElement("ROI");
      writeGeometry(roi, *object);
      writeCommon(roi, *object);
      rois.appendChild(roi);
    }
  });
  root.appendChild(rois);
  return documentText(document);
}

ObjectFileOutcome parseObjects(const QByteArray& bytes, CManagerROI& manager, int width, int height,
                               const OutputSink& output) {
  ObjectFileOutcome outcome;
  QDomDocument document;
  QString reason;
  int line = 0, column = 0;
  if (!document.setContent(bytes, &reason, &line, &column)) {
    const QList<QByteArray> lines = bytes.split('\n');
    const QByteArray source = line >= 1 && line <= lines.size() ? lines[line - 1] : QByteArray();
    if (output) {
      output(QStringLiteral("\nReason: ") + reason + QStringLiteral("\nSource: ") +
             QString::fromUtf8(source.left(200)).trimmed() + QStringLiteral("\nLine: ") +
             QString::number(line));
    }
    outcome.status = ObjectFileOutcome::Status::CannotOpen;
    outcome.message = kCannotOpenText;
    outcome.title = kCannotOpenTitle;
    return outcome;
  }
  const QDomElement root = document.documentElement();
  const QDomElement resolution =
      root.tagName() == "Parent" ? child(child(root, "Camera"), "Resolution") : QDomElement();
  const int savedWidth = resolutionValue(resolution, "xSize");
  const int savedHeight = resolutionValue(resolution, "ySize");
  if (savedWidth != width || savedHeight != height) {
    outcome.status = ObjectFileOutcome::Status::ResolutionMismatch;
    outcome.message = resolutionMismatchText(savedWidth, savedHeight, width, height);
    outcome.title = QStringLiteral("Warning");
    return outcome;
  }

  // The new list is made apart and put in place at once: the render thread keeps measuring
  // the old objects meanwhile.
  std::vector<std::unique_ptr<CObjectROI>> fresh;
  int32_t spots = 0, areas = 0;
  const int32_t spotLimit = manager.spotLimit(), areaLimit = manager.areaLimit();
  const ImageBounds bounds{width, height};
  int index = 0;
  for (QDomElement roi = child(child(root, "ROIs"), "ROI"); !roi.isNull();
       roi = roi.nextSiblingElement("ROI"), ++index) {
    const AttributeReader in(roi, index, output);
    const auto kind = roiKindFromCode(in.int32("type", 0));
    if (!kind) {
      in.note(QStringLiteral("unknown type \"") + roi.attribute("type").left(20) +
              QStringLiteral("\"; skipped"));
      continue;
    }
    const bool spot = *kind == RoiKind::Spot;
    if (spot ? spots >= spotLimit : areas >= areaLimit) {
      in.note(spot ? QString::asprintf("no more than %d spots; skipped", spotLimit)
                   : QString::asprintf("no more than %d areas; skipped", areaLimit));
      continue;
    }
    std::unique_ptr<CObjectROI> object = manager.makeObject(*kind);
    if (!readGeometry(*object, in, bounds)) continue;
    readCommon(*object, roi, in);
    ++(spot ? spots : areas);
    fresh.push_back(std::move(object));
  }
  outcome.loaded = static_cast<int>(fresh.size()) - manager.replaceAll(std::move(fresh));
  return outcome;
}

QByteArray transformWithStyleSheet(const QByteArray& document,
                                   const std::filesystem::path& styleSheet, QString* error) {
  auto fail = [&](const char* why) {
    if (error) *error = QString::fromUtf8(why);
    return QByteArray();
  };
  using Sheet = std::unique_ptr<xsltStylesheet, decltype(&xsltFreeStylesheet)>;
  using Doc = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;
  Sheet sheet(xsltParseStylesheetFile(reinterpret_cast<const xmlChar*>(styleSheet.c_str())),
              &xsltFreeStylesheet);
  if (!sheet) return fail("the stylesheet could not be read");
  Doc input(xmlReadMemory(document.constData(), static_cast<int>(document.size()), "objects.xml",
                          "UTF-8", XML_PARSE_NONET),
            &xmlFreeDoc);
  if (!input) return fail("the document could not be read for the stylesheet");
  Doc result(xsltApplyStylesheet(sheet.get(), input.get(), nullptr), &xmlFreeDoc);
  if (!result) return fail("the stylesheet could not be applied");
  xmlChar* text = nullptr;
  int length = 0;
  // The output is UTF-8 whatever the stylesheet says.
  if (xsltSaveResultToString(&text, &length, result.get(), sheet.get()) != 0 || !text)
    return fail("the transformed document could not be written");
  QByteArray out(reinterpret_cast<const char*>(text), length);
  xmlFree(text);
  return out;
}

ObjectFileOutcome saveObjects(const std::filesystem::path& path, const CManagerROI& manager,
                              int width, int height, const OutputSink& output,
                              std::filesystem::path styleSheetDir) {
  ObjectFileOutcome outcome;
  QByteArray text = serializeObjects(manager, width, height);
  if (styleSheetDir.empty()) styleSheetDir = executableDir();
  const auto styleSheet = styleSheetDir / "StyleSheet.xsl";
  std::error_code ignored;
  if (!styleSheetDir.empty() && std::filesystem::exists(styleSheet, ignored)) {
    QString why;
    QByteArray formatted = transformWithStyleSheet(text, styleSheet, &why);
    if (formatted.isEmpty()) {
      if (output)
        output(QStringLiteral("StyleSheet.xsl: ") + why + QStringLiteral("; saved unformatted"));
    } else {
      text = std::move(formatted);
    }
  }
  QFile file(QString::fromStdString(path.string()));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size() ||
      !file.flush()) {
    if (output) output(QStringLiteral("Saving objects: ") + file.errorString());
    outcome.status = ObjectFileOutcome::Status::CannotSave;
    outcome.message = kCannotSaveText;
    outcome.title = kCannotOpenTitle;
    return outcome;
  }
  outcome.message = kObjectsSavedText;
  outcome.title = QStringLiteral("Information");
  return outcome;
}

ObjectFileOutcome loadObjects(const std::filesystem::path& path, CManagerROI& manager, int width,
                              int height, const OutputSink& output) {
  QFile file(QString::fromStdString(path.string()));
  if (!file.open(QIODevice::ReadOnly)) {
    if (output)
      output(QStringLiteral("\nReason: ") + file.errorString() +
             QStringLiteral("\nSource: \nLine: 0"));
    ObjectFileOutcome outcome;
    outcome.status = ObjectFileOutcome::Status::CannotOpen;
    outcome.message = kCannotOpenText;
    outcome.title = kCannotOpenTitle;
    return outcome;
  }
  return parseObjects(file.readAll(), manager, width, height, output);
}

}  // namespace solvane
