#include "Forms.h"

#include "Application.h"

#include <QAbstractButton>
#include <QMetaObject>

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
    // The handler is called through the moc-generated dispatcher of the class that declares it,
    // not through QMetaMethod::invoke, so an error leaving it unwinds through no frame of Qt's
    // (QtWidgets, which delivered the click, is built without exception support).
    const QMetaObject* declaring = metaObject();
    while (methodIndex < declaring->methodOffset()) declaring = declaring->superClass();
    void* arguments[] = {nullptr, &sender};
    try {
        declaring->d.static_metacall(this, QMetaObject::InvokeMetaMethod, methodIndex - declaring->methodOffset(),
                                     arguments);
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
}
