#pragma once
// Work screens and the registry through which src/app wires them into the main window, so the
// shell never includes a screen's header.
#include <QString>
#include <QWidget>
#include <functional>

// Base of every MDI work screen. The main window calls Form_Resize on every open screen when
// its own size changes; a screen fills the main window's client area there.
class WorkScreen : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    Q_INVOKABLE virtual void Form_Resize() {}
    // What the user has typed here and not saved, named for a question ("입력 중인 오더"); ""
    // when nothing would be lost by closing the screen now.
    virtual QString UnsavedInput() const { return {}; }
    // The display settings (RowHeightSetting, RefreshIntervalSetting) changed: an open screen
    // takes them at once. Every list of the screen gets the row height; a screen with more to
    // follow adds its own.
    virtual void ApplySettings();

signals:
    // The screen accepted a close (its 닫기 button or the MDI child's own close). The registry
    // forgets it at once, so the next OpenScreen builds a fresh one.
    void screenClosed();

protected:
    bool event(QEvent* e) override;
};

using ScreenFactory = std::function<WorkScreen*(QWidget* parent)>;
// Registers the screen opened by the menu item / toolbar button of that caption
// ("오더등록", "차주관리", "화주관리", "주선사관리", "계산서관리", "정산관리", "오더조회").
void RegisterScreen(const QString& caption, ScreenFactory factory);
bool IsScreenRegistered(const QString& caption);

// Menu entries that are not MDI work screens ("환경설정" opens a modal dialog, "원격지원요청"
// the web window): registered by caption like screens; unregistered ones stay disabled.
using ScreenCommand = std::function<void()>;
void RegisterCommand(const QString& caption, ScreenCommand command);
bool IsCommandRegistered(const QString& caption);
// Runs a registered command; false when none is registered under that caption.
bool RunCommand(const QString& caption);

// Opens the one instance of a registered screen as an MDI child of the main window (creating
// it on first use), shows it and brings it to the front. Returns it (nullptr when unknown).
WorkScreen* OpenScreen(const QString& caption);
// The open instance of a screen, nullptr when it is not open.
WorkScreen* OpenedScreen(const QString& caption);

// ApplySettings on every open screen.
void ApplySettingsToOpenScreens();

// The unsaved input of every open screen, joined for one question ("" when none).
QString UnsavedInputOfOpenScreens();

// The main window's client area size (the size every work screen takes).
QSize MainClientSize();
// Puts a work screen's MDI frame at the client origin with the client area's size (a screen's
// Form_Resize starts with it); a screen outside the main window is left as it is.
void FillClientArea(QWidget* screen);
// Closes a work screen with its MDI frame (a screen shown on its own closes itself).
void CloseWorkScreen(QWidget* screen);
