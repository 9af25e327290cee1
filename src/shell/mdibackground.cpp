#include "mdibackground.h"
#include <QDir>
#include <QFileInfo>
#include <QPainter>

QString BackgroundMarkerFile(const QString& folder) {
    const QStringList files = QDir(folder).entryList(QDir::Files);
    for (const QString& name : files)
        if (name.compare(QStringLiteral("바탕배경.BMP"), Qt::CaseInsensitive) == 0) return folder + u'/' + name;
    return {};
}

QString ResolvePictureFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || info.exists()) return path;
    const QStringList files = info.dir().entryList(QDir::Files);
    for (const QString& name : files)
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0) return info.dir().filePath(name);
    return path;
}

bool StretchModeFromSetting(const QString& value) {
    const QString v = value.trimmed();
    return !(v.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0 || v == QStringLiteral("0"));
}

QImage ComposeMdiBackground(const QImage& picture, QSize area, bool stretch, const QColor& fill) {
    if (area.isEmpty()) return {};
    QImage canvas(area, QImage::Format_RGB32);
    canvas.fill(fill);
    if (picture.isNull()) return canvas;
    QPainter p(&canvas);
    if (stretch) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRect(QPoint(0, 0), area), picture);
    } else {
        // Centred only along a side where the area is larger; a larger picture starts at 0.
        const int x = area.width() > picture.width() ? area.width() / 2 - picture.width() / 2 : 0;
        const int y = area.height() > picture.height() ? area.height() / 2 - picture.height() / 2 : 0;
        p.drawImage(QPoint(x, y), picture, QRect(0, 0, 1024, 768));
    }
    return canvas;
}
