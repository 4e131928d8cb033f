#pragma once

#include <QPlainTextEdit>

// The box of a memo of the day (the post-it Text2, the theatre programme
// Text3). The database holds their line breaks as CR LF, as it does between
// the slots of RVOUS. The box shows every line break as one (CR LF, and an
// LF or CR alone written by some other program) and gives the text back with
// CR LF; a text left as it was shown is given back exactly as it was read, so
// that a day saved without an edit is written back byte for byte.
class MemoEdit : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit MemoEdit(QWidget *parent = nullptr);

    void setStoredText(const QString &text);
    QString storedText() const;

private:
    QString m_shownText;  // as given to setStoredText
    QString m_shownPlain; // what the box showed for it
};
