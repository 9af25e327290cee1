// The three master lists as descriptions.
#include "mastermember.h"
#include "popcar.h"
#include "pophwaju.h"
#include "popjuseonsa.h"
#include "sqltext.h"

#include <algorithm>

namespace {
using F = CellFormat;

// Shippers and brokers show the same company block after their first four columns.
std::vector<MasterColumn> WithCompanyBlock(std::vector<MasterColumn> first) {
    const std::vector<MasterColumn> block = {
        {QStringLiteral("사업자번호"), QStringLiteral("사업자번호"), 11.83, F::BusinessNumber},
        // The town runs long, the house number after it short: the town starts wider, and
        // both grow alike on a wider screen.
        {QStringLiteral("주소1"), QStringLiteral("주소1"), 18.0},
        {QStringLiteral("주소2"), QStringLiteral("주소2"), 9.0},
        {QStringLiteral("업태"), QStringLiteral("업태"), 10.75},
        {QStringLiteral("종목"), QStringLiteral("종목"), 10.75},
        {QStringLiteral("우편번호"), QStringLiteral("우편번호")},
        {QStringLiteral("우편주소"), QStringLiteral("우편주소1"), 18.0},
        {QStringLiteral("우편주소2"), QStringLiteral("우편주소2"), 9.0},
    };
    first.insert(first.end(), block.begin(), block.end());
    return first;
}

template <class Popup> std::function<QDialog*(QWidget*)> PopupOf() {
    return [](QWidget* parent) -> QDialog* { return new Popup(parent); };
}
} // namespace

const MasterMember& CarListMember() {
    static const MasterMember m{
        QStringLiteral("frmCarList"),
        QStringLiteral("차주관리"),
        QStringLiteral("코드_차주"),
        {QStringLiteral("휴대전화"), QStringLiteral("기사명"), QStringLiteral("차량번호")},
        QStringLiteral("휴대전화"),
        QStringLiteral("아이디"),
        {
            {QStringLiteral("차량번호"), QStringLiteral("차량번호"), 12.25},
            {QStringLiteral("성명"), QStringLiteral("기사명"), 7.25},
            {QStringLiteral("연락처"), QStringLiteral("휴대전화"), 14, F::Phone},
            {QStringLiteral("차종"), QStringLiteral("차종"), 9.08},
            {QStringLiteral("회사명"), QStringLiteral("회사명"), 16.37},
            {QStringLiteral("사업자번호"), QStringLiteral("사업자번호"), 11.83, F::BusinessNumber},
            {QStringLiteral("업태"), QStringLiteral("업태"), 10.75},
            {QStringLiteral("종목"), QStringLiteral("종목"), 10.75},
            {QStringLiteral("이메일"), QStringLiteral("이메일"), 15.08},
        },
        {5, 9},
        QString(),
        3,
        QStringLiteral("차주관리_"),
        PopupOf<popCar>(),
    };
    return m;
}

const MasterMember& HwajuListMember() {
    static const MasterMember m{
        QStringLiteral("frmHwajuList"),
        QStringLiteral("화주관리"),
        QStringLiteral("코드_화주"),
        {QStringLiteral("화주명"), QStringLiteral("연락처"), QStringLiteral("회사명")},
        QStringLiteral("화주명"),
        QStringLiteral("Id"),
        WithCompanyBlock({
            {QStringLiteral("화주명"), QStringLiteral("화주명"), 14.08},
            {QStringLiteral("연락처"), QStringLiteral("연락처"), 10.5, F::Phone},
            {QStringLiteral("회사명"), QStringLiteral("회사명"), 16.37},
            {QStringLiteral("대표자"), QStringLiteral("대표자"), 8.25},
        }),
        {6, 7, 11, 12},
        QStringLiteral("    화주등록"),
        0,
        QStringLiteral("화주관리_"),
        PopupOf<popHwaju>(),
    };
    return m;
}

const MasterMember& JuseonsaListMember() {
    static const MasterMember m{
        QStringLiteral("frmJuseonsaList"),
        QStringLiteral("주선사관리"),
        QStringLiteral("코드_주선사"),
        {QStringLiteral("아이디"), QStringLiteral("주선사명"), QStringLiteral("연락처")},
        QStringLiteral("아이디"),
        QStringLiteral("Id"),
        WithCompanyBlock({
            {QStringLiteral("아이디"), QStringLiteral("아이디"), 14.08},
            {QStringLiteral("주선사명"), QStringLiteral("주선사명"), 15.33},
            {QStringLiteral("연락처"), QStringLiteral("연락처"), 14, F::Phone},
            {QStringLiteral("대표자"), QStringLiteral("대표자"), 8.25},
        }),
        {6, 7, 11, 12},
        QStringLiteral("    주선사등록"),
        0,
        QStringLiteral("주선사관리_"),
        PopupOf<popJuseonsa>(),
    };
    return m;
}

std::vector<const MasterMember*> MasterMembers() {
    return {&CarListMember(), &HwajuListMember(), &JuseonsaListMember()};
}

QString MasterListStatement(const MasterMember& member, const QString& search) {
    QString s = QStringLiteral("select * from ") + member.table + QStringLiteral(" where 1=1");
    if (!search.isEmpty()) {
        // Every filter column on its own: the box promises that a phone, a name or a vehicle
        // number alone finds the row.
        const QString pattern = Quote(QLatin1Char('%') + search + QLatin1Char('%'));
        QStringList terms;
        for (const QString& column : member.filterColumns) {
            const bool phone = std::any_of(member.columns.begin(), member.columns.end(), [&](const MasterColumn& c) {
                return c.field == column && c.format == CellFormat::Phone;
            });
            terms << (phone ? PhoneContains(column, search) : column + QStringLiteral(" like ") + pattern);
        }
        s += QStringLiteral(" and (") + terms.join(QStringLiteral(" or ")) + QLatin1Char(')');
    }
    // Records with the same name come in the order they were made, on every store.
    return s + QStringLiteral(" order by ") + member.orderColumn + QStringLiteral(",ID");
}
