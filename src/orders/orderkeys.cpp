// The board's keyboard: a label's Alt letter reaches its field, Ctrl+S / F2 and Ctrl+M / F3
// save and modify from anywhere on the board, Enter presses a focused button. An order is
// taken while the shipper talks; every detour to the mouse or a string of Tabs costs a word.
#include "frmorder.h"

#include "droplist.h"
#include "gridroutines.h"
#include "mytext.h"
#include "orderhistory.h"
#include "spreadgrid.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

namespace {
// A caption with its Alt letter is longer than the room drawn for the caption alone: it
// takes the free room to its left (right-aligned, so it still ends at its field), and only
// what still does not fit is set a little smaller.
void FitCaption(QLabel* label) {
    const QString shown = QString(label->text()).remove(QLatin1Char('&'));
    QRect g = label->geometry();
    int leftLimit = 0;
    for (QObject* o : label->parentWidget()->children()) {
        auto* sibling = qobject_cast<QWidget*>(o);
        if (!sibling || sibling == label || sibling->isWindow()) continue;
        const QRect r = sibling->geometry();
        if (r.bottom() < g.top() || r.top() > g.bottom() || r.right() >= g.left()) continue;
        leftLimit = qMax(leftLimit, r.right() + 3);
    }
    // Measured in the panel's own face each time, so a caption laid out again (wider or
    // narrower) is fitted afresh rather than from an earlier fit.
    const QFont face = label->parentWidget()->font();
    const int need = QFontMetrics(face).horizontalAdvance(shown) + 2;
    const int extra = qMin(need - g.width(), g.left() - leftLimit);
    if (extra > 0) {
        g.setLeft(g.left() - extra);
        label->setGeometry(g);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    QFont font = face;
    while (QFontMetrics(font).horizontalAdvance(shown) + 2 > g.width() && font.pointSizeF() > 7)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (font != label->font()) label->setFont(font);
}
} // namespace

void frmOrder::FitEntryCaptions() {
    for (const auto& [caption, label] : m_labels)
        if (label->text().contains(QLatin1Char('&'))) FitCaption(label);
}

void frmOrder::BuildKeyboard() {
    // Caption, Alt letter and the field it reaches. The letters follow the fields' sense
    // (Product, Ton, Kind, Fare, Code, Weight) where the Korean gives none.
    struct Mnemonic {
        const char* caption;
        char letter;
        QWidget* field;
    };
    const Mnemonic mnemonics[] = {
        {"상차지", 'S', 상차지},     {"운행방법", 'R', 운행구분[0]}, {"댓수", 'N', 댓수},
        {"제품정보", 'P', 제품정보}, {"상차일시", 'T', 상차시},      {"희망톤수", 'O', 희망톤수},
        {"차종", 'K', 차종},         {"하차지", 'H', 하차지},        {"운임형태", 'F', 운임형태},
        {"금액", 'G', 금액},         {"하차일시", 'Y', 하차시},      {"화주정보", 'C', 화주코드},
    };
    auto mark = [](QLabel* label, const QString& caption, char letter, QWidget* field) {
        label->setText(caption + QStringLiteral("(&") + QLatin1Char(letter) + QLatin1Char(')'));
        label->setBuddy(field);
        FitCaption(label);
    };
    for (const Mnemonic& m : mnemonics) {
        const QString caption = QString::fromUtf8(m.caption);
        mark(m_labels.at(caption), caption, m.letter, m.field);
    }
    mark(화물중량라벨, QStringLiteral("화물중량"), 'W', 화물중량);
    // The run kind's letter lands on the kind that is selected, as Tab does.
    QLabel* runLabel = m_labels.at(QStringLiteral("운행방법"));
    connect(m_runGroup, &QButtonGroup::idToggled, this, [runLabel, this](int id, bool on) {
        if (on) runLabel->setBuddy(운행구분[size_t(id)]);
    });

    상차시->setTimeList(true);
    하차시->setTimeList(true);

    // 화주명 shows the shipper's name for the code; Tab passes it by.
    화주명->setLocked(true);
    화주명->setFocusPolicy(Qt::ClickFocus);

    for (auto& [index, button] : cmdArr)
        button->setAutoDefault(true); // Enter presses the focused button, as Space does
    auto shortcut = [this](const QKeySequence& keys, QPushButton* button) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, button, [button] {
            if (button->isEnabled()) button->click();
        });
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), cmdArr[1]);
    shortcut(QKeySequence(Qt::Key_F2), cmdArr[1]);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_M), cmdArr[2]);
    shortcut(QKeySequence(Qt::Key_F3), cmdArr[2]);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_D), cmdArr[8]);
    // The shown order's (else the selected row's) changes, as the store recorded them.
    auto* history = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this);
    history->setContext(Qt::WidgetWithChildrenShortcut);
    connect(history, &QShortcut::activated, this,
            [this] { ShowOrderHistory(this, m_shownId > 0 ? m_shownId : ActiveOrderId()); });
    cmdArr[1]->setToolTip(QStringLiteral("새 오더로 저장 (Ctrl+S, F2)"));
    cmdArr[2]->setToolTip(QStringLiteral("선택한 오더를 수정 (Ctrl+M, F3)"));
    cmdArr[8]->setToolTip(QStringLiteral("선택한 오더를 새 오더로 복사 (Ctrl+D)"));

    connect(화주코드, &MyText::KeyDown, this, [this](int& code, int) {
        if (code != 13) return;
        ShipperCodeEntered();
        EnterToTab(code);
        OfferLanesWhenIdle();
    });
    connect(화주코드, &MyText::LostFocus, this, [this] { ShipperCodeEntered(); });

    // Tab in the suggestions picks the row like Enter: it is the key that moves on.
    fSP->installEventFilter(this);
}
