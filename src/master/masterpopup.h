#pragma once
// The pattern the master records' edit pop-ups share: modal, sized to its backPanel, the focus
// parked in the off-screen hFocus box on activation, Esc closes from any control, every box
// titled "㈜델모라", and a write that sets DataChanged first, runs one statement, tells the
// user and closes. A write the store refuses shows the store's message and leaves the pop-up
// open with everything typed.
//
// A save sends back, for every box the user left as it was shown, the value exactly as it is
// stored (a business number stored without dashes stays without them), so a save changes only
// what the user changed.
//
// Many desks share one store, so a save of a record the pop-up showed first reads it again:
// gone (withdrawn or deleted at another desk) it is not made again; changed there in a field the
// user changed too, the user is asked, field by field, before anything is written; fields the
// user left alone take what the store holds now. On our own stores the save also states the
// version it compared against, and the store refuses it when the record moved after the compare.
#include <QDialog>
#include <QHash>
#include <functional>
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
    // noun: what the pop-up keeps (차주, 화주, 주선사), for the messages.
    MasterPopup(QWidget* parent, const QString& name, const QString& caption, const QString& noun,
                double widthTwips, double heightTwips);

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
    // "exec NAME" with every argument quoted; inside Save, on our own stores, the version the
    // save compared against follows as the last argument.
    QString Call(const QString& procedure, const QStringList& arguments) const;
    MyLabel* AddLabel(const QString& caption, double left, double top, double width);
    // A drop-down list, bound to a record column (and named by it in questions) when one is given.
    QComboBox* AddChoice(const QString& name, const QStringList& items, double left, double top, double width,
                         const QString& column = {});
    QPushButton* AddButton(int index, const QString& caption, double left, double top);

    // Fills every bound box and list from the first row of the statement's answer (boxes stay
    // empty when there is none). A save reads the record again with the same statement. False
    // when the load was left through the error trap.
    bool LoadBoxes(const QString& statement);
    // Shows a stored value in a list: the item of that text, searched from the last item; a
    // value that is none of the items is added for this record, so it is shown and saved back
    // as it is stored instead of being replaced by an item the user never chose.
    static void ShowChoice(QComboBox* list, const QString& stored);

    // What a box or list sends: the stored value while it still shows what was loaded (inside
    // Save, the value stored now), else the box's Text or TextVal reading, the list's text.
    QString Text(const MyText* box) const;
    QString TextVal(const MyText* box) const;
    QString Choice(const QComboBox* list) const;

    // The notices and questions of the pop-ups.
    static void Notice(const QString& text);
    static bool Ask(const QString& text);
    // What is said when the record was deleted at another desk: "다른 곳에서 삭제된 <noun>입니다. "
    // and what therefore did not happen.
    QString GoneText(const QString& outcome) const;
    // The save of the pop-up's record: for a record it showed, the fresh read, the question
    // about fields changed on both sides, then Write of what `statement` builds. False when
    // nothing was written (the pop-up stays open with everything typed).
    bool Save(const std::function<QString()>& statement, const QString& notice);
    // A question that deletes, withdraws or resets: 아니오 is its default button.
    static bool AskRisky(const QString& text);
    // DataChanged, the statement, then the notice and close; false (pop-up left open) when the
    // store refused or the connection failed. A plain statement that may find nothing passes
    // nothingMatched: shown instead of the notice when it changed no row.
    bool Write(const QString& statement, const QString& notice, const QString& nothingMatched = {});

    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        QWidget* widget; // a MyText or a QComboBox
        QString column;
        QString label; // how a question names it
    };
    struct Loaded {
        QString stored;
        QString shown;
    };
    void Bind(QWidget* widget, const QString& column, const QString& label);
    QString Sent(const QWidget* widget, const QString& reading) const;
    // The question naming the fields the user changed that the store (now) changed as well to
    // something else; empty when there are none.
    QString ClashQuestion(const QHash<const QWidget*, QString>& now) const;

    QStringList AllShown() const;

    bool m_modify = false;
    QString m_noun;
    QString m_loadStatement;
    bool m_recordShown = false; // the load found the record: saves edit it
    std::vector<Field> m_fields;
    QHash<const QWidget*, Loaded> m_loaded;
    // While Save builds its statement: the values stored now, and the version to state.
    QHash<const QWidget*, QString> m_now;
    QString m_version;
    bool m_opened = false;
    QStringList m_asOpened; // every box and list as the pop-up first showed them
};
