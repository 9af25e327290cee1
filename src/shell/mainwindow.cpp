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
#include <QMdiArea>
#include <QMdiSubWindow>
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
    if (g_main == this) g_main = nullptr;
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MenuBar"));
    auto item = [this](QMenu* menu, const QString& name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, caption] { Dispatch(caption); });
        m_menuActions.insert(caption, a);
        return a;
    };
    auto top = [this, bar](const QString& name, const QString& caption) {
        QMenu* m = bar->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        return m;
    };

    QMenu* orders = top(QStringLiteral("메뉴_오더정보"), QStringLiteral("오더정보"));
    item(orders, QStringLiteral("메뉴_오더등록"), k오더등록);
    item(orders, QStringLiteral("메뉴_오더조회"), k오더조회);

    QMenu* master = top(QStringLiteral("메뉴_기초정보"), QStringLiteral("기초정보"));
    item(master, QStringLiteral("메뉴_차주관리"), QStringLiteral("차주관리"));
    item(master, QStringLiteral("메뉴_화주관리"), QStringLiteral("화주관리"));
    item(master, QStringLiteral("메뉴_주선사관리"), QStringLiteral("주선사관리"));

    QMenu* accounts = top(QStringLiteral("메뉴_정산관리"), QStringLiteral("정산관리"));
    item(accounts, QStringLiteral("메뉴_계산서관리"), QStringLiteral("계산서관리"));
    item(accounts, QStringLiteral("항목_정산관리"), QStringLiteral("정산관리"));

    auto command = [this, bar](const QString& name, const QString& caption) {
        QAction* a = bar->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, [this, caption] { Dispatch(caption); });
        m_menuActions.insert(caption, a);
    };
    command(QStringLiteral("메뉴_환경설정"), k환경설정);
    command(QStringLiteral("메뉴_원격지원요청"), k원격지원요청);
    command(QStringLiteral("메뉴_프로그램종료"), k프로그램종료);
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
    if (!Prompt::confirm(loss.isEmpty() ? QStringLiteral("프로그램을 종료하시겠습니까?") : loss)) return;
    m_ending = true; // asked once: closing the windows now asks nothing more
    QApplication::closeAllWindows();
    EndProgram();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // The close box ends the program without a question, unless typed input would be lost:
    // then it asks what 프로그램 종료 asks, and 아니오 keeps everything.
    const QString loss = m_ending ? QString() : LossQuestion();
    if (!loss.isEmpty() && !Prompt::confirm(loss)) {
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
