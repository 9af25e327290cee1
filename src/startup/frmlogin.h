#pragma once
// The login dialog: a broker signs in with the 아이디 and password of its 코드_주선사 row, or
// sets its first password. Held modally over the disabled main window by start-up; a
// successful sign-in fills the sign-in values, enables the main window and closes the dialog.
#include <QDialog>
#include <QPointer>
#include <memory>
#include <optional>

class MyText;
class QCheckBox;
class QFrame;
class QInputDialog;
class QLabel;
class QNetworkAccessManager;
class QPushButton;

class frmLogin : public QDialog {
    Q_OBJECT
public:
    // mainWindow is enabled after a successful sign-in; the dialog is not its child, since a
    // child window of a disabled window would be disabled too.
    explicit frmLogin(QWidget* mainWindow, QWidget* parent = nullptr);
    ~frmLogin() override;

    // "㈜델모라 콜센터 로그인 [버전 1.0.0.5]" for version 1.0.5.
    static QString CaptionText();

    // btnLogin, or Enter in the password box.
    void SignIn();
    // Marks the sign-in complete: LoginSucceeded, LoginId, the remembered name, SignedIn.
    void CompleteLogin();
    // Start-up shows the dialog in the middle of the screen rather than over the main window.
    void CentreOnScreen();
    // The main window made once the dialog is on the screen: enabled after the sign-in, and
    // the window the dialog is kept above.
    void SetMainWindow(QWidget* mainWindow);

    // The box that asks for a first password (repeat: the second time, to confirm it); masked,
    // so the password never shows on screen.
    static std::unique_ptr<QInputDialog> NewPasswordDialog(QWidget* parent, bool repeat = false);

    QFrame* SSPanel4 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* SSPanel1 = nullptr;
    MyText* txtid = nullptr;
    QLabel* SSPanel2 = nullptr;
    MyText* txtpass = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* btnLogin = nullptr;
    QPushButton* isButton1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    QNetworkAccessManager* Inet1 = nullptr;

public Q_SLOTS:
    // Escape has no meaning here: only 종료 and the close box end the program.
    void reject() override {}

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildForm();
    void Form_Load();
    void Form_Activate();
    void requestOnlineServer();
    void setLinkHot(bool hot);
    QString askNewPassword(bool repeat);
    // Both prompts of a first password; nothing when too short, cancelled or not repeated.
    std::optional<QString> askFirstPassword();
    void signInOnStore();
    void signInOnServerStore();
    void noSuchUser();
    void wrongPassword(const QString& more = {});
    void finishSignIn();
    [[noreturn]] void endProgram();

    QPointer<QWidget> m_mainWindow;
    bool m_activated = false;   // Activate runs once per showing
    bool m_finished = false;    // signed in: closing is no longer the end of the program
};
