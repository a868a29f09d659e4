#pragma once
// The round-trip tests' tree: the zor program's sample tree (a value of every registered simple
// type, nested trees, an array of trees, a link) with edge values in place of some plain ones,
// arrays of more element types, raw bytes and links to a tree and to an array element.
#include <zor/Matrix2.h>
#include <zor/Matrix3.h>
#include <zor/Matrix4.h>
#include <zor/Vector2.h>
#include <zor/Vector3.h>
#include <zor/Vector4.h>
#include <zor/XTree.h>
#include <zor/XTreeArray.h>

#include "TreeSample.h"
#include "support/CaptureAppender.h"

#include <QString>

namespace zortest {

inline zor::XTree sampleTree() {
    using namespace zor;
    XTree t = zorapp::sampleTree();
    t.set("double", -2.25e-300);
    t.setString("QString", QStringLiteral("grüße, \u20ac and a \"quote\""));
    t.set("QRect", QRect(1, 2, 30, 40));
    t.set("Vector3", Vector3(1.0f, 2.0f, 3.25f));
    t.set("Vector4", Vector4(0.1f, 0.2f, 0.3f, 0.4f));
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
    XTreeArray* items = t.setTreeArray("items", 3);
    for (quint64 i = 0; i < 3; ++i) items->treeAt(i)->set("index", static_cast<qint32>(i));
    t.setLink("toCamera", t.pointerFromPath("/view/camera"));
    t.setLink("toItem", t.pointerFromPath("/items/1"));
    return t;
}

}  // namespace zortest
