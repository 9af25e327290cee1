#pragma once
// The entry point's sequence: Setting.ini defaults, self-update check, store connection, the
// main window (disabled) and the modal login dialog. Returns the application's exit code.
#include <QWidget>
#include <functional>

// createMainWindow builds, loads and shows the main window (its load disables it); the login
// dialog enables it after a successful sign-in.
int RunStartup(const std::function<QWidget*()>& createMainWindow);
