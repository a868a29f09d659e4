#include <zor/AbstractFile.h>

#include <QFileInfo>

namespace zor {

AbstractFile::~AbstractFile() = default;

QString AbstractFile::toString() const { return getName(); }

QString AbstractFile::path(const QString& base) const {
    const QString stored = getString(QStringLiteral("path"), QString());
    if (base.isEmpty()) return stored;
    if (stored.isEmpty()) return base;
    if (stored.startsWith(QLatin1Char('/')) || stored.startsWith(QLatin1String(":/"))) return stored;
    if (base.endsWith(QLatin1Char('/'))) return base + stored;
    return base + QLatin1Char('/') + stored;
}

QString AbstractFile::fileName() const { return QFileInfo(getString(QStringLiteral("path"), QString())).fileName(); }

}  // namespace zor
