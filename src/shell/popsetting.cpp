#include "popsetting.h"

#include <QDir>

#include "ini.h"
#include "mainwindow.h"
#include "mytext.h"
#include "prompts.h"
#include "screens.h"
#include "signin.h"
#include "twips.h"

#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {
const QString kSection = QStringLiteral("옵션");
const QString kRowHeightKey = QStringLiteral("표높이설정");
const QString kIntervalKey = QStringLiteral("갱신주기");
// A number of more digits than this is no row height or interval anyone means.
constexpr int kBoxLength = 10;

} // namespace

popSetting::popSetting(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("popSetting"));
    setWindowTitle(QStringLiteral("환경설정"));
    setFont(QFont(QStringLiteral("굴림"), 9));

    backPanel = new QFrame(this);
    backPanel->setObjectName(QStringLiteral("backPanel"));
    backPanel->setFrameShape(QFrame::Panel);
    backPanel->setFrameShadow(QFrame::Raised);
    const char* captions[2] = {"표높이", "갱신타이머"};
    for (int i = 0; i < 2; ++i) {
        MyLabel1[i] = new MyLabel(QString::fromUtf8(captions[i]), backPanel);
        MyLabel1[i]->setObjectName(QStringLiteral("MyLabel1(%1)").arg(i));
    }
    표높이 = new MyText(backPanel);
    표높이->setObjectName(QStringLiteral("표높이"));
    갱신타이머 = new MyText(backPanel);
    갱신타이머->setObjectName(QStringLiteral("갱신타이머"));
    for (MyText* box : {표높이, 갱신타이머})
        box->setMaxLength(kBoxLength);
    cmdArr[4] = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                                QStringLiteral("    정보저장 및 닫기"), backPanel);
    cmdArr[4]->setObjectName(QStringLiteral("cmdArr(4)"));
    cmdArr[99] = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                 QStringLiteral("   닫 기"), backPanel);
    cmdArr[99]->setObjectName(QStringLiteral("cmdArr(99)"));
    for (auto& [index, button] : cmdArr)
        button->setAutoDefault(false); // Enter in a box does not save behind the agent's back

    // Each value with its unit and the range the dialog takes.
    const char* units[2] = {"pt (7~100)", "초 (5~3600)"};
    for (int i = 0; i < 2; ++i) {
        auto* unit = new QLabel(QString::fromUtf8(units[i]), backPanel);
        unit->setObjectName(QStringLiteral("단위(%1)").arg(i));
        PlaceTwips(unit, 2820, i == 0 ? 150 : 555, 1290, 300);
    }
    표높이->setToolTip(QStringLiteral("목록 한 줄의 높이"));
    갱신타이머->setToolTip(QStringLiteral("오더등록 목록을 다시 읽는 간격 (실시간 저장소에서는 쓰지 않음)"));
    PlaceTwips(MyLabel1[0], 150, 150, 1050, 300);
    PlaceTwips(표높이, 1260, 150, 1500, 300);
    PlaceTwips(MyLabel1[1], 150, 555, 1050, 300);
    PlaceTwips(갱신타이머, 1260, 555, 1500, 300);
    PlaceTwips(cmdArr[4], 150, 1005, 2610, 390);
    PlaceTwips(cmdArr[99], 2850, 1005, 1260, 390);
    PlaceTwips(backPanel, 0, 0, 4260, 1545);
    // The inner area is exactly the background panel.
    setFixedSize(backPanel->size());

    // The values the screens use now; opened and closed unsaved, the dialog changes nothing.
    if (RowHeightSetting.isEmpty() || RefreshIntervalSetting.isEmpty()) LoadDisplaySettings();
    표높이->SetText(RowHeightSetting);
    갱신타이머->SetText(RefreshIntervalSetting);

    connect(cmdArr[4], &QPushButton::clicked, this, &popSetting::SaveSettings);
    connect(cmdArr[99], &QPushButton::clicked, this, &popSetting::reject);
}

void popSetting::SaveSettings() {
    const auto refuse = [](MyText* box, const QString& message, bool empty) {
        Prompt::refusal(message);
        if (empty) box->SetText(QString());
        box->setFocus(Qt::OtherFocusReason);
    };
    const QString height = 표높이->text();
    const QString interval = 갱신타이머->text();
    if (height.trimmed().isEmpty()) return refuse(표높이, QStringLiteral("표 높이를 입력해주세요."), false);
    if (IniNumber(height) < MinRowHeight)
        return refuse(표높이, QStringLiteral("표 높이를 7 이상의 숫자로 기입해주세요."), true);
    // Past this every list shows a row or two; a height typed with a zero too many would leave
    // every list unusable until Setting.ini was edited by hand.
    if (IniNumber(height) > MaxRowHeight)
        return refuse(표높이, QStringLiteral("표 높이를 100 이하의 숫자로 기입해주세요."), true);
    if (interval.trimmed().isEmpty())
        return refuse(갱신타이머, QStringLiteral("오더 정보를 갱신할 타임을 기록해주세요."), false);
    if (IniNumber(interval) < MinInterval)
        return refuse(
            갱신타이머,
            QStringLiteral("최소한 5 이상의 숫자를 입력해주세요.\n너무 잦은 갱신은 서버에 부담이 됩니다."),
            true);
    // An interval of hours is a board that never refreshes while the agent thinks it does.
    if (IniNumber(interval) > MaxInterval)
        return refuse(
            갱신타이머,
            QStringLiteral(
                "최대 3600 이하의 숫자를 입력해주세요.\n한 시간이 넘는 주기는 갱신이 멈춘 것과 같습니다."),
            true);
    if (!Prompt::confirm(QStringLiteral("현재 설정을 저장하시겠습니까?"))) return;
    // Both values in one rewrite of the file, so a failed write leaves neither half-saved.
    WriteIniLater(kSection, kRowHeightKey, height);
    WriteIniLater(kSection, kIntervalKey, interval);
    if (!FlushIni()) {
        Prompt::refusal(QStringLiteral("설정을 저장하지 못했습니다.\n디스크 공간과 %1 파일의 권한을 확인해주세요.")
                            .arg(QDir::toNativeSeparators(SettingsPath())));
        return;
    }
    RowHeightSetting = height;
    RefreshIntervalSetting = interval;
    ApplySettingsToOpenScreens();
    Prompt::notice(QStringLiteral("설정이 저장되었습니다."));
    accept();
}

void popSetting::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Only at the first activation: taken back on every one, the focus left the box a refusal
    // had just given it, and the next typing went nowhere. The dialog is opened to change a
    // value, so it opens in the first one, selected.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_focusPlaced) {
        m_focusPlaced = true;
        표높이->setFocus(Qt::OtherFocusReason);
        표높이->selectAll();
    }
}

void OpenSettingsDialog() {
    popSetting dialog(MainWindow());
    dialog.exec();
    // Closed right after its notice, the dialog was never active again, and the window manager
    // left the keyboard with no window: the main window takes it back.
    if (QWidget* main = MainWindow()) main->activateWindow();
}
