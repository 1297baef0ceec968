#include "session_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <QString>

namespace pagana {
namespace {

// Larger files are no session of this program; refusing them keeps memory bounded.
constexpr qint64 kMaxSessionBytes = 64 * 1024 * 1024;

QString q(const std::string& text) { return QString::fromStdString(text); }
std::string s(const QJsonValue& value) { return value.toString().toStdString(); }
QString pathText(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

QJsonObject infoObject(const CMeasureInfo& info) {
  return QJsonObject{
      {"imageName", q(info.imageName)},         {"company", q(info.company)},
      {"customer", q(info.customer)},           {"site", q(info.site)},
      {"thermographer", q(info.thermographer)}, {"description", q(info.description)}};
}

}  // namespace

Session sessionOf(const Checklist& checklist) {
  Session session;
  for (const ChecklistRow& row : checklist.rows()) session.rows.push_back({row.path, row.checked});
  session.infos = checklist.infos().all();
  return session;
}

SessionRead readSession(const std::filesystem::path& file) {
  SessionRead read;
  QFile in(pathText(file));
  if (!in.exists()) {
    read.error = SessionReadError::Missing;
    return read;
  }
  if (in.size() > kMaxSessionBytes || !in.open(QIODevice::ReadOnly)) {
    read.error = SessionReadError::Unreadable;
    return read;
  }
  return parseSession(in.readAll().toStdString());
}

SessionRead parseSession(std::string_view bytes) {
  SessionRead read;
  QJsonParseError parseError;
  const QJsonDocument document = QJsonDocument::fromJson(
      QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), &parseError);
  if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
    read.error = SessionReadError::Unreadable;
    return read;
  }
  const QJsonObject root = document.object();
  for (const QJsonValue value : root.value("rows").toArray()) {
    const QJsonObject row = value.toObject();
    const QString path = row.value("path").toString();
    if (path.isEmpty()) continue;
    read.session.rows.push_back({path.toStdString(), row.value("checked").toBool()});
  }
  for (const QJsonValue value : root.value("measureInfos").toArray()) {
    const QJsonObject info = value.toObject();
    CMeasureInfo entry{s(info.value("imageName")),     s(info.value("company")),
                       s(info.value("customer")),      s(info.value("site")),
                       s(info.value("thermographer")), s(info.value("description"))};
    if (entry.imageName.empty()) continue;
    read.session.infos.push_back(std::move(entry));
  }
  return read;
}

std::string encodeSession(const Session& session) {
  QJsonArray rows;
  for (const SessionRow& row : session.rows) {
    rows.append(QJsonObject{{"path", pathText(row.path)}, {"checked", row.checked}});
  }
  QJsonArray infos;
  for (const CMeasureInfo& info : session.infos) infos.append(infoObject(info));
  const QJsonObject root{{"rows", rows}, {"measureInfos", infos}};
  return QJsonDocument(root).toJson().toStdString();
}

bool writeSession(const std::filesystem::path& file, const Session& session) {
  const QString name = pathText(file);
  QDir().mkpath(QFileInfo(name).absolutePath());
  QSaveFile out(name);
  if (!out.open(QIODevice::WriteOnly)) return false;
  const std::string text = encodeSession(session);
  if (out.write(text.data(), static_cast<qint64>(text.size())) !=
      static_cast<qint64>(text.size())) {
    out.cancelWriting();
    return false;
  }
  return out.commit();
}

std::filesystem::path defaultSessionFile() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  return (std::filesystem::path(folder.toStdString()) / "session.json");
}

void restoreSession(Checklist& checklist, const Session& session) {
  checklist.restoreInfos(session.infos);
  for (const SessionRow& row : session.rows) {
    std::error_code ec;
    if (!std::filesystem::exists(row.path, ec)) continue;
    if (checklist.load(row.path) != LoadOutcome::Added) continue;
    checklist.setChecked(checklist.rows().size() - 1, row.checked);
  }
}

}  // namespace pagana
