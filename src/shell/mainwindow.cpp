#include "mainwindow.h"
#include "deployment.h"
#include "httpget.h"
#include "ini.h"
#include "mdibackground.h"
#include "mytext.h"
#include "prompts.h"
#include "screens.h"
#include "signin.h"
#include "spreadgrid.h"
#include "storeconnection.h"
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

static void initShellResources() { Q_INIT_RESOURCE(shell); }

namespace {
frmMain* g_main = nullptr;

// Screens and commands the menus offer, by caption.
const QString k오더등록 = QStringLiteral("오더등록");
const QString k오더조회 = QStringLiteral("오더조회");
const QString k환경설정 = QStringLiteral("환경설정");
const QString k원격지원요청 = QStringLiteral("원격지원요청");
const QString k프로그램종료 = QStringLiteral("프로그램 종료");

// The list screens whose saved column widths follow the main window's size.
const QStringList kColumnWidthKeys = {QStringLiteral("오더등록"), QStringLiteral("오더조회"),
                                      QStringLiteral("차주관리"), QStringLiteral("화주관리"),
                                      QStringLiteral("주선사관리"), QStringLiteral("계산서관리"),
                                      QStringLiteral("정산관리")};

// Toolbar buttons in their order, with their pictograms.
struct ToolbarButton {
    QString name;
    QString icon;
};
const QList<ToolbarButton> kToolbarButtons = {
    {QStringLiteral("오더등록"), QStringLiteral("order")},     {QStringLiteral("차주관리"), QStringLiteral("truck")},
    {QStringLiteral("화주관리"), QStringLiteral("shipper")},   {QStringLiteral("주선사관리"), QStringLiteral("broker")},
    {QStringLiteral("계산서관리"), QStringLiteral("invoice")}, {QStringLiteral("정산관리"), QStringLiteral("settle")},
    {QStringLiteral("원격지원요청"), QStringLiteral("support")}};

// Freezes drawing for the length of a routine, however it ends.
class UpdateFreeze {
public:
    explicit UpdateFreeze(QWidget* w) : m_w(w), m_was(w->updatesEnabled()) { m_w->setUpdatesEnabled(false); }
    ~UpdateFreeze() { m_w->setUpdatesEnabled(m_was); }
private:
    QWidget* m_w;
    bool m_was;
};
} // namespace

frmMain* MainWindow() { return g_main; }

QString WithAltLetter(const QString& caption, QChar letter) {
    return caption + QStringLiteral("(&") + letter.toUpper() + QLatin1Char(')');
}

QRect NormalGeometry(const QRect& free) {
    const QSize size(free.width() * 4 / 5, free.height() * 4 / 5);
    const QPoint offset((free.width() - size.width()) / 2, (free.height() - size.height()) / 2);
    return QRect(free.topLeft() + offset, size);
}

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    initShellResources();
    g_main = this;
    setObjectName(QStringLiteral("frmMain"));
    SetUnsavedInputQuery(&UnsavedInputOfOpenScreens);

    // Load step 1: nothing can be used until the login dialog enables the window.
    setEnabled(false);

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("MDIClient"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setCentralWidget(m_mdi);
    // The client area's own size is known only once its viewport has been resized.
    m_mdi->viewport()->installEventFilter(this);

    m_reconnecting = new QLabel(this);
    m_reconnecting->setObjectName(QStringLiteral("lblReconnecting"));
    m_reconnecting->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_reconnecting->setStyleSheet(QStringLiteral("QLabel { background: #fff3c4; color: #5a3e00; padding: 3px 10px; }"));
    m_reconnecting->hide();
    SetReconnectNotice([this](const QString& text) { ShowReconnecting(text); });

    buildMenus();
    buildToolbar();
    buildHiddenControls();
    UpdateAvailability();
    placeOnScreen();
    loadBackground();

    setWindowTitle(QStringLiteral("㈜델모라 콜센터 버전%1.%2.%3")
                       .arg(VersionMajor())
                       .arg(VersionMinor())
                       .arg(VersionRevision()));

    LoadDisplaySettings();

    sendOnlineNotice();
}

