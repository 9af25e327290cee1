// The message-box facade: what the real boxes look like (title, icon, 예/아니오, Enter = 예)
// and how tests script them (answers in order, unexpected prompts caught and answered safely).
#include "ini.h"
#include "language.h"
#include "prompts.h"
#include "testmain.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeView>
#include <functional>

namespace {

struct SeenBox {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

// Runs `ask` while a timer inspects the modal box it opens and answers it with `key`, or clicks
// the button captioned `click`.
SeenBox answerRealBox(const std::function<void()>& ask, Qt::Key key, const QString& click = {}) {
    SeenBox seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << b->text();
        if (box->defaultButton()) seen.defaultButton = box->defaultButton()->text();
        if (click == QLatin1String("close box")) {
            box->close();
        } else if (!click.isEmpty()) {
            for (QAbstractButton* b : box->buttons())
                if (b->text() == click) b->click();
        } else {
            QTest::keyClick(box, key);
        }
    });
    ask();
    return seen;
}

} // namespace

class TestPrompts : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // As the program does at start-up: Qt's own texts in Korean.
    void initTestCase() { QVERIFY(InstallKoreanLanguage()); }
    void koreanQtTexts_data();
    void koreanQtTexts();
    void realSaveAsDialog_data();
    void realSaveAsDialog();
    void realBoxes_data();
    void realBoxes();
    void realQuestion_data();
    void realQuestion();
    void realInputCancelled();
    void scriptedAnswersInOrder();
    void unexpectedPromptsAnswerSafely_data();
    void unexpectedPromptsAnswerSafely();
    void storeErrorText();
    void nestedScripts();
};

void TestPrompts::koreanQtTexts_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("text");
    QTest::newRow("OK") << int(QMessageBox::Ok) << QStringLiteral("확인");
    QTest::newRow("Cancel") << int(QMessageBox::Cancel) << QStringLiteral("취소");
    QTest::newRow("Save") << int(QMessageBox::Save) << QStringLiteral("저장");
    QTest::newRow("Close") << int(QMessageBox::Close) << QStringLiteral("닫기");
}

void TestPrompts::koreanQtTexts() {
    QFETCH(int, button);
    QFETCH(QString, text);
    QMessageBox box(QMessageBox::Information, PromptTitle, QStringLiteral("알림"),
                    QMessageBox::StandardButton(button));
    QCOMPARE(box.button(QMessageBox::StandardButton(button))->text().remove(QLatin1Char('&')), text);
    // Dates and numbers in Korean whatever LANG says (the calendar pop-up's month names).
    QCOMPARE(QLocale().language(), QLocale::Korean);
    QCOMPARE(QLocale().monthName(3), QStringLiteral("3월"));
}

// The Save-As dialog: Korean, large enough for its size, type and date columns, opening in the
// folder asked for, else in the user's documents, never in the program folder.
void TestPrompts::realSaveAsDialog_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("used");
    QTest::newRow("remembered folder") << QStringLiteral("exports") << true;
    QTest::newRow("nothing remembered") << QString() << false;
    QTest::newRow("remembered folder gone") << QStringLiteral("gone") << false;
}

void TestPrompts::realSaveAsDialog() {
    QFETCH(QString, folder);
    QFETCH(bool, used);
    const QString exports = ProgramFolder() + QStringLiteral("/exports");
    QVERIFY(QDir().mkpath(exports));
    const QString asked = folder.isEmpty() ? QString() : ProgramFolder() + QLatin1Char('/') + folder;

    QSize size;
    QString directory, fileName, filter, accept, title;
    bool columnsFit = false, dateFits = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        size = dialog->size();
        directory = dialog->directory().absolutePath();
        title = dialog->windowTitle();
        filter = dialog->selectedNameFilter();
        if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            fileName = name->text();
        // Every column of the file list inside the list, the date as wide as a date and time.
        if (auto* list = dialog->findChild<QTreeView*>()) {
            const QHeaderView* header = list->header();
            columnsFit = header->count() >= 4 && header->length() <= list->viewport()->width();
            const QDateTime sample(QDate(2026, 12, 28), QTime(23, 59, 59));
            dateFits = header->sectionSize(3) >=
                       QFontMetrics(list->font())
                           .horizontalAdvance(QLocale().toString(sample, QLocale::ShortFormat));
        }
        if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
            if (QPushButton* b = buttons->button(QDialogButtonBox::Save)) accept = b->text();
        dialog->reject();
    });
    QString chosen = QStringLiteral("untouched");
    QCOMPARE(
        Prompt::saveAs(QStringLiteral("오더내역_241208"),
                       {QStringLiteral("Excel 통합 문서 (*.xlsx)"), QStringLiteral("Excel Files (*.xls)")},
                       &chosen, asked),
        QString());
    QCOMPARE(chosen, QString());
    QCOMPARE(title, PromptTitle);
    const QSize free = QApplication::primaryScreen()->availableGeometry().size();
    QCOMPARE(size, QSize(900, 560).boundedTo(free));
    if (used)
        QCOMPARE(directory, exports);
    else
        QVERIFY(directory != QDir(ProgramFolder()).absolutePath() && QFileInfo(directory).isDir());
    QCOMPARE(fileName, QStringLiteral("오더내역_241208"));
    QCOMPARE(filter, QStringLiteral("Excel 통합 문서 (*.xlsx)"));
    QVERIFY2(accept.contains(QStringLiteral("저장")), qPrintable(accept));
    QVERIFY(columnsFit);
    QVERIFY(dateFits);
}

