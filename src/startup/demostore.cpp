#include "demostore.h"

#include "deployment.h"
#include "freightstore.h"
#include "prompts.h"
#include "storeconnection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressDialog>
#include <cstdio>

namespace {
bool& requested() {
    static bool flag = false;
    return flag;
}
} // namespace

void SetDemoStoreRequested(bool flag) {
    requested() = flag;
}
bool DemoStoreRequested() {
    return requested();
}

DemoStoreResult PrepareDemoStore(QString* message) {
    if (!requested()) return DemoStoreResult::NotAsked;
    if (!CurrentDeployment().databaseServer.trimmed().isEmpty()) return DemoStoreResult::ServerConfigured;
    const QString path = EmbeddedStorePath(ReadConnectionSettings().catalog);
    if (path.isEmpty()) {
        if (message) *message = QStringLiteral("데모 저장소를 만들 수 없는 데이터베이스 이름입니다.");
        return DemoStoreResult::Failed;
    }
    if (QFileInfo::exists(path)) return DemoStoreResult::Present;

    // A desktop start has no terminal: the line goes to the terminal when there is one, and a
    // small window tells the user why the program takes a moment.
    std::fprintf(stderr, "데모 저장소를 만드는 중입니다: %s\n", path.toUtf8().constData());
    QProgressDialog progress(QStringLiteral("데모 저장소를 만드는 중입니다..."), QString(), 0, 0);
    progress.setWindowTitle(PromptTitle);
    progress.setMinimumDuration(0);
    progress.setCancelButton(nullptr);
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        progress.show();
        QCoreApplication::processEvents();
    }
    QElapsedTimer timer;
    timer.start();
    try {
        auto store = dstore::FreightStore::create(path);
        dstore::fillDemoData(*store, dstore::DemoOptions{});
    } catch (const dstore::Error& e) {
        // Half a store is no store: the next start tries again from nothing.
        QFile::remove(path);
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        if (message) *message = QStringLiteral("데모 저장소를 만들지 못했습니다: ") + e.message;
        std::fprintf(stderr, "%s\n", e.message.toUtf8().constData());
        return DemoStoreResult::Failed;
    }
    std::fprintf(stderr,
                 "데모 저장소를 만들었습니다 (%.1f초). 아이디 demo, 첫 로그인 때 비밀번호를 정합니다.\n",
                 timer.elapsed() / 1000.0);
    return DemoStoreResult::Created;
}
