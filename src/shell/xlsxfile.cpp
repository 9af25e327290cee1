#include "xlsxfile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cstdio>
#include <xlsxwriter.h>

namespace {
// Excel keeps at most this many characters in a cell.
constexpr int kCellLimit = 32767;

// Characters XML 1.0 cannot carry at all; a stray one would make the workbook unreadable.
QString xmlSafe(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) continue;
        if (u == 0xFFFE || u == 0xFFFF) continue;
        out.append(c);
    }
    if (out.size() > kCellLimit) out.truncate(kCellLimit);
    return out;
}
} // namespace

bool IsPlainNumber(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^-?(0|[1-9][0-9]{0,14})(\\.[0-9]{1,6})?$"));
    return re.match(text).hasMatch();
}

bool WriteXlsxFile(const QString& path, const QList<QStringList>& rows, QString* error) {
    const QFileInfo target(path);
    // A temporary name in the destination's folder, so the final step is a rename.
    QTemporaryFile stage(target.absolutePath() + QStringLiteral("/.delmora-export-XXXXXX.xlsx"));
    if (!stage.open()) {
        if (error) *error = stage.errorString();
        return false;
    }
    const QString stagePath = stage.fileName();
    stage.close();

    const QByteArray stageName = QFile::encodeName(stagePath);
    lxw_workbook* book = workbook_new(stageName.constData());
    if (!book) {
        if (error) *error = QStringLiteral("cannot create the workbook");
        return false;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);

    lxw_error status = LXW_NO_ERROR;
    for (int r = 0; r < rows.size() && status == LXW_NO_ERROR; ++r) {
        const QStringList& cells = rows[r];
        for (int c = 0; c < cells.size() && status == LXW_NO_ERROR; ++c) {
            const QString text = xmlSafe(cells[c]);
            if (text.isEmpty()) continue;
            if (r > 0 && IsPlainNumber(text)) {
                status = worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c), text.toDouble(), nullptr);
            } else {
                const QByteArray utf8 = text.toUtf8();
                status = worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), utf8.constData(),
                                                r == 0 ? bold : nullptr);
            }
        }
    }
    const lxw_error closed = workbook_close(book);
    if (status == LXW_NO_ERROR) status = closed;
    if (status != LXW_NO_ERROR) {
        QFile::remove(stagePath);
        if (error) *error = QString::fromUtf8(lxw_strerror(status));
        return false;
    }
    // Replace the old file only with a complete new one, in one step.
    if (std::rename(stageName.constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(stagePath);
        if (error) *error = QStringLiteral("the file cannot be written");
        return false;
    }
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return true;
}