frmMain::~frmMain() {
    if (g_main == this) {
        SetReconnectNotice({});
        g_main = nullptr;
    }
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));
    // Every caption carries its Alt letter; the menu bar's letters stay clear of those the
    // order board gives its fields (S R N P T O K H F G Y C W), which share the window with them.
    auto item = [this](QMenu* menu, const QString& name, const QString& caption, QChar letter,
                       const QKeySequence& keys = {}) {
        QAction* a = menu->addAction(WithAltLetter(caption, letter));
        a->setObjectName(name);
        if (!keys.isEmpty()) a->setShortcut(keys);
        connect(a, &QAction::triggered, this, [this, caption] { Dispatch(caption); });
        m_menuActions.insert(caption, a);
        return a;
    };
    auto top = [bar](const QString& name, const QString& caption, QChar letter) {
        QMenu* m = bar->addMenu(WithAltLetter(caption, letter));
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        return m;
    };

    // A key for each work screen, shown beside its menu item.
    QMenu* orders = top(QStringLiteral("메뉴_오더정보"), QStringLiteral("오더정보"), u'D');
    item(orders, QStringLiteral("메뉴_오더등록"), k오더등록, u'R', QKeySequence(Qt::CTRL | Qt::Key_1));
    item(orders, QStringLiteral("메뉴_오더조회"), k오더조회, u'Q', QKeySequence(Qt::CTRL | Qt::Key_2));

    QMenu* master = top(QStringLiteral("메뉴_기초정보"), QStringLiteral("기초정보"), u'B');
    item(master, QStringLiteral("메뉴_차주관리"), QStringLiteral("차주관리"), u'C', QKeySequence(Qt::CTRL | Qt::Key_3));
    item(master, QStringLiteral("메뉴_화주관리"), QStringLiteral("화주관리"), u'H', QKeySequence(Qt::CTRL | Qt::Key_4));
    item(master, QStringLiteral("메뉴_주선사관리"), QStringLiteral("주선사관리"), u'J',
         QKeySequence(Qt::CTRL | Qt::Key_5));

    QMenu* accounts = top(QStringLiteral("메뉴_정산관리"), QStringLiteral("정산관리"), u'J');
    item(accounts, QStringLiteral("메뉴_계산서관리"), QStringLiteral("계산서관리"), u'I',
         QKeySequence(Qt::CTRL | Qt::Key_6));
    item(accounts, QStringLiteral("항목_정산관리"), QStringLiteral("정산관리"), u'S', QKeySequence(Qt::CTRL | Qt::Key_7));

    auto command = [this, bar](const QString& name, const QString& caption, QChar letter) {
        QAction* a = bar->addAction(WithAltLetter(caption, letter));
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, caption] { Dispatch(caption); });
        m_menuActions.insert(caption, a);
    };
    command(QStringLiteral("메뉴_환경설정"), k환경설정, u'E');
    command(QStringLiteral("메뉴_원격지원요청"), k원격지원요청, u'U');
    buildWindowMenu(top(QStringLiteral("메뉴_창"), QStringLiteral("창"), u'V'));
    command(QStringLiteral("메뉴_프로그램종료"), k프로그램종료, u'X');

    // F10 opens the menu bar at its first menu, as in every Windows program.
    auto* f10 = new QAction(this);
    f10->setObjectName(QStringLiteral("메뉴막대"));
    f10->setShortcut(QKeySequence(Qt::Key_F10));
    addAction(f10);
    connect(f10, &QAction::triggered, this, [bar] {
        for (QAction* a : bar->actions())
            if (a->isEnabled() && a->isVisible() && !a->isSeparator()) {
                bar->setFocus(Qt::ShortcutFocusReason);
                bar->setActiveAction(a);
                return;
            }
    });
}

