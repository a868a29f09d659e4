#include <zor/XTree.h>

#include <zor/XStringStream.h>

#include <vector>

namespace zor {

// ---- printing

namespace {

QString typeText(const XTree& t) {
    const QString type = t.getTypeAsString();
    return type == XTree::str_XTree ? type : type + QStringLiteral("(XTree)");
}

QString valueEntries(const XTree& t, const XTypeSupporter& ts) {
    QString s;
    for (const auto& kv : t.getMap()) {
        const XCategory c = kv.second.getCategory();
        if (c == XCategory::TREE || c == XCategory::ARRAY || c == XCategory::LINK) continue;
        if (!s.isEmpty()) s += QStringLiteral(", ");
        s += QLatin1Char('{') + kv.first + QLatin1Char(':') + kv.second.toStringExtended(ts) + QLatin1Char('}');
    }
    return s;
}

QString indexText(std::int64_t index) { return QString::asprintf("[%03lld] ", static_cast<long long>(index)); }

// One printing task: a tree line with everything below it, or the lines of one array or link.
struct PrintTask {
    const XTree* tree = nullptr;
    const XTreeArray* array = nullptr;
    const XLink* link = nullptr;
    unsigned int indent = 0;
    QString name;
    bool arrow = false;
    std::int64_t index = -1;
};

// Prints without recursion: each tree pushes its children (sub-trees, then arrays, then links,
// each in key order) onto a stack in reverse, so they come out in order below their parent.
void printTasks(XStringStream& ss, const XTypeSupporter& ts, std::vector<PrintTask> stack) {
    while (!stack.empty()) {
        const PrintTask task = std::move(stack.back());
        stack.pop_back();
        const unsigned int in = task.indent;
        if (task.tree != nullptr) {
            QString line = QString(static_cast<int>(in), QLatin1Char(' '));
            if (!task.name.isEmpty()) line += task.name + QLatin1Char(' ');
            if (task.index >= 0) line += indexText(task.index);
            line += task.arrow ? QStringLiteral("->") : QStringLiteral("+");
            line += QLatin1Char(' ') + typeText(*task.tree);
            const QString values = valueEntries(*task.tree, ts);
            if (!values.isEmpty()) line += QStringLiteral(", ") + values;
            ss << line << '\n';
            const XTree_View view = task.tree->treeView();
            std::vector<PrintTask> children;
            for (const auto& e : view.trees)
                children.push_back({e.second->tree(), nullptr, nullptr, in + 2, *e.first, false, -1});
            for (const auto& e : view.arrays)
                children.push_back({nullptr, e.second->array(), nullptr, in + 2, *e.first, false, -1});
            for (const auto& e : view.links)
                children.push_back({nullptr, nullptr, e.second->link(), in + 2, *e.first, false, -1});
            for (auto it = children.rbegin(); it != children.rend(); ++it) {
                if (it->tree != nullptr || it->array != nullptr || it->link != nullptr) stack.push_back(std::move(*it));
            }
        } else if (task.array != nullptr) {
            const XTreeArray& a = *task.array;
            if (a.isCategoryTree()) {
                ss << QString(static_cast<int>(in), QLatin1Char(' '))
                   << xformat("$: array of $ [$]", task.name, a.type(), a.size()) << '\n';
                const XTree* trees = a.trees();
                for (std::uint64_t i = a.size(); i > 0 && trees != nullptr; --i)
                    stack.push_back({trees + i - 1, nullptr, nullptr, in + 2, QString(), true, static_cast<std::int64_t>(i - 1)});
            } else if (a.isCategoryLink()) {
                ss << QString(static_cast<int>(in), QLatin1Char(' '))
                   << xformat("$ [$] XLinks =>>>", task.name, a.size()) << '\n';
                const XLink* links = a.links();
                for (std::uint64_t i = 0; i < a.size() && links != nullptr; ++i)
                    ss << QString(static_cast<int>(in + 2), QLatin1Char(' ')) << indexText(static_cast<std::int64_t>(i))
                       << "=> " << links[i].url() << '\n';
            } else {
                ss << QString(static_cast<int>(in), QLatin1Char(' ')) << xformat("$: $ [$]", task.name, ts.arrayAsString(a), a.size())
                   << '\n';
            }
        } else if (task.link != nullptr) {
            ss << QString(static_cast<int>(in), QLatin1Char(' ')) << task.name << " => " << task.link->url() << '\n';
        }
    }
}

}  // namespace

namespace detail {

void printArray(XStringStream& ss, const XTypeSupporter& ts, const XTreeArray& array, unsigned int indent,
                const QString& name) {
    printTasks(ss, ts, {{nullptr, &array, nullptr, indent, name, false, -1}});
}

}  // namespace detail

QString XTree::toString(const XTypeSupporter& ts) const {
    QString s = typeText(*this);
    int trees = 0;
    for (const auto& kv : m_entries) trees += kv.second.isTree() ? 1 : 0;
    if (trees > 0) s += xformat("(SubTrees:$)", trees);
    const QString values = valueEntries(*this, ts);
    if (!values.isEmpty()) s += QStringLiteral(", ") + values;
    return s;
}

void XTree::toStream(XStringStream& ss, const XTypeSupporter& ts, unsigned int indent, const QString& name, bool arrow,
                     std::int64_t index) const {
    printTasks(ss, ts, {{this, nullptr, nullptr, indent, name, arrow, index}});
}

QString XTree::toStringExtended(const XTypeSupporter& ts) const {
    QString text;
    {
        XStringStream ss(text);
        toStream(ss, ts, 0, QString(), false, -1);
        ss.flush();
    }
    return text;
}

void XTree::show(const XTypeSupporter& ts, unsigned int indent, const QString& name, bool arrow,
                 std::int64_t index) const {
    XObject::show(ts, indent, name, arrow, index);
}

void XTree::show(unsigned int indent) const { show(XTypeSupporter::basicTypes(), indent, QString(), false, -1); }

}  // namespace zor
