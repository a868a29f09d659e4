#pragma once
// A tree with a value of every registered simple type, arrays of several kinds, nested trees, an
// array of trees and links, for the round-trip tests.
#include <zor/Matrix2.h>
#include <zor/Matrix3.h>
#include <zor/Matrix4.h>
#include <zor/Vector2.h>
#include <zor/Vector3.h>
#include <zor/Vector4.h>
#include <zor/XTree.h>

#include "support/CaptureAppender.h"

#include <QString>

namespace zortest {

inline zor::XTree sampleTree() {
    using namespace zor;
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
    t.set("double", -2.25e-300);
    t.setString("QString", QStringLiteral("grüße, \u20ac and a \"quote\""));
    t.set("QPoint", QPoint(-1, 2));
    t.set("QPointF", QPointF(0.5, -0.25));
    t.set("QRect", QRect(1, 2, 30, 40));
    t.set("QRectF", QRectF(0.5, 1.5, 2.5, 3.5));
    t.set("QSize", QSize(640, 480));
    t.set("QSizeF", QSizeF(6.5, 4.5));
    t.set("QMargins", QMargins(1, 2, 3, 4));
    t.set("QMarginsF", QMarginsF(1.5, 2.5, 3.5, 4.5));
    t.set("Vector2", Vector2(1.5f, -2.0f));
    t.set("Vector3", Vector3(1.0f, 2.0f, 3.25f));
    t.set("Vector4", Vector4(0.1f, 0.2f, 0.3f, 0.4f));
    t.set("Matrix2", Matrix2(1, 2, 3, 4));
    t.set("Matrix3", Matrix3(1, 2, 3, 4, 5, 6, 7, 8, 9.5f));
    const float m4[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1};
    t.set("Matrix4", Matrix4(m4));
    t.setArray<Vector3>("a_Vector3", {Vector3(1, 2, 3), Vector3(-1, -2, -3)});
    t.setArray<qint16>("a_int16", {1, 2, 3});
    t.setArray<double>("a_double", {0.5, -1e10});
    t.setArray<bool>("a_bool", {true, false, true});
    t.setArray<QString>("a_QString", {QStringLiteral("one"), QString(), QStringLiteral("drei")});
    t.setArray<QRect>("a_QRect", {QRect(0, 0, 1, 1), QRect(5, 5, 10, 10)});
    t.set_XByteArray("bytes", XByteArray(QByteArray("\x00\x01\xfe\xff", 4)));
    XTree view;
    view.set("zoom", 2.0);
    XTree camera;
    camera.setString("name", QStringLiteral("main"));
    view.set("camera", std::move(camera));
    t.set("view", std::move(view));
    XTreeArray* items = t.setTreeArray("items", 3);
    for (quint64 i = 0; i < 3; ++i) items->treeAt(i)->set("index", static_cast<qint32>(i));
    t.setLink("toCamera", t.pointerFromPath("/view/camera"));
    t.setLink("toItem", t.pointerFromPath("/items/1"));
    return t;
}

}  // namespace zortest
