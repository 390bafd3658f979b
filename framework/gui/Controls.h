#pragma once
// The controls the forms are built from, thin over Qt's widgets. Texts cross this boundary as
// UTF-8 std::string.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <string>

// The sender of a control's event: the control itself.
using TObject = QObject;

class TLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;
};

// Takes text of any length (QLineEdit's own limit would cut a long paste short).
class TEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TEdit(QWidget* parent = nullptr);

    // The box's current text, whole.
    std::string GetText() const;
};

// A button with the focus is pressed by Enter as well as by Space, default button or not. A press
// is announced as OnClick, which the form description connects to the form's handler by name.
class TBitBtn : public QPushButton {
    Q_OBJECT

public:
    explicit TBitBtn(QWidget* parent = nullptr);

signals:
    void OnClick(TObject* Sender);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// The lines of a memo.
class TStrings {
public:
    explicit TStrings(QPlainTextEdit& editor) : editor_(editor) {}

    // Appends the line after the last line the memo holds.
    void Add(const std::string& line);

private:
    QPlainTextEdit& editor_;
};

class TMemo : public QPlainTextEdit {
    Q_OBJECT

    TStrings lines_{*this};

public:
    using QPlainTextEdit::QPlainTextEdit;

    TStrings* const Lines = &lines_;
};
