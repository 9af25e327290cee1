#include "frmlogin.h"

#include "browser.h"
#include "deployment.h"
#include "httpget.h"
#include "ini.h"
#include "entryfilter.h"
#include "mytext.h"
#include "prompts.h"
#include "signin.h"
#include "sqltext.h"
#include "storeconnection.h"
#include "storetrap.h"
#include "twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace {

// Layout of the dialog, in twips as the form was drawn.
constexpr int FormWidth = 5400;
constexpr int FormHeight = 3150;

// A raised caption panel, as the labels beside the boxes are drawn.
QLabel* captionPanel(QWidget* parent, const QString& name, const QString& caption) {
    auto* panel = new QLabel(caption, parent);
    panel->setObjectName(name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setAlignment(Qt::AlignCenter);
    return panel;
}

const QString NewPasswordPrompt =
    QStringLiteral("비밀번호를 새로 설정합니다.\n새로 사용될 비밀번호를 입력하고 엔터를 눌러주세요.");
// The box is masked, so a slip of the finger would set a password nobody knows: it is typed twice.
const QString RepeatPasswordPrompt =
    QStringLiteral("확인을 위해 같은 비밀번호를 한 번 더 입력하고 엔터를 눌러주세요.");

} // namespace

frmLogin::frmLogin(QWidget* mainWindow, QWidget* parent) : QDialog(parent), m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    buildForm();
    Form_Load();
}

frmLogin::~frmLogin() = default;

QString frmLogin::CaptionText() {
    return QStringLiteral("㈜델모라 콜센터 로그인 [버전 ") + QString::number(VersionMajor()) +
           QLatin1Char('.') + QString::number(VersionMinor()) + QStringLiteral(".0.") +
           QString::number(VersionRevision()) + QLatin1Char(']');
}

