// The tour's typed-tree section: a tree built in code, addressed by paths, written to a file
// through the memory-mapped writer, read back and compared by digest; a compressed copy and its
// base64 text; a damaged copy refused.
#include "Commands.h"
#include "TreeSample.h"

#include <zor/core.h>

#include <QDir>
#include <QTemporaryDir>

namespace zorapp {

using namespace zor;

void tourTree() {
    logInfo("==== typed trees");
    XTree tree = sampleTree();
    logInfo("Tour::tree, $ entries, /view/camera/name = '$', /lights/1/intensity = $", tree.getMap().size(),
            *tree.pointerFromPath<QString>("/view/camera/name"), *tree.pointerFromPath<double>("/lights/1/intensity"));
    const XLink* link = tree.getPointer<XLink>("activeCamera");
    logInfo("Tour::tree, the link 'activeCamera' points at '$'", link != nullptr ? link->url() : QString());
    tree.show();

    QTemporaryDir dir;
    const QString file = QDir(dir.path()).filePath(QStringLiteral("sample.xtree"));
    const bool saved = tree.saveAsFile(file);
    XTree back = XTree::load(file);
    logInfo("Tour::tree, saved $ bytes: $, MD5 written $, MD5 read back $, equal: $", tree.calc_mem_size(), saved,
            tree.calc_MD5Sum(), back.calc_MD5Sum(), tree.calc_MD5Sum() == back.calc_MD5Sum());
    const XLink* backLink = back.getPointer<XLink>("activeCamera");
    logInfo("Tour::tree, the link read back resolves to the copy's camera: $",
            backLink != nullptr && backLink->object() == back.pointerFromPath("/view/camera"));

    const XByteArray block = tree.write_to_compressed_bytes();
    const QString text = tree.create_string_base64();
    logInfo("Tour::tree, compressed: $ bytes, base64 text: $ characters, read back equal: $", block.size(), text.size(),
            XTree::create_tree_from_base64(text).calc_MD5Sum() == tree.calc_MD5Sum());
    QByteArray damaged = block;
    damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x01);
    XTree refused;
    logInfo("Tour::tree, one bit flipped in the compressed block:");
    logInfo("Tour::tree, read the damaged block: $, entries $", refused.read_from_compressed_bytes(damaged),
            refused.getMap().size());
}

}  // namespace zorapp
