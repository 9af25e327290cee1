#include "invoiceform.h"
#include "amounts.h"
#include "spreadgrid.h"
#include "textformat.h"

namespace InvoiceForm {
namespace {
const QColor LabelBack(0xFF, 0xF5, 0xF5);
const QColor NameBack(0xFF, 0xFF, 0xE7);
// The receiver's copy of the paper form is printed in red ink.
const QColor Ink(0xC8, 0x28, 0x28);

QFont Face(int points, bool bold = false) {
    QFont f(QStringLiteral("굴림"), points);
    f.setBold(bold);
    return f;
}

struct Box {
    int col, row, cols, rows;
};

void Label(SpreadGrid& g, Box b, const QString& text, Qt::Alignment align = Qt::AlignCenter) {
    if (b.cols > 1 || b.rows > 1) g.AddCellSpan(b.col, b.row, b.cols, b.rows);
    g.SetText(b.col, b.row, text);
    g.SetCellLook(b.col, b.row, CellLook{LabelBack, Ink, align, Face(8)});
}

void Data(SpreadGrid& g, Box b, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter,
          QColor back = Qt::white, QFont font = Face(9)) {
    if (b.cols > 1 || b.rows > 1) g.AddCellSpan(b.col, b.row, b.cols, b.rows);
    g.SetCellLook(b.col, b.row, CellLook{back, Qt::black, align, font});
}

// The item lines share one set of boxes with their heading row.
constexpr Box ItemBoxes[] = {{1, 0, 2, 1},  {3, 0, 1, 1},  {4, 0, 6, 1},  {10, 0, 3, 1},
                             {13, 0, 6, 1}, {19, 0, 6, 1}, {25, 0, 6, 1}, {31, 0, 5, 1}};
constexpr Box TotalBoxes[] = {{1, 0, 6, 1}, {7, 0, 5, 1}, {12, 0, 5, 1}, {17, 0, 5, 1}, {22, 0, 5, 1}};
Box On(Box b, int row) {
    b.row = row;
    return b;
}

// Pixel widths of the columns: narrow place columns in the middle, wider ones where names go.
int ColumnPixels(int col) {
    if (col == 1 || col == 17) return 30;
    if (col <= 5) return 36;
    if (col == 6) return 46;
    if (col <= 27) return 30;
    return 38;
}
double RowPoints(int row) {
    if (row <= 2) return 21;
    if (row <= 6) return 21;
    return 17;
}
} // namespace

void Build(SpreadGrid& g) {
    g.setMaxCols(Columns);
    g.setMaxRows(Rows);
    g.setWordWrap(true);
    for (int c = 1; c <= Columns; ++c)
        g.setColWidth(c, double(ColumnPixels(c)) / SpreadGrid::PixelsPerCharUnit);
    for (int r = 1; r <= Rows; ++r)
        g.setRowHeight(r, RowPoints(r));
    for (int r = 1; r <= Rows; ++r)
        for (int c = 1; c <= Columns; ++c)
            g.SetCellLook(c, r, CellLook{Qt::white, Qt::black, {}, {}});

    // Title area, book and serial number.
    Data(g, {TitleBox.x(), TitleBox.y(), TitleBox.width(), TitleBox.height()});
    Label(g, {28, 1, 2, 1}, QStringLiteral("책 번 호"));
    Label(g, {30, 1, 3, 1}, QStringLiteral("권"), Qt::AlignRight | Qt::AlignVCenter);
    Label(g, {33, 1, 3, 1}, QStringLiteral("호"), Qt::AlignRight | Qt::AlignVCenter);
    Label(g, {28, 2, 2, 1}, QStringLiteral("일련번호"));
    Label(g, {30, 2, 6, 1}, QStringLiteral("-"));

    // Supplier (left) and receiver (right): same rows, the receiver's boxes 16 columns on.
    Label(g, {1, 3, 1, 4}, QStringLiteral("공  급  자"));
    Label(g, {17, 3, 1, 4}, QStringLiteral("공 급 받 는 자"));
    for (int side = 0; side < 2; ++side) {
        const int at = side == 0 ? 2 : 18; // label column
        const int end = 35;
        const int right = side == 0 ? 16 : end;
        const int nameCol = side == 0 ? 10 : 29;
        Label(g, {at, 3, 3, 1}, QStringLiteral(" 등 록   번 호"));
        Data(g, {at + 3, 3, right - at - 2, 1}, Qt::AlignCenter, Qt::white, Face(11, true));
        Label(g, {at, 4, 3, 1}, QStringLiteral(" 상  호 (법인명)"));
        Data(g, {at + 3, 4, nameCol - at - 3, 1}, Qt::AlignLeft | Qt::AlignVCenter, NameBack);
        Label(g, {nameCol, 4, 1, 1}, QStringLiteral("성명"));
        Data(g, {nameCol + 1, 4, right - nameCol, 1});
        Label(g, {at, 5, 3, 1}, QStringLiteral(" 사업장  주  소"));
        Data(g, {at + 3, 5, right - at - 2, 1});
        Label(g, {at, 6, 3, 1}, QStringLiteral("업 태"));
        Data(g, {at + 3, 6, nameCol - at - 3, 1});
        Label(g, {nameCol, 6, 1, 1}, QStringLiteral("종목"));
        Data(g, {nameCol + 1, 6, right - nameCol, 1});
    }

    // Date of issue, supply amount and tax by place.
    Label(g, {1, 7, 5, 1}, QStringLiteral("작  성"));
    Label(g, {6, 7, 12, 1}, QStringLiteral("공  급  가  액"));
    Label(g, {18, 7, 10, 1}, QStringLiteral("세    액"));
    Data(g, {28, 7, 8, 3});
    Label(g, {1, 8, 2, 1}, QStringLiteral("년"));
    Label(g, {3, 8, 1, 1}, QStringLiteral("월"));
    Label(g, {4, 8, 2, 1}, QStringLiteral("일"));
    Label(g, {BlankCountCol, 8, 1, 1}, QStringLiteral("공란수"));
    const QStringList supplyPlaces = {QStringLiteral("백"), QStringLiteral("십"), QStringLiteral("억"),
                                      QStringLiteral("천"), QStringLiteral("백"), QStringLiteral("십"),
                                      QStringLiteral("만"), QStringLiteral("천"), QStringLiteral("백"),
                                      QStringLiteral("십"), QStringLiteral("일")};
    for (int i = 0; i < 11; ++i)
        Label(g, {FirstSupplyCol + i, 8, 1, 1}, supplyPlaces[i]);
    for (int i = 0; i < 10; ++i)
        Label(g, {FirstTaxCol + i, 8, 1, 1}, supplyPlaces[i + 1]);
    Data(g, {1, DigitRow, 2, 1}, Qt::AlignCenter);
    Data(g, {3, DigitRow, 1, 1}, Qt::AlignCenter);
    Data(g, {4, DigitRow, 2, 1}, Qt::AlignCenter);
    Data(g, {BlankCountCol, DigitRow, 1, 1}, Qt::AlignCenter);
    for (int c = FirstSupplyCol; c < FirstTaxCol + 10; ++c)
        Data(g, {c, DigitRow, 1, 1}, Qt::AlignCenter, Qt::white, Face(10, true));

    // Items: heading and four lines.
    const QStringList itemHeads = {QStringLiteral("월"),       QStringLiteral("일"),
                                   QStringLiteral("품   목"),  QStringLiteral("규격"),
                                   QStringLiteral("수  량"),   QStringLiteral("단  가"),
                                   QStringLiteral("공급가액"), QStringLiteral("세 액")};
    for (int i = 0; i < 8; ++i)
        Label(g, On(ItemBoxes[i], 10), itemHeads[i]);
    for (int row = 11; row <= 14; ++row)
        for (int i = 0; i < 8; ++i)
            Data(g, On(ItemBoxes[i], row),
                 i == 2   ? Qt::AlignLeft | Qt::AlignVCenter
                 : i >= 4 ? Qt::AlignRight | Qt::AlignVCenter
                          : Qt::AlignCenter);

    // Totals line and the claim sentence.
    const QStringList totalHeads = {QStringLiteral("합계금액"), QStringLiteral("현금"),
                                    QStringLiteral("수표"), QStringLiteral("어음"),
                                    QStringLiteral("외상미수금")};
    for (int i = 0; i < 5; ++i) {
        Label(g, On(TotalBoxes[i], 15), totalHeads[i]);
        Data(g, On(TotalBoxes[i], 16), Qt::AlignRight | Qt::AlignVCenter);
    }
    Label(g, {ClaimBox.x(), ClaimBox.y(), ClaimBox.width(), ClaimBox.height()},
          QStringLiteral("이 금액을         함"));

    // Remarks and the receiver's contact.
    Label(g, {1, 17, 3, 1}, QStringLiteral("비고"));
    Data(g, {4, 17, 32, 1});
    Label(g, {1, 18, 3, 1}, QStringLiteral("담당자"));
    Data(g, {4, 18, 8, 1});
    Label(g, {12, 18, 5, 1}, QStringLiteral("이메일"));
    Data(g, {17, 18, 19, 1});
}

QString Fill(SpreadGrid& g, const QHash<QString, QString>& v) {
    auto field = [&](const char* name) { return v.value(QString::fromUtf8(name)); };
    for (int side = 0; side < 2; ++side) {
        const int at = side == 0 ? 5 : 21;
        const int nameCol = side == 0 ? 11 : 30;
        const QString p = side == 0 ? QStringLiteral("공급자") : QStringLiteral("받는자");
        g.SetText(at, 3, FormatBusinessNumber(v.value(p + QStringLiteral("사업자번호"))));
        g.SetText(at, 4, v.value(p + QStringLiteral("상호")));
        g.SetText(nameCol, 4, v.value(p + QStringLiteral("대표자")));
        g.SetText(at, 5, v.value(p + QStringLiteral("주소")));
        g.SetText(at, 6, v.value(p + QStringLiteral("업태")));
        g.SetText(nameCol, 6, v.value(p + QStringLiteral("종목")));
    }

    const QString issued = field("작성일자");
    g.SetText(1, DigitRow, issued.mid(2, 2));
    g.SetText(3, DigitRow, issued.mid(5, 2));
    g.SetText(4, DigitRow, issued.right(2));

    const Amounts::PlaceDigits d = Amounts::SpreadOverPlaces(field("공급가액"), field("세액"));
    g.SetText(BlankCountCol, DigitRow, d.blanks >= 0 ? QString::number(d.blanks) : QString());
    for (int i = 0; i < 11; ++i)
        g.SetText(FirstSupplyCol + i, DigitRow, d.supply[size_t(i)]);
    for (int i = 0; i < 10; ++i)
        g.SetText(FirstTaxCol + i, DigitRow, d.tax[size_t(i)]);

    g.SetText(TotalBoxes[0].col, 16, Amounts::Total(field("공급가액"), field("세액")));

    const QString itemDay = field("품목일자1");
    g.SetText(1, 11, itemDay.left(2));
    g.SetText(3, 11, itemDay.right(2));
    g.SetText(4, 11, field("품목명1"));
    const QString itemSupply = field("공급가액1"), itemTax = field("세액1");
    g.SetText(25, 11, Amounts::Value(itemSupply) != 0 ? Amounts::Grouped(itemSupply) : QString());
    g.SetText(31, 11, Amounts::Value(itemTax) != 0 ? Amounts::Grouped(itemTax) : QString());

    g.SetText(4, 18, field("받는자담당").trimmed());
    g.SetText(17, 18, field("받는자이메일").trimmed());
    return d.problem;
}

} // namespace InvoiceForm
