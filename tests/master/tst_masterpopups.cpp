// The three edit pop-ups against a fresh store: what they load, the statements they send, their
// two modes, the notices, what a refused write leaves, and Esc.
#include "masterfixture.h"
#include "mytext.h"
#include "popcar.h"
#include "pophwaju.h"
#include "popjuseonsa.h"
#include "prompts.h"
#include "testmain.h"

#include <QComboBox>
#include <QPushButton>
#include <memory>

using namespace MasterFixture;
using Fields = QMap<QString, QString>;

namespace {
template <class P> std::unique_ptr<P> Open() {
    auto p = std::make_unique<P>();
    p->show();
    QApplication::setActiveWindow(p.get());
    (void)QTest::qWaitForWindowActive(p.get());
    return p;
}

std::unique_ptr<MasterPopup> OpenByName(const QString& name) {
    if (name == QStringLiteral("popCar")) return Open<popCar>();
    if (name == QStringLiteral("popHwaju")) return Open<popHwaju>();
    return Open<popJuseonsa>();
}

// Every bound box of a pop-up, by object name, with its shown text.
Fields Boxes(QWidget* popup) {
    Fields out;
    for (MyText* box : popup->findChildren<MyText*>())
        if (box->objectName() != QStringLiteral("hFocus")) out.insert(box->objectName(), box->Text());
    return out;
}

const Fields kShipper = {{"코드", "1001"},         {"화주명", "한빛'상사"},
                         {"연락처", "0212345678"}, {"회사명", "(주)한빛"},
                         {"대표자", "이대표"},     {"사업자번호", "2208112345"},
                         {"주소1", "서울 강남구"}, {"주소2", "1-1"},
                         {"업태", "제조"},         {"종목", "전자"},
                         {"우편번호", "06000"},    {"우편주소1", "서울"},
                         {"우편주소2", "역삼"},    {"이메일", "tax@a.kr"},
                         {"계산서담당", "최담당"}, {"계산서담당전화", "01055556666"}};
const Fields kBroker = {{"아이디", "busan01"},    {"비밀번호", "secret"}, {"주선사명", "부산'주선"},
                        {"연락처", "0511234567"}, {"대표자", "정대표"},   {"사업자번호", "6058112345"},
                        {"주소1", "부산 중구"},   {"주소2", "2-2"},       {"업태", "서비스"},
                        {"종목", "화물주선"},     {"우편번호", "48900"},  {"우편주소1", "부산"},
                        {"우편주소2", "중앙동"}};

// What another desk does to the record (owner demo, shipper 1001 or broker busan01) while the
// pop-up shows it, what the user then does (box=value typed or chosen, the button, the answer),
// what the user is told (each prompt holds its part of `told`, split at |) and what is stored.
struct Meanwhile {
    const char *name, *popup, *other, *edit;
    int button;
    const char *answer, *told, *check, *stored;
    bool closed;
};
const Meanwhile kMeanwhile[] = {
    {"withdrawn owner, save", "popCar", "delete from 코드_차주", "기사명=박기사", 4, "",
     "다른 곳에서 삭제된 차주입니다. 저장되지 않았습니다.", "select count(*) from 코드_차주", "0", false},
    {"withdrawn owner, withdraw", "popCar", "delete from 코드_차주", "", 0, "yes",
     "정말로 탈퇴처리|이 차주는 이미 삭제되었습니다.", "select count(*) from 코드_차주", "0", false},
    {"deleted broker, delete", "popJuseonsa", "delete from 코드_주선사", "", 0, "yes",
     "정말로 삭제|다른 곳에서 삭제된 주선사입니다. 삭제할 내용이 없습니다.",
     "select count(*) from 코드_주선사", "0", false},
    {"deleted broker, password reset", "popJuseonsa", "delete from 코드_주선사", "", 1, "yes",
     "비밀번호를|다른 곳에서 삭제된 주선사입니다. 비밀번호가 초기화되지 않았습니다.",
     "select count(*) from 코드_주선사", "0", false},
    {"same field, 예", "popCar", "update 코드_차주 set 기사명='이기사'", "기사명=박기사", 4, "yes",
     "[기사명]\n    창을 열 때: 김기사\n    지금 저장: 이기사\n    새로 입력: 박기사|정보가 저장되었습니다.",
     "select 기사명 from 코드_차주", "박기사", true},
    {"same field, 아니오", "popCar", "update 코드_차주 set 기사명='이기사'", "기사명=박기사", 4, "no",
     "[기사명]", "select 기사명 from 코드_차주", "이기사", false},
    {"same list, 예", "popCar", "update 코드_차주 set 톤수='5톤'", "톤수=8톤", 4, "yes",
     "[톤수]\n    창을 열 때: 11톤\n    지금 저장: 5톤\n    새로 입력: 8톤|정보가",
     "select 톤수 from 코드_차주", "8톤", true},
    {"business number, 아니오", "popHwaju", "update 코드_화주 set 사업자번호='1111111111'",
     "사업자번호=3333333333", 4, "no",
     "[사업자번호]\n    창을 열 때: 220-81-12345\n    지금 저장: 111-11-11111",
     "select 사업자번호 from 코드_화주", "1111111111", false},
    {"another field changed there", "popJuseonsa", "update 코드_주선사 set 대표자='한대표'",
     "주선사명=새 이름", 4, "", "정보가 저장되었습니다.", "select 주선사명||'/'||대표자 from 코드_주선사",
     "새 이름/한대표", true},
};
} // namespace

