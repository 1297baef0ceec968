// Editing objects with the mouse: creating, moving and resizing under zoom, mirror and flip,
// always inside the image.
#include "circle_roi.h"
#include "line_roi.h"
#include "object_editor.h"
#include "polygon_roi.h"
#include "rect_roi.h"
#include "spot_roi.h"

#include <QTest>

namespace solvane {

class ObjectEditorTest : public QObject {
  Q_OBJECT

 private:
  static constexpr ImageBounds kImage{160, 120};

  static BoxGeometry onlyBox(CManagerROI& manager) {
    BoxGeometry box;
    manager.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& objects) {
      if (objects.size() == 1 && objects[0]->kind() == RoiKind::Rect)
        box = static_cast<const CRectROI&>(*objects[0]).box();
      if (objects.size() == 1 && objects[0]->kind() == RoiKind::Circle)
        box = static_cast<const CCircleROI&>(*objects[0]).box();
    });
    return box;
  }

 private slots:
  void dragCreatesABoxUnderZoomMirrorAndFlip_data() {
    QTest::addColumn<double>("zoom");
    QTest::addColumn<bool>("mirror");
    QTest::addColumn<bool>("flip");
    QTest::newRow("zoom 1") << 1.0 << false << false;
    QTest::newRow("zoom 2 mirrored") << 2.0 << true << false;
    QTest::newRow("zoom 3 flipped") << 3.0 << false << true;
    QTest::newRow("zoom 1.5 mirrored and flipped") << 1.5 << true << true;
  }

  void dragCreatesABoxUnderZoomMirrorAndFlip() {
    QFETCH(double, zoom);
    QFETCH(bool, mirror);
    QFETCH(bool, flip);
    CManagerROI manager;
    CObjectEditor editor(manager);
    const ViewMapping view{kImage, zoom, zoom, mirror, flip};
    editor.setView(view);
    editor.setTool(EditTool::Rect);
    const ImagePoint from = view.toView(20.2, 30.2), to = view.toView(60.0, 50.0);
    editor.press(from.x, from.y);
    editor.move((from.x + to.x) / 2, (from.y + to.y) / 2);
    editor.release(to.x, to.y);
    const BoxGeometry box = onlyBox(manager);
    QCOMPARE(box.left, 20);
    QCOMPARE(box.top, 30);
    QCOMPARE(box.right, 60);
    QCOMPARE(box.bottom, 50);
    QCOMPARE(manager.selectedId(), editor.activeId());
  }

  void draggingTheBodyMovesTheObjectButNotOutOfTheImage() {
    CManagerROI manager;
    manager.add(std::make_unique<CRectROI>(BoxGeometry{10, 10, 40, 30}));
    CObjectEditor editor(manager);
    editor.setView(ViewMapping{kImage, 2.0, 2.0});
    editor.press(50, 40);  // image (25, 20): inside
    editor.move(70, 50);
    QCOMPARE(onlyBox(manager).left, 20);
    editor.release(2000, 2000);  // far past the picture: held at its edge
    const BoxGeometry box = onlyBox(manager);
    QCOMPARE(box.right, kImage.width);
    QCOMPARE(box.bottom, kImage.height);
    QCOMPARE(box.width(), 30);
    QVERIFY(!editor.tracking());
  }

  void draggingAHandleResizesTheMatchingSides() {
    CManagerROI manager;
    manager.add(std::make_unique<CCircleROI>(BoxGeometry{10, 10, 40, 30}));
    CObjectEditor editor(manager);
    editor.setView(ViewMapping{kImage, 1.0, 1.0});
    editor.press(40, 20);  // the right edge handle
    editor.release(70, 90);
    const BoxGeometry box = onlyBox(manager);
    QCOMPARE(box.right, 70);
    QCOMPARE(box.top, 10);
    QCOMPARE(box.bottom, 30);
  }

  void lockedObjectsCannotBeSelected() {
    CManagerROI manager;
    manager.add(std::make_unique<CRectROI>(BoxGeometry{10, 10, 40, 30}));
    manager.setLocked(true);
    CObjectEditor editor(manager);
    editor.setView(ViewMapping{kImage, 1.0, 1.0});
    editor.press(20, 20);
    editor.release(60, 60);
    QCOMPARE(manager.selectedId(), 0);
    QCOMPARE(onlyBox(manager).left, 10);
  }

  void pressOnNothingDeselects() {
    CManagerROI manager;
    auto rect = std::make_unique<CRectROI>(BoxGeometry{10, 10, 40, 30});
    const int32_t id = rect->id();
    manager.add(std::move(rect));
    manager.select(id);
    CObjectEditor editor(manager);
    editor.setView(ViewMapping{kImage, 1.0, 1.0});
    editor.press(100, 100);
    QCOMPARE(manager.selectedId(), 0);
  }

  void polygonTakesAVertexPerPressUntilFinished() {
    CManagerROI manager;
    CObjectEditor editor(manager);
    editor.setView(ViewMapping{kImage, 1.0, 1.0});
    editor.setTool(EditTool::Polygon);
    editor.press(10, 10);
    editor.move(50, 10);
    editor.press(50, 10);
    editor.move(30, 40);
    editor.press(30, 40);
    editor.finishPolygon();
    std::vector<PixelPoint> vertices;
    manager.withObjects([&](const std::vector<std::unique_ptr<CObjectROI>>& objects) {
      QCOMPARE(objects.size(), size_t{1});
      vertices = static_cast<const CPolygonROI&>(*objects[0]).vertices();
    });
    QCOMPARE(vertices.size(), size_t{3});
    QVERIFY(vertices[2] == (PixelPoint{30, 40}));
  }

  void polygonOfTwoVerticesIsDropped() {
    CManagerROI manager;
    CObjectEditor editor(manager);
    editor.setView(ViewMapping{kImage, 1.0, 1.0});
    editor.setTool(EditTool::Polygon);
    editor.press(10, 10);
    editor.move(50, 10);
    editor.finishPolygon();
    QCOMPARE(manager.size(), 0);
  }

  void creationStopsAtTheLimit() {
    CManagerROI manager;
    manager.setLimits(1, 1);
    CObjectEditor editor(manager);
    editor.setView(ViewMapping{kImage, 1.0, 1.0});
    editor.setTool(EditTool::Spot);
    for (int i = 0; i < 3; ++i) {
      editor.press(10 + i, 10);
      editor.release(10 + i, 10);
    }
    QCOMPARE(manager.spotCount(), 1);
  }

  void releaseTellsWhetherTheDragChangedTheObject_data() {
    QTest::addColumn<QRect>("box");  // left, top, right, bottom as x, y, width, height
    QTest::addColumn<QPointF>("pressAt");
    QTest::addColumn<QPointF>("via");
    QTest::addColumn<QPointF>("releaseAt");
    QTest::addColumn<bool>("changed");
    const QRect middle(10, 10, 40, 30), atRightEdge(120, 10, 160, 30);
    QTest::newRow("click on the body")
        << middle << QPointF(20, 20) << QPointF(20, 20) << QPointF(20, 20) << false;
    QTest::newRow("body dragged and brought back")
        << middle << QPointF(20, 20) << QPointF(27, 23) << QPointF(20, 20) << false;
    QTest::newRow("body moved") << middle << QPointF(20, 20) << QPointF(22, 21) << QPointF(25, 22)
                                << true;
    QTest::newRow("corner handle moved")
        << middle << QPointF(40, 30) << QPointF(45, 32) << QPointF(50, 35) << true;
    QTest::newRow("move held back by the image edge")
        << atRightEdge << QPointF(130, 20) << QPointF(140, 20) << QPointF(150, 20) << false;
  }

  void releaseTellsWhetherTheDragChangedTheObject() {
    QFETCH(QRect, box);
    QFETCH(QPointF, pressAt);
    QFETCH(QPointF, via);
    QFETCH(QPointF, releaseAt);
    QFETCH(bool, changed);
    CManagerROI manager;
    auto rect =
        std::make_unique<CRectROI>(BoxGeometry{box.x(), box.y(), box.width(), box.height()});
    const int32_t id = rect->id();
    manager.add(std::move(rect));
    CObjectEditor editor(manager);
    editor.setView(ViewMapping{kImage, 1.0, 1.0});
    editor.press(pressAt.x(), pressAt.y());
    editor.move(via.x(), via.y());
    QCOMPARE(editor.release(releaseAt.x(), releaseAt.y()), (EditOutcome{id, false, changed}));
  }

  void creationReportsTheNewObjectAsChanged() {
    CManagerROI manager;
    CObjectEditor editor(manager);
    editor.setView(ViewMapping{kImage, 1.0, 1.0});
    editor.setTool(EditTool::Rect);
    editor.press(10, 10);
    const EditOutcome outcome = editor.release(30, 20);
    QVERIFY(outcome.created);
    QVERIFY(outcome.changed);
    QCOMPARE(outcome.id, editor.activeId());
    QCOMPARE(editor.objectAt(15, 15), outcome.id);
    QCOMPARE(editor.objectAt(100, 100), 0);
  }

  void numberingOnCompletionWaitsForTheRelease_data() {
    QTest::addColumn<EditTool>("tool");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<uint>("firstColour");
    QTest::newRow("spot") << EditTool::Spot << QString("Spot 1") << uint{spotColourTable()[0][0]};
    QTest::newRow("rectangle") << EditTool::Rect << QString("Rect 1")
                               << uint{areaColourTable(RoiKind::Rect)[0].normal};
    QTest::newRow("ellipse") << EditTool::Ellipse << QString("Circ 1")
                             << uint{areaColourTable(RoiKind::Circle)[0].normal};
  }

  void numberingOnCompletionWaitsForTheRelease() {
    QFETCH(EditTool, tool);
    QFETCH(QString, firstName);
    QFETCH(uint, firstColour);
    CManagerROI manager;
    CObjectEditor editor(manager);
    editor.setView(ViewMapping{kImage, 1.0, 1.0});
    editor.setNumberingOnCompletion(true);
    editor.setTool(tool);
    editor.press(10, 10);
    QString nameWhileDrawn = "unset";
    manager.withObject(editor.activeId(), [&](CObjectROI& o) { nameWhileDrawn = o.name(); });
    QCOMPARE(nameWhileDrawn, QString());
    editor.release(30, 20);
    QString name;
    uint32_t colour = 0;
    manager.withObject(editor.activeId(), [&](CObjectROI& o) {
      name = o.name();
      colour = o.colour(RoiColour::Normal);
    });
    QCOMPARE(name, firstName);
    QCOMPARE(colour, firstColour);
  }

  void numberingOnCompletionSkipsAPolygonThatIsDropped() {
    CManagerROI manager;
    CObjectEditor editor(manager);
    editor.setView(ViewMapping{kImage, 1.0, 1.0});
    editor.setNumberingOnCompletion(true);
    editor.setTool(EditTool::Polygon);
    editor.press(10, 10);
    editor.finishPolygon();  // one vertex: dropped, no number used
    for (const QPointF& p : {QPointF(10, 10), QPointF(50, 10), QPointF(30, 40)}) {
      editor.move(p.x(), p.y());
      editor.press(p.x(), p.y());
    }
    editor.finishPolygon();
    QString name;
    manager.withObject(editor.activeId(), [&](CObjectROI& o) { name = o.name(); });
    QCOMPARE(name, QString("Poly 1"));
  }
};

}  // namespace solvane

QTEST_GUILESS_MAIN(solvane::ObjectEditorTest)
#include "editor_test.moc"
