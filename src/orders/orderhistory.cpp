#include "orderhistory.h"

#include "gridroutines.h"
#include "orderstatements.h"
#include "prompts.h"
#include "spreadgrid.h"
#include "storetrap.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const char* const Columns[] = {"일시", "누가", "항목", "이전값", "새값", "방법"};
}

frmOrderHistory::frmOrderHistory(qint64 orderId, QWidget* parent) : QDialog(parent), m_orderId(orderId) {
    setObjectName(QStringLiteral("frmOrderHistory"));
    setWindowTitle(QStringLiteral("변경이력 - 오더 %1").arg(orderId));
    auto* layout = new QVBoxLayout(this);
    sp = new SpreadGrid(this);
    sp->setObjectName(QStringLiteral("sp"));
    sp->setMaxCols(int(std::size(Columns)));
    for (int c = 0; c < int(std::size(Columns)); ++c)
        sp->SetText(c + 1, 0, QString::fromUtf8(Columns[c]));
    layout->addWidget(sp);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("닫 기"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cmdClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(900, 420);
    ApplyGridStyle(this);
}

bool frmOrderHistory::Load() {
    if (!StoreChecksVersions()) {
        Prompt::notice(QStringLiteral("이 저장소는 오더의 변경 이력을 기록하지 않습니다."));
        return false;
    }
    return RunRoutine([&] {
        StoreTrap trap;
        const ColumnRequest columns(std::begin(Columns), std::end(Columns));
        SharedRecordset rs = trap.open(OrderSql::OrderHistoryStatement(m_orderId), columns);
        sp->ReDraw(false);
        sp->setMaxRows(0);
        for (; !rs.eof(); rs.MoveNext()) {
            QStringList row;
            for (const char* c : Columns)
                row << trap.field(rs, QString::fromUtf8(c));
            sp->AppendRow(row);
        }
        sp->ReDraw(true);
        sp->resizeColumnsToContents();
        // Values before and after are what the reader compares: they get the room.
        for (int c = 0; c < sp->MaxCols(); ++c)
            sp->setColumnWidth(c, qMax(sp->columnWidth(c), c == 3 || c == 4 ? 220 : 80));
    });
}

void ShowOrderHistory(QWidget* parent, qint64 orderId) {
    if (orderId < 1) {
        Prompt::refusal(QStringLiteral("이력을 볼 오더를 선택하세요."));
        return;
    }
    frmOrderHistory history(orderId, parent);
    if (history.Load()) history.exec();
}
