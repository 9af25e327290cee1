#include "deployment.h"
#include "ini.h"
#include <QFile>
#include <optional>

namespace {
Deployment defaults() {
    Deployment d;
    d.homePage = QStringLiteral("http://www.delmora.co.kr");
    d.remoteSupportUrl = QStringLiteral("https://support.delmora.co.kr/delmora");
    return d;
}

std::optional<Deployment>& current() {
    static std::optional<Deployment> deployment;
    return deployment;
}
void readInto(Deployment& d, const QString& path);
} // namespace

Deployment ReadDeployment(const QString& path) {
    return ReadDeployment(QStringList{path});
}

Deployment ReadDeployment(const QStringList& paths) {
    Deployment d = defaults();
    // The last file read wins, so the most important one is read last.
    for (auto it = paths.crbegin(); it != paths.crend(); ++it)
        readInto(d, *it);
    return d;
}

namespace {
void readInto(Deployment& d, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    // A configuration file is a few lines; anything far larger is not one of ours.
    const QByteArray bytes = file.read(64 * 1024);
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) || line.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) continue;
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("database_server"))
            d.databaseServer = value;
        else if (key == QLatin1String("update_server"))
            d.updateServer = value;
        else if (key == QLatin1String("update_plain_http"))
            d.updatePlainHttp = value.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
        else if (key == QLatin1String("home_page"))
            d.homePage = value;
        else if (key == QLatin1String("remote_support_url"))
            d.remoteSupportUrl = value;
    }
}
} // namespace

QString SystemDeploymentPath() {
    const QString path = qEnvironmentVariable("DELMORA_SYSTEM_CONF");
    return path.isEmpty() ? QStringLiteral("/etc/delmora/delmora.conf") : path;
}

const Deployment& CurrentDeployment() {
    if (!current())
        current() = ReadDeployment(
            QStringList{ProgramFolder() + QStringLiteral("/delmora.conf"), SystemDeploymentPath()});
    return *current();
}

void SetDeployment(const Deployment& deployment) {
    current() = deployment;
}

QString UpdateServerAddress(const QString& path) {
    QString server = CurrentDeployment().updateServer.trimmed();
    if (server.isEmpty()) return {};
    while (server.endsWith(QLatin1Char('/')))
        server.chop(1);
    const bool hasScheme = server.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
                           server.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    return (hasScheme ? server : QStringLiteral("http://") + server) + path;
}
