#pragma once
// Whether a list row can be read: the WCAG contrast of its text against its background, and how
// far apart two inks look (CIE76 distance in L*a*b*), as a person at the desk would judge them.
#include <QAbstractItemModel>
#include <QColor>
#include <QPalette>
#include <QTableView>
#include <cmath>

namespace Readability {

inline double Luminance(const QColor& c) {
    const auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}

inline double Contrast(const QColor& a, const QColor& b) {
    const double x = Luminance(a) + 0.05, y = Luminance(b) + 0.05;
    return x > y ? x / y : y / x;
}

inline double Distance(const QColor& a, const QColor& b) {
    const auto lab = [](const QColor& c, double out[3]) {
        const auto lin = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        const double r = lin(c.redF()), g = lin(c.greenF()), b = lin(c.blueF());
        const double xyz[3] = {(0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047,
                               0.2126 * r + 0.7152 * g + 0.0722 * b,
                               (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883};
        double f[3];
        for (int i = 0; i < 3; ++i)
            f[i] = xyz[i] > 0.008856 ? std::cbrt(xyz[i]) : 7.787 * xyz[i] + 16.0 / 116.0;
        out[0] = 116 * f[1] - 16, out[1] = 500 * (f[0] - f[1]), out[2] = 200 * (f[1] - f[2]);
    };
    double p[3], q[3];
    lab(a, p), lab(b, q);
    return std::hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
}

// A row's text and background as the view paints them (0-based row and column of the model).
inline std::pair<QColor, QColor> RowInks(const QTableView& view, int row, int col) {
    const QModelIndex at = view.model()->index(row, col);
    const QVariant fore = at.data(Qt::ForegroundRole), back = at.data(Qt::BackgroundRole);
    return {fore.isValid() ? fore.value<QColor>() : view.palette().color(QPalette::Text),
            back.isValid() ? back.value<QColor>() : view.palette().color(QPalette::Base)};
}

} // namespace Readability
