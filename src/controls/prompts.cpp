#include "prompts.h"

#include "entryfilter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTreeView>

namespace {

PromptScript* g_script = nullptr;

QWidget* dialogParent() {
    // Right after another box closed, the dialog under it is not active again yet: a box
    // without a parent would leave the keyboard with no window once it closed.
    if (QWidget* active = QApplication::activeWindow()) return active;
    return QApplication::activeModalWidget();
}

// Shows one OK box, or records it when a test script is installed.
void okBox(PromptKind kind, QMessageBox::Icon icon, const QString& text) {
    if (PromptScript* script = PromptScript::active()) {
        script->record({kind, text, PromptTitle, {}, {}});
        return;
    }
    QMessageBox box(icon, PromptTitle, text, QMessageBox::Ok, dialogParent());
    box.exec();
}

enum class YesNo { Yes, No, Closed };

// escapeMeansNo: Esc and the close box press 아니오; otherwise they press 예.
// noByDefault: Enter presses 아니오 instead of 예.
YesNo yesNoBox(const QString& text, bool escapeMeansNo = true, bool noByDefault = false) {
    if (PromptScript* script = PromptScript::active()) {
        PromptRecord record{PromptKind::Question, text, PromptTitle, {}, {}};
        record.noByDefault = noByDefault;
        PromptScript::Answer answer;
        // Nobody expected this question: answer the cautious way so nothing gets written.
        if (!script->takeAnswer(record, &answer)) return YesNo::No;
        if (answer.closed) return escapeMeansNo ? YesNo::No : YesNo::Closed;
        return answer.yes ? YesNo::Yes : YesNo::No;
    }
    QMessageBox box(QMessageBox::Question, PromptTitle, text, QMessageBox::NoButton, dialogParent());
    QPushButton* yes = box.addButton(QStringLiteral("예"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("아니오"), QMessageBox::NoRole);
    box.setDefaultButton(noByDefault ? no : yes);
    box.setEscapeButton(escapeMeansNo ? no : yes);
    box.exec();
    if (box.clickedButton() == no) return YesNo::No;
    if (box.clickedButton() == yes) return YesNo::Yes;
    return YesNo::Closed;
}

// The file list's size, type and date columns as wide as their texts, the name taking what is
// left: Qt's own widths cut them to "11....KiB" even in a wide dialog.
void showFileColumns(QFileDialog& dialog) {
    auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!list || list->header()->count() < 4) return;
    const QFontMetrics metrics(list->font());
    const int pad = 3 * metrics.averageCharWidth();
    const QDateTime sample(QDate(2026, 12, 28), QTime(23, 59, 59));
    const int widths[] = {metrics.horizontalAdvance(QStringLiteral("999.9 KiB")) + pad,
                          metrics.horizontalAdvance(QStringLiteral("Excel 2007 스프레드시트")) + pad,
                          metrics.horizontalAdvance(QLocale().toString(sample, QLocale::ShortFormat)) + pad};
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    for (int i = 0; i < 3; ++i)
        header->resizeSection(i + 1, widths[i]);
    // The dialog's list is about as wide as the dialog less its side bar and margins.
    const int rest = dialog.width() - 200 - widths[0] - widths[1] - widths[2];
    header->resizeSection(0, std::max(rest, 12 * metrics.averageCharWidth()));
}

} // namespace

namespace Prompt {

void notice(const QString& text) {
    okBox(PromptKind::Notice, QMessageBox::Information, text);
}
void refusal(const QString& text) {
    okBox(PromptKind::Refusal, QMessageBox::Question, text);
}
void plain(const QString& text) {
    okBox(PromptKind::Plain, QMessageBox::NoIcon, text);
}

bool confirm(const QString& text) {
    return yesNoBox(text) != YesNo::No;
}
bool confirmRisky(const QString& text) {
    return yesNoBox(text, true, true) != YesNo::No;
}
bool askRetry(const QString& text) {
    return yesNoBox(text, false) != YesNo::No;
}
bool askYes(const QString& text) {
    return yesNoBox(text) == YesNo::Yes;
}

QString storeErrorText(qint64 number, const QString& description) {
    return QStringLiteral("에러번호 : ") + QString::number(number) + QLatin1Char('\n') +
           QStringLiteral("에러내용 : ") + description;
}

void storeError(qint64 number, const QString& description) {
    refusal(storeErrorText(number, description));
}

QString input(const QString& prompt, const QString& title, const QString& defaultValue) {
    if (PromptScript* script = PromptScript::active()) {
        PromptRecord record{PromptKind::Input, prompt, title, defaultValue, {}};
        PromptScript::Answer answer;
        if (!script->takeAnswer(record, &answer)) return {};
        return answer.text;
    }
    QInputDialog box(dialogParent());
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setInputMode(QInputDialog::TextInput);
    box.setTextValue(defaultValue);
    if (auto* line = box.findChild<QLineEdit*>()) FilterPlainEntry(line);
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

QString SaveAsFolder(const QString& folder) {
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) return QDir::cleanPath(folder);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir(documents).exists()) return documents;
    return QDir::homePath();
}

QString saveAs(const QString& defaultName, const QStringList& filters, QString* selectedFilter,
               const QString& folder) {
    const QString filterText = filters.join(QStringLiteral(";;"));
    const QString start = SaveAsFolder(folder);
    if (PromptScript* script = PromptScript::active()) {
        PromptRecord record{PromptKind::SaveAs, {}, PromptTitle, defaultName, filterText, start};
        PromptScript::Answer answer;
        if (!script->takeAnswer(record, &answer)) return {};
        if (selectedFilter)
            *selectedFilter = answer.text.isEmpty()     ? QString()
                              : answer.filter.isEmpty() ? filters.value(0)
                                                        : answer.filter;
        return answer.text;
    }
    // Qt's own dialog rather than the desktop's: it speaks the program's Korean whatever the
    // desktop is, and it takes the size that shows the file list's size, type and date.
    QFileDialog dialog(dialogParent(), PromptTitle, start, filterText);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    // The callers ask their own overwrite question (with 예/아니오), so the dialog must not ask too.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setViewMode(QFileDialog::Detail);
    if (!filters.isEmpty()) dialog.selectNameFilter(filters.front());
    if (!defaultName.isEmpty())
        dialog.selectFile(QFileInfo(defaultName).isRelative() ? QDir(start).filePath(defaultName)
                                                              : defaultName);
    QSize size(SaveAsDialogWidth, SaveAsDialogHeight);
    if (const QScreen* screen = dialog.screen()) size = size.boundedTo(screen->availableGeometry().size());
    dialog.resize(size);
    showFileColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        if (selectedFilter) selectedFilter->clear();
        return {};
    }
    if (selectedFilter) *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

} // namespace Prompt

PromptScript::PromptScript() : m_previous(g_script) {
    g_script = this;
}

PromptScript::~PromptScript() {
    if (g_script == this) g_script = m_previous;
}

PromptScript* PromptScript::active() {
    return g_script;
}

QStringList PromptScript::texts() const {
    QStringList out;
    for (const PromptRecord& r : m_asked)
        out << r.text;
    return out;
}

bool PromptScript::takeAnswer(const PromptRecord& record, Answer* answer) {
    m_asked.push_back(record);
    if (m_answers.empty()) {
        m_unexpected << (record.text.isEmpty() ? record.defaultValue : record.text);
        return false;
    }
    *answer = m_answers.front();
    m_answers.pop_front();
    return true;
}
