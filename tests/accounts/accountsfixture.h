#pragma once
// Shared pieces of the settlement and invoice screen tests: known rows in a fresh store and the
// screens shown like the real ones.
#include "../orders/boardfixture.h"
#include "layoutcheck.h"
#include "prompts.h"

#include <QPushButton>
#include <QTemporaryDir>

namespace AccountsFixture {

// Inserts a tax invoice straight into the store; returns its ID.
inline QString InsertInvoice(TestStore& store, const QMap<QString, QString>& values) {
    QMap<QString, QString> v = {{QStringLiteral("작성일자"), QStringLiteral("2026-11-30")},
                                {QStringLiteral("발행일시"), QStringLiteral("2026-11-30 14:05:00")},
                                {QStringLiteral("공급가액"), QStringLiteral("1500000")},
                                {QStringLiteral("세액"), QStringLiteral("150000")},
                                {QStringLiteral("공급자사업자번호"), QStringLiteral("1234567890")},
                                {QStringLiteral("공급자상호"), QStringLiteral("한빛운수")},
                                {QStringLiteral("공급자대표자"), QStringLiteral("김철수")},
                                {QStringLiteral("공급자주소"), QStringLiteral("경기 화성시 남양읍 1")},
                                {QStringLiteral("공급자업태"), QStringLiteral("운수업")},
                                {QStringLiteral("공급자종목"), QStringLiteral("화물운송")},
                                {QStringLiteral("받는자사업자번호"), QStringLiteral("2208512345")},
                                {QStringLiteral("받는자상호"), QStringLiteral("델모라주선")},
                                {QStringLiteral("받는자대표자"), QStringLiteral("이영희")},
                                {QStringLiteral("받는자주소"), QStringLiteral("서울 강남구 역삼동 7")},
                                {QStringLiteral("받는자업태"), QStringLiteral("서비스")},
                                {QStringLiteral("받는자종목"), QStringLiteral("화물주선")},
                                {QStringLiteral("받는자담당"), QStringLiteral(" 박담당 ")},
                                {QStringLiteral("받는자이메일"), QStringLiteral(" demo@delmora.co.kr ")},
                                {QStringLiteral("품목일자1"), QStringLiteral("11-30")},
                                {QStringLiteral("품목명1"), QStringLiteral("운송료(서울→부산)")},
                                {QStringLiteral("공급가액1"), QStringLiteral("1500000")},
                                {QStringLiteral("세액1"), QStringLiteral("150000")},
                                {QStringLiteral("기사명"), QStringLiteral("김철수")},
                                {QStringLiteral("휴대전화"), QStringLiteral("01098765432")},
                                {QStringLiteral("차량번호"), QStringLiteral("경기12가3456")},
                                {QStringLiteral("이메일"), QStringLiteral("kim@example.com")},
                                {QStringLiteral("승인번호"), QStringLiteral("20261130-41000123-12345678")},
                                {QStringLiteral("niceStatus"), QStringLiteral("발행완료")},
                                {QStringLiteral("DocStatus"), QStringLiteral("신고완료")}};
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        v[it.key()] = it.value();
    return store.insert(QStringLiteral("세금계산서"), v);
}

template <class W> std::unique_ptr<W> Show(QSize size = QSize(1500, 800)) {
    auto w = std::make_unique<W>();
    w->resize(size);
    w->show();
    QApplication::setActiveWindow(w.get());
    if (!QTest::qWaitForWindowActive(w.get())) qWarning("window not active");
    return w;
}

// The screen at a desk's size: nothing lies on anything or leaves it, every column shows its
// header whole, and the search button stays.
template <class W> void FitsTheDesk(QSize size) {
    PromptScript prompts;
    auto w = Show<W>(size);
    const QStringList faults = LayoutCheck::Faults(w.get());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    QVERIFY(w->cmdArr.at(0)->isVisibleTo(w.get()));
}

inline void Click(QWidget* screen, const QString& button) {
    QTest::mouseClick(BoardFixture::Child<QPushButton>(screen, button), Qt::LeftButton);
}

} // namespace AccountsFixture
