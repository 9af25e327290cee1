#pragma once
// frmMain: the MDI frame. Menu bar, toolbar, the client area where work screens open over an
// optional background picture, and the hidden helpers other screens borrow.
#include <QImage>
#include <QMainWindow>
#include <QMap>
#include <QUrl>

class QAction;
class QLabel;
class QMenu;
class QMdiSubWindow;
class QMdiArea;
class QNetworkAccessManager;
class QToolBar;
class MyText;
class SpreadGrid;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Runs the load steps: disabled until sign-in, placed on the free screen area, caption,
    // display settings, background picture, the online notice to the web server.
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    QMdiArea* mdiArea() const { return m_mdi; }
    SpreadGrid* spp() const { return m_spp; }
    MyText* 전화틀() const { return m_phone; }
    MyText* 사업자틀() const { return m_business; }

    // Does what the menu item / toolbar button of that caption does.
    void Dispatch(const QString& caption);
    // Toolbar clicks come here by the button's name.
    void Toolbar1_ButtonClick(const QString& name);
    // 메뉴_프로그램종료: asks first; any answer but 아니오 ends the program.
    void ExitProgram();
    // Re-reads which screens and commands are registered (menu and toolbar enabling).
    void UpdateAvailability();
    // The resize routine: background, every open screen's Form_Resize, and after sign-in the
    // saved column widths are emptied when the client area's size has really changed.
    void MDIForm_Resize();

    // Background picture state, read at load.
    QString currentImageFile() const { return m_imageFile; }
    bool mdibg_mode() const { return m_stretch; }
    bool hasBackgroundPicture() const { return !m_picture.isNull(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Over the bottom of the client area while the desk reaches for its store again; lying
    // over the screens rather than taking room from them, their sizes never move.
    void ShowReconnecting(const QString& text);
    void buildMenus();
    // 창: the open screens, the keys that cycle through them and Ctrl+W.
    void buildWindowMenu(QMenu* menu);
    void ActivateScreen(QMdiSubWindow* sub);
    void CycleScreens(int step);
    void buildToolbar();
    void buildHiddenControls();
    void placeOnScreen();
    void loadBackground();
    void PaintMdiBackground();
    void sendOnlineNotice();

    QMdiArea* m_mdi = nullptr;
    QLabel* m_reconnecting = nullptr;
    QToolBar* m_toolbar = nullptr;
    SpreadGrid* m_spp = nullptr;
    MyText* m_phone = nullptr;
    MyText* m_business = nullptr;
    QNetworkAccessManager* m_inet = nullptr;
    QMap<QString, QAction*> m_menuActions;     // caption -> menu item
    QMenu* m_windowMenu = nullptr;
    QMap<QString, QAction*> m_toolbarActions;  // button name -> toolbar button
    QString m_imageFile;
    bool m_stretch = true;
    bool m_ending = false; // 프로그램 종료 was answered: the windows close unasked
    QImage m_picture;
    bool m_inResize = false;
    QSize m_clientSize; // the client area's size the last time it changed
};

// The main window, nullptr before it exists (and after it is gone).
frmMain* MainWindow();

// A menu caption with its Alt letter, written as Korean programs write it: "오더정보(&D)".
QString WithAltLetter(const QString& caption, QChar letter);

// The main window's size and place when it is not maximised: four fifths of the free screen
// area (without the panels), centred in it.
QRect NormalGeometry(const QRect& free);

// The page the main window requests at load to count the clients online: "/cs/hal_online.asp"
// on the database server's host (any ",port" or "\\instance" part of the server name dropped);
// an empty URL when there is no database server (the embedded store).
QUrl OnlineNoticeUrl(const QString& databaseServer);