void TestPrompts::realBoxes_data() {
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("icon");
    QTest::newRow("notice") << 0 << int(QMessageBox::Information);
    QTest::newRow("refusal") << 1 << int(QMessageBox::Question);
    QTest::newRow("plain") << 2 << int(QMessageBox::NoIcon);
    QTest::newRow("store error") << 3 << int(QMessageBox::Question);
}

void TestPrompts::realBoxes() {
    QFETCH(int, which);
    QFETCH(int, icon);
    const SeenBox seen = answerRealBox(
        [which] {
            switch (which) {
            case 0:
                Prompt::notice(QStringLiteral("알림"));
                break;
            case 1:
                Prompt::refusal(QStringLiteral("알림"));
                break;
            case 2:
                Prompt::plain(QStringLiteral("알림"));
                break;
            default:
                Prompt::storeError(-2147217900, QStringLiteral("알림"));
                break;
            }
        },
        Qt::Key_Return);
    QCOMPARE(seen.title, QStringLiteral("㈜델모라"));
    QCOMPARE(int(seen.icon), icon);
    QCOMPARE(seen.buttons, QStringList{QStringLiteral("확인")});
}

void TestPrompts::realQuestion_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("click");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("retry");
    QTest::newRow("enter is 예") << int(Qt::Key_Return) << QString() << true << true << true;
    QTest::newRow("clicked 예") << 0 << QStringLiteral("예") << true << true << true;
    QTest::newRow("clicked 아니오") << 0 << QStringLiteral("아니오") << false << false << false;
    // Dismissing a question is careful (아니오), except where 아니오 would end the program.
    QTest::newRow("escape") << int(Qt::Key_Escape) << QString() << false << false << true;
    QTest::newRow("close box") << 0 << QStringLiteral("close box") << false << false << true;
}

void TestPrompts::realQuestion() {
    QFETCH(int, key);
    QFETCH(QString, click);
    QFETCH(bool, confirmed);
    QFETCH(bool, yes);
    bool answer = !confirmed;
    const SeenBox seen =
        answerRealBox([&] { answer = Prompt::confirm(QStringLiteral("삭제할까요?")); }, Qt::Key(key), click);
    QCOMPARE(answer, confirmed);
    QCOMPARE(seen.title, QStringLiteral("㈜델모라"));
    QCOMPARE(seen.text, QStringLiteral("삭제할까요?"));
    QCOMPARE(int(seen.icon), int(QMessageBox::Question));
    QCOMPARE(seen.buttons, (QStringList{QStringLiteral("예"), QStringLiteral("아니오")}));
    QCOMPARE(seen.defaultButton, QStringLiteral("예"));

    bool strict = !yes;
    answerRealBox([&] { strict = Prompt::askYes(QStringLiteral("삭제할까요?")); }, Qt::Key(key), click);
    QCOMPARE(strict, yes);

    QFETCH(bool, retry);
    bool again = !retry;
    const SeenBox retrySeen =
        answerRealBox([&] { again = Prompt::askRetry(QStringLiteral("다시 할까요?")); }, Qt::Key(key), click);
    QCOMPARE(again, retry);
    QCOMPARE(retrySeen.buttons, (QStringList{QStringLiteral("예"), QStringLiteral("아니오")}));
    QCOMPARE(int(retrySeen.icon), int(QMessageBox::Question));
}

