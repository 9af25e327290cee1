#pragma once
// One facade for every message box, input box and Save-As dialog of the program. Every box is
// titled "㈜델모라". Tests script it (PromptScript): they queue answers and read back what was
// asked; a prompt nobody queued an answer for fails the test instead of blocking.

#include <QString>
#include <QStringList>
#include <functional>
#include <deque>
#include <vector>

inline const QString PromptTitle = QStringLiteral("㈜델모라");

enum class PromptKind {
    Notice,     // information icon, OK (ShowInfo)
    Refusal,    // question icon, OK (validation messages, refusals, the standard error box)
    Question,   // question icon, 예/아니오
    Input,      // input box
    SaveAs,     // Save-As dialog
    Plain,      // no icon, OK
};

struct PromptRecord {
    PromptKind kind;
    QString text;          // message or input prompt
    QString title;
    QString defaultValue;  // input default or Save-As default name
    QString filter;        // Save-As filter ("Excel Files (*.xls)" ...)
    QString folder = {};   // the folder a Save-As dialog opens in
    bool noByDefault = false; // a question whose Enter answers 아니오
};

namespace Prompt {
// Information icon, OK.
void notice(const QString& text);
// Question icon, OK.
void refusal(const QString& text);
// Question icon, 예/아니오. Returns false for 아니오; Esc and the close box answer 아니오 too,
// the careful answer for a question that writes, overwrites or ends something.
bool confirm(const QString& text);
// Question icon, 예/아니오, for a question whose 아니오 ends the program (retry a connection?):
// only 아니오 itself says no. Esc or the close box ask for the retry, so nobody loses the
// program by dismissing a box.
bool askRetry(const QString& text);
// Like confirm, for a question that deletes, cancels, withdraws or clears: 아니오 is the default
// button, so an Enter meant for the screen behind never destroys anything.
bool confirmRisky(const QString& text);
// Like confirm, but returns true only for 예 (for callers where only 예 goes on).
bool askYes(const QString& text);
// No icon, OK.
void plain(const QString& text);
// "에러번호 : " + number + line break + "에러내용 : " + description, question icon, OK.
void storeError(qint64 number, const QString& description);
// The text of the standard error box: "에러번호 : 5\n에러내용 : ...".
QString storeErrorText(qint64 number, const QString& description);
// Input box; a cancelled box answers "".
QString input(const QString& prompt, const QString& title = PromptTitle, const QString& defaultValue = {});
// The Save-As dialog's size (kept within the screen's free area).
inline constexpr int SaveAsDialogWidth = 900;
inline constexpr int SaveAsDialogHeight = 560;
// Save-As dialog with the given filters (Qt filter strings, e.g. "Excel Files (*.xls)"), the
// first one chosen; answers the chosen path, or "" when cancelled. selectedFilter receives the
// chosen filter. The dialog opens in `folder` when that exists, else in the user's documents
// (never the program folder: it holds the store and the settings), at the size above so its
// size, type and date columns show.
QString saveAs(const QString& defaultName, const QStringList& filters, QString* selectedFilter = nullptr,
               const QString& folder = {});
// The folder saveAs opens in for that wish.
QString SaveAsFolder(const QString& folder);
} // namespace Prompt

// ShowInfo (text): the notice box.
inline void ShowInfo(const QString& text) { Prompt::notice(text); }

// Test scripting. While a script is installed no real dialog is shown.
class PromptScript {
public:
    struct Answer {
        bool yes = true;     // for Question
        bool closed = false; // for Question: Esc or the close box instead of a button
        QString text;        // for Input and SaveAs ("" = cancelled)
        QString filter;      // for SaveAs
    };
    PromptScript();               // installs itself
    ~PromptScript();              // uninstalls
    PromptScript(const PromptScript&) = delete;
    PromptScript& operator=(const PromptScript&) = delete;

    // Queue the answer for the next prompt that needs one (questions, inputs, Save-As).
    // Notices and refusals need no answer and consume none.
    void answerYes() { m_answers.push_back({true, false, {}, {}}); }
    void answerNo() { m_answers.push_back({false, false, {}, {}}); }
    void answerClosed() { m_answers.push_back({false, true, {}, {}}); }
    void answerText(const QString& text) { m_answers.push_back({true, false, text, {}}); }
    void answerSaveAs(const QString& path, const QString& filter = {}) {
        m_answers.push_back({true, false, path, filter});
    }

    const std::vector<PromptRecord>& asked() const { return m_asked; }
    QStringList texts() const;            // the text of every prompt asked, in order
    void clear() { m_asked.clear(); m_answers.clear(); m_unexpected.clear(); }
    // Prompts that needed an answer while none was queued; tests assert this is empty.
    const QStringList& unexpected() const { return m_unexpected; }
    qsizetype pendingAnswers() const { return qsizetype(m_answers.size()); }

    // Internal: used by the facade.
    static PromptScript* active();
    bool takeAnswer(const PromptRecord& record, Answer* answer);
    void record(const PromptRecord& record) { m_asked.push_back(record); }

private:
    std::vector<PromptRecord> m_asked;
    std::deque<Answer> m_answers;
    QStringList m_unexpected;
    PromptScript* m_previous = nullptr;
};