void frmMain::buildWindowMenu(QMenu* menu) {
    m_windowMenu = menu;
    auto command = [this](const QString& name, const QString& caption, QChar letter, const QKeySequence& keys) {
        auto* a = new QAction(WithAltLetter(caption, letter), this);
        a->setObjectName(name);
        a->setShortcut(keys);
        addAction(a); // the keys work while the menu is closed
        return a;
    };
    QAction* next = command(QStringLiteral("창_다음"), QStringLiteral("다음 창"), u'N', QKeySequence(Qt::CTRL | Qt::Key_Tab));
    QAction* previous = command(QStringLiteral("창_이전"), QStringLiteral("이전 창"), u'P',
                                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab));
    QAction* close = command(QStringLiteral("창_닫기"), QStringLiteral("닫기"), u'W', QKeySequence(Qt::CTRL | Qt::Key_W));
    // X sends Ctrl+Shift+Tab as Backtab, other keyboards as Tab with Shift.
    // The menu shows the first as it is written on the keys.
    previous->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)});
    connect(next, &QAction::triggered, this, [this] { CycleScreens(1); });
    connect(previous, &QAction::triggered, this, [this] { CycleScreens(-1); });
    connect(close, &QAction::triggered, this, [this] {
        // As the screen's own 닫기: a screen holding typed input asks first.
        if (QMdiSubWindow* sub = m_mdi->activeSubWindow())
            if (QWidget* screen = sub->widget()) CloseWorkScreen(screen);
    });
    // The open screens, numbered in the order they were opened, the current one ticked.
    connect(menu, &QMenu::aboutToShow, this, [this, menu, next, previous, close] {
        menu->clear();
        const QList<QMdiSubWindow*> subs = m_mdi->subWindowList(QMdiArea::CreationOrder);
        int n = 0;
        for (QMdiSubWindow* sub : subs) {
            if (!sub->widget()) continue;
            ++n;
            const QString caption = sub->widget()->windowTitle();
            QAction* a = menu->addAction(n <= 9 ? QStringLiteral("&%1 %2").arg(n).arg(caption)
                                                : QStringLiteral("%1 %2").arg(n).arg(caption));
            a->setObjectName(QStringLiteral("창_%1").arg(n));
            a->setCheckable(true);
            a->setChecked(sub == m_mdi->activeSubWindow());
            connect(a, &QAction::triggered, this, [this, sub] { ActivateScreen(sub); });
        }
        if (n > 0) menu->addSeparator();
        // Always enabled: a disabled action's key would not work until the menu was opened.
        for (QAction* a : {next, previous, close})
            menu->addAction(a);
    });
    // Filled once now, so the menu's keys and captions are there before it is first opened.
    emit menu->aboutToShow();
}

void frmMain::ActivateScreen(QMdiSubWindow* sub) {
    if (!sub) return;
    sub->showNormal();
    sub->raise();
    m_mdi->setActiveSubWindow(sub);
    if (QWidget* screen = sub->widget()) {
        // The focus goes where the screen last had it, else to its first field.
        QWidget* focus = screen->focusWidget();
        if (focus && focus->isVisible())
            focus->setFocus(Qt::OtherFocusReason);
        else
            screen->setFocus(Qt::OtherFocusReason);
    }
}

void frmMain::CycleScreens(int step) {
    const QList<QMdiSubWindow*> subs = m_mdi->subWindowList(QMdiArea::CreationOrder);
    if (subs.isEmpty()) return;
    const qsizetype at = subs.indexOf(m_mdi->activeSubWindow());
    const qsizetype n = subs.size();
    ActivateScreen(subs[((at < 0 ? 0 : at + step) % n + n) % n]);
}

