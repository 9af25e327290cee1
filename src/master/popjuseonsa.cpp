#include "popjuseonsa.h"

#include "handover.h"
#include "mytext.h"

#include <QPushButton>

namespace {
using Row = MasterPopup::BoxRow;
const std::vector<Row>& NameRows() {
    static const std::vector<Row> rows = {
        {QStringLiteral("주선사명"), QStringLiteral("주선사명"), QStringLiteral("주선사명")},
        {QStringLiteral("연락처"), QStringLiteral("연락처"), QStringLiteral("연락처")},
        {QStringLiteral("대표자"), QStringLiteral("대표자"), QStringLiteral("대표자")},
    };
    return rows;
}
} // namespace

popJuseonsa::popJuseonsa(QWidget* parent)
    : MasterPopup(parent, QStringLiteral("popJuseonsa"), QStringLiteral("주선사정보"),
                  QStringLiteral("주선사"), 5115, 4965) {
    AddRows(0, {{QStringLiteral("아이디"), QStringLiteral("아이디"), QStringLiteral("아이디")}});
    AddRows(1, NameRows());
    AddRows(4, CompanyRows());
    아이디 = Box(QStringLiteral("아이디"));
    주선사명 = Box(QStringLiteral("주선사명"));

    QPushButton* save = AddButton(4, QString(), 45, 4545);
    QPushButton* remove = AddButton(0, QStringLiteral("   삭제"), 1575, 4545);
    QPushButton* reset = AddButton(1, QStringLiteral("   비밀번호초기화"), 3105, 4545);
    reset->resize(reset->width() * 1950 / 1440, reset->height());
    connect(save, &QPushButton::clicked, this, [this] { SaveRecord(); });
    connect(remove, &QPushButton::clicked, this, [this] { DeleteRecord(); });
    connect(reset, &QPushButton::clicked, this, [this] { ResetPassword(); });

    save->setText(IsModifyMode() ? QStringLiteral("   정보수정") : QStringLiteral("   신규등록"));
    remove->setVisible(IsModifyMode());
    // A broker's 아이디 is its sign-in name: chosen at registration, never changed.
    아이디->setEnabled(!IsModifyMode());
    // There is no broker yet to reset while registering.
    reset->setEnabled(IsModifyMode());

    LoadRecord();
}

void popJuseonsa::LoadRecord() {
    if (!IsModifyMode()) return;
    LoadBoxes(QStringLiteral("select * from 코드_주선사 where ID=") +
              QString::number(KeyNumber(SelectedKey)));
}

QString popJuseonsa::SaveStatement() const {
    // The slots the client never fills go as empty texts: the password of a new broker (set at
    // the first sign-in) and one the store keeps nothing in.
    QStringList arguments{TextVal(아이디)};
    if (!IsModifyMode()) arguments << QString();
    arguments << TextVals(NameRows()) << QString() << TextVals(CompanyRows());
    return Call(IsModifyMode() ? QStringLiteral("주선사수정") : QStringLiteral("주선사저장"), arguments);
}

void popJuseonsa::SaveRecord() {
    Save([this] { return SaveStatement(); }, IsModifyMode() ? QStringLiteral("정보가 저장되었습니다.")
                                                            : QStringLiteral("신규등록 저장되었습니다."));
}

void popJuseonsa::DeleteRecord() {
    if (SelectedKey.isEmpty()) {
        Notice(QStringLiteral("삭제할 내용이 없습니다."));
        return;
    }
    if (!AskRisky(QStringLiteral("정말로 삭제 하시겠습니까?"))) return;
    // A plain statement: deleted at another desk meanwhile, it finds no row and says so.
    Write(QStringLiteral("delete from 코드_주선사 where ID=") + QString::number(KeyNumber(SelectedKey)),
          QStringLiteral("삭제 되었습니다."), GoneText(QStringLiteral("삭제할 내용이 없습니다.")));
}

void popJuseonsa::ResetPassword() {
    if (!IsModifyMode()) return;
    if (!AskRisky(QStringLiteral("비밀번호를 초기화 하시겠습니까?"))) return;
    Write(QStringLiteral("update 코드_주선사 set 비밀번호='' where ID=") +
              QString::number(KeyNumber(SelectedKey)),
          QStringLiteral("비밀번호가 초기화 되었습니다."),
          GoneText(QStringLiteral("비밀번호가 초기화되지 않았습니다.")));
}
