#include "pophwaju.h"

#include "handover.h"
#include "mytext.h"
#include "signin.h"
#include "sqltext.h"

#include <QPushButton>

popHwaju::popHwaju(QWidget* parent)
    : MasterPopup(parent, QStringLiteral("popHwaju"), QStringLiteral("화주정보"), 5115, 6405) {
    int row = 0;
    auto box = [&](const char* name, const char* label, const char* column, TextType type = TextType::Plain) {
        return AddRow(row++, QString::fromUtf8(name), QString::fromUtf8(label), QString::fromUtf8(column),
                      type);
    };
    코드 = box("코드", "코드", "코드");
    화주명 = box("화주명", "화주명", "화주명");
    연락처 = box("연락처", "연락처", "연락처");
    회사명 = box("회사명", "회사명", "회사명");
    대표자 = box("대표자", "대표자", "대표자");
    사업자번호 = box("사업자번호", "사업자번호", "사업자번호", TextType::BusinessNumber);
    주소1 = box("주소1", "주소", "주소1");
    주소2 = box("주소2", "상세주소", "주소2");
    업태 = box("업태", "업태", "업태");
    종목 = box("종목", "종목", "종목");
    우편번호 = box("우편번호", "우편번호", "우편번호");
    우편주소1 = box("우편주소1", "우편주소", "우편주소1");
    우편주소2 = box("우편주소2", "상세우편주소", "우편주소2");
    이메일 = box("이메일", "이메일", "이메일");
    계산서담당 = box("계산서담당", "계산서담당", "계산서담당");
    담당전화 = box("담당전화", "담당전화", "계산서담당전화");

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
    ExecBuilder call(IsModifyMode() ? QStringLiteral("화주수정") : QStringLiteral("화주저장"));
    // A new shipper is registered by the signed-in broker; the store hands out its code.
    call.text(IsModifyMode() ? TextVal(코드) : LoginId);
    for (const MyText* b : {화주명, 연락처, 회사명, 대표자, 사업자번호, 주소1, 주소2, 업태, 종목, 우편번호,
                            우편주소1, 우편주소2, 이메일, 계산서담당, 담당전화})
        call.text(TextVal(b));
    return call;
}

void popHwaju::SaveRecord() {
    Write(SaveStatement(), IsModifyMode() ? QStringLiteral("정보가 저장되었습니다.")
                                          : QStringLiteral("신규등록 저장되었습니다."));
}

void popHwaju::DeleteRecord() {
    const QString code = TextVal(코드);
    if (code.isEmpty()) {
        Notice(QStringLiteral("삭제할 내용이 없습니다."));
        return;
    }
    if (!Ask(QStringLiteral("정말로 삭제 하시겠습니까?"))) return;
    Write(ExecBuilder(QStringLiteral("화주삭제")).text(code), QStringLiteral("삭제되었습니다."));
}
