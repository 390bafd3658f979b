#include "framework/gui/Controls.h"

#include "framework/gui/Application.h"

#include <QKeyEvent>

#include <exception>
#include <limits>

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) { setMaxLength(std::numeric_limits<int>::max()); }

std::string TEdit::GetText() const { return text().toStdString(); }

TBitBtn::TBitBtn(QWidget* parent) : QPushButton(parent)
{
    connect(this, &QAbstractButton::clicked, this, [this] {
        // The handler's error is caught here, before it could reach QtWidgets, which delivered the
        // click and is built without exception support; QtCore, which calls the handler, is built
        // with it.
        try {
            emit OnClick(this);
        } catch (...) {
            Application->HandleException(std::current_exception());
        }
    });
}

void TBitBtn::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (!event->isAutoRepeat()) click(); // holding Enter presses once, as holding Space does
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void TStrings::Add(const std::string& line) { editor_.appendPlainText(QString::fromStdString(line)); }
