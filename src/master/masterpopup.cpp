#include "masterpopup.h"

#include "gridroutines.h"
#include "handover.h"
#include "mytext.h"
#include "prompts.h"
#include "sqltext.h"
#include "storetrap.h"
#include "twips.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QScopedValueRollback>

namespace {
constexpr double BoxHeight = 300;
constexpr double ButtonWidth = 1440, ButtonHeight = 390;
// One-column pop-ups: label and box columns, rows 360 twips apart from the top.
constexpr double RowLabelLeft = 90, RowLabelWidth = 1350, RowBoxLeft = 1485, RowBoxWidth = 3420;
constexpr double FirstRowTop = 45, RowPitch = 360;

// What a box or list shows now.
QString Shown(const QWidget* widget) {
    if (const auto* box = qobject_cast<const MyText*>(widget)) return box->Text();
    return static_cast<const QComboBox*>(widget)->currentText();
}

// How a stored value shows in that box or list.
QString Display(const QWidget* widget, const QString& stored) {
    if (const auto* box = qobject_cast<const MyText*>(widget)) return FormatText(box->texttype(), stored);
    return stored;
}

QString Readable(const QString& value) {
    return value.isEmpty() ? QStringLiteral("(빈 칸)") : value;
}

// The question stays within the screen however many fields clash; the first ones are named.
constexpr qsizetype MaxClashesNamed = 5;
} // namespace

MasterPopup::MasterPopup(QWidget* parent, const QString& name, const QString& caption, const QString& noun,
                         double widthTwips, double heightTwips)
    : QDialog(parent), m_modify(!SelectedKey.isEmpty()), m_noun(noun) {
    setObjectName(name);
    setWindowTitle(caption);
    setModal(true);
    setFont(QFont(QStringLiteral("굴림"), 9));
    backPanel = new QWidget(this);
    backPanel->setObjectName(QStringLiteral("backPanel"));
    PlaceTwips(backPanel, 0, 0, widthTwips, heightTwips);
    // The client area is exactly the panel.
    setFixedSize(backPanel->size());

    // Off the visible area, yet able to take the focus: no box is selected when the pop-up
    // opens, so a stray key never edits a field.
    hFocus = new MyText(backPanel);
    hFocus->setObjectName(QStringLiteral("hFocus"));
    hFocus->setFocusPolicy(Qt::NoFocus); // given the focus, never reached by Tab
    PlaceTwips(hFocus, 15885, 0, 150, BoxHeight);
}

MyLabel* MasterPopup::AddLabel(const QString& caption, double left, double top, double width) {
    auto* label = new MyLabel(caption, backPanel);
    PlaceTwips(label, left, top, width, BoxHeight);
    return label;
}

MyText* MasterPopup::AddBox(const QString& name, const QString& label, const QString& column,
                            double labelLeft, double boxLeft, double top, double boxWidth, TextType type) {
    AddLabel(label, labelLeft, top, boxLeft - labelLeft - 45);
    auto* box = new MyText(backPanel);
    box->setObjectName(name);
    box->setTextType(type);
    if (type == TextType::BusinessNumber) box->setMaxLength(13);
    PlaceTwips(box, boxLeft, top, boxWidth, BoxHeight);
    Bind(box, column, label);
    return box;
}

void MasterPopup::Bind(QWidget* widget, const QString& column, const QString& label) {
    if (!column.isEmpty()) m_fields.push_back({widget, column, label.isEmpty() ? column : label});
}

void MasterPopup::AddRows(int first, const std::vector<BoxRow>& rows) {
    for (const BoxRow& r : rows) {
        AddBox(r.name, r.label, r.column, RowLabelLeft, RowBoxLeft, FirstRowTop + first++ * RowPitch,
               RowBoxWidth, r.businessNumber ? TextType::BusinessNumber : TextType::Plain);
    }
}

const std::vector<MasterPopup::BoxRow>& MasterPopup::CompanyRows() {
    static const std::vector<BoxRow> rows = {
        {QStringLiteral("사업자번호"), QStringLiteral("사업자번호"), QStringLiteral("사업자번호"), true},
        {QStringLiteral("주소1"), QStringLiteral("주소"), QStringLiteral("주소1")},
        {QStringLiteral("주소2"), QStringLiteral("상세주소"), QStringLiteral("주소2")},
        {QStringLiteral("업태"), QStringLiteral("업태"), QStringLiteral("업태")},
        {QStringLiteral("종목"), QStringLiteral("종목"), QStringLiteral("종목")},
        {QStringLiteral("우편번호"), QStringLiteral("우편번호"), QStringLiteral("우편번호")},
        {QStringLiteral("우편주소1"), QStringLiteral("우편주소"), QStringLiteral("우편주소1")},
        {QStringLiteral("우편주소2"), QStringLiteral("상세우편주소"), QStringLiteral("우편주소2")},
    };
    return rows;
}