void frmLogin::buildForm() {
    SSPanel4 = new QFrame(this);
    SSPanel4->setObjectName(QStringLiteral("SSPanel4"));
    SSPanel4->setFrameStyle(QFrame::Panel | QFrame::Raised);
    SSPanel4->setLineWidth(2);
    PlaceTwips(SSPanel4, 0, 0, FormWidth, FormHeight);

    Label1 = new QLabel(SSPanel4);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setAutoFillBackground(true);
    QPalette titlePalette = Label1->palette();
    titlePalette.setColor(QPalette::Window, QColor(0x1F, 0x3A, 0x68));
    titlePalette.setColor(QPalette::WindowText, Qt::white);
    Label1->setPalette(titlePalette);
    QFont titleFont = Label1->font();
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    PlaceTwips(Label1, 120, 120, FormWidth - 240, 480);

    SSPanel1 = captionPanel(SSPanel4, QStringLiteral("SSPanel1"), QStringLiteral("사용자명"));
    PlaceTwips(SSPanel1, 300, 840, 1080, 375);
    txtid = new MyText(SSPanel4);
    txtid->setObjectName(QStringLiteral("txtid"));
    PlaceTwips(txtid, 1440, 840, 2280, 375);

    SSPanel2 = captionPanel(SSPanel4, QStringLiteral("SSPanel2"), QStringLiteral("비밀번호"));
    PlaceTwips(SSPanel2, 300, 1290, 1080, 375);
    txtpass = new MyText(SSPanel4);
    txtpass->setObjectName(QStringLiteral("txtpass"));
    txtpass->setPasswordChar(QLatin1Char('*'));
    txtpass->setImeOff(true);
    txtpass->setEnterKeyCode(0);
    PlaceTwips(txtpass, 1440, 1290, 2280, 375);

    btnLogin = new QPushButton(QStringLiteral("로그인"), SSPanel4);
    btnLogin->setObjectName(QStringLiteral("btnLogin"));
    PlaceTwips(btnLogin, 3840, 840, 1260, 825);

    Check1 = new QCheckBox(QStringLiteral("사용자명 저장"), SSPanel4);
    Check1->setObjectName(QStringLiteral("Check1"));
    PlaceTwips(Check1, 1440, 1770, 2280, 330);

    isButton1 = new QPushButton(QStringLiteral("종료"), SSPanel4);
    isButton1->setObjectName(QStringLiteral("isButton1"));
    PlaceTwips(isButton1, 3840, 1755, 1260, 375);

    // Enter belongs to the password box (it signs in); no button takes it over.
    for (QPushButton* button : {btnLogin, isButton1}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    auto* rule = new QFrame(SSPanel4);
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    PlaceTwips(rule, 300, 2310, FormWidth - 600, 30);

    Label3 = new QLabel(QStringLiteral("홈페이지 :"), SSPanel4);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PlaceTwips(Label3, 300, 2460, 1080, 330);

    Label2 = new QLabel(SSPanel4);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    PlaceTwips(Label2, 1440, 2460, FormWidth - 1740, 330);

    Inet1 = new QNetworkAccessManager(this);
    Inet1->setObjectName(QStringLiteral("Inet1"));
    Inet1->setProxy(QNetworkProxy::NoProxy);

    // The link lights up under the mouse and goes dark again over the background.
    Label2->setMouseTracking(true);
    SSPanel4->setMouseTracking(true);
    Label2->installEventFilter(this);
    SSPanel4->installEventFilter(this);

    setTabOrder(txtid, txtpass);
    setTabOrder(txtpass, Check1);
    setTabOrder(Check1, btnLogin);
    setTabOrder(btnLogin, isButton1);

    connect(btnLogin, &QPushButton::clicked, this, [this] { SignIn(); });
    connect(isButton1, &QPushButton::clicked, this, [this] { endProgram(); });
    connect(txtpass, &MyText::KeyDown, this, [this](int& keyCode, int) {
        if (keyCode == 0) SignIn();
    });
}

void frmLogin::Form_Load() {
    setFixedSize(SSPanel4->size());
    if (m_mainWindow) {
        const QRect main = m_mainWindow->frameGeometry();
        const QSize inner = m_mainWindow->size();
        move(main.left() + inner.width() / 2 - width() / 2,
             main.top() + inner.height() / 2 - height() / 2 + TwipsToPx(1000));
    }
    Label1->setText(CaptionText());
    setWindowTitle(CaptionText());
    Label2->setText(CurrentDeployment().homePage);
    setLinkHot(false);
    requestOnlineServer();
    LoginSucceeded = false;
}

void frmLogin::requestOnlineServer() {
    // The web server counts the clients coming on line; nothing in its answer is used, so the
    // request runs on its own and an unreachable server never holds up the dialog.
    const QString address = UpdateServerAddress(QStringLiteral("/cs/hal_online_server.asp"));
    if (address.isEmpty()) return;
    // The answer's pieces are of no use to the dialog.
    HttpGetDetached(*Inet1, QUrl(address));
}

void frmLogin::CentreOnScreen() {
    QScreen* screen =
        m_mainWindow && m_mainWindow->screen() ? m_mainWindow->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize outer = frameGeometry().size().expandedTo(size());
    move(area.left() + (area.width() - outer.width()) / 2, area.top() + (area.height() - outer.height()) / 2);
}

void frmLogin::SetMainWindow(QWidget* mainWindow) {
    m_mainWindow = mainWindow;
    if (!mainWindow) return;
    // Not a child of the disabled main window (it would be disabled too), but kept above it by
    // the window manager: a click on the main window must not bury the dialog.
    mainWindow->winId();
    winId();
    if (windowHandle() && mainWindow->windowHandle()) windowHandle()->setTransientParent(mainWindow->windowHandle());
}

bool frmLogin::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    // Only the first activation after showing: a message box closing over the dialog activates
    // it again, and must not put the remembered name back into a box just emptied.
    if (event->type() == QEvent::WindowActivate && !m_activated) {
        m_activated = true;
        Form_Activate();
    }
    return handled;
}

void frmLogin::showEvent(QShowEvent* event) {
    m_activated = false;
    QDialog::showEvent(event);
}

void frmLogin::Form_Activate() {
    if (ReadIni(QStringLiteral("로그인"), QStringLiteral("정보저장")) == QStringLiteral("예")) {
        Check1->setChecked(true);
        txtid->SetText(ReadIni(QStringLiteral("로그인"), QStringLiteral("아이디")));
    }
    if (!txtid->Text().trimmed().isEmpty())
        txtpass->setFocus();
    else
        txtid->setFocus();
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event) {
    // The link's own mouse events stop here: a label passes them on to the panel beneath,
    // which would put the link straight back to black.
    if (watched == Label2 && event->type() == QEvent::MouseMove) {
        setLinkHot(true);
        return true;
    }
    if (watched == Label2 && event->type() == QEvent::MouseButtonPress) return true;
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && Label2->rect().contains(mouse->position().toPoint()))
            OpenInBrowser(CurrentDeployment().homePage);
        return true;
    }
    if (watched == SSPanel4 && event->type() == QEvent::MouseMove) setLinkHot(false);
    return QDialog::eventFilter(watched, event);
}

