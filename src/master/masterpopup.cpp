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

namespace {
constexpr double BoxHeight = 300;
constexpr double ButtonWidth = 1440, ButtonHeight = 390;
// One-column pop-ups: label and box columns, rows 360 twips apart from the top.
constexpr double RowLabelLeft = 90, RowLabelWidth = 1350, RowBoxLeft = 1485, RowBoxWidth = 3420;
constexpr double FirstRowTop = 45, RowPitch = 360;
} // namespace

MasterPopup::MasterPopup(QWidget* parent, const QString& name, const QString& caption, double widthTwips,
                         double heightTwips)
    : QDialog(parent), m_modify(!SelectedKey.isEmpty()) {
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
    if (!column.isEmpty()) m_bound.emplace_back(box, column);
    return box;
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

QString MasterPopup::Call(const QString& procedure, const QStringList& arguments) {
    ExecBuilder call(procedure);
    for (const QString& a : arguments)
        call.text(a);
    return call;
}

QComboBox* MasterPopup::AddChoice(const QString& name, const QStringList& items, double left, double top,
                                  double width) {
    auto* list = new QComboBox(backPanel);
    list->setObjectName(name);
    list->addItems(items);
    list->setCurrentIndex(0);
    PlaceTwips(list, left, top, width, BoxHeight);
    // Enter moves on as Tab does.
    list->installEventFilter(this);
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
    return RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset rs = trap.open(statement);
        if (rs.eof()) return;
        for (const auto& [box, column] : m_bound) {
            const QString stored = trap.field(rs, column);
            box->SetText(stored);
            m_loaded.insert(box, Loaded{stored, box->Text()});
        }
        ShowRow(rs);
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

QString MasterPopup::Sent(const MyText* box, const QString& reading) const {
    const auto it = m_loaded.constFind(box);
    if (it != m_loaded.cend() && box->Text() == it->shown) return it->stored;
    return reading;
}

QString MasterPopup::Text(const MyText* box) const {
    return Sent(box, box->Text());
}
QString MasterPopup::TextVal(const MyText* box) const {
    return Sent(box, box->TextVal());
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

bool MasterPopup::Write(const QString& statement, const QString& notice) {
    DataChanged = true;
    const bool done = RunRoutine([&] {
        StoreTrap trap;
        trap.execute(statement);
    });
    if (!done) return false;
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
        m_asOpened = Shown();
        QWidget* first = hFocus;
        for (auto it = m_bound.begin(); !m_modify && it != m_bound.end() && first == hFocus; ++it)
            if (it->first->isEnabled() && !it->first->isReadOnly()) first = it->first;
        first->setFocus(Qt::OtherFocusReason);
    }
    return QDialog::event(event);
}

QStringList MasterPopup::Shown() const {
    QStringList shown;
    for (const MyText* box : backPanel->findChildren<MyText*>())
        if (box != hFocus) shown << box->Text();
    for (const QComboBox* list : backPanel->findChildren<QComboBox*>())
        shown << list->currentText();
    return shown;
}

bool MasterPopup::HasChanges() const {
    return m_opened && Shown() != m_asOpened;
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
