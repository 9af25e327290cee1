// The picture behind the client area: when it is used, stretched or centred.
#include "testmain.h"
#include "ini.h"
#include "mainwindow.h"
#include "mdibackground.h"
#include <QDir>
#include <QMdiArea>
#include <QSettings>
#include <memory>

namespace {
const QColor kFill(Qt::darkGray);

QImage solid(QSize size, QColor colour) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}
} // namespace

class tst_MdiBackground : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Per-user settings go to the test's own folder.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, ProgramFolder() + QStringLiteral("/user"));
    }

    void compose_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QPoint>("outside");   // (-1,-1): everything is picture
        QTest::newRow("stretched small picture covers all") << QSize(4, 3) << true << QPoint(799, 599) << QPoint(-1, -1);
        QTest::newRow("centred small picture") << QSize(100, 50) << false << QPoint(400, 300) << QPoint(349, 300);
        QTest::newRow("centred picture, right edge") << QSize(100, 50) << false << QPoint(449, 324) << QPoint(450, 300);
        QTest::newRow("large picture shows its top-left 1024x768") << QSize(2000, 1000) << false << QPoint(1023, 767)
                                                                   << QPoint(1024, 100);
        QTest::newRow("large picture, below 768") << QSize(2000, 1000) << false << QPoint(0, 767) << QPoint(0, 768);
    }
    void compose() {
        QFETCH(QSize, picture);
        QFETCH(bool, stretch);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        const QSize area = picture.width() > 1000 ? QSize(1200, 900) : QSize(800, 600);
        const QImage out = ComposeMdiBackground(solid(picture, Qt::red), area, stretch, kFill);
        QCOMPARE(out.size(), area);
        QCOMPARE(QColor(out.pixel(inside)), QColor(Qt::red));
        if (outside.x() >= 0) QCOMPARE(QColor(out.pixel(outside)), kFill);
    }

    // Without the marker file no picture is shown, whatever FormPic names; its name's letter
    // case does not matter.
    void pictureUsedOnlyWithMarkerFile_data() {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("shown");
        QTest::newRow("none") << QString() << false;
        QTest::newRow("바탕배경.BMP") << "바탕배경.BMP" << true;
        QTest::newRow("바탕배경.bmp") << "바탕배경.bmp" << true;
        QTest::newRow("garbage file") << "바탕배경.Bmp" << false;
    }
    void pictureUsedOnlyWithMarkerFile() {
        QFETCH(QString, fileName);
        QFETCH(bool, shown);
        const QString folder = ProgramFolder();
        for (const QString& f : QDir(folder).entryList({QStringLiteral("바탕배경.*")}, QDir::Files))
            QFile::remove(folder + u'/' + f);
        if (!fileName.isEmpty()) {
            if (QString(QTest::currentDataTag()) == QStringLiteral("garbage file")) {
                QFile f(folder + u'/' + fileName);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write("not a picture at all");
            } else {
                QVERIFY(solid(QSize(64, 48), Qt::blue).save(folder + u'/' + fileName, "BMP"));
            }
        }
        auto w = std::make_unique<frmMain>();
        QCOMPARE(w->hasBackgroundPicture(), shown);
        QVERIFY(w->mdibg_mode());
        w->resize(640, 480);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QImage shot = w->mdiArea()->viewport()->grab().toImage();
        const QPoint middle(shot.width() / 2, shot.height() / 2);
        QCOMPARE(QColor(shot.pixel(middle)) == QColor(Qt::blue), shown);
    }

    void centredModeFromUserSetting() {
        const QString folder = ProgramFolder();
        QVERIFY(solid(QSize(64, 48), Qt::blue).save(folder + QStringLiteral("/바탕배경.BMP"), "BMP"));
        QVERIFY(solid(QSize(20, 20), Qt::green).save(folder + QStringLiteral("/다른그림.png"), "PNG"));
        {
            QSettings user(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("delmora"),
                           QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
            user.setValue(QStringLiteral("Settings/MDIBGMode"), QStringLiteral("False"));
            user.setValue(QStringLiteral("Settings/FormPic"), folder + QStringLiteral("/다른그림.png"));
        }
        auto w = std::make_unique<frmMain>();
        QVERIFY(!w->mdibg_mode());
        QCOMPARE(w->currentImageFile(), folder + QStringLiteral("/다른그림.png"));
        w->resize(640, 480);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QImage shot = w->mdiArea()->viewport()->grab().toImage();
        QCOMPARE(QColor(shot.pixel(shot.width() / 2, shot.height() / 2)), QColor(Qt::green));
        QVERIFY(QColor(shot.pixel(2, 2)) != QColor(Qt::green));
    }
};

DELMORA_TEST_MAIN(tst_MdiBackground)
#include "tst_mdibackground.moc"