void frmMain::buildToolbar() {
    m_toolbar = addToolBar(QStringLiteral("Toolbar1"));
    m_toolbar->setObjectName(QStringLiteral("Toolbar1"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setIconSize(QSize(32, 32));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ToolbarButton& b : kToolbarButtons) {
        const QString name = b.name;
        QAction* a = m_toolbar->addAction(QIcon(QStringLiteral(":/shell/icons/%1.png").arg(b.icon)), name);
        a->setObjectName(name);
        if (QWidget* button = m_toolbar->widgetForAction(a)) button->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, name] { Toolbar1_ButtonClick(name); });
        m_toolbarActions.insert(name, a);
    }
}

void frmMain::buildHiddenControls() {
    // Formatters other screens borrow: write a stored number into Text, read the layout back.
    m_phone = new MyText(this);
    m_phone->setObjectName(QStringLiteral("전화틀"));
    m_phone->setTextType(TextType::Telephone);
    m_phone->hide();
    m_business = new MyText(this);
    m_business->setObjectName(QStringLiteral("사업자틀"));
    m_business->setTextType(TextType::BusinessNumber);
    m_business->setMaxLength(13);
    m_business->hide();
    // The export's staging copy.
    m_spp = new SpreadGrid(this);
    m_spp->setObjectName(QStringLiteral("spp"));
    m_spp->hide();
    m_inet = new QNetworkAccessManager(this);
    m_inet->setObjectName(QStringLiteral("Inet1"));
}

void frmMain::UpdateAvailability() {
    for (auto it = m_menuActions.cbegin(); it != m_menuActions.cend(); ++it) {
        const QString& caption = it.key();
        bool enabled = IsScreenRegistered(caption) || IsCommandRegistered(caption);
        if (caption == k프로그램종료) enabled = true;
        if (caption == k오더조회) enabled = false;  // designed so that it cannot be chosen
        it.value()->setEnabled(enabled);
        if (QAction* button = m_toolbarActions.value(caption)) button->setEnabled(enabled);
    }
}

void frmMain::Toolbar1_ButtonClick(const QString& name) {
    // A button does exactly what the menu item of the same caption does.
    QAction* menu = m_menuActions.value(name);
    if (menu && menu->isEnabled()) menu->trigger();
}

void frmMain::Dispatch(const QString& caption) {
    if (caption == k프로그램종료) {
        ExitProgram();
        return;
    }
    if (caption == k오더조회) return;
    if (RunCommand(caption)) return;
    OpenScreen(caption);
}

namespace {
// The question both ways out ask when typed input would be lost; "" when nothing would be.
QString LossQuestion() {
    const QString unsaved = UnsavedInputOfOpenScreens();
    if (unsaved.isEmpty()) return {};
    return QStringLiteral(
               "프로그램을 끝내면 %1이(가) 저장되지 않고 사라집니다.\n그래도 프로그램을 끝내시겠습니까?")
        .arg(unsaved);
}
} // namespace

