#pragma once
// Shared pieces of the master screens' tests: records put straight into a fresh store, and a
// hook that acts on a modal pop-up while the list waits for it.
#include "handover.h"
#include "signin.h"
#include "teststore.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMap>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace MasterFixture {

inline void SignIn() {
    LoginId = QStringLiteral("demo");
    BrokerName = QStringLiteral("델모라주선");
    RowHeightSetting = QStringLiteral("18");
}

inline QString Quoted(const QString& v) {
    return QLatin1Char('\'') + QString(v).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}

// Inserts one row; returns its ID.
inline QString Insert(TestStore& store, const QString& table, const QMap<QString, QString>& values) {
    QStringList cols, vals;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        cols << it.key();
        vals << Quoted(it.value());
    }
    store.exec(
        QStringLiteral("insert into %1 (%2) values (%3)").arg(table, cols.join(u','), vals.join(u',')));
    return store.value(QStringLiteral("select max(ID) from ") + table);
}

// A fully filled vehicle owner, every field different.
inline QMap<QString, QString> FullOwner() {
    return {{QStringLiteral("아이디"), QStringLiteral("demo")},
            {QStringLiteral("휴대전화"), QStringLiteral("01012345678")},
            {QStringLiteral("기사명"), QStringLiteral("김기사")},
            {QStringLiteral("차량번호"), QStringLiteral("경기12바3456")},
            {QStringLiteral("차종"), QStringLiteral("카고")},
            {QStringLiteral("톤수"), QStringLiteral("11톤")},
            {QStringLiteral("길이"), QStringLiteral("9.6")},
            {QStringLiteral("길이2"), QStringLiteral("50")},
            {QStringLiteral("연락처"), QStringLiteral("0311234567")},
            {QStringLiteral("회사명"), QStringLiteral("O'Neil 운수")},
            {QStringLiteral("대표자"), QStringLiteral("박대표")},
            {QStringLiteral("사업자번호"), QStringLiteral("1234567890")},
            {QStringLiteral("업태"), QStringLiteral("운수")},
            {QStringLiteral("종목"), QStringLiteral("화물")},
            {QStringLiteral("이메일"), QStringLiteral("car@naver.com")},
            {QStringLiteral("우편번호"), QStringLiteral("12345")},
            {QStringLiteral("우편주소1"), QStringLiteral("경기 화성시")},
            {QStringLiteral("우편주소2"), QStringLiteral("남양읍 1-2")},
            {QStringLiteral("주소1"), QStringLiteral("경기 화성시 남양읍")},
            {QStringLiteral("주소2"), QStringLiteral("3-4")},
            {QStringLiteral("은행명"), QStringLiteral("농협")},
            {QStringLiteral("계좌번호"), QStringLiteral("302-1234-5678-01")},
            {QStringLiteral("예금주"), QStringLiteral("김기사")}};
}

// Types text into a widget key by key, Hangul included (QTest::keyClicks takes ASCII only).
inline void Type(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &release);
    }
}

// Runs `act` on the modal dialog the next exec() shows (it must close it), and remembers the
// dialog's object name. Fails the test if no dialog came up.
class ModalHook {
public:
    explicit ModalHook(std::function<void(QDialog*)> act) {
        QTimer::singleShot(0, [this, act] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            shown = dialog->objectName();
            act(dialog);
            if (dialog->isVisible()) dialog->reject();
        });
    }
    QString shown;
};

} // namespace MasterFixture
