#include "gridroutines.h"
#include "ini.h"
#include "mainwindow.h"
#include "prompts.h"
#include "spreadgrid.h"
#include "tabtext.h"
#include "xlsxfile.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressDialog>
#include <QRegularExpression>
#include <memory>

namespace {
// The workbook comes first: it is what keeps codes, phone numbers and dates as they are.
const QString kXlsxFilter = QStringLiteral("Excel 통합 문서 (*.xlsx)");
const QString kXlsFilter = QStringLiteral("Excel Files (*.xls)");

class RedrawOff {
public:
    explicit RedrawOff(SpreadGrid& g) : m_g(g) { g.ReDraw(false); }
    ~RedrawOff() { m_g.ReDraw(true); }

private:
    SpreadGrid& m_g;
};

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// A write that takes longer than half a second shows how far it is, with the row count, and
// can be stopped (the target is then left as it was).
class ExportFeedback {
public:
    explicit ExportFeedback(qsizetype rows) : m_rows(rows) { m_clock.start(); }

    bool operator()(qsizetype done) {
        if (!m_dialog && m_clock.elapsed() >= 500) {
            m_dialog = std::make_unique<QProgressDialog>(
                QStringLiteral("%L1행을 엑셀파일로 저장하고 있습니다.").arg(m_rows), QStringLiteral("취소"),
                0, int(std::min<qsizetype>(m_rows, INT_MAX)), QApplication::activeWindow());
            m_dialog->setObjectName(QStringLiteral("exportProgress"));
            m_dialog->setWindowTitle(PromptTitle);
            m_dialog->setWindowModality(Qt::WindowModal);
            m_dialog->setMinimumDuration(0);
            m_dialog->setAutoClose(false);
            m_dialog->show();
        }
        if (!m_dialog) return true;
        m_dialog->setValue(int(std::min<qsizetype>(done, INT_MAX)));
        QCoreApplication::processEvents();
        return !m_dialog->wasCanceled();
    }

private:
    qsizetype m_rows;
    QElapsedTimer m_clock;
    std::unique_ptr<QProgressDialog> m_dialog;
};

// Fills the staging grid with the file's rows: the visible headers first, then every data row;
// hidden (width 0) columns are dropped by position, so a column that happens to be titled like
// a marker can never be lost.
void stage(const SpreadGrid& grid, SpreadGrid& spp) {
    spp.CopyFrom(grid);
    const int cols = grid.MaxCols();
    const int rows = grid.MaxRows();
    std::vector<bool> visible(size_t(cols) + 1, false);
    std::vector<bool> checkBox(size_t(cols) + 1, false);
    for (int c = 1; c <= cols; ++c) {
        visible[size_t(c)] = grid.ColWidth(c) > 0;
        checkBox[size_t(c)] = grid.CellType(c, 1) == CellKind::CheckBox;
        // The file carries the check box's caption as plain text.
        if (checkBox[size_t(c)]) spp.setCellType(c, CellKind::Edit);
    }
    spp.setMaxRows(0);
    QStringList line;
    line.reserve(cols);
    for (int c = 1; c <= cols; ++c)
        line << (visible[size_t(c)] ? grid.GetText(c, 0).trimmed() : QString());
    spp.AppendRow(line);
    for (int r = 1; r <= rows; ++r) {
        line.clear();
        for (int c = 1; c <= cols; ++c) {
            if (!visible[size_t(c)])
                line << QString();
            else if (checkBox[size_t(c)] || grid.CellType(c, r) == CellKind::CheckBox)
                line << grid.TypeCheckText(c);
            else
                line << grid.GetText(c, r);
        }
        spp.AppendRow(line);
    }
    for (int c = cols; c >= 1; --c) {
        if (visible[size_t(c)]) continue;
        const int before = spp.MaxCols();
        spp.DeleteCols(c, 1);
        if (spp.MaxCols() == before) spp.setMaxCols(before - 1);
    }
}

// The staged rows, with the widths the grid shows its visible columns at and the screen's
// hints for them (hints are given per grid column, hidden ones included).
ExportTable stagedTable(const SpreadGrid& grid, const SpreadGrid& spp, const std::vector<ExportKind>& hints) {
    ExportTable table;
    table.rows.reserve(spp.MaxRows());
    for (int r = 1; r <= spp.MaxRows(); ++r)
        table.rows << spp.RowTexts(r);
    for (int c = 1; c <= grid.MaxCols(); ++c) {
        if (grid.ColWidth(c) <= 0) continue;
        table.widthsPx.push_back(grid.columnWidth(c - 1));
        table.kinds.push_back(size_t(c - 1) < hints.size() ? hints[size_t(c - 1)] : ExportKind::Auto);
    }
    return table;
}

// The chosen name gets the extension of the chosen kind when it has not got it already.
QString withExtension(QString path, bool xlsx) {
    const QString ext = xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".xls");
    if (!path.endsWith(ext, Qt::CaseInsensitive)) path += ext;
    return path;
}

