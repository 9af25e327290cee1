#pragma once
// The optional picture behind the main window's client area.
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

// The picture file of the program folder: "바탕배경.BMP" in any letter case; "" when there is
// none (then no picture is shown, whatever FormPic says).
QString BackgroundMarkerFile(const QString& folder);
// A path as stored in FormPic, resolved to an existing file when only the letter case of its
// name differs (the picture was named on a case-blind file system); else the path unchanged.
QString ResolvePictureFile(const QString& path);
// MDIBGMode read as a boolean: "False"/"0" centre the picture, anything else stretches it.
bool StretchModeFromSetting(const QString& value);
// The background for a client area of the given size: the picture stretched over all of it,
// or unscaled and centred showing at most its top-left 1024 x 768 pixels.
QImage ComposeMdiBackground(const QImage& picture, QSize area, bool stretch, const QColor& fill);