void frmLogin::setLinkHot(bool hot) {
    QPalette palette = Label2->palette();
    palette.setColor(QPalette::WindowText, hot ? QColor(0x00, 0x00, 0xFF) : QColor(0x00, 0x00, 0x00));
    Label2->setPalette(palette);
    QFont font = Label2->font();
    font.setUnderline(hot);
    Label2->setFont(font);
}

void frmLogin::closeEvent(QCloseEvent* event) {
    if (m_finished) {
        event->accept();
        return;
    }
    // The close box ends the program exactly as 종료 does.
    endProgram();
}

void frmLogin::endProgram() {
    // The program's end may close its windows, this one included: that close must not end the
    // program a second time.
    m_finished = true;
    EndProgram();
}

std::unique_ptr<QInputDialog> frmLogin::NewPasswordDialog(QWidget* parent, bool repeat) {
    auto box = std::make_unique<QInputDialog>(parent);
    box->setWindowTitle(PromptTitle);
    box->setLabelText(repeat ? RepeatPasswordPrompt : NewPasswordPrompt);
    box->setInputMode(QInputDialog::TextInput);
    box->setTextEchoMode(QLineEdit::Password);
    box->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText |
                             Qt::ImhNoAutoUppercase);
    box->setOkButtonText(QStringLiteral("확인"));
    box->setCancelButtonText(QStringLiteral("취소"));
    box->setTextValue(QString());
    if (auto* line = box->findChild<QLineEdit*>()) FilterPlainEntry(line);
    return box;
}

QString frmLogin::askNewPassword(bool repeat) {
    if (PromptScript* script = PromptScript::active()) {
        PromptScript::Answer answer;
        const QString prompt = repeat ? RepeatPasswordPrompt : NewPasswordPrompt;
        if (!script->takeAnswer({PromptKind::Input, prompt, PromptTitle, {}, {}}, &answer)) return {};
        return answer.text;
    }
    const std::unique_ptr<QInputDialog> box = NewPasswordDialog(this, repeat);
    return box->exec() == QDialog::Accepted ? box->textValue() : QString();
}

// On our own stores the store checks the password and answers only yes or no (see
// signInOnStore); a SQL Server store, which is not ours to change, is read and compared here.
void frmLogin::SignIn() {
    if (txtid->TextVal().isEmpty()) {
        Prompt::notice(QStringLiteral("아이디를 입력하세요."));
        txtid->setFocus();
        return;
    }
    if (txtpass->TextVal().isEmpty()) {
        Prompt::notice(QStringLiteral("비밀번호를 입력하세요."));
        txtpass->setFocus();
        return;
    }
    LoginSucceeded = false;
    if (StoreChecksVersions())
        signInOnStore();
    else
        signInOnServerStore();
}

void frmLogin::noSuchUser() {
    Prompt::refusal(QStringLiteral("일치하는 사용자가 없습니다."));
    txtid->SetText(QString());
    txtpass->SetText(QString());
    txtid->setFocus();
}

void frmLogin::wrongPassword(const QString& more) {
    Prompt::refusal(QStringLiteral("비밀번호가 일치하지 않습니다.") + more);
    txtpass->SetText(QString());
    txtpass->setFocus();
}

std::optional<QString> frmLogin::askFirstPassword() {
    const QString fresh = askNewPassword(false);
    if (fresh.toUcs4().size() < dstore::MinimumPasswordLength) {
        ShowInfo(QStringLiteral("비밀번호의 자릿수가 너무 적습니다.\n4자리 이상의 문자 혹은 숫자로 구성해 주십시오."));
        return std::nullopt;
    }
    // A second answer that differs (or a cancelled second box) writes nothing: the dialog
    // stays, and the next try asks for both again.
    if (askNewPassword(true) != fresh) {
        Prompt::refusal(QStringLiteral("비밀번호가 일치하지 않습니다."));
        return std::nullopt;
    }
    return fresh;
}

