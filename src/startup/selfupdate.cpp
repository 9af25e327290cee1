#include "selfupdate.h"

#include "deployment.h"
#include "httpget.h"
#include "ini.h"
#include "signin.h"
#include "prompts.h"
#include "storeconnection.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QTimer>

#include <limits>

namespace {

UpdaterStarter& starter() {
    static UpdaterStarter s;
    return s;
}

bool startDetached(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments, QFileInfo(program).absolutePath());
}

// "name=value" gives "value"; a piece without "=" is taken whole.
QString itemValue(const QString& item) {
    const qsizetype eq = item.indexOf(QLatin1Char('='));
    // Pages from the server often end in a line break; it is never part of a name.
    return (eq < 0 ? item : item.mid(eq + 1)).trimmed();
}

std::optional<int> versionNumber(const QString& text) {
    bool ok = false;
    const uint value = text.trimmed().toUInt(&ok);
    if (!ok || value > uint(std::numeric_limits<int>::max())) return std::nullopt;
    return int(value);
}

QString ownFileName() { return QFileInfo(QCoreApplication::applicationFilePath()).fileName(); }

// Writes through a temporary file in the same folder that replaces the target only once it is
// complete, so a failed write never leaves half an updater behind.
bool writeExecutable(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) return false;
    const QFile::Permissions exec = QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther;
    return QFile::setPermissions(path, QFile::permissions(path) | exec | QFile::ReadOwner | QFile::ReadUser);
}

// The updater is started only after the windows have had a moment to settle.
void letEventsRunAndPause() {
    QCoreApplication::processEvents();
    QEventLoop pause;
    QTimer::singleShot(1000, &pause, &QEventLoop::quit);
    pause.exec(QEventLoop::ExcludeUserInputEvents);
    QCoreApplication::processEvents();
}

} // namespace

std::optional<UpdateAnnouncement> ParseVersionAnswer(const QString& answer) {
    if (!answer.startsWith(QLatin1String("version"))) return std::nullopt;
    const QStringList items = answer.split(QLatin1Char('$'));
    if (items.size() < 3) return std::nullopt;
    const QStringList numbers = itemValue(items[0]).split(QLatin1Char('.'));
    if (numbers.size() < 3) return std::nullopt;
    const auto major = versionNumber(numbers[0]);
    const auto minor = versionNumber(numbers[1]);
    const auto revision = versionNumber(numbers[2]);
    if (!major || !minor || !revision) return std::nullopt;
    return UpdateAnnouncement{{*major, *minor, *revision}, itemValue(items[1]), itemValue(items[2])};
}

bool ServerIsNewer(const ProgramVersion& server, const ProgramVersion& running) {
    if (server.major != running.major) return running.major < server.major;
    if (server.minor != running.minor) return running.minor < server.minor;
    return running.revision < server.revision;
}

bool IsAcceptableUpdateName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name.contains(QLatin1String(".."))) return false;
    for (const QChar c : name) {
        // Separators and drive colons would let the server pick the folder; blanks would split
        // the updater's parameter; control characters belong in no file name.
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.isSpace() ||
            c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool IsAcceptableUpdaterName(const QString& name) {
    if (!IsAcceptableUpdateName(name)) return false;
    // The server must not be able to overwrite the program itself or its configuration.
    const QString lower = name.toLower();
    return lower != ownFileName().toLower() && lower != QLatin1String("setting.ini") &&
           lower != QLatin1String("delmora.conf") && !lower.endsWith(QLatin1String(".sqlite")) &&
           !lower.endsWith(QLatin1String(".sqlite-wal")) && !lower.endsWith(QLatin1String(".sqlite-shm"));
}

QString InstalledCopyUpdateText(const ProgramVersion& version) {
    return QStringLiteral("새 버전 %1.%2.%3이(가) 있습니다.\n설치된 프로그램은 패키지(delmora)를 "
                          "업그레이드하여 새 버전으로 바꾸십시오.")
        .arg(version.major)
        .arg(version.minor)
        .arg(version.revision);
}

ProgramVersion RunningVersion() { return {VersionMajor(), VersionMinor(), VersionRevision()}; }

QString UpdateFolderAddress() {
    return UpdateServerAddress(QStringLiteral("/cs/autoup/Corvanta/"));
}

bool UpdaterMayRun(const QByteArray& updater, bool overHttps, const std::optional<QByteArray>& checksumFile,
                   bool plainHttpAllowed) {
    if (overHttps) return true;
    // A checksum from the same server proves nothing: whoever can change the updater on the way
    // can change its checksum too. Only the office's own word lets a plain-HTTP updater run; a
    // checksum offered then must still match (it catches a cut download).
    if (!plainHttpAllowed) return false;
    if (!checksumFile) return true;
    // "sha256sum" writes the digest, blanks and the file name; the digest alone serves too.
    const QByteArray digest = checksumFile->simplified().split(' ').value(0).toLower();
    return digest.size() == 64 &&
           digest == QCryptographicHash::hash(updater, QCryptographicHash::Sha256).toHex();
}

void SetUpdaterStarter(UpdaterStarter s) { starter() = std::move(s); }

void CheckForUpdate() {
    const QString folder = UpdateFolderAddress();
    if (folder.isEmpty()) return;
    const QString answer = HttpGetText(folder + QStringLiteral("ver.asp"));
    const std::optional<UpdateAnnouncement> announced = ParseVersionAnswer(answer);
    if (!announced || !ServerIsNewer(announced->version, RunningVersion())) return;
    if (!IsAcceptableUpdaterName(announced->updater) || !IsAcceptableUpdateName(announced->program)) return;
    // An installed copy belongs to the package manager: an updater may not replace it.
    if (IsInstalledCopy()) {
        ShowInfo(InstalledCopyUpdateText(announced->version));
        return;
    }

    const std::optional<QByteArray> updater = HttpGetBytes(folder + announced->updater);
    if (!updater) return;
    // Whatever comes over plain HTTP may have been changed on the way; it is run only when the
    // office has said it trusts its network.
    const bool overHttps = folder.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    std::optional<QByteArray> checksum;
    if (!overHttps) checksum = HttpGetBytes(folder + announced->updater + QStringLiteral(".sha256"), 4096);
    if (!UpdaterMayRun(*updater, overHttps, checksum, CurrentDeployment().updatePlainHttp)) return;
    const QString updaterPath = QDir(ProgramFolder()).filePath(announced->updater);
    if (!writeExecutable(updaterPath, *updater)) return;

    letEventsRunAndPause();

    // One parameter: the new program's address, a blank, and the file name it is to replace.
    const QString parameter = folder + announced->program + QLatin1Char(' ') + ownFileName();
    const UpdaterStarter& start = starter() ? starter() : UpdaterStarter(startDetached);
    if (!start(updaterPath, {parameter})) return;
    EndProgram();
}