QString failureText(const QString& path, const QString& reason) {
    return path + QStringLiteral(" 파일을 저장하지 못했습니다.\n") + reason;
}

QString folderKey(const QString& defaultName) {
    return QStringLiteral("ExportFolder/") + ExportKindName(defaultName);
}
} // namespace

QString ExportKindName(const QString& defaultName) {
    // "오더내역_241208" and "오더내역_241209" are one kind of export: the date goes.
    static const QRegularExpression dated(QStringLiteral("[ _-]*[0-9]{4,}$"));
    QString kind = defaultName.trimmed();
    kind.remove(dated);
    return kind.isEmpty() ? QStringLiteral("목록") : kind;
}

void ExportGridToExcel(const SpreadGrid& grid, const QString& defaultName,
                       const std::vector<ExportKind>& kinds) {
    std::unique_ptr<SpreadGrid> own;
    SpreadGrid* spp = MainWindow() ? MainWindow()->spp() : nullptr;
    if (!spp) {
        own = std::make_unique<SpreadGrid>();
        spp = own.get();
    }
    RedrawOff redraw(*spp);
    ExportTable table;
    {
        BusyCursor busy;
        stage(grid, *spp);
        table = stagedTable(grid, *spp, kinds);
    }

    QString filter;
    QString path = Prompt::saveAs(defaultName, {kXlsxFilter, kXlsFilter}, &filter,
                                  UserSetting(folderKey(defaultName), QString()));
    if (path.isEmpty()) return;
    // The screen under the closed dialog is drawn again before the file is written.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // A typed ".xls" or ".xlsx" decides the kind; otherwise the chosen filter does and its
    // extension is added.
    bool xlsx = filter != kXlsFilter;
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        xlsx = true;
    else if (path.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive))
        xlsx = false;
    path = withExtension(path, xlsx);

    const QFileInfo target(path);
    if (target.exists() && !target.isDir()) {
        // Asking whether to overwrite a file that cannot be overwritten would only mislead.
        if (IsReadOnlyFile(path)) {
            Prompt::refusal(failureText(path, QStringLiteral("읽기 전용 파일입니다.")));
            return;
        }
        if (!Prompt::confirm(QStringLiteral("이미 존재하는 파일입니다. 덮어쓸까요?"))) return;
    }

    ExportResult result;
    {
        BusyCursor busy;
        ExportFeedback feedback(table.rows.size() - 1);
        const ExportProgress progress = [&feedback](qsizetype done) { return feedback(done); };
        result = xlsx ? WriteXlsxFile(path, table, progress) : WriteTabTextFile(path, table, progress);
    }
    if (result.cancelled) return;
    if (!result.written) {
        Prompt::refusal(failureText(path, result.error));
        return;
    }
    WriteUserSetting(folderKey(defaultName), target.absolutePath());
    Prompt::notice(path + QStringLiteral(" 엑셀파일이 생성되었습니다."));
}
