#include "modules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>

namespace {
// The files loaded, by the address of the entry they were loaded for. A library stays loaded
// when its QLibrary goes (nothing here unloads one that answered).
QHash<QFunctionPointer, QString>& Loaded() {
    static QHash<QFunctionPointer, QString> loaded;
    return loaded;
}
} // namespace

QStringList ModuleCandidates(const char* overrideVariable, const char* installed, const char* builtPath) {
    const QString chosen = qEnvironmentVariable(overrideVariable);
    if (!chosen.isEmpty()) return {chosen};
    return {QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1String(installed)),
            QString::fromUtf8(builtPath)};
}

QFunctionPointer LoadModuleEntry(const QStringList& candidates, const char* entry, QString* why,
                                 const std::function<void()>& beforeLoad) {
    QStringList missing;
    QStringList failures;
    for (const QString& path : candidates) {
        if (!QFileInfo::exists(path)) {
            missing << path;
            continue;
        }
        if (beforeLoad) beforeLoad();
        QLibrary library(path);
        if (!library.load()) {
            failures << library.errorString();
            continue;
        }
        if (QFunctionPointer found = library.resolve(entry)) {
            Loaded().insert(found, path); // stays loaded with whatever it brought
            return found;
        }
        failures << QStringLiteral("%1: no %2").arg(path, QLatin1String(entry));
        library.unload();
    }
    if (why)
        *why = (failures.isEmpty()
                    ? QStringList{QStringLiteral("not found: ") + missing.join(QStringLiteral(", "))}
                    : failures)
                   .join(QLatin1Char('\n'));
    return nullptr;
}

QFunctionPointer ModuleEntry(QFunctionPointer loadedEntry, const char* entry) {
    const QString path = Loaded().value(loadedEntry);
    return path.isEmpty() ? nullptr : QLibrary(path).resolve(entry);
}