class tst_MasterPopups : public QObject {
    Q_OBJECT
    std::unique_ptr<TestStore> store;

    QStringList Writes() const {
        QStringList out;
        for (const QString& s : store->statements())
            if (!s.startsWith(QStringLiteral("select"))) out << s;
        return out;
    }

private slots:
    void init() {
        SignIn();
        SelectedKey.clear();
        SelectedPhone.clear();
        DataChanged = false;
        store = std::make_unique<TestStore>();
    }
    void cleanup() { store.reset(); }

    // An untouched full record: loaded into its boxes, and saved back exactly as stored (the
    // business number keeps its stored form though the box shows dashes), stating the version
    // it showed to our own stores; a SQL Server store's procedure takes no version.
    void ownerLoadsAndSavesBackUnchanged_data() {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("version");
        QTest::newRow("our store") << ""
                                   << ",'1'";
        QTest::newRow("SQL Server store") << "10.0.0.1"
                                          << "";
    }
    void ownerLoadsAndSavesBackUnchanged() {
        QFETCH(QString, server);
        QFETCH(QString, version);
        Insert(*store, QStringLiteral("코드_차주"), FullOwner());
        SelectedKey = QStringLiteral("demo");
        SelectedPhone = QStringLiteral("01012345678");
        PromptScript prompts;
        auto p = Open<popCar>();
        QCOMPARE(store->statements(),
                 QStringList{"select * from 코드_차주 where 휴대전화='01012345678' and 아이디='demo'"});
        QCOMPARE(p->windowTitle(), QStringLiteral("차량정보"));
        QCOMPARE(p->사업자번호->Text(), QStringLiteral("123-45-67890"));
        QCOMPARE(p->길이1->Text(), QStringLiteral("9.6"));
        QCOMPARE(p->회사명->Text(), QStringLiteral("O'Neil 운수"));
        QCOMPARE(p->차종->currentText(), QStringLiteral("카고"));
        QCOMPARE(p->톤수->currentText(), QStringLiteral("11톤"));
        // The version moves with every write; the fields must not.
        const QString fields = QStringLiteral("select %1 from 코드_차주").arg(FullOwner().keys().join(u','));
        const auto before = store->rows(fields);
        store->clearStatements();
        UseDatabaseServer(server); // the open connection stays on the test store
        QTest::mouseClick(p->cmdArr.at(4), Qt::LeftButton);
        QCOMPARE(
            Writes(),
            QStringList{
                "exec 차주수정  'demo','01012345678','김기사','경기12바3456','카고','11톤','0311234567',"
                "'O''Neil 운수','박대표','1234567890','경기 화성시 남양읍','3-4','운수','화물','12345',"
                "'경기 화성시','남양읍 1-2','car@naver.com','농협','302-1234-5678-01','김기사','9.6','50'" +
                version});
        QCOMPARE(prompts.texts(), QStringList{"정보가 저장되었습니다."});
        QVERIFY(DataChanged);
        QVERIFY(!p->isVisible());
        QCOMPARE(store->rows(fields), before);
    }

