#include "popjuseonsa.h"

#include "handover.h"
#include "mytext.h"
#include "sqltext.h"

#include <QPushButton>

popJuseonsa::popJuseonsa(QWidget* parent)
    : MasterPopup(parent, QStringLiteral("popJuseonsa"), QStringLiteral("주선사정보"), 5115, 4965) {
    int row = 0;
    auto box = [&](const char* name, const char* label, const char* column, TextType type = TextType::Plain) {
        return AddRow(row++, QString::fromUtf8(name), QString::fromUtf8(label), QString::fromUtf8(column),
                      type);
    };
    아이디 = box("아이디", "아이디", "아이디");
    주선사명 = box("주선사명", "주선사명", "주선사명");
    연락처 = box("연락처", "연락처", "연락처");
    대표자 = box("대표자", "대표자", "대표자");
    사업자번호 = box("사업자번호", "사업자번호", "사업자번호", TextType::BusinessNumber);
    주소1 = box("주소1", "주소", "주소1");
    주소2 = box("주소2", "상세주소", "주소2");
    업태 = box("업태", "업태", "업태");
    종목 = box("종목", "종목", "종목");
    우편번호 = box("우편번호", "우편번호", "우편번호");
    우편주소1 = box("우편주소1", "우편주소", "우편주소1");
    우편주소2 = box("우편주소2", "상세우편주소", "우편주소2");

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
    // The slots the client never fills go as empty texts: the password (a new broker sets it at
    // the first sign-in) and one the store keeps nothing in.
    if (IsModifyMode()) {
        return ExecBuilder(QStringLiteral("주선사수정"))
            .text(TextVal(아이디))
            .text(TextVal(주선사명))
            .text(TextVal(연락처))
            .text(TextVal(대표자))
            .text(QString())
            .text(TextVal(사업자번호))
            .text(TextVal(주소1))
            .text(TextVal(주소2))
            .text(TextVal(업태))
            .text(TextVal(종목))
            .text(TextVal(우편번호))
            .text(TextVal(우편주소1))
            .text(TextVal(우편주소2));
    }
    return ExecBuilder(QStringLiteral("주선사저장"))
        .text(TextVal(아이디))
        .text(QString())
        .text(TextVal(주선사명))
        .text(TextVal(연락처))
        .text(TextVal(대표자))
        .text(QString())
        .text(TextVal(사업자번호))
        .text(TextVal(주소1))
        .text(TextVal(주소2))
        .text(TextVal(업태))
        .text(TextVal(종목))
        .text(TextVal(우편번호))
        .text(TextVal(우편주소1))
        .text(TextVal(우편주소2));
}

void popJuseonsa::SaveRecord() {
    Write(SaveStatement(), IsModifyMode() ? QStringLiteral("정보가 저장되었습니다.")
                                          : QStringLiteral("신규등록 저장되었습니다."));
}

void popJuseonsa::DeleteRecord() {
    if (SelectedKey.isEmpty()) {
        Notice(QStringLiteral("삭제할 내용이 없습니다."));
        return;
    }
    if (!Ask(QStringLiteral("정말로 삭제 하시겠습니까?"))) return;
    Write(QStringLiteral("delete from 코드_주선사 where ID=") + QString::number(KeyNumber(SelectedKey)),
          QStringLiteral("삭제 되었습니다."));
}

void popJuseonsa::ResetPassword() {
    if (!IsModifyMode()) return;
    if (!Ask(QStringLiteral("비밀번호를 초기화 하시겠습니까?"))) return;
    Write(QStringLiteral("update 코드_주선사 set 비밀번호='' where ID=") +
              QString::number(KeyNumber(SelectedKey)),
          QStringLiteral("비밀번호가 초기화 되었습니다."));
}