void frmMain::ExitProgram() {
    const QString loss = LossQuestion();
    // Typed input that would be lost makes it a question whose Enter keeps everything.
    if (!(loss.isEmpty() ? Prompt::confirm(QStringLiteral("프로그램을 종료하시겠습니까?"))
                         : Prompt::confirmRisky(loss)))
        return;
    m_ending = true; // asked once: closing the windows now asks nothing more
    QApplication::closeAllWindows();
    EndProgram();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // The close box ends the program without a question, unless typed input would be lost:
    // then it asks what 프로그램 종료 asks, and 아니오 keeps everything.
    const QString loss = m_ending ? QString() : LossQuestion();
    if (!loss.isEmpty() && !Prompt::confirmRisky(loss)) {
        event->ignore();
        return;
    }
    event->accept();
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void frmMain::placeOnScreen() {
    // The screen area the taskbar leaves free.
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    // The window starts maximised on the free area. What it is sized to first is what
    // "restore" returns to: sized to the whole free area, the title bar and frame would come on
    // top and reach under the panel or past the screen, so the normal size is a part of the free
    // area, centred, with room for any frame.
    setGeometry(NormalGeometry(screen->availableGeometry()));
    setWindowState(windowState() | Qt::WindowMaximized);
}

void frmMain::loadBackground() {
    const QString folder = ProgramFolder();
    m_stretch = StretchModeFromSetting(UserSetting(QStringLiteral("MDIBGMode"), QStringLiteral("True")));
    if (BackgroundMarkerFile(folder).isEmpty()) return;
    m_imageFile = UserSetting(QStringLiteral("FormPic"), folder + QStringLiteral("/바탕배경.bmp"));
    // An unreadable or oversized picture simply leaves the plain background.
    m_picture = QImage(ResolvePictureFile(m_imageFile));
    PaintMdiBackground();
}

void frmMain::PaintMdiBackground() {
    if (m_picture.isNull()) return;
    const QSize area = m_mdi->viewport()->size();
    const QImage composed = ComposeMdiBackground(m_picture, area, m_stretch, palette().color(QPalette::Dark));
    if (composed.isNull()) return;
    m_mdi->setBackground(QBrush(QPixmap::fromImage(composed)));
    m_mdi->viewport()->update();
}

QUrl OnlineNoticeUrl(const QString& databaseServer) {
    const QString host = databaseServer.section(u',', 0, 0).section(u'\\', 0, 0).trimmed();
    if (host.isEmpty()) return {};
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host);
    url.setPath(QStringLiteral("/cs/hal_online.asp"));
    return url.isValid() && !url.host().isEmpty() ? url : QUrl();
}

void frmMain::sendOnlineNotice() {
    // The web server counts the clients online; its answer is of no use here and nothing
    // waits for it.
    const QUrl url = OnlineNoticeUrl(CurrentDeployment().databaseServer);
    if (url.isEmpty()) return;
    HttpGetDetached(*m_inet, url);
}

void frmMain::MDIForm_Resize() {
    if (m_inResize) return;  // a screen's layout may resize the client area again
    m_inResize = true;
    {
        UpdateFreeze freeze(this);
        PaintMdiBackground();
        const QRect client(QPoint(0, 0), m_mdi->viewport()->size());
        const auto subs = m_mdi->subWindowList();
        for (QMdiSubWindow* sub : subs) {
            QWidget* screen = sub->widget();
            if (!screen) continue;
            const bool hasLayout = screen->metaObject()->indexOfMethod("Form_Resize()") >= 0;
            // One screen failing to lay itself out must not disturb the others.
            try {
                sub->setGeometry(client);
                if (hasLayout) QMetaObject::invokeMethod(screen, "Form_Resize", Qt::DirectConnection);
            } catch (...) {
            }
        }
    }
    // The saved widths were dragged for a client area of this size; only a real change of it
    // makes them stale. A minimise and restore, or maximising a window that already fills the
    // screen, leaves them as they are. A resize comes in steps, so the file is written once
    // the steps are over.
    const QSize client = m_mdi->viewport()->size();
    if (!isMinimized() && client != m_clientSize) {
        m_clientSize = client;
        if (SignedIn)
            for (const QString& key : kColumnWidthKeys)
                WriteIniLater(QStringLiteral("컬럼폭"), key, QString());
    }
    m_inResize = false;
}

void frmMain::ShowReconnecting(const QString& text) {
    if (text.isEmpty()) {
        m_reconnecting->hide();
        return;
    }
    m_reconnecting->setText(text);
    m_reconnecting->adjustSize();
    const QRect area = m_mdi->geometry();
    m_reconnecting->move(area.left(), area.bottom() + 1 - m_reconnecting->height());
    m_reconnecting->raise();
    m_reconnecting->show();
    // The desk may be waiting for its store on this thread: the notice is painted now, not
    // when the event loop next runs.
    m_reconnecting->repaint();
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    MDIForm_Resize();
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) MDIForm_Resize();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_mdi->viewport() && event->type() == QEvent::Resize) MDIForm_Resize();
    return QMainWindow::eventFilter(watched, event);
}
