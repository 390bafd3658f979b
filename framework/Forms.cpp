#include "Forms.h"

#include "Application.h"

#include <QAbstractButton>
#include <QMetaMethod>

TForm::TForm(TComponent* Owner) : QWidget(Owner, Qt::Window) {}

void TForm::BindEventHandlers()
{
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        const QByteArray handler = button->objectName().toUtf8() + "Click(TObject*)";
        const int methodIndex = metaObject()->indexOfMethod(handler.constData());
        if (methodIndex < 0) continue;
        connect(button, &QAbstractButton::clicked, this, [this, methodIndex, button] { InvokeHandler(methodIndex, button); });
    }
}

void TForm::InvokeHandler(int methodIndex, TObject* sender)
{
    // The error is caught here, before it could reach QtWidgets, which delivered the click and is
    // built without exception support; QtCore, which calls the handler, is built with it.
    try {
        metaObject()->method(methodIndex).invoke(this, Qt::DirectConnection, Q_ARG(TObject*, sender));
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
}