MyText* MasterPopup::Box(const QString& name) const {
    return backPanel->findChild<MyText*>(name, Qt::FindDirectChildrenOnly);
}

QStringList MasterPopup::TextVals(const std::vector<BoxRow>& rows) const {
    QStringList values;
    for (const BoxRow& r : rows)
        values << TextVal(Box(r.name));
    return values;
}

QString MasterPopup::Call(const QString& procedure, const QStringList& arguments) const {
    ExecBuilder call(procedure);
    for (const QString& a : arguments)
        call.text(a);
    if (!m_version.isEmpty()) call.text(m_version);
    return call;
}

QComboBox* MasterPopup::AddChoice(const QString& name, const QStringList& items, double left, double top,
                                  double width, const QString& column) {
    auto* list = new QComboBox(backPanel);
    list->setObjectName(name);
    list->addItems(items);
    list->setCurrentIndex(0);
    PlaceTwips(list, left, top, width, BoxHeight);
    // Enter moves on as Tab does.
    list->installEventFilter(this);
    Bind(list, column, column);
    return list;
}

QPushButton* MasterPopup::AddButton(int index, const QString& caption, double left, double top) {
    auto* b = new QPushButton(caption, backPanel);
    b->setObjectName(QStringLiteral("cmdArr(%1)").arg(index));
    b->setAutoDefault(false); // Enter in a box must never press save
    PlaceTwips(b, left, top, ButtonWidth, ButtonHeight);
    cmdArr[index] = b;
    return b;
}

bool MasterPopup::LoadBoxes(const QString& statement) {
    m_loadStatement = statement;
    return RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(statement);
        if (rs.eof()) return;
        for (const Field& f : m_fields) {
            const QString stored = trap.field(rs, f.column);
            if (auto* box = qobject_cast<MyText*>(f.widget))
                box->SetText(stored);
            else
                ShowChoice(static_cast<QComboBox*>(f.widget), stored);
            m_loaded.insert(f.widget, Loaded{stored, Shown(f.widget)});
        }
        m_recordShown = true;
    });
}

void MasterPopup::ShowChoice(QComboBox* list, const QString& stored) {
    for (int i = list->count() - 1; i >= 0; --i) {
        if (list->itemText(i) == stored) {
            list->setCurrentIndex(i);
            return;
        }
    }
    list->addItem(stored);
    list->setCurrentIndex(list->count() - 1);
}

QString MasterPopup::Sent(const QWidget* widget, const QString& reading) const {
    const auto it = m_loaded.constFind(widget);
    if (it == m_loaded.cend() || Shown(widget) != it->shown) return reading;
    return m_now.value(widget, it->stored);
}

QString MasterPopup::Text(const MyText* box) const {
    return Sent(box, box->Text());
}
QString MasterPopup::TextVal(const MyText* box) const {
    return Sent(box, box->TextVal());
}
QString MasterPopup::Choice(const QComboBox* list) const {
    return Sent(list, list->currentText());
}

void MasterPopup::Notice(const QString& text) {
    Prompt::refusal(text);
}
bool MasterPopup::Ask(const QString& text) {
    return Prompt::confirm(text);
}
bool MasterPopup::AskRisky(const QString& text) {
    return Prompt::confirmRisky(text);
}

QString MasterPopup::GoneText(const QString& outcome) const {
    return QStringLiteral("다른 곳에서 삭제된 %1입니다. %2").arg(m_noun, outcome);
}

