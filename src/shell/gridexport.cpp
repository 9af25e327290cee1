#include "gridroutines.h"
#include "mainwindow.h"
#include "prompts.h"
#include "spreadgrid.h"
#include "xlsxfile.h"
#include <QFileInfo>
#include <memory>

namespace {
const QString kXlsFilter = QStringLiteral("Excel Files (*.xls)");
const QString kXlsxFilter = QStringLiteral("Excel 통합 문서 (*.xlsx)");

class RedrawOff {
public:
    explicit RedrawOff(SpreadGrid& g) : m_g(g) { g.ReDraw(false); }
    ~RedrawOff() { m_g.ReDraw(true); }
private:
    SpreadGrid& m_g;
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
    for (int c = 1; c <= cols; ++c) line << (visible[size_t(c)] ? grid.GetText(c, 0).trimmed() : QString());
    spp.AppendRow(line);
    for (int r = 1; r <= rows; ++r) {
        line.clear();
        for (int c = 1; c <= cols; ++c) {
            if (!visible[size_t(c)]) line << QString();
            else if (checkBox[size_t(c)] || grid.CellType(c, r) == CellKind::CheckBox) line << grid.TypeCheckText(c);
            else line << grid.GetText(c, r);
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

QList<QStringList> stagedRows(const SpreadGrid& spp) {
    QList<QStringList> rows;
    rows.reserve(spp.MaxRows());
    for (int r = 1; r <= spp.MaxRows(); ++r) {
        QStringList cells;
        cells.reserve(spp.MaxCols());
        for (int c = 1; c <= spp.MaxCols(); ++c) cells << spp.GetText(c, r);
        rows << cells;
    }
    return rows;
}

// The chosen name gets the extension of the chosen kind when it has not got it already.
QString withExtension(QString path, bool xlsx) {
    const QString ext = xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".xls");
    if (!path.endsWith(ext, Qt::CaseInsensitive)) path += ext;
    return path;
}
} // namespace

void ExportGridToExcel(const SpreadGrid& grid, const QString& defaultName) {
    std::unique_ptr<SpreadGrid> own;
    SpreadGrid* spp = MainWindow() ? MainWindow()->spp() : nullptr;
    if (!spp) {
        own = std::make_unique<SpreadGrid>();
        spp = own.get();
    }
    RedrawOff redraw(*spp);
    stage(grid, *spp);

    QString filter;
    QString path = Prompt::saveAs(defaultName, {kXlsFilter, kXlsxFilter}, &filter);
    if (path.isEmpty()) return;
    // A typed ".xls" or ".xlsx" decides the kind; otherwise the chosen filter does and its
    // extension is added.
    bool xlsx = filter == kXlsxFilter;
    if (path.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive)) xlsx = true;
    else if (path.endsWith(QStringLiteral(".xls"), Qt::CaseInsensitive)) xlsx = false;
    path = withExtension(path, xlsx);

    if (QFileInfo::exists(path) && !Prompt::confirm(QStringLiteral("이미 존재하는 파일입니다. 덮어쓸까요?"))) return;

    bool written = false;
    if (xlsx) {
        QString reason;
        written = WriteXlsxFile(path, stagedRows(*spp), &reason);
    } else {
        written = !QFileInfo(path).isDir() && spp->SaveTabFile(path);
    }
    if (!written) {
        Prompt::refusal(path + QStringLiteral(" 파일을 저장하지 못했습니다.\n"
                                              "저장할 폴더가 있는지, 다른 프로그램이 파일을 쓰고 있지 않은지 "
                                              "확인해 주십시오."));
        return;
    }
    Prompt::notice(path + QStringLiteral(" 엑셀파일이 생성되었습니다."));
}
