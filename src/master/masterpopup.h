#pragma once
// The pattern the master records' edit pop-ups share: modal, sized to its backPanel, the focus
// parked in the off-screen hFocus box on activation, Esc closes from any control, every box
// titled "㈜델모라", and a write that sets DataChanged first, runs one statement, tells the
// user and closes. A write the store refuses shows the store's message and leaves the pop-up
// open with everything typed.
//
// A save sends back, for every box the user left as it was shown, the value exactly as it was
// stored (a business number stored without dashes stays without them), so a save changes only
// what the user changed.
#include <QDialog>
#include <QHash>
#include <map>
#include <vector>

class QComboBox;
class QPushButton;
class MyLabel;
class MyText;
class SharedRecordset;
enum class TextType;

class MasterPopup : public QDialog {
    Q_OBJECT
    // What closing would throw away, for the program's own close question ("" when nothing).
    Q_PROPERTY(QString unsavedInput READ UnsavedInput)
public:
    // A label-and-box row of the one-column pop-ups: box name, label caption, record column.
    struct BoxRow {
        QString name;
        QString label;
        QString column;
        bool businessNumber = false;
    };

    // Modify mode when SelectedKey is not empty, registration when it is; decided once, here.
    bool IsModifyMode() const { return m_modify; }
    // Whether a box or list now differs from what the pop-up opened with.
    bool HasChanges() const;
    QString UnsavedInput() const;
    // Esc, the close box and 닫기 ask before changes are thrown away.
    void reject() override;

    QWidget* backPanel = nullptr;
    MyText* hFocus = nullptr;
    std::map<int, QPushButton*> cmdArr;

protected:
    MasterPopup(QWidget* parent, const QString& name, const QString& caption, double widthTwips,
                double heightTwips);

    // A box bound to a record column, and its label.
    MyText* AddBox(const QString& name, const QString& label, const QString& column, double labelLeft,
                   double boxLeft, double top, double boxWidth, TextType type);
    // The one-column pop-ups (shipper, broker): label-and-box rows from row `first` on.
    void AddRows(int first, const std::vector<BoxRow>& rows);
    // The company block both one-column pop-ups end with: 사업자번호, 주소 ... 상세우편주소.
    static const std::vector<BoxRow>& CompanyRows();
    MyText* Box(const QString& name) const;
    // The TextVal of each row's box, in row order (what the save calls send).
    QStringList TextVals(const std::vector<BoxRow>& rows) const;
    // "exec NAME" with every argument quoted.
    static QString Call(const QString& procedure, const QStringList& arguments);
    MyLabel* AddLabel(const QString& caption, double left, double top, double width);
    QComboBox* AddChoice(const QString& name, const QStringList& items, double left, double top,
                         double width);
    QPushButton* AddButton(int index, const QString& caption, double left, double top);

    // Fills every bound box from the first row of the statement's answer (boxes stay empty when
    // there is none); ShowRow is then called for what the boxes do not cover. False when the
    // load was left through the error trap.
    bool LoadBoxes(const QString& statement);
    virtual void ShowRow(const SharedRecordset&) {}
    // Shows a stored value in a list: the item of that text, searched from the last item; a
    // value that is none of the items is added for this record, so it is shown and saved back
    // as it is stored instead of being replaced by an item the user never chose.
    static void ShowChoice(QComboBox* list, const QString& stored);

    // What a box sends: the stored value while the box still shows what was loaded, else the
    // box's Text or TextVal reading.
    QString Text(const MyText* box) const;
    QString TextVal(const MyText* box) const;

    // The notices and questions of the pop-ups.
    static void Notice(const QString& text);
    static bool Ask(const QString& text);
    // A question that deletes, withdraws or resets: 아니오 is its default button.
    static bool AskRisky(const QString& text);
    // DataChanged, the statement, then the notice and close; false (pop-up left open) when the
    // store refused or the connection failed.
    bool Write(const QString& statement, const QString& notice);

    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Loaded {
        QString stored;
        QString shown;
    };
    QString Sent(const MyText* box, const QString& reading) const;

    QStringList Shown() const;

    bool m_modify = false;
    bool m_opened = false;
    QStringList m_asOpened; // every box and list as the pop-up first showed them
    std::vector<std::pair<MyText*, QString>> m_bound; // box, record column
    QHash<const MyText*, Loaded> m_loaded;
};
