#include "pophwaju.h"

#include "handover.h"
#include "mytext.h"
#include "signin.h"
#include "sqltext.h"

#include <QPushButton>

namespace {
using Row = MasterPopup::BoxRow;
// The rows before and after the company block, each as its label, box and column.
const std::vector<Row>& NameRows() {
    static const std::vector<Row> rows = {
        {QStringLiteral("화주명"), QStringLiteral("화주명"), QStringLiteral("화주명")},
        {QStringLiteral("연락처"), QStringLiteral("연락처"), QStringLiteral("연락처")},
        {QStringLiteral("회사명"), QStringLiteral("회사명"), QStringLiteral("회사명")},
        {QStringLiteral("대표자"), QStringLiteral("대표자"), QStringLiteral("대표자")},
    };
    return rows;
}
const std::vector<Row>& InvoiceRows() {
    static const std::vector<Row> rows = {
        {QStringLiteral("이메일"), QStringLiteral("이메일"), QStringLiteral("이메일")},
        {QStringLiteral("계산서담당"), QStringLiteral("계산서담당"), QStringLiteral("계산서담당")},
        {QStringLiteral("담당전화"), QStringLiteral("담당전화"), QStringLiteral("계산서담당전화")},
    };
    return rows;
}
} // namespace

popHwaju::popHwaju(QWidget* parent)
    : MasterPopup(parent, QStringLiteral("popHwaju"), QStringLiteral("화주정보"), QStringLiteral("화주"),
                  5115, 6405) {
    AddRows(0, {{QStringLiteral("코드"), QStringLiteral("코드"), QStringLiteral("코드")}});
    AddRows(1, NameRows());
    AddRows(5, CompanyRows());
    AddRows(13, InvoiceRows());
    코드 = Box(QStringLiteral("코드"));
    화주명 = Box(QStringLiteral("화주명"));

    QPushButton* save = AddButton(4, QString(), 45, 5985);
    QPushButton* remove = AddButton(0, QStringLiteral("   화주삭제"), 1575, 5985);
    QPushButton* close = AddButton(99, QStringLiteral("   닫 기"), 4005, 5985);
    close->resize(close->width() * 1050 / 1440, close->height());
    connect(save, &QPushButton::clicked, this, [this] { SaveRecord(); });
    connect(remove, &QPushButton::clicked, this, [this] { DeleteRecord(); });
    connect(close, &QPushButton::clicked, this, [this] { reject(); });

    save->setText(IsModifyMode() ? QStringLiteral("   정보수정") : QStringLiteral("   신규등록"));
    remove->setVisible(IsModifyMode());
    코드->setEnabled(IsModifyMode());
    // The code names the shipper 화주수정 and 화주삭제 act on: typed over, a save would write
    // this shipper's fields over another's. It is shown, not edited.
    코드->setLocked(true);

    LoadRecord();
}

void popHwaju::LoadRecord() {
    if (!IsModifyMode()) return;
    LoadBoxes(QStringLiteral("select * from 코드_화주 where ID=") + QString::number(KeyNumber(SelectedKey)));
}

QString popHwaju::SaveStatement() const {
    // A new shipper is registered by the signed-in broker; the store hands out its code.
    const QString first = IsModifyMode() ? TextVal(코드) : LoginId;
    return Call(IsModifyMode() ? QStringLiteral("화주수정") : QStringLiteral("화주저장"),
                QStringList{first} + TextVals(NameRows()) + TextVals(CompanyRows()) +
                    TextVals(InvoiceRows()));
}

void popHwaju::SaveRecord() {
    Save([this] { return SaveStatement(); }, IsModifyMode() ? QStringLiteral("정보가 저장되었습니다.")
                                                            : QStringLiteral("신규등록 저장되었습니다."));
}

void popHwaju::DeleteRecord() {
    const QString code = TextVal(코드);
    if (code.isEmpty()) {
        Notice(QStringLiteral("삭제할 내용이 없습니다."));
        return;
    }
    if (!AskRisky(QStringLiteral("정말로 삭제 하시겠습니까?"))) return;
    Write(ExecBuilder(QStringLiteral("화주삭제")).text(code), QStringLiteral("삭제되었습니다."));
}
