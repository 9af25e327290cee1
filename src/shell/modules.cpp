#include "modules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>

namespace {
// The libraries loaded, by the address of the entry they were loaded for; never unloaded.
QHash<QFunctionPointer, QLibrary*>& Loaded() {
    static QHash<QFunctionPointer, QLibrary*> loaded;
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
        auto* library = new QLibrary(path);
        if (!library->load()) {
            failures << library->errorString();
            delete library;
            continue;
        }
        if (QFunctionPointer found = library->resolve(entry)) {
            Loaded().insert(found, library); // stays loaded with whatever it brought
            return found;
        }
        failures << QStringLiteral("%1: no %2").arg(path, QLatin1String(entry));
        library->unload();
        delete library;
    }
    if (why)
        *why = (failures.isEmpty()
                    ? QStringList{QStringLiteral("not found: ") + missing.join(QStringLiteral(", "))}
                    : failures)
                   .join(QLatin1Char('\n'));
    return nullptr;
}

QFunctionPointer ModuleEntry(QFunctionPointer loadedEntry, const char* entry) {
    QLibrary* library = Loaded().value(loadedEntry);
    return library ? library->resolve(entry) : nullptr;
}
