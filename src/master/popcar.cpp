#include "popcar.h"

#include "handover.h"
#include "mytext.h"
#include "sqltext.h"
#include "twips.h"

#include <QComboBox>
#include <QPushButton>

namespace {
constexpr double LeftLabel = 90, LeftBox = 1485, RightLabel = 3915, RightBox = 5310;
constexpr double Narrow = 2340, Wide = 6255;
double RowTop(int row) {
    return 90 + 360 * row;
}
} // namespace

popCar::popCar(QWidget* parent)
    : MasterPopup(parent, QStringLiteral("popCar"), QStringLiteral("차량정보"), QStringLiteral("차주"), 7860,
                  5865) {
    const auto P = TextType::Plain;
    auto left = [&](int row, const char* name, const char* label, const char* column, double width = Narrow,
                    TextType type = TextType::Plain) {
        return AddBox(QString::fromUtf8(name), QString::fromUtf8(label), QString::fromUtf8(column), LeftLabel,
                      LeftBox, RowTop(row), width, type);
    };
    auto right = [&](int row, const char* name, const char* label, const char* column,
                     TextType type = TextType::Plain) {
        return AddBox(QString::fromUtf8(name), QString::fromUtf8(label), QString::fromUtf8(column),
                      RightLabel, RightBox, RowTop(row), Narrow, type);
    };
    아이디 = left(0, "아이디", "아이디", "아이디");
    휴대전화 = right(0, "휴대전화", "휴대전화", "휴대전화");
    기사명 = left(1, "기사명", "기사명", "기사명");
    차량번호 = right(1, "차량번호", "차량번호", "차량번호");
    AddLabel(QStringLiteral("차종"), LeftLabel, RowTop(2), 1350);
    차종 = AddChoice(
        QStringLiteral("차종"),
        {QStringLiteral("윙바디"), QStringLiteral("다마스"), QStringLiteral("롤업"), QStringLiteral("카고")},
        LeftBox, RowTop(2), Narrow, QStringLiteral("차종"));
    AddLabel(QStringLiteral("톤수"), RightLabel, RowTop(2), 1350);
    톤수 = AddChoice(QStringLiteral("톤수"),
                     {QString(), QStringLiteral("1톤"), QStringLiteral("1.5톤"), QStringLiteral("2톤"),
                      QStringLiteral("3톤"), QStringLiteral("3.5톤"), QStringLiteral("5톤"),
                      QStringLiteral("8톤"), QStringLiteral("11톤"), QStringLiteral("14톤"),
                      QStringLiteral("15톤"), QStringLiteral("18톤"), QStringLiteral("25톤")},
                     RightBox, RowTop(2), Narrow, QStringLiteral("톤수"));
    길이1 = left(3, "길이1", "길이", "길이", 900);
    AddLabel(QStringLiteral("m"), LeftBox + 945, RowTop(3), 300);
    길이2 = AddBox(QStringLiteral("길이2"), QString(), QStringLiteral("길이2"), LeftBox + 1260,
                   LeftBox + 1290, RowTop(3), 900, P);
    AddLabel(QStringLiteral("cm"), LeftBox + 2235, RowTop(3), 400);
    연락처 = left(4, "연락처", "연락처", "연락처");
    회사명 = right(4, "회사명", "회사명", "회사명");
    대표자 = left(5, "대표자", "대표자", "대표자");
    사업자번호 = right(5, "사업자번호", "사업자번호", "사업자번호", TextType::BusinessNumber);
    업태 = left(6, "업태", "업태", "업태");
    종목 = right(6, "종목", "종목", "종목");
    이메일 = left(7, "이메일", "이메일", "이메일");
    주소1 = left(8, "주소1", "주소", "주소1", Wide);
    주소2 = left(9, "주소2", "상세주소", "주소2", Wide);
    우편번호 = left(10, "우편번호", "우편번호", "우편번호");
    우편주소1 = right(10, "우편주소1", "우편주소", "우편주소1");
    우편주소2 = left(11, "우편주소2", "상세우편주소", "우편주소2", Wide);
    은행명 = left(12, "은행명", "은행명", "은행명");
    계좌번호 = left(13, "계좌번호", "계좌번호", "계좌번호");
    예금주 = right(13, "예금주", "예금주", "예금주");
    // 아이디 and 휴대전화 name the owner 차주수정 writes: typed into, a save would make a second
    // owner instead of changing this one. They are shown, not edited.
    아이디->setLocked(true);
    휴대전화->setLocked(true);

    connect(AddButton(4, QStringLiteral("   정보저장"), 45, 5355), &QPushButton::clicked, this,
            [this] { SaveRecord(); });
    connect(AddButton(0, QStringLiteral("   회원탈퇴"), 1575, 5355), &QPushButton::clicked, this,
            [this] { WithdrawOwner(); });
    connect(AddButton(99, QStringLiteral("   닫 기"), 6750, 5355), &QPushButton::clicked, this,
            [this] { reject(); });
    cmdArr.at(99)->resize(TwipsToPx(1050), cmdArr.at(99)->height());

    LoadRecord();
}

void popCar::LoadRecord() {
    LoadBoxes(QStringLiteral("select * from 코드_차주 where 휴대전화=") + Quote(SelectedPhone) +
              QStringLiteral(" and 아이디=") + Quote(SelectedKey));
}

QString popCar::SaveStatement() const {
    return Call(QStringLiteral("차주수정"),
                {TextVal(아이디),    TextVal(휴대전화), TextVal(기사명),   TextVal(차량번호),
                 Choice(차종),       Choice(톤수),      Text(연락처),      TextVal(회사명),
                 TextVal(대표자),    Text(사업자번호),  TextVal(주소1),    TextVal(주소2),
                 TextVal(업태),      TextVal(종목),     TextVal(우편번호), TextVal(우편주소1),
                 TextVal(우편주소2), TextVal(이메일),   TextVal(은행명),   TextVal(계좌번호),
                 TextVal(예금주),    TextVal(길이1),    TextVal(길이2)});
}

void popCar::SaveRecord() {
    Save([this] { return SaveStatement(); }, QStringLiteral("정보가 저장되었습니다."));
}

void popCar::WithdrawOwner() {
    if (!AskRisky(QStringLiteral("정말로 탈퇴처리 하시겠습니까?"))) return;
    // Named by what the list handed over, not by the boxes.
    Write(ExecBuilder(QStringLiteral("차주삭제")).text(SelectedKey).text(SelectedPhone),
          QStringLiteral("탈퇴처리 되었습니다."));
}