    // A changed bank account: only that column changes in the store.
    void ownerSaveChangesOnlyWhatWasTyped() {
        Insert(*store, QStringLiteral("코드_차주"), FullOwner());
        SelectedKey = QStringLiteral("demo");
        SelectedPhone = QStringLiteral("01012345678");
        PromptScript prompts;
        auto p = Open<popCar>();
        p->계좌번호->setFocus();
        p->계좌번호->selectAll();
        Type(p->계좌번호, QStringLiteral("111-22'33"));
        QTest::mouseClick(p->cmdArr.at(4), Qt::LeftButton);
        auto expected = store->rows(QStringLiteral("select 계좌번호, 사업자번호, 톤수 from 코드_차주"));
        QCOMPARE(expected, (QList<QStringList>{{"111-22'33", "1234567890", "11톤"}}));
    }

    // A stored value that is not one of a list's items is shown as stored and saved back.
    void choiceValuesOutsideTheLists_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("tonnage");
        QTest::addColumn<int>("kindItems");
        QTest::addColumn<int>("tonnageItems");
        QTest::newRow("both in the lists") << "롤업"
                                           << "3.5톤" << 4 << 13;
        QTest::newRow("unknown tonnage") << "윙바디"
                                         << "4.5톤" << 4 << 14;
        QTest::newRow("unknown kind") << "냉동탑"
                                      << "5톤" << 5 << 13;
        QTest::newRow("empty kind, empty tonnage") << ""
                                                   << "" << 5 << 13;
    }
    void choiceValuesOutsideTheLists() {
        QFETCH(QString, kind);
        QFETCH(QString, tonnage);
        QFETCH(int, kindItems);
        QFETCH(int, tonnageItems);
        Fields owner = FullOwner();
        owner[QStringLiteral("차종")] = kind;
        owner[QStringLiteral("톤수")] = tonnage;
        Insert(*store, QStringLiteral("코드_차주"), owner);
        SelectedKey = QStringLiteral("demo");
        SelectedPhone = QStringLiteral("01012345678");
        PromptScript prompts;
        auto p = Open<popCar>();
        QCOMPARE(p->차종->currentText(), kind);
        QCOMPARE(p->톤수->currentText(), tonnage);
        QCOMPARE(p->차종->count(), kindItems);
        QCOMPARE(p->톤수->count(), tonnageItems);
        QTest::mouseClick(p->cmdArr.at(4), Qt::LeftButton);
        QCOMPARE(store->rows(QStringLiteral("select 차종, 톤수 from 코드_차주")),
                 (QList<QStringList>{{kind, tonnage}}));
    }

    // No such owner: boxes empty, the lists on their first items; a save is refused by the
    // store and the pop-up stays open without the success notice.
    void ownerMissing() {
        SelectedKey = QStringLiteral("nobody");
        SelectedPhone = QStringLiteral("01000000000");
        PromptScript prompts;
        auto p = Open<popCar>();
        for (const QString& text : Boxes(p.get()))
            QCOMPARE(text, QString());
        QCOMPARE(p->톤수->currentText(), QString());
        QCOMPARE(p->차종->currentText(), QStringLiteral("윙바디"));
        QTest::mouseClick(p->cmdArr.at(4), Qt::LeftButton);
        QCOMPARE(prompts.asked().size(), size_t(1));
        QVERIFY(prompts.texts().first().startsWith(QStringLiteral("에러번호 : ")));
        QVERIFY(p->isVisible());
        QVERIFY(DataChanged); // the list reloads after all, showing what the store holds
    }

    // The owner withdrawn is the one the list handed over.
    void ownerWithdrawal_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void ownerWithdrawal() {
        QFETCH(bool, yes);
        Insert(*store, QStringLiteral("코드_차주"), FullOwner());
        SelectedKey = QStringLiteral("demo");
        SelectedPhone = QStringLiteral("01012345678");
        PromptScript prompts;
        yes ? prompts.answerYes() : prompts.answerNo();
        auto p = Open<popCar>();
        store->clearStatements();
        QTest::mouseClick(p->cmdArr.at(0), Qt::LeftButton);
        QCOMPARE(prompts.texts().first(), QStringLiteral("정말로 탈퇴처리 하시겠습니까?"));
        QCOMPARE(Writes(), yes ? QStringList{"exec 차주삭제  'demo','01012345678'"} : QStringList{});
        QCOMPARE(DataChanged, yes);
        QCOMPARE(store->value(QStringLiteral("select count(*) from 코드_차주")), yes ? "0" : "1");
        if (yes) QCOMPARE(prompts.texts().last(), QStringLiteral("탈퇴처리 되었습니다."));
        QCOMPARE(p->isVisible(), !yes);
    }

    // The two modes of the shipper and broker pop-ups, decided by SelectedKey at opening.
    void modes_data() {
        QTest::addColumn<QString>("popup");
        QTest::addColumn<bool>("modify");
        QTest::addColumn<QString>("keyBox");
        QTest::addColumn<bool>("keyEditable");
        QTest::newRow("shipper, register") << "popHwaju" << false << "코드" << false;
        QTest::newRow("shipper, modify") << "popHwaju" << true << "코드" << false;
        QTest::newRow("broker, register") << "popJuseonsa" << false << "아이디" << true;
        QTest::newRow("broker, modify") << "popJuseonsa" << true << "아이디" << false;
        QTest::newRow("owner") << "popCar" << true << "휴대전화" << false;
    }
    void modes() {
        QFETCH(QString, popup);
        QFETCH(bool, modify);
        QFETCH(QString, keyBox);
        QFETCH(bool, keyEditable);
        SelectedKey = modify ? QStringLiteral("1") : QString();
        PromptScript prompts;
        auto p = OpenByName(popup);
        QCOMPARE(p->IsModifyMode(), modify);
        // A new record starts in its first box the user may type in; a shown one selects none.
        const QString first =
            popup == QStringLiteral("popHwaju") ? QStringLiteral("화주명") : QStringLiteral("아이디");
        QCOMPARE(QApplication::focusWidget()->objectName(), modify ? QStringLiteral("hFocus") : first);
        QVERIFY(!(p->hFocus->focusPolicy() & Qt::TabFocus));
        auto* key = p->findChild<MyText*>(keyBox);
        QVERIFY(key);
        Type(key, QStringLiteral("zz"));
        QCOMPARE(key->Text() == QStringLiteral("zz"), keyEditable);
        if (popup == QStringLiteral("popCar")) return;
        QCOMPARE(p->cmdArr.at(4)->text(),
                 modify ? QStringLiteral("   정보수정") : QStringLiteral("   신규등록"));
        QCOMPARE(p->cmdArr.at(0)->isVisible(), modify);
        if (popup == QStringLiteral("popJuseonsa")) QCOMPARE(p->cmdArr.at(1)->isEnabled(), modify);
        QVERIFY(prompts.asked().empty());
    }

    // Loading and saving a full shipper or broker: every box from its column, every argument
    // in its place (the empty slots of the broker calls included).
    void shipperAndBrokerStatements_data() {
        QTest::addColumn<QString>("popup");
        QTest::addColumn<bool>("modify");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("notice");
        QTest::newRow("shipper modify")
            << "popHwaju" << true
            << "exec 화주수정  '1001','한빛''상사','0212345678','(주)한빛','이대표','2208112345','서울 "
               "강남구','1-1',"
               "'제조','전자','06000','서울','역삼','tax@a.kr','최담당','01055556666','1'"
            << "정보가 저장되었습니다.";
        QTest::newRow("broker modify")
            << "popJuseonsa" << true
            << "exec 주선사수정  'busan01','부산''주선','0511234567','정대표','','6058112345','부산 "
               "중구','2-2','서비스',"
               "'화물주선','48900','부산','중앙동','{version}'"
            << "정보가 저장되었습니다.";
        QTest::newRow("shipper register")
            << "popHwaju" << false
            << "exec 화주저장  'demo','O''Neil "
               "상사','0','1','2','3','4','5','6','7','8','9','10','11','12','13'"
            << "신규등록 저장되었습니다.";
        QTest::newRow("broker register")
            << "popJuseonsa" << false
            << "exec 주선사저장  'new''one','','O''Neil 상사','0','1','','2','3','4','5','6','7','8','9'"
            << "신규등록 저장되었습니다.";
    }
    void shipperAndBrokerStatements() {
        QFETCH(QString, popup);
        QFETCH(bool, modify);
        QFETCH(QString, expected);
        QFETCH(QString, notice);
        const bool shipper = popup == QStringLiteral("popHwaju");
        const QString table = shipper ? QStringLiteral("코드_화주") : QStringLiteral("코드_주선사");
        if (modify) SelectedKey = Insert(*store, table, shipper ? kShipper : kBroker);
        store->clearStatements();
        PromptScript prompts;
        auto p = OpenByName(popup);
        if (modify) {
            QCOMPARE(store->statements(),
                     QStringList{QStringLiteral("select * from %1 where ID=%2").arg(table, SelectedKey)});
            const Fields shown = Boxes(p.get());
            QCOMPARE(shown.value(QStringLiteral("화주명"), shown.value(QStringLiteral("주선사명"))),
                     shipper ? QStringLiteral("한빛'상사") : QStringLiteral("부산'주선"));
            QCOMPARE(shown.value(QStringLiteral("사업자번호")),
                     shipper ? QStringLiteral("220-81-12345") : QStringLiteral("605-81-12345"));
            if (shipper) QCOMPARE(shown.value(QStringLiteral("담당전화")), QStringLiteral("01055556666"));
        } else {
            QVERIFY(store->statements().isEmpty());
            // Typed as a user would, a quote in the name; the other boxes numbered in order.
            int n = 0;
            for (MyText* box : p->findChildren<MyText*>()) {
                if (box->objectName() == QStringLiteral("hFocus") || !box->isEnabled()) continue;
                const QString name = box->objectName();
                QString text = QString::number(n++);
                if (name == QStringLiteral("화주명") || name == QStringLiteral("주선사명"))
                    text = QStringLiteral("O'Neil 상사"), --n;
                if (name == QStringLiteral("아이디")) text = QStringLiteral("new'one"), --n;
                box->setFocus();
                Type(box, text);
            }
        }
        // The version the pop-up showed, whatever number the store's writes have reached.
        if (modify)
            expected.replace(QStringLiteral("{version}"),
                             store->value(QStringLiteral("select 버전 from %1 where ID=%2").arg(table, SelectedKey)));
        store->clearStatements();
        QTest::mouseClick(p->cmdArr.at(4), Qt::LeftButton);
        QCOMPARE(Writes(), QStringList{expected});
        QCOMPARE(prompts.texts(), QStringList{notice});
        QVERIFY(!p->isVisible());
        QVERIFY(DataChanged);
        if (!modify) {
            const QString nameColumn = shipper ? QStringLiteral("화주명") : QStringLiteral("주선사명");
            QCOMPARE(
                store->value(
                    QStringLiteral("select count(*) from %1 where %2='O''Neil 상사'").arg(table, nameColumn)),
                QStringLiteral("1"));
        }
    }

    // Deletes: shipper by the code in its box, broker by the Id handed over; their own notices.
    void deletes_data() {
        QTest::addColumn<QString>("popup");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("notice");
        QTest::newRow("shipper") << "popHwaju"
                                 << "exec 화주삭제  '1001'"
                                 << "삭제되었습니다.";
        QTest::newRow("broker") << "popJuseonsa"
                                << "delete from 코드_주선사 where ID=%1"
                                << "삭제 되었습니다.";
    }
    void deletes() {
        QFETCH(QString, popup);
        QFETCH(QString, expected);
        QFETCH(QString, notice);
        const bool shipper = popup == QStringLiteral("popHwaju");
        const QString table = shipper ? QStringLiteral("코드_화주") : QStringLiteral("코드_주선사");
        SelectedKey = Insert(*store, table, shipper ? kShipper : kBroker);
        PromptScript prompts;
        prompts.answerYes();
        auto p = OpenByName(popup);
        store->clearStatements();
        QTest::mouseClick(p->cmdArr.at(0), Qt::LeftButton);
        QCOMPARE(Writes(), QStringList{QString(expected).replace(QStringLiteral("%1"), SelectedKey)});
        QCOMPARE(prompts.texts(), (QStringList{QStringLiteral("정말로 삭제 하시겠습니까?"), notice}));
        QVERIFY(prompts.asked().front().noByDefault);
        QCOMPARE(prompts.asked().back().kind, PromptKind::Notice);
        QCOMPARE(store->value(QStringLiteral("select count(*) from ") + table), QStringLiteral("0"));
    }

    // A shipper that vanished before the pop-up opened: nothing to delete, and a save is
    // refused by the store with the pop-up left open.
    void shipperVanished() {
        SelectedKey = QStringLiteral("42");
        PromptScript prompts;
        auto p = Open<popHwaju>();
        QTest::mouseClick(p->cmdArr.at(0), Qt::LeftButton);
        QCOMPARE(prompts.texts(), QStringList{"삭제할 내용이 없습니다."});
        prompts.clear();
        p->화주명->setFocus();
        Type(p->화주명, QStringLiteral("새 이름"));
        QTest::mouseClick(p->cmdArr.at(4), Qt::LeftButton);
        QCOMPARE(prompts.asked().size(), size_t(1));
        QVERIFY(prompts.texts().first().contains(QStringLiteral("저장할 화주가 없습니다")));
        QVERIFY(p->isVisible());
        QCOMPARE(p->화주명->Text(), QStringLiteral("새 이름"));
    }

    // A broker registration the store refuses (no 아이디) keeps everything typed.
    void refusedRegistrationKeepsInput() {
        PromptScript prompts;
        auto p = Open<popJuseonsa>();
        p->주선사명->setFocus();
        Type(p->주선사명, QStringLiteral("이름만 있는 주선사"));
        QTest::mouseClick(p->cmdArr.at(4), Qt::LeftButton);
        QCOMPARE(prompts.asked().size(), size_t(1));
        QVERIFY(prompts.texts().first().contains(QStringLiteral("주선사 아이디를 입력하세요.")));
        QVERIFY(!prompts.texts().contains(QStringLiteral("신규등록 저장되었습니다.")));
        QVERIFY(p->isVisible());
        QCOMPARE(p->주선사명->Text(), QStringLiteral("이름만 있는 주선사"));
        QCOMPARE(store->value(QStringLiteral("select count(*) from 코드_주선사")), QStringLiteral("0"));
    }

    void passwordReset_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void passwordReset() {
        QFETCH(bool, yes);
        SelectedKey = Insert(*store, QStringLiteral("코드_주선사"), kBroker);
        PromptScript prompts;
        yes ? prompts.answerYes() : prompts.answerNo();
        auto p = Open<popJuseonsa>();
        store->clearStatements();
        QTest::mouseClick(p->cmdArr.at(1), Qt::LeftButton);
        QCOMPARE(Writes(), yes ? QStringList{QStringLiteral("update 코드_주선사 set 비밀번호='' where ID=") +
                                             SelectedKey}
                               : QStringList{});
        QCOMPARE(store->value(QStringLiteral("select 비밀번호 from 코드_주선사")),
                 yes ? QString() : QStringLiteral("#"));
        QCOMPARE(prompts.texts().size(), yes ? 2 : 1);
        QCOMPARE(DataChanged, yes);
    }

    // Esc from any control closes, discarding edits and leaving DataChanged as it was.
    // Esc closes from any control; a box the user changed is asked about first (아니오 the
    // default), and 아니오 keeps the pop-up open with what was typed.
    void escapeCloses_data() {
        QTest::addColumn<QString>("popup");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("answer"); // -1: nothing changed, nothing asked; 0 아니오; 1 예
        QTest::newRow("owner, changed box, 예") << "popCar"
                                                << "계좌번호" << 1;
        QTest::newRow("owner, changed box, 아니오") << "popCar"
                                                    << "계좌번호" << 0;
        QTest::newRow("owner, list") << "popCar"
                                     << "톤수" << -1;
        QTest::newRow("owner, button") << "popCar"
                                       << "cmdArr(4)" << -1;
        QTest::newRow("shipper, changed box, 아니오") << "popHwaju"
                                                      << "화주명" << 0;
        QTest::newRow("broker, changed box, 예") << "popJuseonsa"
                                                 << "주선사명" << 1;
    }
    void escapeCloses() {
        QFETCH(QString, popup);
        QFETCH(QString, focus);
        QFETCH(int, answer);
        Insert(*store, QStringLiteral("코드_차주"), FullOwner());
        SelectedKey = popup == QStringLiteral("popCar")
                          ? QStringLiteral("demo")
                          : Insert(*store,
                                   popup == QStringLiteral("popHwaju") ? QStringLiteral("코드_화주")
                                                                       : QStringLiteral("코드_주선사"),
                                   popup == QStringLiteral("popHwaju") ? kShipper : kBroker);
        SelectedPhone = QStringLiteral("01012345678");
        PromptScript prompts;
        auto p = OpenByName(popup);
        QCOMPARE(QApplication::focusWidget(), p->hFocus);
        const auto before = store->rows(QStringLiteral("select * from 코드_차주"));
        QWidget* w = p->findChild<QWidget*>(focus);
        QVERIFY(w);
        w->setFocus();
        if (answer >= 0) Type(qobject_cast<MyText*>(w), QStringLiteral("변경"));
        if (answer == 0) prompts.answerNo();
        if (answer == 1) prompts.answerYes();
        QTest::keyClick(w, Qt::Key_Escape);
        if (answer >= 0) {
            QCOMPARE(prompts.texts(),
                     QStringList{
                         QStringLiteral("고친 내용이 저장되지 않았습니다.\n저장하지 않고 닫으시겠습니까?")});
            QVERIFY(prompts.asked().front().noByDefault);
            prompts.clear();
        }
        if (answer == 0) {
            QVERIFY(p->isVisible());
            QVERIFY(qobject_cast<MyText*>(w)->Text().endsWith(QStringLiteral("변경")));
            return;
        }
        QVERIFY(!p->isVisible());
        QCOMPARE(p->result(), int(QDialog::Rejected));
        QVERIFY(!DataChanged);
        QVERIFY(Writes().isEmpty());
        QCOMPARE(store->rows(QStringLiteral("select * from 코드_차주")), before);
        QVERIFY(prompts.asked().empty());
    }

    // Another desk at work on the record while the pop-up shows it (straight to the store, beside
    // the client's connection): nothing made again, nothing overwritten unasked, nothing
    // reported done that was not, and the pop-up stays open whenever nothing was written.
    void otherDeskMeanwhile_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kMeanwhile)); ++i)
            QTest::newRow(kMeanwhile[i].name) << i;
    }
    void otherDeskMeanwhile() {
        QFETCH(int, row);
        const Meanwhile& r = kMeanwhile[row];
        const QString popup = QString::fromUtf8(r.popup);
        const bool shipper = popup == QStringLiteral("popHwaju");
        SelectedPhone = QStringLiteral("01012345678");
        SelectedKey =
            popup == QStringLiteral("popCar")
                ? (Insert(*store, QStringLiteral("코드_차주"), FullOwner()), QStringLiteral("demo"))
                : Insert(*store, shipper ? QStringLiteral("코드_화주") : QStringLiteral("코드_주선사"),
                         shipper ? kShipper : kBroker);
        PromptScript prompts;
        if (*r.answer) qstrcmp(r.answer, "yes") == 0 ? prompts.answerYes() : prompts.answerNo();
        auto p = OpenByName(popup);
        store->exec(QString::fromUtf8(r.other));
        const QString name = QString::fromUtf8(r.edit).section(u'=', 0, 0);
        const QString value = QString::fromUtf8(r.edit).section(u'=', 1);
        if (auto* list = p->findChild<QComboBox*>(name)) list->setCurrentIndex(list->findText(value));
        if (auto* box = p->findChild<MyText*>(name)) {
            box->setFocus();
            box->selectAll();
            Type(box, value);
        }
        QTest::mouseClick(p->cmdArr.at(r.button), Qt::LeftButton);
        const QStringList told = QString::fromUtf8(r.told).split(u'|');
        QCOMPARE(prompts.texts().size(), told.size());
        for (qsizetype i = 0; i < told.size(); ++i)
            QVERIFY2(prompts.texts().at(i).contains(told.at(i)), qPrintable(prompts.texts().at(i)));
        QCOMPARE(store->value(QString::fromUtf8(r.check)), QString::fromUtf8(r.stored));
        QCOMPARE(!p->isVisible(), r.closed);
        QVERIFY(DataChanged);
    }

    // Enter in a choice list moves on as Tab does.
    void enterInAListMovesOn() {
        SelectedKey = QStringLiteral("demo");
        PromptScript prompts;
        auto p = Open<popCar>();
        p->차종->setFocus();
        QTest::keyClick(p->차종, Qt::Key_Return);
        QVERIFY(QApplication::focusWidget() != p->차종);
        QVERIFY(p->isVisible());
    }
};

DELMORA_TEST_MAIN(tst_MasterPopups)
#include "tst_masterpopups.moc"