void frmLogin::signInOnStore() {
    const QString id = txtid->TextVal();
    RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset answer =
            trap.open(ExecBuilder(QStringLiteral("로그인확인")).text(id).text(txtpass->TextVal()).str());
        const QString verdict = answer.eof() ? QString() : trap.field(answer, QStringLiteral("결과"));
        if (verdict == QStringLiteral("없음")) return noSuchUser();
        if (verdict == QStringLiteral("틀림")) {
            // After the third wrong try in a row the store answers the next one later; the
            // user is told, so a slow answer is not taken for a hung program.
            const int wait = trap.field(answer, QStringLiteral("대기초")).toInt();
            const QString more =
                wait > 0 ? QStringLiteral("\n%1번 연속 틀렸습니다. 다음 로그인은 %2초 뒤에 확인됩니다.")
                               .arg(trap.field(answer, QStringLiteral("틀린횟수")))
                               .arg(wait)
                         : QString();
            return wrongPassword(more);
        }
        if (verdict != QStringLiteral("확인") && verdict != QStringLiteral("설정")) {
            Prompt::storeError(ADO_ITEM_NOT_FOUND, QStringLiteral("로그인 확인의 답이 없습니다."));
            return;
        }
        LoginId = id;
        BrokerName = trap.field(answer, QStringLiteral("주선사명"));
        BrokerPhone = trap.field(answer, QStringLiteral("연락처"));
        if (verdict == QStringLiteral("설정")) {
            const std::optional<QString> fresh = askFirstPassword();
            if (!fresh) return;
            const SharedRecordset set =
                trap.open(ExecBuilder(QStringLiteral("비밀번호설정")).text(id).text(*fresh).str());
            // Another desk may have set this broker's first password in the meantime.
            if (set.eof() || trap.field(set, QStringLiteral("결과")) != QStringLiteral("확인")) {
                Prompt::refusal(QStringLiteral("비밀번호를 새로 정할 수 없습니다. 다시 로그인하세요."));
                return;
            }
        }
        finishSignIn();
    });
}

void frmLogin::signInOnServerStore() {
    const QString id = txtid->TextVal();
    RunRoutine([&] {
        StoreTrap trap;
        const SharedRecordset broker =
            trap.open(QStringLiteral("select * from 코드_주선사 where 아이디=") + Quote(id));
        if (broker.eof()) return noSuchUser();
        // Without the password column nobody can be told apart from a first sign-in, so the
        // answer is not one to sign in on.
        if (broker.columnIndex(QStringLiteral("비밀번호")) < 0) {
            Prompt::storeError(ADO_ITEM_NOT_FOUND, QStringLiteral("비밀번호 항목이 없습니다."));
            return;
        }
        LoginId = id;
        BrokerName = trap.field(broker, QStringLiteral("주선사명"));
        BrokerPhone = trap.field(broker, QStringLiteral("연락처"));
        // A NULL password reads as empty, and is a first sign-in like an empty one.
        const QString stored = trap.field(broker, QStringLiteral("비밀번호"));

        if (stored.isEmpty()) {
            const std::optional<QString> fresh = askFirstPassword();
            if (!fresh) return;
            trap.execute(QStringLiteral("update 로그인 set 비밀번호=") + Quote(*fresh) +
                         QStringLiteral(" where 아이디=") + Quote(id));
            finishSignIn();
        } else if (txtpass->TextVal() == stored) {
            finishSignIn();
        } else {
            wrongPassword();
        }
    });
}

void frmLogin::finishSignIn() {
    CompleteLogin();
    if (m_mainWindow) m_mainWindow->setEnabled(true);
    m_finished = true;
    accept();
}

void frmLogin::CompleteLogin() {
    LoginSucceeded = true;
    LoginId = txtid->Text().trimmed();
    const bool remember = Check1->isChecked();
    WriteIni(QStringLiteral("로그인"), QStringLiteral("아이디"), remember ? txtid->TextVal() : QString());
    WriteIni(QStringLiteral("로그인"), QStringLiteral("정보저장"),
             remember ? QStringLiteral("예") : QStringLiteral("아니오"));
    SignedIn = true;
}
