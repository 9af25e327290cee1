#pragma once
// The remote-support menu command as an agent gives it, with the deployment's address set first.
#include "deployment.h"
#include "mainwindow.h"

inline void RequestRemoteSupportAt(frmMain& main, const QString& address) {
    Deployment d = CurrentDeployment();
    d.remoteSupportUrl = address;
    SetDeployment(d);
    main.Dispatch(QStringLiteral("원격지원요청"));
}