QString MasterPopup::ClashQuestion(const QHash<const QWidget*, QString>& now) const {
    QStringList clashes;
    for (const Field& f : m_fields) {
        const auto was = m_loaded.constFind(f.widget);
        if (was == m_loaded.cend()) continue;
        const QString mine = Shown(f.widget), stored = now.value(f.widget);
        const QString theirs = Display(f.widget, stored);
        // Changed here and there, to different values; the same change made twice is no clash.
        if (mine == was->shown || stored == was->stored || mine == theirs) continue;
        clashes << QStringLiteral("[%1]\n    창을 열 때: %2\n    지금 저장: %3\n    새로 입력: %4")
                       .arg(f.label, Readable(was->shown), Readable(theirs), Readable(mine));
    }
    if (clashes.isEmpty()) return {};
    const qsizetype more = clashes.size() - MaxClashesNamed;
    if (more > 0) {
        clashes.resize(MaxClashesNamed);
        clashes << QStringLiteral("그 밖에 %1개 항목도 양쪽에서 고쳐졌습니다.").arg(more);
    }
    return QStringLiteral("이 창을 연 뒤 다른 곳에서 %1 정보가 바뀌었습니다.\n"
                          "고치신 항목 가운데 다음 항목은 다른 곳에서도 고쳐졌습니다.\n\n")
               .arg(m_noun) +
           clashes.join(QStringLiteral("\n\n")) +
           QStringLiteral("\n\n고치지 않은 항목은 지금 저장된 값을 그대로 둡니다.\n"
                          "입력하신 값으로 저장하시겠습니까?");
}

bool MasterPopup::Save(const std::function<QString()>& statement, const QString& notice) {
    DataChanged = true;
    if (!m_recordShown) return Write(statement(), notice);

    bool found = false;
    QHash<const QWidget*, QString> now;
    QString version;
    const bool read = RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(m_loadStatement);
        if (rs.eof()) return;
        found = true;
        for (const Field& f : m_fields)
            now.insert(f.widget, trap.field(rs, f.column));
        // A store without versions (SQL Server) reads it as "" and is sent none.
        version = trap.field(rs, QStringLiteral("버전"));
    });
    if (!read) return false;
    if (!found) {
        Notice(GoneText(QStringLiteral("저장되지 않았습니다.")));
        return false;
    }
    // Only 예 overwrites what another desk saved.
    const QString question = ClashQuestion(now);
    if (!question.isEmpty() && !Prompt::askYes(question)) return false;

    const QScopedValueRollback keepNow(m_now, now);
    const QScopedValueRollback keepVersion(m_version, StoreChecksVersions() ? version : QString());
    return Write(statement(), notice);
}

bool MasterPopup::Write(const QString& statement, const QString& notice, const QString& nothingMatched) {
    DataChanged = true;
    qint64 changed = -1;
    const bool done = RunRoutine([&] {
        StoreTrap trap;
        changed = trap.execute(statement);
    });
    if (!done) return false;
    if (changed == 0 && !nothingMatched.isEmpty()) {
        Notice(nothingMatched);
        return false;
    }
    Prompt::notice(notice); // a success: the information icon, not the question mark
    accept();
    return true;
}

void MasterPopup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool MasterPopup::event(QEvent* event) {
    // Only when the pop-up first opens: taken back on every activation, the focus left the box a
    // message box was about, and the next typing went nowhere. A new record starts in its first
    // box; a record shown for editing selects none, so a stray key edits nothing.
    if (event->type() == QEvent::Show && !m_opened) {
        m_opened = true;
        m_asOpened = AllShown();
        QWidget* first = hFocus;
        for (auto it = m_fields.begin(); !m_modify && it != m_fields.end() && first == hFocus; ++it)
            if (auto* box = qobject_cast<MyText*>(it->widget); box && box->isEnabled() && !box->isReadOnly())
                first = box;
        first->setFocus(Qt::OtherFocusReason);
    }
    return QDialog::event(event);
}

QStringList MasterPopup::AllShown() const {
    QStringList shown;
    for (const MyText* box : backPanel->findChildren<MyText*>())
        if (box != hFocus) shown << box->Text();
    for (const QComboBox* list : backPanel->findChildren<QComboBox*>())
        shown << list->currentText();
    return shown;
}

bool MasterPopup::HasChanges() const {
    return m_opened && AllShown() != m_asOpened;
}

QString MasterPopup::UnsavedInput() const {
    return isVisible() && HasChanges() ? windowTitle() + QStringLiteral(" 창에서 고친 내용") : QString();
}

void MasterPopup::reject() {
    if (HasChanges() && !Prompt::confirmRisky(QStringLiteral(
                            "고친 내용이 저장되지 않았습니다.\n저장하지 않고 닫으시겠습니까?")))
        return;
    QDialog::reject();
}

bool MasterPopup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && qobject_cast<QComboBox*>(watched)) {
        auto* key = static_cast<QKeyEvent*>(event);
        int code = VirtualKeyCode(key->key());
        if (code == 13) {
            EnterToTab(code);
            return true;
        }
        if (code == 27) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
