#include "screens.h"
#include "gridroutines.h"
#include "mainwindow.h"
#include "spreadgrid.h"
#include <QApplication>
#include <QEvent>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace {
struct Registry {
    QMap<QString, ScreenFactory> factories;
    QMap<QString, ScreenCommand> commands;
    QMap<QString, QPointer<WorkScreen>> open;
};

Registry& registry() {
    static Registry r;
    return r;
}

void refreshMenus() {
    if (frmMain* w = MainWindow()) w->UpdateAvailability();
}

// Forgets a closed screen and takes its MDI child frame with it.
void forget(const QString& caption, WorkScreen* screen) {
    auto& open = registry().open;
    auto it = open.find(caption);
    if (it != open.end() && it.value() == screen) open.erase(it);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(screen->parentWidget())) {
        // The frame may already be closing (it closes its widget first); closing it again
        // is harmless, and the frame deletes itself together with the screen.
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->close();
    }
}
} // namespace

bool WorkScreen::event(QEvent* e) {
    const bool handled = QWidget::event(e);
    if (e->type() == QEvent::Close && e->isAccepted()) emit screenClosed();
    return handled;
}

void RegisterScreen(const QString& caption, ScreenFactory factory) {
    if (factory) registry().factories.insert(caption, std::move(factory));
    else registry().factories.remove(caption);
    refreshMenus();
}

bool IsScreenRegistered(const QString& caption) { return registry().factories.contains(caption); }

void RegisterCommand(const QString& caption, ScreenCommand command) {
    if (command) registry().commands.insert(caption, std::move(command));
    else registry().commands.remove(caption);
    refreshMenus();
}

bool IsCommandRegistered(const QString& caption) { return registry().commands.contains(caption); }

bool RunCommand(const QString& caption) {
    auto it = registry().commands.constFind(caption);
    if (it == registry().commands.constEnd()) return false;
    const ScreenCommand command = it.value();  // the command may re-register itself
    command();
    return true;
}

WorkScreen* OpenedScreen(const QString& caption) { return registry().open.value(caption).data(); }

void WorkScreen::ApplySettings() {
    for (SpreadGrid* grid : findChildren<SpreadGrid*>())
        ApplyRowHeight(*grid);
}

void ApplySettingsToOpenScreens() {
    for (const QPointer<WorkScreen>& screen : std::as_const(registry().open))
        if (screen) screen->ApplySettings();
}

QString UnsavedInputOfOpenScreens() {
    QStringList parts;
    for (const QPointer<WorkScreen>& screen : std::as_const(registry().open))
        if (screen) {
            const QString unsaved = screen->UnsavedInput();
            if (!unsaved.isEmpty()) parts << unsaved;
        }
    // An edit pop-up open over a screen says what it holds through its unsavedInput property.
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        const QString unsaved = window->isVisible() ? window->property("unsavedInput").toString() : QString();
        if (!unsaved.isEmpty()) parts << unsaved;
    }
    return parts.join(QStringLiteral(", "));
}

WorkScreen* OpenScreen(const QString& caption) {
    frmMain* main = MainWindow();
    if (!main) return nullptr;
    QMdiArea* area = main->mdiArea();
    Registry& r = registry();

    if (WorkScreen* screen = r.open.value(caption).data()) {
        // Already open: only to the front, never a reload.
        if (auto* sub = qobject_cast<QMdiSubWindow*>(screen->parentWidget())) {
            sub->showNormal();
            sub->raise();
            area->setActiveSubWindow(sub);
        }
        return screen;
    }

    const auto factory = r.factories.value(caption);
    if (!factory) return nullptr;
    WorkScreen* screen = factory(nullptr);
    if (!screen) return nullptr;
    r.open.insert(caption, screen);
    QObject::connect(screen, &WorkScreen::screenClosed, screen, [caption, screen] { forget(caption, screen); });

    // A work screen fills the client area: no frame of its own, left 0, top 0.
    QMdiSubWindow* sub = area->addSubWindow(screen, Qt::FramelessWindowHint);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName(QStringLiteral("MDI_") + (screen->objectName().isEmpty() ? caption : screen->objectName()));
    sub->setGeometry(QRect(QPoint(0, 0), MainClientSize()));
    sub->show();
    sub->raise();
    area->setActiveSubWindow(sub);
    return screen;
}

QSize MainClientSize() {
    frmMain* main = MainWindow();
    if (!main || !main->mdiArea()) return {};
    return main->mdiArea()->viewport()->size();
}

void FillClientArea(QWidget* screen) {
    const QSize client = MainClientSize();
    auto* sub = screen ? qobject_cast<QMdiSubWindow*>(screen->parentWidget()) : nullptr;
    if (!sub || !client.isValid() || client.isEmpty()) return;
    if (sub->geometry() != QRect(QPoint(0, 0), client)) sub->setGeometry(QRect(QPoint(0, 0), client));
}

void CloseWorkScreen(QWidget* screen) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(screen->parentWidget()))
        sub->close();
    else
        screen->close();
}