void TestPrompts::realInputCancelled() {
    QString seenTitle;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        seenTitle = dialog->windowTitle();
        dialog->setTextValue(QStringLiteral("입력했지만 취소"));
        dialog->reject();
    });
    QCOMPARE(Prompt::input(QStringLiteral("비밀번호"), PromptTitle, QStringLiteral("기본")), QString());
    QCOMPARE(seenTitle, QStringLiteral("㈜델모라"));
}

void TestPrompts::scriptedAnswersInOrder() {
    PromptScript script;
    script.answerNo();
    script.answerYes();
    script.answerText(QStringLiteral("홍길동"));
    script.answerSaveAs(QStringLiteral("/tmp/x.xls"), QStringLiteral("Excel Files (*.xls)"));

    // Notices between the questions take none of the queued answers.
    Prompt::notice(QStringLiteral("하나"));
    QCOMPARE(Prompt::confirm(QStringLiteral("둘")), false);
    Prompt::refusal(QStringLiteral("셋"));
    QCOMPARE(Prompt::confirm(QStringLiteral("넷")), true);
    QCOMPARE(Prompt::input(QStringLiteral("이름"), QStringLiteral("제목"), QStringLiteral("기본")),
             QStringLiteral("홍길동"));
    QString filter;
    const QStringList filters{QStringLiteral("Excel Files (*.xls)"),
                              QStringLiteral("Excel Workbook (*.xlsx)")};
    QCOMPARE(Prompt::saveAs(QStringLiteral("오더내역_210415"), filters, &filter),
             QStringLiteral("/tmp/x.xls"));
    QCOMPARE(filter, QStringLiteral("Excel Files (*.xls)"));

    QCOMPARE(script.texts(), (QStringList{"하나", "둘", "셋", "넷", "이름", ""}));
    QCOMPARE(int(script.asked()[0].kind), int(PromptKind::Notice));
    QCOMPARE(int(script.asked()[2].kind), int(PromptKind::Refusal));
    QCOMPARE(script.asked()[4].title, QStringLiteral("제목"));
    QCOMPARE(script.asked()[4].defaultValue, QStringLiteral("기본"));
    QCOMPARE(script.asked()[5].defaultValue, QStringLiteral("오더내역_210415"));
    QCOMPARE(script.asked()[5].filter, filters.join(";;"));
    QCOMPARE(script.asked()[1].title, PromptTitle);
    QVERIFY(script.unexpected().isEmpty());
    QCOMPARE(script.pendingAnswers(), 0);
}

void TestPrompts::unexpectedPromptsAnswerSafely_data() {
    QTest::addColumn<int>("which");
    QTest::newRow("confirm") << 0;
    QTest::newRow("askYes") << 1;
    QTest::newRow("input") << 2;
    QTest::newRow("saveAs") << 3;
}

void TestPrompts::unexpectedPromptsAnswerSafely() {
    QFETCH(int, which);
    PromptScript script;
    QString filter = QStringLiteral("untouched");
    switch (which) {
    case 0:
        QCOMPARE(Prompt::confirm(QStringLiteral("지울까요?")), false);
        break;
    case 1:
        QCOMPARE(Prompt::askYes(QStringLiteral("지울까요?")), false);
        break;
    case 2:
        QCOMPARE(Prompt::input(QStringLiteral("지울까요?")), QString());
        break;
    default:
        QCOMPARE(Prompt::saveAs(QStringLiteral("지울까요?"), {QStringLiteral("*.xls")}, &filter), QString());
    }
    QCOMPARE(script.unexpected(), QStringList{QStringLiteral("지울까요?")});
    QCOMPARE(script.asked().size(), size_t(1));
}

void TestPrompts::storeErrorText() {
    PromptScript script;
    Prompt::storeError(-2147217900, QStringLiteral("'x' 근처의 구문이 잘못되었습니다."));
    QCOMPARE(script.texts(), QStringList{QStringLiteral(
                                 "에러번호 : -2147217900\n에러내용 : 'x' 근처의 구문이 잘못되었습니다.")});
    QCOMPARE(int(script.asked()[0].kind), int(PromptKind::Refusal));
    QVERIFY(script.unexpected().isEmpty());
}

void TestPrompts::nestedScripts() {
    PromptScript outer;
    {
        PromptScript inner;
        inner.answerYes();
        QVERIFY(Prompt::confirm(QStringLiteral("안")));
        QCOMPARE(PromptScript::active(), &inner);
    }
    QCOMPARE(PromptScript::active(), &outer);
    Prompt::notice(QStringLiteral("밖"));
    QCOMPARE(outer.texts(), QStringList{QStringLiteral("밖")});
}

DELMORA_TEST_MAIN(TestPrompts)
#include "tst_prompts.moc"
