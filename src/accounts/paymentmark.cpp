#include "paymentmark.h"

#include <QStringList>

namespace PaymentMark {
namespace {
const QString Cancelled = QStringLiteral("취소");

// The list holds dispatched and delivered orders only; an order that left those statuses is
// no longer the settlement screen's to pay.
bool Payable(const QString& status) {
    return status == QStringLiteral("배차완료") || status == QStringLiteral("운송완료");
}

QString Count(int n) {
    return QString::number(n) + QStringLiteral("건");
}

// "취소된 1건, 이미 지급된 2건": the rows left alone, by reason.
QString LeftAlone(Action action, const Tally& left) {
    QStringList parts;
    if (left.cancelled) parts << QStringLiteral("취소된 ") + Count(left.cancelled);
    if (left.settled)
        parts << (action == Action::Mark ? QStringLiteral("이미 지급된 ")
                                         : QStringLiteral("지급되지 않은 ")) +
                     Count(left.settled);
    if (left.moved) parts << QStringLiteral("다른 곳에서 바뀐 ") + Count(left.moved);
    return parts.join(QStringLiteral(", "));
}
} // namespace

Reason Judge(Action action, const State& listed, const std::optional<State>& stored) {
    if (!stored) return Reason::Moved;
    if (stored->status == Cancelled || listed.status == Cancelled) return Reason::Cancelled;
    // Either side being paid (or unpaid) already is reason enough: marking never replaces a
    // payment day, and taking back a mark nobody set would say something that did not happen.
    if (action == Action::Mark && (!listed.paid.isEmpty() || !stored->paid.isEmpty())) return Reason::Settled;
    if (action == Action::Clear && (listed.paid.isEmpty() || stored->paid.isEmpty())) return Reason::Settled;
    if (!Payable(stored->status) || *stored != listed) return Reason::Moved;
    return Reason::None;
}

void Tally::add(Reason reason) {
    switch (reason) {
    case Reason::None:
        return;
    case Reason::Cancelled:
        ++cancelled;
        return;
    case Reason::Moved:
        ++moved;
        return;
    case Reason::Settled:
        ++settled;
        return;
    }
}

QString Question(Action action, int selected, int toWrite, const Tally& left) {
    const QString n = QString::number(selected);
    if (left.total() == 0)
        return action == Action::Mark
                   ? QStringLiteral("선택하신 ") + n +
                         QStringLiteral("건의 배차내역에 운임 지급처리 하시겠습니까?")
                   : QStringLiteral("선택하신 ") + n +
                         QStringLiteral("건의 배차내역의 운임 지급을 취소처리 하시겠습니까?");
    const QString head = QStringLiteral("선택하신 ") + n + QStringLiteral("건 중 ") + Count(toWrite);
    return head +
           (action == Action::Mark ? QStringLiteral("에 운임 지급처리 하시겠습니까?")
                                   : QStringLiteral("의 운임 지급을 취소처리 하시겠습니까?")) +
           QLatin1Char('\n') + LeftAlone(action, left) + QStringLiteral("은 그대로 둡니다.");
}

QString NothingToWrite(Action action, int selected, const Tally& left) {
    return QStringLiteral("선택하신 ") + Count(selected) +
           (action == Action::Mark ? QStringLiteral(" 중 운임 지급처리할 배차내역이 없습니다.")
                                   : QStringLiteral(" 중 운임 지급을 취소처리할 배차내역이 없습니다.")) +
           QLatin1Char('\n') + LeftAlone(action, left) + QStringLiteral("입니다.");
}

QString Result(Action action, const Outcome& o) {
    const QString head =
        QStringLiteral("선택하신 ") + Count(o.selected) + QStringLiteral(" 중 ") + Count(o.written);
    QStringList lines;
    if (o.stopped)
        lines << head + QStringLiteral("을 처리한 뒤 멈췄습니다.");
    else
        lines << head + (action == Action::Mark ? QStringLiteral("에 운임 지급처리 했습니다.")
                                                : QStringLiteral("의 운임 지급을 취소처리 했습니다."));
    if (o.left.total()) lines << LeftAlone(action, o.left) + QStringLiteral("은 그대로 두었습니다.");
    if (o.unknown) {
        // Sent while the link died: it may well be written, so it is never called unprocessed.
        lines << Count(o.unknown) +
                     QStringLiteral("은 서버와의 연결이 끊어져 처리 여부를 확인할 수 없습니다.\n") +
                     (action == Action::Mark ? QStringLiteral("지급처리되었을 수 있으니 ")
                                             : QStringLiteral("지급이 취소되었을 수 있으니 ")) +
                     (o.reread ? QStringLiteral("목록의 지급일자를 확인하세요.")
                               : QStringLiteral("연결이 돌아오면 목록을 다시 조회해 확인하세요."));
    }
    if (o.unsent)
        lines << QStringLiteral("나머지 ") + Count(o.unsent) + QStringLiteral("은 처리되지 않았습니다.");
    return lines.join(QLatin1Char('\n'));
}

} // namespace PaymentMark
