#include <zor/XDataStream.h>

#include <zor/XTree.h>

#include "DataStreamParts.h"

#include <new>

namespace zor {

using namespace stream_detail;

// ---- reading values and trees
//
// Reading goes on after a value that cannot be read: its entry keeps what there was of it (see
// readRecord), the "type problems" line is logged and the next entry is read. It stops where the
// data itself fails (it ends, a length does not fit, the nesting is too deep); what was read up to
// there stays. Counts larger than the bytes left are cut to what the bytes can hold.

bool XDataStream::beginReadTree(XTree& tree, Stack& stack) {
    if (!depthAllows(stack.size(), true)) return false;
    qint32 n = 0;
    *this >> n;
    if (!checkReadStatus()) return false;
    if (n < 0) {
        fail(xformat("XDataStream::read, negative entry count $", n));
        return false;
    }
    WalkFrame f;
    f.rtree = &tree;
    f.left = static_cast<std::int64_t>(elementsThatFit(static_cast<std::uint64_t>(n), kMinEntryBytes, "entries"));
    f.cut = f.left < n;
    stack.push_back(f);
    return true;
}

// The category a record of this type must carry, when the type is known here: the tree code takes
// a value for what its category says.
bool XDataStream::expectedCategory(const QString& type, XCategory& category) const {
    if (type == XTypeSet::str_XTree || m_supporter->isTreeType(type))
        category = XCategory::TREE;
    else if (type == XTypeSet::str_XTreeArray)
        category = XCategory::ARRAY;
    else if (XTypeSet::isTypeLink(type))
        category = XCategory::LINK;
    else if (XTypeSupporter::valueReaders().contains(type))
        category = XCategory::SIMPLE;
    else
        return false;
    return true;
}

// One value record into fresh. True when the value was read whole (for a tree or an array of
// trees: when its frame is set up; the contents follow, and a value among them that is not read
// whole is the one reported). False when it was not: fresh then holds
// what there was of it - nothing for a type that cannot be read, a category that does not fit
// the type or a value cut short, the elements that were there for an array, the tree as far as
// it came - and type names the type for the "type problems" line.
bool XDataStream::readRecord(XVal& fresh, QString& type, Stack& stack) {
    const std::uint64_t before = m_damage;
    quint8 category = 0;
    *this >> category;
    const XTypeSupporter::ValueReader* simpleReader = nullptr;
    XCategory expected = XCategory::SIMPLE;
    bool own = false;
    std::uint8_t simple = 0;
    type = readTypeName(&simpleReader, &expected, &own, &simple);
    if (!checkReadStatus()) return false;
    const auto cat = static_cast<XCategory>(category);
    if ((own || expectedCategory(type, expected)) && cat != expected) {
        // Read as an unknown type: nothing of it is taken.
        noteDamage(
            xformat("XDataStream::readVal, category $ does not fit type <$>", XVal::categoryToString(category), type));
        return false;
    }
    if (own && expected == XCategory::TREE) {  // "XTree"
        auto* t = new (std::nothrow) XTree();
        if (t == nullptr) {
            fail(QStringLiteral("XDataStream::readVal, no memory for a tree"));
            return false;
        }
        fresh.own(t, XTypeSet::str_XTree, XCategory::TREE);
        if (!beginReadTree(*t, stack)) {
            fresh = XVal();
            return false;
        }
        return true;  // a count cut to the bytes left is noted; where the data ends is reported
    }
    if (own && expected == XCategory::ARRAY) {  // "XTreeArray"
        const QString elementType = readQtString();
        const std::uint64_t count = readCount();
        if (!checkReadStatus()) return false;
        if (elementType == XTypeSet::str_XLink) ++m_linksRead;
        if (elementType == XTypeSet::str_XTree) {
            if (!depthAllows(stack.size(), true)) return false;
            const std::uint64_t n = elementsThatFit(count, kMinTreeBytes, "trees");
            auto* a = new XTreeArray();
            fresh.own(a, XTypeSet::str_XTreeArray, XCategory::ARRAY);
            if (!a->allocate<XTree>(n)) {
                fail(xformat("XDataStream::readVal, no memory for $ trees", n));
                fresh = XVal();
                return false;
            }
            WalkFrame f;
            f.rarray = a;
            f.elements = a->trees();
            f.count = n;
            f.cut = n < count;
            stack.push_back(f);
            return true;
        }
        m_depth += static_cast<unsigned int>(stack.size());
        const bool known = m_supporter->readArray(*this, elementType, count, fresh);
        m_depth -= static_cast<unsigned int>(stack.size());
        if (!known) {
            type = elementType;
            fresh = XVal();
            return false;
        }
        fresh.setCategory(cat);
        if (m_damage == before && checkReadStatus()) return true;
        stopReading();  // the array was cut: what follows is inside it
        return false;   // with the elements that were there
    }
    if (simpleReader != nullptr && m_standardSupporter) {
        // The standard supporter's simple values: decoded in place, or through the table's entry
        // when their bytes are not all at hand.
        if (simple != 0 && readSimple(fresh, simple)) {
            fresh.setCategory(cat);
            return true;
        }
        (*simpleReader)(*this, fresh);
        if (!checkReadStatus()) {
            fresh = XVal();
            return false;
        }
        fresh.setCategory(cat);
        return true;
    }
    if (type == XTypeSet::str_XLink) ++m_linksRead;
    m_depth += static_cast<unsigned int>(stack.size());
    const bool known = m_supporter->readVal(*this, type, fresh);
    m_depth -= static_cast<unsigned int>(stack.size());
    if (!known) {
        fresh = XVal();
        return false;
    }
    fresh.setCategory(cat);
    if (m_damage == before && checkReadStatus()) return true;
    // Cut short: a tree or an array keeps what it got, a simple value or a link is not kept.
    stopReading();
    if (fresh.tree() == nullptr && fresh.array() == nullptr) fresh = XVal();
    return false;
}

bool XDataStream::runRead(Stack& stack) {
    // A frame whose count was cut ends the reading: the bytes after it belong to it.
    auto done = [this, &stack]() {
        if (stack.back().cut) stopReading();
        stack.pop_back();
    };
    while (!stack.empty() && !hasFailed()) {
        WalkFrame& f = stack.back();
        if (f.rtree != nullptr) {
            if (f.left == 0) {
                done();
                continue;
            }
            --f.left;
            XTree* target = f.rtree;
            QString key = readKey();
            if (hasFailed()) break;
            // Read in place. A repeated key replaces the earlier value; no frame refers to it any more.
            XVal& slot = target->slotFor(std::move(key));
            if (slot.m_store != XVal::Store::NONE || !slot.m_type.isNull() || slot.m_category != XCategory::SIMPLE)
                slot = XVal();
            QString type;
            const bool whole = readRecord(slot, type, stack);  // may have pushed: f is stale now
            if (XObject* o = slot.object()) o->setParentUnchecked(target);
            if (!whole) valueFailed(type);
        } else {
            if (f.index >= f.count) {
                done();
                continue;
            }
            XTree* t = f.elements + f.index++;
            // A failure stops the stream; a tree whose count could not be read is not kept.
            if (!beginReadTree(*t, stack)) --f.index;
        }
    }
    // Stopped inside arrays of trees: each keeps the trees that were begun, innermost first.
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (it->rarray != nullptr && it->index < it->count) it->rarray->shrink<XTree>(it->index);
    }
    return stack.empty() && !hasFailed();
}

bool XDataStream::readTreeBody(XTree& tree) {
    if (hasFailed()) return false;
    const std::uint64_t before = m_damage;
    Stack stack;
    if (beginReadTree(tree, stack)) runRead(stack);
    if (m_depth == 0) flush();
    return m_damage == before && !hasFailed();
}

bool XDataStream::readVal(XVal& slot) {
    if (hasFailed()) return false;
    const std::uint64_t before = m_damage;
    XVal fresh;
    QString type;
    Stack stack;
    const bool whole = readRecord(fresh, type, stack);
    runRead(stack);
    if (m_depth == 0) flush();
    if (!whole) valueFailed(type);
    if (m_damage != before || hasFailed()) return false;
    slot = std::move(fresh);
    return true;
}

}  // namespace zor
