// Queries by path: "type", "type@name" and ".." steps separated by '/', absolute with a leading '/'.
#include <zor/Logger.h>
#include <zor/XNode.h>
#include <zor/XTokenizer.h>

#include <QStringRef>

namespace zor {

namespace {

// One step down: the first child of that type (and that name when the token has one); null, with
// a debug line for a token that is no "type@name", when nothing matches.
const XNode* stepDown(const XNode* from, const QStringRef& tok) {
    const int at = tok.indexOf(QLatin1Char('@'));
    if (at < 0) {
        for (const XNode* c : from->children())
            if (c->getType() == tok) return c;
        return nullptr;
    }
    if (at == 0 || at == tok.size() - 1 || tok.indexOf(QLatin1Char('@'), at + 1) >= 0) {
        logDebug("query_by_oneToken - wrong token '$'", tok.toString());
        return nullptr;
    }
    const QStringRef type = tok.left(at);
    const QString name = tok.mid(at + 1).toString();
    for (const XNode* c : from->children())
        if (c->getType() == type && c->isName(name)) return c;
    return nullptr;
}

}  // namespace

XNode* XNode::query(const QString& q) { return const_cast<XNode*>(static_cast<const XNode*>(this)->query(q)); }

const XNode* XNode::query(const QString& q) const {
    const XTokenizer toks(q, QStringLiteral("/"), false, false);
    const bool absolute = !q.isEmpty() && q.at(0) == QLatin1Char('/');
    if (toks.size() == 0) return absolute ? root() : this;
    const XNode* cur = this;
    unsigned int i = 0;
    if (absolute) {
        // The first item names the root; it is not compared (a tree read under another root
        // element type still answers the same query).
        if (toks.size() == 1 && isTypeName(toks.stringAt(0))) return this;
        cur = root();
        i = 1;
    }
    for (; i < toks.size() && cur != nullptr; ++i) {
        const QStringRef& tok = toks.tokenAt(i);
        if (tok == QLatin1String(".."))
            cur = cur->parent();
        else
            cur = stepDown(cur, tok);
    }
    return cur;
}

QString XNode::getQuery() const {
    QStringList items;
    for (const XNode* n = this; n != nullptr; n = n->parent())
        items.prepend(n->hasName() ? n->getType() + QLatin1Char('@') + n->getName() : n->getType());
    return QLatin1Char('/') + items.join(QLatin1Char('/'));
}

}  // namespace zor
