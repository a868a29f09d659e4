#include "TreeSample.h"

#include <zor/core.h>

namespace zorapp {

using namespace zor;

XTree sampleTree() {
    XTree t;
    t.set("bool", true);
    t.set("int8", 'z');
    t.set("uint8", static_cast<quint8>(250));
    t.set("int16", static_cast<qint16>(-30000));
    t.set("uint16", static_cast<quint16>(60000));
    t.set("int32", static_cast<qint32>(-2000000000));
    t.set("uint32", static_cast<quint32>(4000000000u));
    t.set("int64", static_cast<qint64>(-9000000000000000000LL));
    t.set("uint64", static_cast<quint64>(18000000000000000000ULL));
    t.set("float", 1.5f);
    t.set("double", 3.141592653589793);
    t.set("Vector2", Vector2(1.5f, -2.0f));
    t.set("Vector3", Vector3(1.0f, 2.0f, 3.0f));
    t.set("Vector4", Vector4(0.0f, 0.0f, 1.0f, 1.0f));
    t.set("Matrix2", Matrix2(1, 2, 3, 4));
    t.set("Matrix3", Matrix3());
    t.set("Matrix4", Matrix4());
    t.set("QPoint", QPoint(-1, 2));
    t.set("QPointF", QPointF(0.5, -0.25));
    t.set("QRect", QRect(0, 0, 1920, 1080));
    t.set("QRectF", QRectF(0.5, 1.5, 2.5, 3.5));
    t.set("QSize", QSize(640, 480));
    t.set("QSizeF", QSizeF(6.5, 4.5));
    t.set("QMargins", QMargins(1, 2, 3, 4));
    t.set("QMarginsF", QMarginsF(1.5, 2.5, 3.5, 4.5));
    t.setString("QString", QStringLiteral("grüße aus zor"));
    t.setArray<qint32>("frames", {0, 40, 80, 120});
    t.setArray<QString>("names", {QStringLiteral("left"), QStringLiteral("right")});
    XTree camera;
    camera.setString("name", QStringLiteral("main"));
    camera.set("position", Vector3(0, 1.5f, -10));
    XTree view;
    view.set("zoom", 2.0);
    view.set("camera", std::move(camera));
    t.set("view", std::move(view));
    XTreeArray* lights = t.setTreeArray("lights", 2);
    for (quint64 i = 0; lights != nullptr && i < lights->size(); ++i) {
        lights->treeAt(i)->set("intensity", 0.5 + 0.25 * static_cast<double>(i));
        lights->treeAt(i)->set("color", Vector3(1, 1, static_cast<float>(i)));
    }
    t.setLink("activeCamera", t.pointerFromPath("/view/camera"));
    return t;
}

}  // namespace zorapp
