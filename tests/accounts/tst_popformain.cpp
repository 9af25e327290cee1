// The tax-invoice view: the paper form filled from the store, and the same form on paper as a
// PDF read back by poppler (pdftotext for the words, pdftoppm for the picture).
#include "accountsfixture.h"
#include "invoiceform.h"
#include "invoiceprint.h"
#include "popformain.h"
#include "prompts.h"
#include "signin.h"
#include "testmain.h"

#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>

#include <sys/stat.h>

using namespace BoardFixture;
using namespace AccountsFixture;

class PopFormainTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TestStore> store;

    std::unique_ptr<popFormain> Open(const QString& key) {
        SelectedKey = key;
        auto view = std::make_unique<popFormain>();
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get())) qWarning("view not shown");
        return view;
    }
    // Row 9 from the blank count to the last tax place, "." for an empty cell.
    static QString DigitRow(const SpreadGrid& g) {
        QString s;
        for (int c = InvoiceForm::BlankCountCol; c < InvoiceForm::FirstTaxCol + 10; ++c) {
            const QString t = g.GetText(c, InvoiceForm::DigitRow);
            s += t.isEmpty() ? QStringLiteral(".") : t;
            if (c == InvoiceForm::BlankCountCol || c == InvoiceForm::FirstTaxCol - 1) s += QLatin1Char('|');
        }
        return s;
    }
    static QString Run(const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        if (!p.waitForFinished(30000) || p.exitCode() != 0)
            return QStringLiteral("<failed: %1>").arg(program);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

private slots:
    void init() {
        Clock::set(Morning());
        store = std::make_unique<TestStore>();
    }
    void cleanup() { store.reset(); }

    void fillsTheForm() {
        const QString id = InsertInvoice(*store, {});
        PromptScript prompts;
        auto v = Open(id);
        const SpreadGrid& g = *v->tsp;
        QCOMPARE(v->windowTitle(), QStringLiteral("세금계산서"));
        QCOMPARE(g.MaxCols(), 35);
        QCOMPARE(g.MaxRows(), 18);
        struct Cell {
            int row, col;
            const char* text;
        };
        const Cell cells[] = {{3, 5, "123-45-67890"},
                              {3, 21, "220-85-12345"},
                              {4, 5, "한빛운수"},
                              {4, 11, "김철수"},
                              {4, 21, "델모라주선"},
                              {4, 30, "이영희"},
                              {5, 5, "경기 화성시 남양읍 1"},
                              {5, 21, "서울 강남구 역삼동 7"},
                              {6, 5, "운수업"},
                              {6, 11, "화물운송"},
                              {6, 21, "서비스"},
                              {6, 30, "화물주선"},
                              {9, 1, "26"},
                              {9, 3, "11"},
                              {9, 4, "30"},
                              {11, 1, "11"},
                              {11, 3, "30"},
                              {11, 4, "운송료(서울→부산)"},
                              {11, 25, "1,500,000"},
                              {11, 31, "150,000"},
                              {18, 4, "박담당"},
                              {18, 17, "demo@delmora.co.kr"},
                              // Fixed labels.
                              {3, 1, "공  급  자"},
                              {3, 17, "공 급 받 는 자"},
                              {8, 6, "공란수"},
                              {8, 7, "백"},
                              {8, 17, "일"},
                              {8, 18, "십"},
                              {8, 27, "일"},
                              {15, 27, "이 금액을         함"},
                              {1, 30, "권"},
                              {1, 33, "호"},
                              {2, 30, "-"},
                              {18, 12, "이메일"},
                              // The total; the rest of the line and the remarks stay empty.
                              {16, 1, "1,650,000"},
                              {16, 22, ""},
                              {17, 4, ""}};
        for (const Cell& c : cells)
            QCOMPARE(g.GetText(c.col, c.row), QString::fromUtf8(c.text));
        QCOMPARE(DigitRow(g), QStringLiteral("4|....1500000|....150000"));
        // Merged boxes and looks of the paper form.
        QCOMPARE(g.columnSpan(3 - 1, 5 - 1), 12);
        QCOMPARE(g.rowSpan(3 - 1, 1 - 1), 4);
        QCOMPARE(g.columnSpan(15 - 1, 27 - 1), 9);
        QCOMPARE(g.rowSpan(15 - 1, 27 - 1), 2);
        QCOMPARE(g.CellLookAt(5, 4).back, QColor(0xFF, 0xFF, 0xE7));
        QCOMPARE(g.CellLookAt(21, 4).back, QColor(0xFF, 0xFF, 0xE7));
        QCOMPARE(g.CellLookAt(2, 3).back, QColor(0xFF, 0xF5, 0xF5));
        QCOMPARE(g.CellLookAt(7, 8).back, QColor(0xFF, 0xF5, 0xF5));
        QCOMPARE(g.CellLookAt(5, 5).back, QColor(Qt::white));
        QCOMPARE(v->제목->text(), QStringLiteral("세  금  계  산  서"));
        QCOMPARE(v->청구->text(), QStringLiteral("청구"));
        // The title sits over the title area, the claim word inside the sentence's box.
        const QRect claimBox = g.visualRect(g.model()->index(14, 26));
        QVERIFY(claimBox.contains(v->청구->geometry().center()));
        QVERIFY(v->제목->geometry().top() < g.visualRect(g.model()->index(2, 0)).top());
        QVERIFY(prompts.asked().empty());
    }

    void spreadsTheAmountsOverTheirPlaces_data() {
        QTest::addColumn<QString>("supply");
        QTest::addColumn<QString>("tax");
        QTest::addColumn<QString>("row9");
        QTest::addColumn<QString>("total");
        QTest::addColumn<bool>("complains");
        // clang-format off
        QTest::newRow("10 % tax") << "680000" << "68000" << "5|.....680000|.....68000" << "748,000" << false;
        QTest::newRow("zero rated") << "2300000" << "0" << "4|....2300000|.........0" << "2,300,000" << false;
        QTest::newRow("one digit") << "5" << "0" << "10|..........5|.........0" << "5" << false;
        QTest::newRow("ten digits") << "1234567890" << "123456789" << "1|.1234567890|.123456789" << "1,358,024,679" << false;
        QTest::newRow("eleven digits") << "98765432109" << "9876543210" << "0|98765432109|9876543210" << "108,641,975,319" << false;
        QTest::newRow("tax one digit longer than usual") << "95" << "10" << "9|.........95|........10" << "105" << false;
        QTest::newRow("money type") << "1500000.0000" << "150000.0000" << "4|....1500000|....150000" << "1,650,000" << false;
        QTest::newRow("too wide") << "123456789012" << "1234" << ".|...........|......1234" << "123,456,790,246" << true;
        QTest::newRow("no amount") << "" << "" << ".|...........|.........." << "" << true;
        // clang-format on
    }
    void spreadsTheAmountsOverTheirPlaces() {
        QFETCH(QString, supply);
        QFETCH(QString, tax);
        QFETCH(QString, row9);
        QFETCH(QString, total);
        QFETCH(bool, complains);
        const QString id =
            InsertInvoice(*store, {{QStringLiteral("공급가액"), supply}, {QStringLiteral("세액"), tax}});
        PromptScript prompts;
        auto v = Open(id);
        QCOMPARE(DigitRow(*v->tsp), row9);
        QCOMPARE(v->tsp->GetText(1, 16), total);
        QCOMPARE(prompts.asked().size(), size_t(complains ? 1 : 0));
        // The rest of the invoice is there even when an amount could not be written.
        QCOMPARE(v->tsp->GetText(11, 4), QStringLiteral("김철수"));
    }

    void itemAmountsOfZeroStayEmpty_data() {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("shown");
        QTest::newRow("zero") << "0"
                              << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("amount") << "880000"
                                << "880,000";
    }
    void itemAmountsOfZeroStayEmpty() {
        QFETCH(QString, amount);
        QFETCH(QString, shown);
        const QString id =
            InsertInvoice(*store, {{QStringLiteral("공급가액1"), amount}, {QStringLiteral("세액1"), amount}});
        PromptScript prompts;
        auto v = Open(id);
        QCOMPARE(v->tsp->GetText(25, 11), shown);
        QCOMPARE(v->tsp->GetText(31, 11), shown);
    }

    void missingKeyShowsTheEmptyForm_data() {
        QTest::addColumn<QString>("key");
        QTest::newRow("no such invoice") << "999";
        QTest::newRow("empty key") << "";
        QTest::newRow("not a key") << "x'; drop table 세금계산서 --";
    }
    void missingKeyShowsTheEmptyForm() {
        QFETCH(QString, key);
        InsertInvoice(*store, {});
        PromptScript prompts;
        auto v = Open(key);
        QCOMPARE(v->tsp->GetText(5, 4), QString());
        QCOMPARE(DigitRow(*v->tsp), QStringLiteral(".|...........|.........."));
        QCOMPARE(v->tsp->GetText(7, 8), QStringLiteral("백")); // the form itself is there
        QVERIFY(prompts.asked().empty());
        QCOMPARE(store->value(QStringLiteral("select count(*) from 세금계산서")), QStringLiteral("1"));
        QTest::mouseClick(v->cmdArr.at(99), Qt::LeftButton);
        QVERIFY(!v->isVisible());
    }

    void proposesTheFileName_data() {
        QTest::addColumn<QString>("approval");
        QTest::addColumn<QString>("name");
        QTest::newRow("approval number") << "20261130-41000123-12345678"
                                         << "세금계산서_20261130-41000123-12345678.pdf";
        QTest::newRow("no approval number: issue date") << ""
                                                        << "세금계산서_2026-11-30.pdf";
        QTest::newRow("characters no file may carry") << "A/B:C*?"
                                                      << "세금계산서_A_B_C__.pdf";
    }
    void proposesTheFileName() {
        QFETCH(QString, approval);
        QFETCH(QString, name);
        const QString id = InsertInvoice(*store, {{QStringLiteral("승인번호"), approval}});
        PromptScript prompts;
        auto v = Open(id);
        QCOMPARE(v->ProposedPdfName(), name);
    }

    void savesThePaperFormAsPdf() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("poppler-utils is not installed");
        const QString id = InsertInvoice(*store, {{QStringLiteral("공급가액"), QStringLiteral("98765432109")},
                                                  {QStringLiteral("세액"), QStringLiteral("9876543210")}});
        PromptScript prompts;
        auto v = Open(id);
        QTemporaryDir dir;
        dir.setAutoRemove(qEnvironmentVariableIsEmpty("KEEP_PDF"));
        const QString pdf = dir.filePath(QStringLiteral("계산서"));
        prompts.answerSaveAs(pdf);
        QTest::mouseClick(v->cmdArr.at(2), Qt::LeftButton);
        QCOMPARE(prompts.asked().front().defaultValue,
                 QStringLiteral("세금계산서_20261130-41000123-12345678.pdf"));
        QCOMPARE(prompts.texts().last(), pdf + QStringLiteral(".pdf PDF 파일이 생성되었습니다."));

        // The words are in the file as text, in an embedded Korean face.
        QString text = Run(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf + ".pdf", "-"});
        // Blanks come back as spaces or as filler glyphs; only letters and digits count.
        text.remove(QRegularExpression(QStringLiteral("[^\\p{L}\\p{N}]")));
        QVERIFY2(text.contains(QStringLiteral("세금계산서")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("한빛운수")));
        QVERIFY(text.contains(QStringLiteral("청구")));
        // The blank count, then the eleven supply places and the ten tax places.
        QVERIFY2(text.contains(QStringLiteral("0987654321099876543210")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("공란수")));
        QVERIFY(text.contains(QStringLiteral("합계")));
        QVERIFY(text.contains(QStringLiteral("108641975319")));
        const QString info = Run(QStringLiteral("pdfinfo"), {pdf + ".pdf"});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Title: +세금계산서 20261130-41000123-12345678\n"))),
                 qPrintable(info));
        QVERIFY(info.contains(QRegularExpression(QStringLiteral("Creator: +델모라 콜센터\n"))));
        // Shared as the workbook exports are: what the user's umask gives a new file.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        struct stat written {};
        QCOMPARE(::stat(QFile::encodeName(pdf + ".pdf").constData(), &written), 0);
        QCOMPARE(int(written.st_mode & 0777), int(0666 & ~mask));
        const QString fonts = Run(QStringLiteral("pdffonts"), {pdf + ".pdf"});
        QVERIFY2(fonts.contains(QStringLiteral(" yes ")), qPrintable(fonts));

        // The picture: A4 landscape, and ink where the title and every amount digit are drawn.
        QCOMPARE(Run(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
                      QStringLiteral("-singlefile"), pdf + ".pdf", dir.filePath("page")}),
                 QString());
        QImage page(dir.filePath(QStringLiteral("page.png")));
        QVERIFY(!page.isNull());
        QVERIFY(page.width() > page.height());
        // The form across the printable width (A4 less its 10 mm margins: 93 % of the page).
        int left = page.width(), right = -1;
        for (int y = 0; y < page.height(); y += 2)
            for (int x = 0; x < page.width(); ++x)
                if (qGray(page.pixel(x, y)) < 200) left = std::min(left, x), right = std::max(right, x);
        QVERIFY2(right - left >= page.width() * 0.8, qPrintable(QStringLiteral("%1..%2").arg(left).arg(right)));
        // 10 mm margins at 100 dpi.
        const double margin = 10 / 25.4 * 100;
        const QRectF printable(margin, margin, page.width() - 2 * margin, page.height() - 2 * margin);
        const QRectF target = InvoicePrint::PlaceOnPage(v->formPanel->size(), printable);
        const double scale = target.width() / v->formPanel->width();
        auto inkIn = [&](const QRect& widgetRect) {
            const QRect r = QRectF(target.topLeft() + QPointF(widgetRect.topLeft()) * scale,
                                   QSizeF(widgetRect.size()) * scale)
                                .toRect()
                                .adjusted(2, 2, -2, -2);
            int dark = 0;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (qGray(page.pixel(x, y)) < 140) ++dark;
            return dark;
        };
        const QPoint tspAt = v->tsp->mapTo(v->formPanel, v->tsp->viewport()->pos());
        auto cellRect = [&](int col, int row) {
            return v->tsp->visualRect(v->tsp->model()->index(row - 1, col - 1)).translated(tspAt);
        };
        QVERIFY(inkIn(v->제목->geometry().translated(tspAt)) > 30);
        for (int c = InvoiceForm::FirstSupplyCol; c < InvoiceForm::FirstTaxCol + 10; ++c)
            QVERIFY2(inkIn(cellRect(c, InvoiceForm::DigitRow)) > 3, qPrintable(QString::number(c)));
        // An empty data box stays paper-white inside.
        QVERIFY(inkIn(cellRect(1, 16)) > 30); // the total
        QCOMPARE(inkIn(cellRect(7, 16)), 0);
    }

    // Printing is a module of its own: where it cannot be loaded, 미리보기 and 인쇄 say so and
    // the form stays open. Run before anything has loaded it (a loaded module stays loaded).
    void missingPrintModuleIsRefused() {
        qputenv("DELMORA_PRINT_MODULE", "/nonexistent/libdelmora-print.so");
        PromptScript prompts;
        auto v = Open(InsertInvoice(*store, {}));
        v->PreviewInvoice();
        v->PrintInvoice();
        qunsetenv("DELMORA_PRINT_MODULE");
        QCOMPARE(prompts.texts().size(), 2);
        for (const QString& text : prompts.texts())
            QVERIFY2(text.startsWith(QStringLiteral("인쇄 기능을 불러오지 못했습니다.")) &&
                         text.contains(QStringLiteral("/nonexistent/libdelmora-print.so")),
                     qPrintable(text));
        QVERIFY(v->isVisible());
    }

    void printsThroughThePrintDialog() {
        const QString id = InsertInvoice(*store, {});
        PromptScript prompts;
        auto v = Open(id);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("printed.pdf"));
        // The dialog is answered as a user would: a printer chosen (here, printing to a file), 인쇄.
        QTimer watch;
        watch.setInterval(20);
        QString title;
        connect(&watch, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            watch.stop();
            title = dialog->windowTitle();
            for (QComboBox* printers : dialog->findChildren<QComboBox*>(QStringLiteral("printers")))
                for (int i = 0; i < printers->count(); ++i)
                    if (printers->itemText(i).contains(QStringLiteral("PDF"))) printers->setCurrentIndex(i);
            for (QLineEdit* file : dialog->findChildren<QLineEdit*>(QStringLiteral("filename")))
                file->setText(out);
            dialog->accept();
        });
        watch.start();
        QTest::mouseClick(v->cmdArr.at(1), Qt::LeftButton);
        watch.stop();
        QCOMPARE(title, QStringLiteral("인쇄"));
        QVERIFY2(prompts.asked().empty(), qPrintable(prompts.texts().join(u'|')));
        QVERIFY(QFileInfo(out).size() > 1000);
    }

    // 미리보기 shows the one page 인쇄 would print, drawn, under the invoice's name.
    void previewShowsThePage() {
        auto v = Open(InsertInvoice(*store, {}));
        QString title;
        int pages = -1, ticks = 0, redInk = 0;
        QTimer watch;
        watch.setInterval(20);
        connect(&watch, &QTimer::timeout, [&] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!preview) return;
            auto* pageView = preview->findChild<QPrintPreviewWidget*>();
            // Drawn, or given two seconds to be.
            if ((!pageView || pageView->pageCount() == 0) && ++ticks < 100) return;
            watch.stop();
            title = preview->windowTitle();
            pages = pageView ? pageView->pageCount() : -1;
            // The page drawn, not blank: the form is ruled in red.
            if (pageView) {
                const QImage shown = pageView->grab().toImage();
                for (int y = 0; y < shown.height(); y += 2)
                    for (int x = 0; x < shown.width(); x += 2) {
                        const QColor c = shown.pixelColor(x, y);
                        if (c.red() > 150 && c.green() < 120 && c.blue() < 120) ++redInk;
                    }
            }
            preview->reject();
        });
        watch.start();
        QTest::mouseClick(v->cmdArr.at(3), Qt::LeftButton);
        watch.stop();
        QCOMPARE(title, QStringLiteral("미리보기 - ") + v->DocumentTitle());
        QCOMPARE(pages, 1);
        QVERIFY2(redInk > 50, qPrintable(QString::number(redInk)));
    }

    // The window inside the screen it is fitted to, every button in view, the form scrolling
    // where the screen is too small for it. The process runs on a 1280x1024 screen at 150 %,
    // which the view fits itself to as it opens; the other desks' screens are handed to it.
    void fitsTheScreen_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<double>("scale");
        QTest::newRow("1280x1024 at 150 %, as it opens") << QSize(1280, 1024) << 0.0;
        for (const QSize screen : {QSize(1280, 1024), QSize(1366, 768), QSize(1920, 1080)})
            for (const double scale : {1.0, 1.25, 2.0})
                QTest::newRow(qPrintable(QStringLiteral("%1x%2 at %3 %").arg(screen.width()).arg(screen.height()).arg(scale * 100)))
                    << screen << scale;
    }
    void fitsTheScreen() {
        QFETCH(QSize, screen);
        QFETCH(double, scale);
        PromptScript prompts;
        auto v = Open(InsertInvoice(*store, {}));
        QRect available = v->screen()->availableGeometry();
        if (scale > 0)
            v->FitToScreen(available = QRect(QPoint(0, 0), (QSizeF(screen) / scale).toSize()));
        else
            QCOMPARE(v->screen()->geometry().size(), QSize(853, 683));
        QTRY_VERIFY(available.contains(v->geometry()));
        for (QPushButton* b : {v->cmdArr.at(3), v->cmdArr.at(1), v->cmdArr.at(2), v->cmdArr.at(99)})
            QVERIFY(b->isVisible() && v->rect().contains(QRect(b->mapTo(v.get(), QPoint(0, 0)), b->size())));
        // The form whole in view, or reachable by scrolling (the bars settle after the resize).
        const QWidget* shown = v->formScroll->viewport();
        QTRY_COMPARE(v->formScroll->horizontalScrollBar()->isVisible(), shown->width() < v->formPanel->width());
        QTRY_COMPARE(v->formScroll->verticalScrollBar()->isVisible(), shown->height() < v->formPanel->height());
        QVERIFY(shown->width() + v->formScroll->horizontalScrollBar()->maximum() >= v->formPanel->width());
        QVERIFY(shown->height() + v->formScroll->verticalScrollBar()->maximum() >= v->formPanel->height());
    }

    void refusesToOverwriteUnasked() {
        const QString id = InsertInvoice(*store, {});
        PromptScript prompts;
        auto v = Open(id);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("old.pdf"));
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("keep me");
        old.close();
        prompts.answerSaveAs(pdf);
        prompts.answerNo();
        QTest::mouseClick(v->cmdArr.at(2), Qt::LeftButton);
        QCOMPARE(prompts.texts().last(), QStringLiteral("이미 존재하는 파일입니다. 덮어쓸까요?"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("keep me"));
        old.close();
        // A folder that does not exist: a clear message, nothing written.
        prompts.clear();
        prompts.answerSaveAs(dir.filePath(QStringLiteral("없는폴더/a.pdf")));
        QTest::mouseClick(v->cmdArr.at(2), Qt::LeftButton);
        QVERIFY(prompts.texts().last().contains(QStringLiteral("저장하지 못했습니다")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("old.pdf")});
    }

    void orientationFitsTheForm_data() {
        QTest::addColumn<QSizeF>("form");
        QTest::addColumn<int>("orientation");
        QTest::newRow("wide") << QSizeF(1000, 500) << int(QPageLayout::Landscape);
        QTest::newRow("tall") << QSizeF(500, 1000) << int(QPageLayout::Portrait);
    }
    void orientationFitsTheForm() {
        QFETCH(QSizeF, form);
        QFETCH(int, orientation);
        QCOMPARE(int(InvoicePrint::FittingOrientation(form)), orientation);
        const QRectF page(0, 0, 800, 600);
        const QRectF placed = InvoicePrint::PlaceOnPage(form, page);
        QVERIFY(page.contains(placed));
        QVERIFY(qFuzzyCompare(placed.width() / placed.height(), form.width() / form.height()));
        QVERIFY(qFuzzyCompare(placed.width(), page.width()) || qFuzzyCompare(placed.height(), page.height()));
    }
};

// The view opens on a 1280x1024 screen at 150 %, as on the desks that enlarge their display.
int main(int argc, char** argv) {
    QTemporaryDir home, screens;
    QFile config(screens.filePath(QStringLiteral("screens.json")));
    if (!config.open(QIODevice::WriteOnly)) return 2;
    config.write(R"({"screens": [{"name": "desk", "x": 0, "y": 0, "width": 1280, "height": 1024}]})");
    config.close();
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
        qputenv("QT_SCALE_FACTOR", "1.5");
    }
    QApplication app(argc, argv);
    PrepareTestProcess(home);
    PopFormainTest tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_popformain.moc"
