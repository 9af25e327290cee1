// The day at a glance: above the list, how many of the listed orders stand in each status, in
// the statuses' own ink. A count narrows the list to its status; the counts come from the list
// itself, never from a query of their own.
#include "frmorder.h"

#include "orderderive.h"
#include "statusscheme.h"
#include "storetrap.h"
#include "twips.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <algorithm>

namespace {
int StatusIndex(QByteArrayView stored) {
    const QString status = QString::fromUtf8(stored).trimmed();
    for (size_t i = 0; i < OrderDerive::Statuses.size(); ++i)
        if (OrderDerive::Statuses[i] == status) return int(i);
    return -1;
}
} // namespace

void frmOrder::BuildStatusStrip() {
    상태건수 = new QFrame(backPanel);
    상태건수->setObjectName(QStringLiteral("상태건수"));
    auto* row = new QHBoxLayout(상태건수);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    for (int i = 0; i < 7; ++i) {
        const QString& status = OrderDerive::Statuses[size_t(i)];
        if (i > 0) row->addWidget(new QLabel(QStringLiteral("·"), 상태건수));
        auto* count = new QPushButton(상태건수);
        count->setObjectName(QStringLiteral("상태건수(%1)").arg(i));
        count->setFlat(true);
        // Reached by Alt and its number; Tab passes the strip by.
        count->setFocusPolicy(Qt::NoFocus);
        count->setCursor(Qt::PointingHandCursor);
        count->setToolTip(QStringLiteral("%1만 보기 (Alt+%2), 다시 누르면 전체").arg(status).arg(i + 1));
        count->setStyleSheet(QStringLiteral("QPushButton { color: %1; font-weight: bold; padding: 0 4px; border: none; }")
                                 .arg(StatusScheme::StatusColour(status).name()));
        connect(count, &QPushButton::clicked, this, [this, i] { ShowOnlyStatus(i); });
        auto* key = new QShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + i)), this);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        connect(key, &QShortcut::activated, this, [this, i] { ShowOnlyStatus(i); });
        상태건수버튼[size_t(i)] = count;
        row->addWidget(count);
    }
    row->addStretch(1);
    ShowStatusCounts();
}

void frmOrder::PlaceStatusStrip(double top, double width) {
    PlaceTwips(상태건수, 95, top, width, 300); // the list's left edge, one row high
}

void frmOrder::CountStatuses(const SharedRecordset& rs) {
    m_statusCounts.fill(0);
    const dstore::ResultSet* rows = rs.rows();
    const int column = rows ? rows->columnIndex("오더상태") : -1;
    if (column >= 0)
        for (qsizetype r = 0; r < rows->rowCount(); ++r) {
            const int i = StatusIndex(rows->bytes(r, column));
            if (i >= 0) ++m_statusCounts[size_t(i)];
        }
    ShowStatusCounts();
}

void frmOrder::ShowStatusCounts() {
    for (size_t i = 0; i < 상태건수버튼.size(); ++i) {
        // A status the boxes leave out is not listed: its count would only say nothing.
        const bool listed = chk조회구분[i]->isChecked() || std::none_of(chk조회구분.begin(), chk조회구분.end(),
                                                                        [](QCheckBox* b) { return b->isChecked(); });
        상태건수버튼[i]->setText(OrderDerive::Statuses[i] + QLatin1Char(' ') +
                                 (listed ? QString::number(m_statusCounts[i]) : QStringLiteral("-")));
    }
}

void frmOrder::ShowOnlyStatus(int status) {
    if (status < 0 || status > 6) return;
    // The count of the one status listed brings every status back.
    bool alone = chk조회구분[size_t(status)]->isChecked();
    for (int i = 0; i < 7; ++i)
        if (i != status && chk조회구분[size_t(i)]->isChecked()) alone = false;
    if (!MayDiscardPanel()) return;
    for (int i = 0; i < 7; ++i) {
        const QSignalBlocker quiet(chk조회구분[size_t(i)]);
        chk조회구분[size_t(i)]->setChecked(alone || i == status);
    }
    LoadOrderList(m_listFrom, m_listTo);
}
